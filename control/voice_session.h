// Sound of the control: capture, compression, playback and the mixer. Not
// built yet: voice never starts (StartVoice reports VoiceError), received
// sound is dropped and the volumes read 0. The protocol side (voice
// addresses, keep-alives on the voice-receive socket) works without it.
#pragma once

#include <string_view>

namespace vokar {

class VoiceSession {
public:
    // True when capture runs; false: the caller fires VoiceError.
    bool Start() { return false; }
    // True when voice was on (the caller fires VoiceStop).
    bool Stop() {
        const bool was = on_;
        on_ = false;
        return was;
    }
    bool on() const { return on_; }
    void Play(std::string_view sound) {}

    long PlaybackVolume() const { return 0; }
    void SetPlaybackVolume(unsigned long value) {}
    long RecordVolume() const { return 0; }
    void SetRecordVolume(unsigned long value) {}

private:
    bool on_ = false;
};

}  // namespace vokar
