// The WASAPI device format list through the endpoint double: which cells the
// probe marks for an endpoint that takes a chosen set of widths, rates and
// channel counts, in query mode and with real exclusive 10 ms streams (with
// the alignment retry, and the start and stop of a capture stream), and that
// the probe keeps its hands off a stream the engine holds.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/engine/ConsoleEngineHost.h"
#include "app/engine/WasapiDouble_win_test.h"
#include "app/engine/WasapiDriver_win.h"
#include "app/engine/WavePlayRec.h"

namespace ov {
namespace {

using test::DoubleEndpoint;

class QuietNotifier : public UserNotifier {
 public:
  NoticeAnswer Notify(std::string_view, NoticeIcon) override { return NoticeAnswer::Ok; }
};

int RateIndex(uint32_t rate) {
  for (int r = 0; r < kProbeRates; ++r) {
    if (kProbeRateList[r] == rate) return r;
  }
  return -1;
}

class WasapiFormats : public ::testing::Test {
 protected:
  void SetUp() override {
    EngineMessage m;
    ASSERT_TRUE(mmcss.Bind(m)) << m.c_str();
    speakers.name = L"Speakers (double)";
    speakers.id = L"{0.0.0.00000000}.{speakers}";
    mic.name = L"Microphone (double)";
    mic.id = L"{0.0.1.00000000}.{mic}";
    mic.capture = true;
  }
  void TearDown() override {
    EngineMessage m;
    mmcss.Free(m);
  }

  struct Engine {
    Engine(AvrtBinding& mmcss, std::vector<DoubleEndpoint*> endpoints, bool eventMode)
        : engine(host, notifier, playState, recState, {}, Settings(eventMode),
                 std::make_unique<WasapiDriver>(&mmcss, test::DoubleEnumerator(endpoints))) {}
    static EngineSettings Settings(bool eventMode) {
      EngineSettings s;
      s.PlayRecDriverType = kDriverWasapi;
      s.WAS_EventMode = eventMode;
      return s;
    }
    ConsoleEngineHost host;
    QuietNotifier notifier;
    std::atomic<int32_t> playState{0}, recState{0};
    WavePlayRec engine;
  };

  FormatProbeTable Probe(bool input, bool query, bool eventMode = true, int32_t device = 0) {
    Engine e(mmcss, {&speakers, &mic}, eventMode);
    EXPECT_EQ(e.engine.GetDriverType(), kDriverWasapi) << e.engine.GetMessage();
    FormatProbeRequest request;
    request.input = input;
    request.queryOnly = query;
    return e.engine.ProbeFormats(device, request, nullptr);
  }

