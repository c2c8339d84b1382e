// Time to compress one second of captured sound the way a running voice
// session does (a fresh enumeration and two streams opened and closed for
// the buffer), beside one second of real time. Run by hand under Wine:
//   scripts/wine-run build/win64/control/bench_voice_codec.exe
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "control/voice_codec.h"

int main() {
    const auto formats = vokar::FindVoiceFormats();
    if (!formats || !formats->playback || !formats->intermediate) {
        std::printf("no voice codec on this machine\n");
        return 1;
    }
    const auto& codec = formats->playback->fields();
    const auto& pcm = formats->intermediate->fields();
    std::printf("codec: tag %u, %u Hz, %u bytes/s; intermediate PCM %u Hz, %u bits, %u channel(s)\n", codec.tag,
                codec.samplesPerSecond, codec.averageBytesPerSecond, pcm.samplesPerSecond, pcm.bitsPerSample,
                pcm.channels);

    // One second of a 1 kHz tone, 8-bit unsigned.
    std::vector<std::uint8_t> second(tovan::kVoiceBufferBytes);
    for (size_t i = 0; i < second.size(); ++i)
        second[i] = static_cast<std::uint8_t>(128 + 80 * std::sin(2 * 3.14159265358979 * 1000 * i / 11025.0));

    const int rounds = 50;
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    size_t bytes = 0;
    QueryPerformanceCounter(&start);
    for (int r = 0; r < rounds; ++r) {
        const auto out = vokar::CompressBuffer(second.data(), static_cast<std::uint32_t>(second.size()));
        if (!out) {
            std::printf("compression failed\n");
            return 1;
        }
        bytes = out->size();
    }
    QueryPerformanceCounter(&end);
    const double seconds = double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart) / rounds;
    std::printf("one second of sound -> %zu bytes in %.3f ms: %.4f of real time (%d rounds)\n", bytes,
                seconds * 1000, seconds, rounds);
    return 0;
}
