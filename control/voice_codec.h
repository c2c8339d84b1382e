// The voice codec through the platform's Audio Compression Manager: the
// formats chosen from its enumeration, and the compression of one capture
// buffer in two conversions (capture PCM -> the codec's PCM -> the codec),
// each on a stream of its own opened and closed for that buffer.
#pragma once

#include <windows.h>
#include <mmreg.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "control/logic/voice_rules.h"

namespace vokar {

// A wave format kept in its own bytes (a WAVEFORMATEX and its extra bytes).
class WaveFormat {
public:
    explicit WaveFormat(std::vector<std::uint8_t> bytes)
        : bytes_(std::move(bytes)), fields_(tovan::ReadWaveFormat(bytes_)) {}
    WAVEFORMATEX* get() { return reinterpret_cast<WAVEFORMATEX*>(bytes_.data()); }
    // A whole WAVEFORMATEX with the extra bytes it announces.
    bool valid() const {
        return fields_ && bytes_.size() >= sizeof(WAVEFORMATEX) &&
               sizeof(WAVEFORMATEX) + reinterpret_cast<const WAVEFORMATEX*>(bytes_.data())->cbSize <= bytes_.size();
    }
    const tovan::WaveFormatFields& fields() const { return *fields_; }  // when valid

private:
    std::vector<std::uint8_t> bytes_;
    std::optional<tovan::WaveFormatFields> fields_;
};

// The playback (wire) and intermediate formats the manager offers now.
struct VoiceFormats {
    std::optional<WaveFormat> playback;
    std::optional<WaveFormat> intermediate;
};
// Nothing when the enumeration itself fails; formats left empty when it
// completes without a usable codec.
std::optional<VoiceFormats> FindVoiceFormats();

// The capture format: PCM, mono, 11025 samples/s, 8 bits.
WAVEFORMATEX CaptureFormat();

// Compresses n bytes of captured sound; nothing when any step fails.
std::optional<std::vector<char>> CompressBuffer(const std::uint8_t* sound, std::uint32_t n);

}  // namespace vokar
