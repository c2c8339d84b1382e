// The machine identifier of this computer: processor text "-" adapter text.
#pragma once

#include <functional>
#include <string>

std::string ProcessorText();  // 32 hex digits from cpuid leaves 1 and 3
std::string AdapterText();    // 12 hex digits of the first adapter, or empty
std::string MachineIdentifier();
// Starts reading the identifier on a worker thread (the adapter list can
// take from milliseconds to a tenth of a second); the function returned
// gives it, waiting for the reading when it is not done yet.
std::function<std::string()> MachineIdentifierLookup();
