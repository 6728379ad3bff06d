// The order in which formats are offered to an exclusive-mode endpoint, and
// the texts: code names, composed refusals and the information box.
#include "app/engine/WasapiFormat.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "app/engine/WasapiTexts.h"

namespace ov {
namespace {

WaveFormat Plain(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
  WaveFormat f{};
  f.formatTag = tag;
  f.channels = channels;
  f.samplesPerSec = rate;
  f.bitsPerSample = bits;
  f.blockAlign = static_cast<uint16_t>(channels * bits / 8);
  f.avgBytesPerSec = rate * f.blockAlign;
  return f;
}

struct Offer {
  uint16_t bits, valid, blockAlign;
  bool isFloat;
  bool operator==(const Offer& o) const {
    return bits == o.bits && valid == o.valid && blockAlign == o.blockAlign && isFloat == o.isFloat;
  }
};

std::vector<Offer> Offers(const WaveFormat& engine, bool output, bool force = false) {
  bool mono = false;
  WaveFormat f = FirstWasapiFormat(engine, output, force, &mono);
  std::vector<Offer> r;
  do {
    EXPECT_EQ(f.formatTag, kWaveFormatExtensible);
    EXPECT_EQ(f.avgBytesPerSec, f.samplesPerSec * f.blockAlign);
    r.push_back({f.bitsPerSample, f.validBitsPerSample, f.blockAlign, FloatWidth(f) != 0});
  } while (NextWasapiFormat(f, FloatWidth(engine), output) && r.size() < 10);
  return r;
}

TEST(WasapiFormat, OutputAttemptOrder) {
  using V = std::vector<Offer>;
  EXPECT_EQ(Offers(Plain(1, 2, 48000, 16), true),
            (V{{16, 16, 4, 0}, {24, 24, 6, 0}, {32, 32, 8, 0}}));
  EXPECT_EQ(Offers(Plain(1, 2, 48000, 24), true), (V{{24, 24, 6, 0}, {32, 32, 8, 0}}));
  EXPECT_EQ(Offers(Plain(1, 2, 48000, 32), true), (V{{32, 32, 8, 0}}));
  EXPECT_EQ(Offers(Plain(3, 2, 48000, 32), true),
            (V{{32, 32, 8, 1}, {24, 24, 6, 0}, {32, 32, 8, 0}}));
  // 8-bit samples go out as 16-bit; the valid bits keep 8 until widened.
  EXPECT_EQ(Offers(Plain(1, 2, 48000, 8), true),
            (V{{16, 8, 4, 0}, {24, 24, 6, 0}, {32, 32, 8, 0}}));
}

TEST(WasapiFormat, InputWidensOnlyAboveSixteenBits) {
  using V = std::vector<Offer>;
  EXPECT_EQ(Offers(Plain(1, 2, 44100, 16), false), (V{{16, 16, 4, 0}}));
  EXPECT_EQ(Offers(Plain(1, 2, 44100, 24), false), (V{{24, 24, 6, 0}, {32, 32, 8, 0}}));
  EXPECT_EQ(Offers(Plain(3, 1, 44100, 32), false),
            (V{{32, 32, 4, 1}, {24, 24, 3, 0}, {32, 32, 4, 0}}));
  EXPECT_EQ(Offers(Plain(1, 1, 44100, 8), false), (V{{8, 8, 1, 0}}));
}

TEST(WasapiFormat, MonoToStereoKeepsTheOneChannelMask) {
  bool mono = false;
  const WaveFormat f = FirstWasapiFormat(Plain(1, 1, 44100, 16), true, true, &mono);
  EXPECT_TRUE(mono);
  EXPECT_EQ(f.channels, 2);
  EXPECT_EQ(f.blockAlign, 4);
  EXPECT_EQ(f.avgBytesPerSec, 176400u);
  EXPECT_EQ(f.channelMask, 1u);
  const WasapiSampleLayout l = WasapiLayout(Plain(1, 1, 44100, 16), f, mono);
  EXPECT_EQ(l.channels, 1u);
  EXPECT_EQ(DeviceFrameBytes(l, true), 4u);
  // Stereo, or input, stays as it is.
  FirstWasapiFormat(Plain(1, 2, 44100, 16), true, true, &mono);
  EXPECT_FALSE(mono);
  EXPECT_EQ(FirstWasapiFormat(Plain(1, 1, 44100, 16), false, true, &mono).channels, 1);
}

TEST(WasapiFormat, LayoutFollowsTheNegotiatedFormat) {
  const WaveFormat engine = Plain(3, 2, 48000, 32);
  bool mono = false;
  WaveFormat d = FirstWasapiFormat(engine, true, false, &mono);
  WasapiSampleLayout l = WasapiLayout(engine, d, mono);
  EXPECT_TRUE(l.deviceFloat);
  EXPECT_EQ(l.sourceBits, -32);
  ASSERT_TRUE(NextWasapiFormat(d, 32, true));
  l = WasapiLayout(engine, d, mono);
  EXPECT_FALSE(l.deviceFloat);
  EXPECT_EQ(l.deviceBits, 24);
}

TEST(WasapiTexts, CodeNamesAndComposedRefusals) {
  EXPECT_EQ(WasapiCodeName(0x88890001), "AUDCLNT_E_NOT_INITIALIZED");
  EXPECT_EQ(WasapiCodeName(0x8889000C), "AUDCLNT_E_THREAD_NOT_REGISTERED");
  EXPECT_EQ(WasapiCodeName(0x8889000E), "AUDCLNT_E_EXCLUSIVE_MODE_NOT_ALLOWED");
  EXPECT_EQ(WasapiCodeName(0x88890019), "AUDCLNT_E_BUFFER_SIZE_NOT_ALIGNED");
  EXPECT_EQ(WasapiCodeName(0x88890020), "AUDCLNT_E_INVALID_DEVICE_PERIOD");
  EXPECT_EQ(WasapiCodeName(0x80070057), "E_INVALIDARG");
  EXPECT_EQ(WasapiCodeName(0x8007000E), "E_OUTOFMEMORY");
  // Outside the table: the number, not the name returned last.
  EXPECT_EQ(WasapiCodeName(0x8889000D), "0x8889000D");
  EXPECT_EQ(WasapiCodeName(0), "0x00000000");
  EXPECT_EQ(WasapiCodeName(0x80004001), "0x80004001");
  const std::string init = WasapiInitializeText(0x8889000A);
  EXPECT_EQ(init, "Unable to initialize. (AUDCLNT_E_DEVICE_IN_USE)");
  EXPECT_EQ(init.substr(22), "(AUDCLNT_E_DEVICE_IN_USE)");
  EXPECT_EQ(WasapiDevicePeriodText(0x80004003), "Unable to get device period. (E_POINTER)");
  EXPECT_EQ(WasapiBufferSizeText(0x88890001),
            "Unable to get buffer size. (AUDCLNT_E_NOT_INITIALIZED)");
}

TEST(WasapiTexts, InformationWhenPreparedAndWhenRefused) {
  WasapiInfo i;
  i.name = "Speakers";
  i.prepared = true;
  i.channelCount = -2;
  i.rate = 48000;
  i.bits = 24;
  i.minPeriod = 30000;
  i.defaultPeriod = 100000;
  i.bufferFrames = 960;
  i.latency = 200000;
  i.eventMode = true;
  EXPECT_EQ(WasapiInfoText(i),
            "========== WASAPI Information ==========\n[ Speakers ]\n\n"
            "Output Channels:\t 2?\nSample Rate:\t 48000\nBits/Sample:\t 24\n"
            "Buffer size min:\t 144  (3.0ms)\n\t default:\t 480  (10.0ms)\n"
            "\t actual:\t 960  (20.0ms)\nStream latency:\t 960  (20.0ms)\n\n"
            "Mode:\t\t exclusive-mode\nBuffering:  \t event-driven\nMMCSS task:\t \"Pro Audio\"\n");
  i.input = true;
  i.channelCount = 4;
  i.eventMode = false;
  i.withVolume = true;
  i.volume.masterDb = -6.5f;
  i.volume.masterScalar = 0.5f;
  i.volume.channels = 2;
  i.volume.channelDb[1] = -1.25f;
  i.volume.channelScalar[1] = 0.75f;
  i.volume.minDb = -96;
  i.volume.incrementDb = 0.5f;
  i.volume.step = 3;
  i.volume.stepCount = 193;
  i.volume.mute = true;
  i.volume.hardwareSupport = 5;
  const std::string t = WasapiInfoText(i);
  EXPECT_NE(t.find("Input Channels:\t 4 \n"), std::string::npos);
  EXPECT_NE(t.find("Buffering:  \t timer-driven\n"), std::string::npos);
  EXPECT_NE(t.find("\nMaster Volume:\t -6.50dB  (0.50)\nCh.1 Volume:\t 0.00dB  (0.00)\n"
                   "Ch.2 Volume:\t -1.25dB  (0.75)\nVolume Min:\t -96.00dB\nVolume Max:\t 0.00dB\n"
                   "Volume Incr:\t 0.50dB\nVolume Step:\t 3\n    Step count:\t 193\nMute:\t\t On\n"
                   "Hardware support:\n\t Volume:\t Yes\n\t Mute:\t No\n\t Meter:\t Yes"),
            std::string::npos)
      << t;
  WasapiInfo refused;
  refused.name = "Null Output";
  refused.rate = 44100;
  refused.bits = 16;
  refused.error = WasapiInitializeText(0x8889000E);
  EXPECT_EQ(WasapiInfoText(refused),
            "========== WASAPI Information ==========\n[ Null Output ]\n\n"
            "Sample Rate:\t 44100\nBits/Sample:\t 16\n\n\n"
            " Error: Unable to initialize. (AUDCLNT_E_EXCLUSIVE_MODE_NOT_ALLOWED)");
}

}  // namespace
}  // namespace ov
