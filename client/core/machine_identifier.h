// The machine identifier of this computer: processor text "-" adapter text.
#pragma once

#include <string>

std::string ProcessorText();  // 32 hex digits from cpuid leaves 1 and 3
std::string AdapterText();    // 12 hex digits of the first adapter, or empty
std::string MachineIdentifier();
