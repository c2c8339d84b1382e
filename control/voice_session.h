// Sound of the control: the capture and playback devices with their rings of
// five one-second buffers, and the volumes. Runs on the user-interface
// thread: the devices report to the control window as MM_WIM_DATA and
// MM_WOM_* messages, never through callbacks on other threads.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "control/logic/voice_rules.h"

namespace vokar {

class VoiceSession {
public:
    VoiceSession();
    ~VoiceSession();
    VoiceSession(const VoiceSession&) = delete;
    VoiceSession& operator=(const VoiceSession&) = delete;

    enum class StartResult { Started, NoCodec, CaptureFailed };
    // Opens both devices with notifications to `window` and starts capture.
    // Anything else but Started leaves voice off (the caller fires VoiceError);
    // after CaptureFailed the devices stay open until the next Stop.
    StartResult Start(HWND window);
    // Ends both directions. True when voice was on (the caller fires VoiceStop).
    bool Stop();
    bool on() const { return on_; }

    // MM_WIM_DATA: the compressed sound of the buffer the capture device
    // handed back, to send to the peers; nothing for silence, for a buffer
    // that cannot be compressed, or for one that belongs to no running capture.
    std::optional<std::vector<char>> OnCaptureDone(HWAVEIN device, WAVEHDR* header);
    // Sound from the voice-receive socket, at most one buffer's worth.
    void Play(std::string_view sound);

    // Wave-out volume of the playback device (wave-out device 0 while voice
    // is not running): low 16 bits left, high 16 bits right; 0 when unread.
    std::uint32_t PlaybackVolume() const;
    void SetPlaybackVolume(std::uint32_t volume);
    std::uint32_t RecordVolume() const;
    void SetRecordVolume(std::uint32_t volume);

private:
    using Ring = std::array<WAVEHDR, tovan::kVoiceBufferCount>;
    void SetUpBuffers(Ring& ring, std::vector<char>& data);
    bool IsCaptureBuffer(const WAVEHDR* header) const;

    bool on_ = false;
    HWAVEIN capture_ = nullptr;
    HWAVEOUT playback_ = nullptr;
    // Headers and blocks live as long as the session: a device's late message
    // about a buffer of an earlier start still points at valid memory.
    Ring captureRing_ = {};
    Ring playbackRing_ = {};
    std::vector<char> captureData_;
    std::vector<char> playbackData_;
    unsigned playbackIndex_ = 0;  // buffer to fill next; kept across starts
};

}  // namespace vokar
