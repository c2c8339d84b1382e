// Shortcut files through the shell's link object.
#pragma once

#include <string>

// Saves a shortcut at linkPath (system code page) that starts target; no
// working folder, arguments, icon or description. False when the link object
// cannot be made or saved.
bool CreateShortcut(const std::string& target, const std::string& linkPath);
