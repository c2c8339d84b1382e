#include "control/logic/voice_rules.h"

#include <algorithm>

namespace tovan {
namespace {

std::uint16_t Word(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

std::uint32_t DoubleWord(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint32_t>(Word(b, at)) | (static_cast<std::uint32_t>(Word(b, at + 2)) << 16);
}

}  // namespace

bool IsSilence(const std::uint8_t* bytes, std::size_t n) {
    return std::all_of(bytes, bytes + n, [](std::uint8_t b) { return b >= 112 && b <= 133; });
}

std::optional<WaveFormatFields> ReadWaveFormat(const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() < 16) return std::nullopt;
    WaveFormatFields f;
    f.tag = Word(bytes, 0);
    f.channels = Word(bytes, 2);
    f.samplesPerSecond = DoubleWord(bytes, 4);
    f.averageBytesPerSecond = DoubleWord(bytes, 8);
    f.blockAlign = Word(bytes, 12);
    f.bitsPerSample = Word(bytes, 14);
    return f;
}

std::optional<ConversionSizes> SizesForBuffer(std::uint32_t n, const WaveFormatFields& pcm,
                                              const WaveFormatFields& codec) {
    if (pcm.samplesPerSecond == 0 || pcm.bitsPerSample == 0) return std::nullopt;
    // 64-bit products: a driver's rate times a buffer overflows 32 bits.
    const std::uint64_t m = std::uint64_t{n} * pcm.samplesPerSecond / kCaptureRate;
    const std::uint64_t d = m * pcm.bitsPerSample / 8;
    const std::uint64_t capacity = std::uint64_t{codec.averageBytesPerSecond} * m / pcm.samplesPerSecond * 3 / 2;
    if (m == 0 || d == 0 || capacity == 0 || d > 0xFFFFFFFFu || capacity > 0xFFFFFFFFu) return std::nullopt;
    return ConversionSizes{static_cast<std::uint32_t>(m), static_cast<std::uint32_t>(d),
                           static_cast<std::uint32_t>(capacity)};
}

void VoiceFormatChoice::Offer(const EnumeratedFormat& format) {
    if (!format.codecDriver) return;
    const auto fields = ReadWaveFormat(format.bytes);
    if (!fields) return;
    if (fields->tag == kTagTrueSpeech && !trueSpeech_) trueSpeech_ = format;
    else if (fields->tag == kTagGsm610 && !gsm_) gsm_ = format;
    else if (fields->tag == kTagPcm) {
        const bool seen = std::any_of(firstPcmPerDriver_.begin(), firstPcmPerDriver_.end(),
                                      [&](const EnumeratedFormat& f) { return f.driver == format.driver; });
        if (!seen) firstPcmPerDriver_.push_back(format);
    }
}

const EnumeratedFormat* VoiceFormatChoice::Playback() const {
    if (trueSpeech_) return &*trueSpeech_;
    if (gsm_) return &*gsm_;
    return nullptr;
}

const EnumeratedFormat* VoiceFormatChoice::Intermediate() const {
    if (firstPcmPerDriver_.empty()) return nullptr;
    if (const EnumeratedFormat* playback = Playback())
        for (const EnumeratedFormat& f : firstPcmPerDriver_)
            if (f.driver == playback->driver) return &f;
    return &firstPcmPerDriver_.front();
}

}  // namespace tovan
