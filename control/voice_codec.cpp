#include "control/voice_codec.h"

#include <msacm.h>

namespace vokar {
namespace {

BOOL CALLBACK OnFormat(HACMDRIVERID driver, LPACMFORMATDETAILSA details, DWORD_PTR instance, DWORD support) {
    auto* choice = reinterpret_cast<tovan::VoiceFormatChoice*>(instance);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(details->pwfx);
    const DWORD size = details->cbwfx;
    choice->Offer({std::vector<std::uint8_t>(bytes, bytes + size), reinterpret_cast<std::uintptr_t>(driver),
                   (support & ACMDRIVERDETAILS_SUPPORTF_CODEC) != 0});
    return TRUE;  // every format: a later driver may still have the preferred codec
}

// One conversion on a stream of its own; the bytes produced, or nothing.
std::optional<std::uint32_t> Convert(WAVEFORMATEX* from, WAVEFORMATEX* to, const void* in, std::uint32_t inLength,
                                     void* out, std::uint32_t outCapacity) {
    HACMSTREAM stream = nullptr;
    if (acmStreamOpen(&stream, nullptr, from, to, nullptr, 0, 0, ACM_STREAMOPENF_NONREALTIME) != 0)
        return std::nullopt;
    ACMSTREAMHEADER header = {};
    header.cbStruct = sizeof header;
    header.pbSrc = static_cast<LPBYTE>(const_cast<void*>(in));
    header.cbSrcLength = inLength;
    header.pbDst = static_cast<LPBYTE>(out);
    header.cbDstLength = outCapacity;
    std::optional<std::uint32_t> produced;
    if (acmStreamPrepareHeader(stream, &header, 0) == 0) {
        if (acmStreamConvert(stream, &header, 0) == 0) produced = header.cbDstLengthUsed;
        acmStreamUnprepareHeader(stream, &header, 0);
    }
    acmStreamClose(stream, 0);
    return produced;
}

}  // namespace

std::optional<VoiceFormats> FindVoiceFormats() {
    DWORD largest = 0;
    if (acmMetrics(nullptr, ACM_METRIC_MAX_SIZE_FORMAT, &largest) != 0 || largest < sizeof(WAVEFORMATEX))
        return std::nullopt;
    std::vector<std::uint8_t> buffer(largest, 0);
    auto* format = reinterpret_cast<WAVEFORMATEX*>(buffer.data());
    format->cbSize = static_cast<WORD>(largest - sizeof(WAVEFORMATEX));
    format->wFormatTag = WAVE_FORMAT_UNKNOWN;

    ACMFORMATDETAILSA details = {};
    details.cbStruct = sizeof details;
    details.pwfx = format;
    details.cbwfx = largest;
    tovan::VoiceFormatChoice choice;
    if (acmFormatEnumA(nullptr, &details, OnFormat, reinterpret_cast<DWORD_PTR>(&choice), 0) != 0)
        return std::nullopt;

    VoiceFormats found;
    if (const auto* p = choice.Playback()) found.playback.emplace(p->bytes);
    if (const auto* i = choice.Intermediate()) found.intermediate.emplace(i->bytes);
    return found;
}

WAVEFORMATEX CaptureFormat() {
    WAVEFORMATEX f = {};
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.nChannels = 1;
    f.nSamplesPerSec = tovan::kCaptureRate;
    f.nAvgBytesPerSec = tovan::kCaptureRate;
    f.nBlockAlign = 1;
    f.wBitsPerSample = 8;
    f.cbSize = 0;
    return f;
}

std::optional<std::vector<char>> CompressBuffer(const std::uint8_t* sound, std::uint32_t n) {
    auto formats = FindVoiceFormats();
    if (!formats || !formats->playback || !formats->intermediate || !formats->playback->valid() ||
        !formats->intermediate->valid())
        return std::nullopt;
    WaveFormat& pcm = *formats->intermediate;
    WaveFormat& codec = *formats->playback;
    const auto sizes = tovan::SizesForBuffer(n, pcm.fields(), codec.fields());
    if (!sizes) return std::nullopt;

    WAVEFORMATEX capture = CaptureFormat();
    std::vector<std::uint8_t> intermediate(sizes->intermediateBytes);
    const auto pcmBytes = Convert(&capture, pcm.get(), sound, n, intermediate.data(), sizes->intermediateBytes);
    if (!pcmBytes || *pcmBytes == 0) return std::nullopt;

    std::vector<char> out(sizes->outputCapacity);
    const auto codecBytes = Convert(pcm.get(), codec.get(), intermediate.data(), *pcmBytes, out.data(),
                                    sizes->outputCapacity);
    if (!codecBytes || *codecBytes == 0) return std::nullopt;
    out.resize(*codecBytes);
    return out;
}

}  // namespace vokar
