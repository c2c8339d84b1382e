// One side of a voice conversation in a process of its own, for the sound
// test (tests/voice_sound_test.py): hosts a control in a window, makes the
// peer handshake over loopback, starts voice once the peer is known and runs
// for a given time, printing the control's events.
//   voice_peer.exe listen <port file> <seconds>   bind, write the port, accept
//   voice_peer.exe call <port> <seconds>          ask the control on <port>
//   voice_peer.exe solo - <seconds>               no peer: starts, volumes, mixer
// Exits 0 when voice started and stopped cleanly (solo: when it ran through).
#include <winsock2.h>

#include <mmsystem.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "control/tests/test_site.h"
#include "control/vokar_ids.h"

using namespace vokar_test;
namespace dispid = vokar::dispid;
namespace event = vokar::event;

namespace {

std::string OcxPath() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string p(path);
    return p.substr(0, p.find_last_of('\\') + 1) + "Vokar.ocx";
}

const char* EventName(DISPID id) {
    switch (id) {
    case event::PeerAdd: return "PeerAdd";
    case event::PeerAccept: return "PeerAccept";
    case event::VoiceStart: return "VoiceStart";
    case event::VoiceStop: return "VoiceStop";
    case event::VoiceError: return "VoiceError";
    case event::InitSuccess: return "InitSuccess";
    case event::PeerClose: return "PeerClose";
    default: return "other";
    }
}

// What a mixer offers: its destinations and their sources, by component type.
void PrintMixer(UINT id) {
    HMIXER mixer = nullptr;
    if (mixerOpen(&mixer, id, 0, 0, MIXER_OBJECTF_MIXER) != MMSYSERR_NOERROR) {
        std::printf("mixer: none (%u devices)\n", mixerGetNumDevs());
        return;
    }
    MIXERCAPSA caps = {};
    mixerGetDevCapsA(reinterpret_cast<UINT_PTR>(mixer), &caps, sizeof caps);
    std::printf("mixer: %u \"%s\", %lu destination(s)\n", id, caps.szPname, caps.cDestinations);
    for (DWORD i = 0; i < caps.cDestinations; ++i) {
        MIXERLINEA line = {};
        line.cbStruct = sizeof line;
        line.dwDestination = i;
        if (mixerGetLineInfoA(reinterpret_cast<HMIXEROBJ>(mixer), &line,
                              MIXER_GETLINEINFOF_DESTINATION | MIXER_OBJECTF_HMIXER) != MMSYSERR_NOERROR)
            continue;
        std::printf("mixer:  destination \"%s\" type 0x%lx, %lu source(s), %lu control(s)\n", line.szName,
                    line.dwComponentType, line.cConnections, line.cControls);
        for (DWORD k = 0; k < line.cConnections; ++k) {
            MIXERLINEA src = {};
            src.cbStruct = sizeof src;
            src.dwDestination = i;
            src.dwSource = k;
            if (mixerGetLineInfoA(reinterpret_cast<HMIXEROBJ>(mixer), &src,
                                  MIXER_GETLINEINFOF_SOURCE | MIXER_OBJECTF_HMIXER) == MMSYSERR_NOERROR)
                std::printf("mixer:   source \"%s\" type 0x%lx, %lu control(s)\n", src.szName, src.dwComponentType,
                            src.cControls);
        }
    }
    mixerClose(mixer);
}

void PrintVolumes(IDispatch* d, const char* when) {
    std::printf("%s: VolumeLeft 0x%lx VolumeRight 0x%lx\n", when, static_cast<unsigned long>(GetLong(d, dispid::VolumeLeft)),
                static_cast<unsigned long>(GetLong(d, dispid::VolumeRight)));
}

const char* VoiceOn(IDispatch* d) {
    VARIANT r;
    VariantInit(&r);
    if (FAILED(Call(d, dispid::VoiceOn, {}, &r, nullptr, DISPATCH_PROPERTYGET)) || V_VT(&r) != VT_BOOL) return "?";
    return V_BOOL(&r) ? "true" : "false";
}

std::string Events(const EventSink& sink, size_t from) {
    std::string names;
    for (size_t i = from; i < sink.events.size(); ++i) names += std::string(names.empty() ? "" : ",") + EventName(sink.events[i].id);
    return names.empty() ? "none" : names;
}

