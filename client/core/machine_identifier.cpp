// winsock2.h before windows.h, which the own header brings in.
#include <winsock2.h>

#include "client/core/machine_identifier.h"

#include <windows.h>
#include <iphlpapi.h>

#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

#include "client/model/machine_id.h"
#include "fw/detached_thread.h"

std::string ProcessorText() {
    unsigned a1 = 0, b1 = 0, c1 = 0, d1 = 0, a3 = 0, b3 = 0, c3 = 0, d3 = 0;
#if defined(__i386__) || defined(__x86_64__)
    __cpuid(1, a1, b1, c1, d1);
    __cpuid_count(3, 0, a3, b3, c3, d3);
#endif
    return tovan::FormatProcessorText(d1, a1, d3, c3);
}

std::string AdapterText() {
    ULONG size = 0;
    GetAdaptersInfo(nullptr, &size);
    std::vector<IP_ADAPTER_INFO> list(size / sizeof(IP_ADAPTER_INFO) + 1);
    size = static_cast<ULONG>(list.size() * sizeof(IP_ADAPTER_INFO));
    if (GetAdaptersInfo(list.data(), &size) != ERROR_SUCCESS) return {};
    return tovan::FormatAdapterText(list[0].Address, 6);
}

std::string MachineIdentifier() { return tovan::ComposeMachineId(ProcessorText(), AdapterText()); }

tovan::MachineIdReading ReadMachineIdentifierOnWorker(HWND window, UINT message) {
    // Shared with the worker, which may outlive the frame.
    struct Reading {
        std::mutex lock;
        std::optional<std::string> id;
    };
    auto reading = std::make_shared<Reading>();
    const bool started = fw::RunDetached([reading, window, message] {
        std::string id = MachineIdentifier();
        {
            const std::lock_guard<std::mutex> hold(reading->lock);
            reading->id = std::move(id);
        }
        PostMessageA(window, message, 0, 0);
    });
    if (!started) reading->id = MachineIdentifier();
    return {[reading]() {
                const std::lock_guard<std::mutex> hold(reading->lock);
                return reading->id;
            },
            [] { return tovan::ComposeMachineId(ProcessorText(), std::string()); }};
}
