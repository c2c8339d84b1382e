// Where the program lives: its own files (Config.ini, area.ini, the control)
// are found next to it.
#pragma once

#include <string>

namespace fw {

// The program's folder with its trailing backslash.
std::string ProgramFolder();
// ProgramFolder() + name.
std::string ProgramFilePath(const char* name);

}  // namespace fw