  AvrtBinding mmcss{CreateSystemLibraryLoader()};
  DoubleEndpoint speakers, mic;
};

// Only 44100 and 48000 Hz are taken; every other rate shows "    -".
void ExpectOtherRatesEmpty(const FormatProbeTable& t, const char* what) {
  for (int r = 0; r < kProbeRates; ++r) {
    if (kProbeRateList[r] == 44100 || kProbeRateList[r] == 48000) continue;
    for (int w = 0; w < kProbeWidths; ++w) {
      EXPECT_EQ(FormatCellText(t.cells[r][w]), "    -") << what << " rate " << kProbeRateList[r];
    }
  }
}

TEST_F(WasapiFormats, TwentyFourBitPlayEndpointServesTheNarrowerWidthsByConversion) {
  speakers.accepted = {{24, false}};
  speakers.rates = {44100, 48000};
  speakers.maxChannels = 2;
  for (const bool query : {true, false}) {
    const FormatProbeTable t = Probe(false, query);
    const char* what = query ? "query" : "real streams";
    EXPECT_EQ(t.cellsTried, kProbeRates * kProbeWidths) << what;
    for (const uint32_t rate : {44100u, 48000u}) {
      const int r = RateIndex(rate);
      EXPECT_EQ(FormatCellText(t.cells[r][2]), "   *12") << what << " 24 bit";
      EXPECT_EQ(FormatCellText(t.cells[r][0]), "   12") << what << " 8 bit";
      EXPECT_EQ(FormatCellText(t.cells[r][1]), "   12") << what << " 16 bit";
      EXPECT_EQ(FormatCellText(t.cells[r][4]), "   12") << what << " float";
      EXPECT_EQ(FormatCellText(t.cells[r][3]), "    -") << what << " 32 bit";
    }
    ExpectOtherRatesEmpty(t, what);
  }
}

TEST_F(WasapiFormats, QueryAsksWithoutOpeningAndRealTriesOpenTenMillisecondStreams) {
  speakers.accepted = {{16, false}};
  Probe(false, true);
  EXPECT_GT(speakers.exclusiveQueries.load(), 0);
  EXPECT_TRUE(speakers.Inits().empty()) << "a query opened a stream";

  for (const bool eventMode : {true, false}) {
    DoubleEndpoint out;
    out.name = L"out";
    out.id = L"out";
    out.accepted = {{16, false}};
    Engine e(mmcss, {&out, &mic}, eventMode);
    FormatProbeRequest request;
    e.engine.ProbeFormats(0, request, nullptr);
    EXPECT_EQ(out.exclusiveQueries.load(), 0);
    const auto inits = out.Inits();
    // 11 rates x 5 widths x 1 and 2 channels, each on a fresh client.
    ASSERT_EQ(inits.size(), 110u);
    for (const auto& c : inits) {
      EXPECT_EQ(c.flags, eventMode ? 0x40000u : 0u);
      EXPECT_EQ(c.validBits, c.bits) << "every format goes as the extensible record";
    }
    // 48000 Hz: 480 frames = 100000 x 100 ns; 11025 Hz: 110 frames = 99773.
    EXPECT_EQ(inits[4 * 10].duration, 100000);
    EXPECT_EQ(inits[0].duration, 99773);
    EXPECT_GE(out.activations.load(), 110);
  }
}

TEST_F(WasapiFormats, AnUnalignedBufferIsAskedOnceMoreWithTheEndpointsSize) {
  speakers.accepted = {{16, false}};
  speakers.rates = {48000};
  speakers.alignFrames = 128;
  const FormatProbeTable t = Probe(false, false);
  EXPECT_EQ(FormatCellText(t.cells[RateIndex(48000)][1]), "   *12");
  EXPECT_EQ(FormatCellText(t.cells[RateIndex(48000)][0]), "   12");
  // 480 frames is refused as not aligned; 512 frames (106667 x 100 ns) opens.
  std::vector<REFERENCE_TIME> accepted;
  int refusedAsUnaligned = 0;
  for (const auto& c : speakers.Inits()) {
    if (c.result == AUDCLNT_E_BUFFER_SIZE_NOT_ALIGNED) ++refusedAsUnaligned;
    if (c.result == S_OK) accepted.push_back(c.duration);
  }
  EXPECT_EQ(refusedAsUnaligned, 2);  // mono and stereo, 16 bit
  ASSERT_EQ(accepted.size(), 2u);
  EXPECT_EQ(accepted[0], 106667);
}

TEST_F(WasapiFormats, RecordGridMarksWhatAThirtyTwoBitCaptureServes) {
  mic.accepted = {{32, false}};
  mic.rates = {44100, 48000};
  mic.maxChannels = 2;
  for (const bool eventMode : {true, false}) {
    for (const bool query : {true, false}) {
      mic.starts = mic.stops = 0;
      const FormatProbeTable t = Probe(true, query, eventMode);
      const std::string what = std::string(query ? "query" : "real streams") +
                               (eventMode ? ", event mode" : ", timer mode");
      for (const uint32_t rate : {44100u, 48000u}) {
        const int r = RateIndex(rate);
        EXPECT_EQ(FormatCellText(t.cells[r][3]), "   *12") << what;
        EXPECT_EQ(FormatCellText(t.cells[r][2]), "   12") << what;
        EXPECT_EQ(FormatCellText(t.cells[r][4]), "   12") << what;
        EXPECT_EQ(FormatCellText(t.cells[r][1]), "    -") << what << ": no 16-bit conversion";
        EXPECT_EQ(FormatCellText(t.cells[r][0]), "    -") << what;
      }
      ExpectOtherRatesEmpty(t, what.c_str());
      // A real capture try counts only once the stream has started and stopped:
      // 2 rates x 1 width x 2 channel counts.
      EXPECT_EQ(mic.starts.load(), query ? 0 : 4) << what;
      EXPECT_EQ(mic.stops.load(), mic.starts.load()) << what;
    }
  }
}

TEST_F(WasapiFormats, ACaptureStreamThatCannotStartIsNotAFormatTheEndpointTakes) {
  mic.accepted = {{16, false}};
  mic.startResult = AUDCLNT_E_DEVICE_IN_USE;
  const FormatProbeTable real = Probe(true, false);
  const FormatProbeTable query = Probe(true, true);
  for (int r = 0; r < kProbeRates; ++r) {
    EXPECT_EQ(FormatCellText(real.cells[r][1]), "    -");
    EXPECT_EQ(FormatCellText(query.cells[r][1]), "   *12") << "the query opens no stream";
  }
}

TEST_F(WasapiFormats, AllChannelsAndAnEndpointBeyondTheTable) {
  speakers.accepted = {{16, false}};
  speakers.rates = {48000};
  speakers.maxChannels = 6;
  Engine e(mmcss, {&speakers, &mic}, true);
  FormatProbeRequest request;
  request.queryOnly = true;
  request.allChannels = true;
  const FormatProbeTable t = e.engine.ProbeFormats(0, request, nullptr);
  EXPECT_EQ(FormatCellText(t.cells[RateIndex(48000)][1]), " *123456");
  EXPECT_EQ(FormatCellText(t.cells[RateIndex(48000)][0]), " 123456");
  // Device 5 does not exist: nothing is tried and every cell is "    -".
  const FormatProbeTable none = e.engine.ProbeFormats(5, request, nullptr);
  for (int r = 0; r < kProbeRates; ++r) {
    for (int w = 0; w < kProbeWidths; ++w) EXPECT_EQ(FormatCellText(none.cells[r][w]), "    -");
  }
}

}  // namespace
}  // namespace ov
