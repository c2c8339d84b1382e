// The start-up check for a newer release: the web service's version list
// against update.ini, on a worker thread that shares nothing with the windows.
#pragma once

#include <windows.h>

#include <string>

enum class UpdateCheckResult { kFailed, kCurrent, kUpdateDue };

// Reads Config.ini [URL] Merovan in programFolder (with its trailing
// backslash), fetches the version list from that server and compares it with
// programFolder's update.ini. Every failure (no address, no connection, a
// status above 299) gives kFailed.
UpdateCheckResult CheckForUpdate(const std::string& programFolder);

// Starts the check on its own thread. When an update is due the thread starts
// tvupdate.exe in the program folder and ends the process at once with exit
// code 0; otherwise it ends quietly.
void StartUpdateCheckThread();
