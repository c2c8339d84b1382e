#include "client/model/machine_id.h"

#include <cstdio>

namespace tovan {

std::string FormatProcessorText(std::uint32_t leaf1Edx, std::uint32_t leaf1Eax,
                                std::uint32_t leaf3Edx, std::uint32_t leaf3Ecx) {
    char text[33];
    std::snprintf(text, sizeof text, "%08X%08X%08X%08X", static_cast<unsigned>(leaf1Edx),
                  static_cast<unsigned>(leaf1Eax), static_cast<unsigned>(leaf3Edx),
                  static_cast<unsigned>(leaf3Ecx));
    return text;
}

std::string FormatAdapterText(const unsigned char* address, std::size_t length) {
    if (address == nullptr || length < 6) return {};
    char text[13];
    std::snprintf(text, sizeof text, "%02X%02X%02X%02X%02X%02X", address[0], address[1],
                  address[2], address[3], address[4], address[5]);
    return text;
}

std::string ComposeMachineId(const std::string& processorText, const std::string& adapterText) {
    std::string id = processorText + "-" + adapterText;
    if (id.size() > kMachineIdSize - 1) id.resize(kMachineIdSize - 1);
    return id;
}

}  // namespace tovan
