#include "control/logic/voice_rules.h"

#include <gtest/gtest.h>

#include <vector>

namespace tovan {
namespace {

TEST(VoiceSilence, OnlyBytesWithin112To133AreSilence) {
    const struct {
        std::vector<std::uint8_t> bytes;
        bool silence;
    } cases[] = {
        {{128, 112, 133, 120}, true},
        {{128, 128, 111, 128}, false},  // one byte below makes it sound
        {{128, 134}, false},            // one byte above too
        {{0, 255}, false},
        {{}, true},
    };
    for (const auto& c : cases) EXPECT_EQ(IsSilence(c.bytes.data(), c.bytes.size()), c.silence);

    // A full second that is silent but for its last byte.
    std::vector<std::uint8_t> second(kVoiceBufferBytes, 125);
    EXPECT_TRUE(IsSilence(second.data(), second.size()));
    second.back() = 134;
    EXPECT_FALSE(IsSilence(second.data(), second.size()));
}

TEST(VoiceRing, IndexWrapsAfterTheFifthBuffer) {
    unsigned i = 0;
    std::vector<unsigned> seen;
    for (int k = 0; k < 7; ++k) {
        seen.push_back(i);
        i = NextRingIndex(i);
    }
    EXPECT_EQ(seen, (std::vector<unsigned>{0, 1, 2, 3, 4, 0, 1}));
}

// A WAVEFORMATEX laid out in bytes.
std::vector<std::uint8_t> Format(std::uint16_t tag, std::uint32_t rate, std::uint32_t avg, std::uint16_t align,
                                 std::uint16_t bits, std::uint16_t extra = 0) {
    std::vector<std::uint8_t> b;
    auto put = [&](std::uint32_t v, int n) {
        for (int k = 0; k < n; ++k) b.push_back(static_cast<std::uint8_t>(v >> (8 * k)));
    };
    put(tag, 2), put(1, 2), put(rate, 4), put(avg, 4), put(align, 2), put(bits, 2), put(extra, 2);
    b.resize(b.size() + extra);
    return b;
}

TEST(VoiceConversion, SizesOfOneBuffer) {
    const auto pcm8k = *ReadWaveFormat(Format(kTagPcm, 8000, 16000, 2, 16));
    const auto trueSpeech = *ReadWaveFormat(Format(kTagTrueSpeech, 8000, 1067, 32, 1, 32));
    const auto gsm = *ReadWaveFormat(Format(kTagGsm610, 8000, 1625, 65, 0, 2));

    // A full second: 8000 samples of 16 bits, and half again the codec's second.
    auto s = SizesForBuffer(11025, pcm8k, trueSpeech);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->samples, 8000u);
    EXPECT_EQ(s->intermediateBytes, 16000u);
    EXPECT_EQ(s->outputCapacity, 1067u * 3 / 2);
    s = SizesForBuffer(11025, pcm8k, gsm);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->outputCapacity, 2437u);

    // Integer arithmetic in the stated order: 100 samples at 11025 -> 72 at 8000.
    s = SizesForBuffer(100, pcm8k, gsm);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->samples, 72u);
    EXPECT_EQ(s->intermediateBytes, 144u);
    EXPECT_EQ(s->outputCapacity, 1625u * 72 / 8000 * 3 / 2);

    // Formats that give no size are refused rather than divided by.
    const auto noRate = *ReadWaveFormat(Format(kTagPcm, 0, 0, 2, 16));
    EXPECT_FALSE(SizesForBuffer(11025, noRate, gsm));
    EXPECT_FALSE(SizesForBuffer(1, pcm8k, gsm));  // less than one intermediate sample
    EXPECT_FALSE(ReadWaveFormat(std::vector<std::uint8_t>(15)));
}

TEST(VoiceFormats, TrueSpeechFirstElseGsmAndThePcmOfThatDriver) {
    const EnumeratedFormat adpcmPcm{Format(kTagPcm, 8000, 8000, 1, 8), 1, true};
    const EnumeratedFormat gsmPcm{Format(kTagPcm, 8000, 16000, 2, 16), 2, true};
    const EnumeratedFormat gsm{Format(kTagGsm610, 8000, 1625, 65, 0, 2), 2, true};
    const EnumeratedFormat gsm11k{Format(kTagGsm610, 11025, 2239, 65, 0, 2), 2, true};
    const EnumeratedFormat tsPcm{Format(kTagPcm, 8000, 16000, 2, 16), 3, true};
    const EnumeratedFormat ts{Format(kTagTrueSpeech, 8000, 1067, 32, 1, 32), 3, true};
    const EnumeratedFormat converterPcm{Format(kTagPcm, 44100, 88200, 2, 16), 4, false};
    const EnumeratedFormat notCodecTs{Format(kTagTrueSpeech, 8000, 1067, 32, 1, 32), 4, false};

    struct Case {
        const char* name;
        std::vector<EnumeratedFormat> enumerated;
        const EnumeratedFormat* playback;
        const EnumeratedFormat* intermediate;
    };
    const Case cases[] = {
        {"TrueSpeech wins over an earlier GSM", {converterPcm, adpcmPcm, gsmPcm, gsm, tsPcm, ts}, &ts, &tsPcm},
        {"no TrueSpeech: first GSM and its driver's PCM", {adpcmPcm, gsmPcm, gsm, gsm11k}, &gsm, &gsmPcm},
        {"a converter's formats do not count", {converterPcm, notCodecTs, gsmPcm, gsm}, &gsm, &gsmPcm},
        {"no codec: PCM of any codec driver", {converterPcm, adpcmPcm}, nullptr, &adpcmPcm},
        {"nothing enumerated", {}, nullptr, nullptr},
    };
    for (const Case& c : cases) {
        VoiceFormatChoice choice;
        for (const auto& f : c.enumerated) choice.Offer(f);
        const EnumeratedFormat* p = choice.Playback();
        const EnumeratedFormat* i = choice.Intermediate();
        EXPECT_EQ(p ? p->bytes : std::vector<std::uint8_t>{}, c.playback ? c.playback->bytes : std::vector<std::uint8_t>{})
            << c.name;
        if (p && c.playback) {
            EXPECT_EQ(p->driver, c.playback->driver) << c.name;
        }
        ASSERT_EQ(i != nullptr, c.intermediate != nullptr) << c.name;
        if (i) {
            EXPECT_EQ(i->driver, c.intermediate->driver) << c.name;
        }
    }
}

TEST(VoiceVolume, ChannelsStayApart) {
    EXPECT_EQ(ComposeVolume(0x8000, 0xFFFF), 0xFFFF8000u);
    EXPECT_EQ(VolumeLeft(0xFFFF8000u), 0x8000u);
    EXPECT_EQ(VolumeRight(0xFFFF8000u), 0xFFFFu);
    EXPECT_EQ(ComposeVolume(0x12345678, 0x1), 0x00015678u);  // only the left's low 16 bits
    EXPECT_EQ(WithLeft(0xFFFF8000u, 0), 0xFFFF0000u);          // right untouched
    EXPECT_EQ(WithRight(0xFFFF8000u, 0x10001), 0x00018000u);   // left untouched, low 16 bits taken
}

}  // namespace
}  // namespace tovan