// No peer: the control's voice life cycle, volumes and microphone on this
// machine's devices, printed for the driver to judge.
void Solo(HostedControl& c, DWORD runMs) {
    IDispatch* d = c.dispatch();
    EventSink& sink = c.sink();
    for (UINT id = 0; id < std::max(1u, mixerGetNumDevs()); ++id) PrintMixer(id);
    std::printf("record volume at build: 0x%lx\n", static_cast<unsigned long>(GetLong(d, dispid::RecordVolume)));
    Call(d, dispid::SetVolume, {Long(0x8000), Long(0xFFFF)});
    PrintVolumes(d, "volume before start");
    IPersistStreamInit* persist = nullptr;
    c.ole()->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&persist));
    const HRESULT cleanBefore = persist->IsDirty();
    VARIANT v = Long(0x4000);
    Call(d, dispid::RecordVolume, {v}, nullptr, nullptr, DISPATCH_PROPERTYPUT);
    std::printf("record volume: set 0x4000, read 0x%lx\n", static_cast<unsigned long>(GetLong(d, dispid::RecordVolume)));
    std::printf("modified: before a put %s, after %s\n", cleanBefore == S_OK ? "yes" : "no",
                persist->IsDirty() == S_OK ? "yes" : "no");
    persist->Release();

    size_t mark = sink.events.size();
    Call(d, dispid::StopVoice);
    std::printf("stop before start: %s\n", Events(sink, mark).c_str());
    mark = sink.events.size();
    Call(d, dispid::StartVoice);
    std::printf("start: %s\n", Events(sink, mark).c_str());
    std::printf("VoiceOn after start: %s\n", VoiceOn(d));
    Call(d, dispid::SetVolume, {Long(0x8000), Long(0xFFFF)});
    PrintVolumes(d, "volume while on");
    VARIANT zero = Long(0);
    Call(d, dispid::VolumeLeft, {zero}, nullptr, nullptr, DISPATCH_PROPERTYPUT);
    PrintVolumes(d, "left put to 0");
    PumpUntil([] { return false; }, runMs);
    mark = sink.events.size();
    Call(d, dispid::StartVoice);
    std::printf("start again: %s\n", Events(sink, mark).c_str());
    PumpUntil([] { return false; }, 1000);
    mark = sink.events.size();
    Call(d, dispid::StopVoice);
    Call(d, dispid::StopVoice);
    std::printf("stop twice: %s\n", Events(sink, mark).c_str());
    std::printf("VoiceOn after stop: %s\n", VoiceOn(d));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: voice_peer listen <port file> <seconds> | call <port> <seconds>\n");
        return 2;
    }
    const std::string mode = argv[1];
    const DWORD runMs = static_cast<DWORD>(std::atoi(argv[3]) * 1000);

    OleInitialize(nullptr);
    HMODULE ocx = LoadLibraryA(OcxPath().c_str());
    auto registerServer =
        reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(reinterpret_cast<void*>(GetProcAddress(ocx, "DllRegisterServer")));
    if (!registerServer || registerServer() != S_OK) {
        std::printf("cannot register Vokar.ocx\n");
        return 1;
    }
    HWND host = CreateWindowExA(0, "STATIC", "voice peer", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200,
                                nullptr, nullptr, nullptr, nullptr);
    int status = 1;
    {
        HostedControl c(host);
        if (c.Create(vokar::kClsidVoice) != S_OK) {
            std::printf("cannot create the control\n");
            return 1;
        }
        IDispatch* d = c.dispatch();
        c.sink().onEvent = [&](const Event& e) {
            std::printf("event %s\n", EventName(e.id));
            std::fflush(stdout);
            // The listener accepts and starts at once; the caller starts when accepted.
            if (e.id == event::PeerAdd) {
                Call(d, dispid::AcceptChater, {Text(e.texts[0].c_str()), Long(e.numbers[0])});
                Call(d, dispid::StartVoice);
            } else if (e.id == event::PeerAccept) {
                Call(d, dispid::StartVoice);
            }
        };
        Call(d, dispid::Bind, {Long(0)});
        if (mode == "solo") {
            c.sink().onEvent = nullptr;
            Solo(c, runMs);
            c.Close();
            std::printf("solo done\n");
            return 0;
        }
        if (mode == "listen") {
            FILE* f = std::fopen(argv[2], "w");
            if (!f) return 1;
            std::fprintf(f, "%ld\n", static_cast<long>(GetLong(d, dispid::LocalPort)));
            std::fclose(f);
        } else {
            Call(d, dispid::AddChater, {Text("127.0.0.1"), Long(std::atoi(argv[2]))});
        }
        // The listener ends early when the caller has gone.
        PumpUntil([&] { return c.sink().Count(event::PeerClose) > 0; }, runMs);
        Call(d, dispid::StopVoice);
        const bool clean = c.sink().Count(event::VoiceStart) >= 1 && c.sink().Count(event::VoiceStop) >= 1 &&
                           c.sink().Count(event::VoiceError) == 0;
        std::printf("%s: VoiceStart %d, VoiceStop %d, VoiceError %d\n", mode.c_str(),
                    c.sink().Count(event::VoiceStart), c.sink().Count(event::VoiceStop),
                    c.sink().Count(event::VoiceError));
        status = clean ? 0 : 1;
        c.Close();
    }
    DestroyWindow(host);
    OleUninitialize();
    return status;
}
