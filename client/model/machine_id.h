// The machine identifier sent with every logon: processor text "-" adapter
// text. The platform part (cpuid, adapter list) lives with the main frame;
// this is the formatting both sides agree on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tovan {

constexpr std::size_t kMachineIdSize = 200;  // the frame's buffer, NUL included

// 32 upper-case hex digits: leaf 1 EDX, EAX, then leaf 3 EDX, ECX ("%08X" each).
std::string FormatProcessorText(std::uint32_t leaf1Edx, std::uint32_t leaf1Eax,
                                std::uint32_t leaf3Edx, std::uint32_t leaf3Ecx);

// 12 upper-case hex digits of the first six address bytes; empty when the
// address is shorter than six bytes (no adapter could be read).
std::string FormatAdapterText(const unsigned char* address, std::size_t length);

// "%s-%s": 45 characters, or 33 ending in "-" without an adapter.
std::string ComposeMachineId(const std::string& processorText, const std::string& adapterText);

}  // namespace tovan
