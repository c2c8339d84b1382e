// Uninstall deletes every file of the tool's folder: it must run only where
// this system is installed, never from a copy of the tool that landed in the
// Windows folder, a drive's root or a user's desktop.
#pragma once

#include <string>

namespace brivet {

// True when folder (with its trailing separator) is an installation of the
// client. Otherwise the refusal is printed and shown, and nothing may be done.
bool MayUninstallFrom(const std::string& folder);

}  // namespace brivet
