#include "control/voice_session.h"

#include <algorithm>
#include <cstring>

#include "control/microphone_volume.h"
#include "control/voice_codec.h"

namespace vokar {
namespace {

constexpr DWORD kBufferBytes = static_cast<DWORD>(tovan::kVoiceBufferBytes);

}  // namespace

VoiceSession::VoiceSession()
    : captureData_(tovan::kVoiceBufferBytes * tovan::kVoiceBufferCount),
      playbackData_(tovan::kVoiceBufferBytes * tovan::kVoiceBufferCount) {}

VoiceSession::~VoiceSession() { Stop(); }

void VoiceSession::SetUpBuffers(Ring& ring, std::vector<char>& data) {
    for (unsigned i = 0; i < ring.size(); ++i) {
        WAVEHDR& h = ring[i];
        h = {};
        h.lpData = data.data() + i * tovan::kVoiceBufferBytes;
        h.dwBufferLength = kBufferBytes;
        h.dwUser = i;
        h.dwFlags = WHDR_BEGINLOOP | WHDR_ENDLOOP;
        h.dwLoops = 1;
    }
}

VoiceSession::StartResult VoiceSession::Start(HWND window) {
    Stop();
    auto formats = FindVoiceFormats();
    if (!formats) return StartResult::NoCodec;
    // Where no codec format turned up, nothing is opened: a device opened on
    // a leftover format would only make noise.
    if (!formats->playback || !formats->playback->valid()) return StartResult::NoCodec;

    const DWORD_PTR target = reinterpret_cast<DWORD_PTR>(window);
    const DWORD notify = window ? CALLBACK_WINDOW : CALLBACK_NULL;
    WAVEFORMATEX capture = CaptureFormat();
    if (waveOutOpen(&playback_, WAVE_MAPPER, formats->playback->get(), target, 0, notify) != MMSYSERR_NOERROR)
        playback_ = nullptr;
    if (waveInOpen(&capture_, WAVE_MAPPER, &capture, target, 0, notify) != MMSYSERR_NOERROR) capture_ = nullptr;

    SetUpBuffers(captureRing_, captureData_);
    SetUpBuffers(playbackRing_, playbackData_);
    if (capture_)
        for (WAVEHDR& h : captureRing_)
            if (waveInPrepareHeader(capture_, &h, sizeof h) == MMSYSERR_NOERROR)
                waveInAddBuffer(capture_, &h, sizeof h);
    if (playback_)
        for (WAVEHDR& h : playbackRing_) waveOutPrepareHeader(playback_, &h, sizeof h);

    if (!capture_) return StartResult::CaptureFailed;
    waveInStop(capture_);
    if (waveInStart(capture_) != MMSYSERR_NOERROR) return StartResult::CaptureFailed;
    on_ = true;
    return StartResult::Started;
}

bool VoiceSession::Stop() {
    if (capture_) {
        waveInReset(capture_);
        waveInStop(capture_);
    }
    if (playback_) waveOutReset(playback_);
    for (WAVEHDR& h : playbackRing_)
        if (playback_ && (h.dwFlags & WHDR_PREPARED)) waveOutUnprepareHeader(playback_, &h, sizeof h);
    for (WAVEHDR& h : captureRing_)
        if (capture_ && (h.dwFlags & WHDR_PREPARED)) waveInUnprepareHeader(capture_, &h, sizeof h);
    if (capture_) waveInClose(capture_);
    if (playback_) waveOutClose(playback_);
    capture_ = nullptr;
    playback_ = nullptr;
    const bool was = on_;
    on_ = false;
    return was;
}

bool VoiceSession::IsCaptureBuffer(const WAVEHDR* header) const {
    for (const WAVEHDR& h : captureRing_)
        if (&h == header) return true;
    return false;
}

std::optional<std::vector<char>> VoiceSession::OnCaptureDone(HWAVEIN device, WAVEHDR* header) {
    // Only a buffer of ours from the running capture: a stop's reset hands
    // buffers back after voice went off, maybe after a new start.
    if (!on_ || device != capture_ || !IsCaptureBuffer(header) || !(header->dwFlags & WHDR_DONE)) return std::nullopt;
    const DWORD n = header->dwBytesRecorded;
    if (n < 1 || n > kBufferBytes) return std::nullopt;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(header->lpData);
    const bool silence = tovan::IsSilence(bytes, n);

    // Compress before the buffer goes back to the device, which may write it again.
    std::optional<std::vector<char>> sound;
    if (!silence) sound = CompressBuffer(bytes, n);

    // Buffers come back in the order they were added: requeuing the one just
    // returned keeps the ring turning without an index of its own.
    WAVEHDR& h = *header;
    waveInUnprepareHeader(capture_, &h, sizeof h);
    h.dwBytesRecorded = 0;
    if (waveInPrepareHeader(capture_, &h, sizeof h) == MMSYSERR_NOERROR) waveInAddBuffer(capture_, &h, sizeof h);
    return sound;
}

void VoiceSession::Play(std::string_view sound) {
    if (!on_ || !playback_ || sound.empty()) return;
    WAVEHDR& h = playbackRing_[playbackIndex_];
    // A buffer the device still holds is not written over: the sound is a gap.
    if ((h.dwFlags & WHDR_INQUEUE) || !(h.dwFlags & WHDR_PREPARED)) return;
    const size_t n = std::min(sound.size(), tovan::kVoiceBufferBytes);
    std::memcpy(h.lpData, sound.data(), n);
    h.dwBufferLength = static_cast<DWORD>(n);
    h.dwFlags &= ~static_cast<DWORD>(WHDR_DONE);
    waveOutWrite(playback_, &h, sizeof h);
    playbackIndex_ = tovan::NextRingIndex(playbackIndex_);
}

std::uint32_t VoiceSession::PlaybackVolume() const {
    DWORD volume = 0;
    const HWAVEOUT device = playback_ ? playback_ : reinterpret_cast<HWAVEOUT>(0);
    if (waveOutGetVolume(device, &volume) != MMSYSERR_NOERROR) return 0;
    return volume;
}

void VoiceSession::SetPlaybackVolume(std::uint32_t volume) {
    const HWAVEOUT device = playback_ ? playback_ : reinterpret_cast<HWAVEOUT>(0);
    waveOutSetVolume(device, volume);
}

std::uint32_t VoiceSession::RecordVolume() const { return ReadMicrophoneVolume().value_or(0); }

void VoiceSession::SetRecordVolume(std::uint32_t volume) { WriteMicrophoneVolume(volume); }

}  // namespace vokar
