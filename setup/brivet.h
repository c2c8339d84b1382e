// Brivet.exe: installs the shortcuts and the uninstall entry and starts the
// client; with "/u" removes them and deletes the program's files and backups.
// Every step runs even when an earlier one failed; nothing is reported.
#pragma once

namespace brivet {

void Install();
void Uninstall();

}  // namespace brivet
