// Which entries of the web service's version list are due: one rule for the
// client's start-up check and the updater alike, so that the client never
// starts the updater for a file the updater will not fetch.
#pragma once

#include <cstdint>
#include <string_view>

namespace tovan {

// Where the list is served, whatever path the configured address carries.
constexpr const char* kVersionListPath = "/cab/update.asp";

// The updater's own file. It cannot overwrite itself while it runs, so a new
// one is installed beside it under kNewUpdaterFileName and the client swaps
// it in at its next start, once the updater has ended.
constexpr const char* kUpdaterFileName = "TvUpdate.exe";
constexpr const char* kNewUpdaterFileName = "TvUpdate.new";

// Given by the updater when it starts the client again: that start does not
// run the update check, so a file that keeps failing is tried once per start
// of the client by the user, never in a loop.
constexpr const char* kStartedByUpdaterArgument = "/updated";

// True when a program's command line (its own path first, quoted or not)
// carries kStartedByUpdaterArgument.
bool IsStartedByUpdater(std::string_view commandLine);

// A Windows device name ("NUL", "aux.dll", "COM1.txt", "lpt9 .x"...): the
// part before the first dot, blanks at its end dropped, names a device in
// any case, whatever the extension.
bool IsDeviceName(std::string_view name);

// A name from the network may only name a plain file directly inside the
// program folder: not empty, no path separator, "..", drive or stream colon,
// wildcard or control character, no trailing dot or blank, no device name.
bool IsSafeUpdateFileName(std::string_view name);

// True when name (case aside) is the updater's own file.
bool IsUpdaterFile(std::string_view name);

// True when the listed version (the decimal value of the text, 0 without
// digits, taken as unsigned 32-bit) is newer than the installed one and the
// updater would fetch the file.
bool IsUpdateDue(std::string_view name, std::string_view versionText, std::uint32_t installed);

}  // namespace tovan
