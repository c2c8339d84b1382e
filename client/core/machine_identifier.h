// The machine identifier of this computer: processor text "-" adapter text.
#pragma once

#include <windows.h>

#include <string>

#include "client/model/session.h"

std::string ProcessorText();  // 32 hex digits from cpuid leaves 1 and 3
std::string AdapterText();    // 12 hex digits of the first adapter, or empty
std::string MachineIdentifier();
// Starts reading the identifier on a worker thread, which posts `message`
// to `window` when it is done; the reading never waits for the worker.
tovan::MachineIdReading ReadMachineIdentifierOnWorker(HWND window, UINT message);
