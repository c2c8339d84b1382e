#include "control/microphone_volume.h"

#include <windows.h>
#include <mmsystem.h>

namespace vokar {
namespace {

// Mixer 0, open for one look-up, closed with this object.
class MicrophoneControl {
public:
    MicrophoneControl() {
        if (mixerOpen(&mixer_, 0, 0, 0, MIXER_OBJECTF_MIXER) != MMSYSERR_NOERROR) {
            mixer_ = nullptr;
            return;
        }
        found_ = Find();
    }
    ~MicrophoneControl() {
        if (mixer_) mixerClose(mixer_);
    }
    MicrophoneControl(const MicrophoneControl&) = delete;
    MicrophoneControl& operator=(const MicrophoneControl&) = delete;

    std::optional<std::uint32_t> Read() {
        if (!found_) return std::nullopt;
        MIXERCONTROLDETAILS_UNSIGNED value = {};
        MIXERCONTROLDETAILS details = Details(&value);
        if (mixerGetControlDetailsA(reinterpret_cast<HMIXEROBJ>(mixer_), &details,
                                    MIXER_GETCONTROLDETAILSF_VALUE | MIXER_OBJECTF_HMIXER) != MMSYSERR_NOERROR)
            return std::nullopt;
        return value.dwValue;
    }

    void Write(std::uint32_t v) {
        if (!found_) return;
        MIXERCONTROLDETAILS_UNSIGNED value = {v};
        MIXERCONTROLDETAILS details = Details(&value);
        mixerSetControlDetails(reinterpret_cast<HMIXEROBJ>(mixer_), &details,
                               MIXER_SETCONTROLDETAILSF_VALUE | MIXER_OBJECTF_HMIXER);
    }

private:
    bool LineInfo(MIXERLINEA* line, DWORD flags) {
        line->cbStruct = sizeof *line;
        return mixerGetLineInfoA(reinterpret_cast<HMIXEROBJ>(mixer_), line, flags | MIXER_OBJECTF_HMIXER) ==
               MMSYSERR_NOERROR;
    }

    // The microphone source of the recording destination; failing that its
    // last source, or the destination itself when it has none.
    bool Find() {
        MIXERLINEA destination = {};
        destination.dwComponentType = MIXERLINE_COMPONENTTYPE_DST_WAVEIN;
        if (!LineInfo(&destination, MIXER_GETLINEINFOF_COMPONENTTYPE)) return false;
        MIXERLINEA chosen = destination;
        for (DWORD i = 0; i < destination.cConnections; ++i) {
            MIXERLINEA source = {};
            source.dwDestination = destination.dwDestination;
            source.dwSource = i;
            if (!LineInfo(&source, MIXER_GETLINEINFOF_SOURCE)) continue;
            chosen = source;
            if (source.dwComponentType == MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE) break;
        }
        MIXERLINECONTROLSA controls = {};
        controls.cbStruct = sizeof controls;
        controls.dwLineID = chosen.dwLineID;
        controls.dwControlType = MIXERCONTROL_CONTROLTYPE_VOLUME;
        controls.cControls = 1;
        controls.cbmxctrl = sizeof control_;
        controls.pamxctrl = &control_;
        control_.cbStruct = sizeof control_;
        return mixerGetLineControlsA(reinterpret_cast<HMIXEROBJ>(mixer_), &controls,
                                     MIXER_GETLINECONTROLSF_ONEBYTYPE | MIXER_OBJECTF_HMIXER) == MMSYSERR_NOERROR;
    }

    MIXERCONTROLDETAILS Details(MIXERCONTROLDETAILS_UNSIGNED* value) {
        MIXERCONTROLDETAILS d = {};
        d.cbStruct = sizeof d;
        d.dwControlID = control_.dwControlID;
        d.cChannels = 1;  // one value for all channels
        d.cMultipleItems = 0;
        d.cbDetails = sizeof *value;
        d.paDetails = value;
        return d;
    }

    HMIXER mixer_ = nullptr;
    MIXERCONTROLA control_ = {};
    bool found_ = false;
};

}  // namespace

std::optional<std::uint32_t> ReadMicrophoneVolume() { return MicrophoneControl().Read(); }

void WriteMicrophoneVolume(std::uint32_t value) { MicrophoneControl().Write(value); }

}  // namespace vokar
