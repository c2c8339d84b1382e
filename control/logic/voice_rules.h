// The sound rules of the chat control that need no device: the capture
// buffers and their ring, the silence test, the sizes of the two conversions
// of one buffer, the choice of the codec formats from the compression
// manager's enumeration, and the bits of the playback volume.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace tovan {

// Capture: PCM, mono, 11025 samples/s, 8 bits. One buffer is one second.
constexpr std::uint32_t kCaptureRate = 11025;
constexpr std::size_t kVoiceBufferBytes = 11025;
constexpr unsigned kVoiceBufferCount = 5;

// Format tags the control knows.
constexpr std::uint16_t kTagPcm = 1;
constexpr std::uint16_t kTagTrueSpeech = 34;
constexpr std::uint16_t kTagGsm610 = 49;

// The next index of a ring of kVoiceBufferCount buffers.
constexpr unsigned NextRingIndex(unsigned index) { return (index + 1) % kVoiceBufferCount; }

// Near silence: every byte lies in 112..133 (8-bit samples around 128).
// An empty buffer counts as silence.
bool IsSilence(const std::uint8_t* bytes, std::size_t n);

// The fields of a wave format the control reads, from its little-endian bytes
// (the platform's WAVEFORMATEX layout); nothing when fewer than 16 bytes.
struct WaveFormatFields {
    std::uint16_t tag = 0;
    std::uint16_t channels = 0;
    std::uint32_t samplesPerSecond = 0;
    std::uint32_t averageBytesPerSecond = 0;
    std::uint16_t blockAlign = 0;
    std::uint16_t bitsPerSample = 0;
};
std::optional<WaveFormatFields> ReadWaveFormat(const std::vector<std::uint8_t>& bytes);

// Sizes of the two conversions of one capture buffer of n bytes (n samples):
// capture -> intermediate PCM (m samples, d bytes), then PCM -> codec into an
// output of `outputCapacity` bytes. Nothing when the formats give no size
// (a zero rate or sample size), so no conversion is tried with them.
struct ConversionSizes {
    std::uint32_t samples = 0;           // m
    std::uint32_t intermediateBytes = 0; // d
    std::uint32_t outputCapacity = 0;
};
std::optional<ConversionSizes> SizesForBuffer(std::uint32_t n, const WaveFormatFields& pcm,
                                              const WaveFormatFields& codec);

// One format as the compression manager enumerates it: its bytes, the driver
// it comes from and whether that driver is a codec.
struct EnumeratedFormat {
    std::vector<std::uint8_t> bytes;
    std::uintptr_t driver = 0;
    bool codecDriver = false;
};

// Picks the voice formats while the manager enumerates every format of every
// driver. Playback (the wire format): the first TrueSpeech format of a codec
// driver; where the machine has none, the first GSM 6.10 format. Both peers
// must end up with the same codec. Intermediate: the first PCM format of the
// driver that gave the playback format (what that codec takes in), else the
// first PCM format of any codec driver.
class VoiceFormatChoice {
public:
    void Offer(const EnumeratedFormat& format);
    const EnumeratedFormat* Playback() const;
    const EnumeratedFormat* Intermediate() const;

private:
    std::optional<EnumeratedFormat> trueSpeech_;
    std::optional<EnumeratedFormat> gsm_;
    std::vector<EnumeratedFormat> firstPcmPerDriver_;  // in enumeration order
};

// Playback volume: low 16 bits left, high 16 bits right.
constexpr std::uint32_t ComposeVolume(std::uint32_t left, std::uint32_t right) {
    return (right << 16) | (left & 0xFFFFu);
}
constexpr std::uint32_t VolumeLeft(std::uint32_t volume) { return volume & 0xFFFFu; }
constexpr std::uint32_t VolumeRight(std::uint32_t volume) { return volume >> 16; }
constexpr std::uint32_t WithLeft(std::uint32_t volume, std::uint32_t left) {
    return (volume & 0xFFFF0000u) | (left & 0xFFFFu);
}
constexpr std::uint32_t WithRight(std::uint32_t volume, std::uint32_t right) {
    return (volume & 0xFFFFu) | ((right & 0xFFFFu) << 16);
}

}  // namespace tovan
