// The overlay file: exact layout, round trips for every analysis size, and
// the loader's answer to every kind of broken file.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "app/analysis/OverlayFile.h"

namespace ov {
namespace {

std::string Digits15(double v) {
  char text[40];
  std::snprintf(text, sizeof text, "%.15g", v);
  return text;
}

std::vector<std::string> SplitCrLf(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t cr; (cr = text.find("\r\n", start)) != std::string::npos; start = cr + 2) {
    lines.push_back(text.substr(start, cr - start));
  }
  EXPECT_EQ(start, text.size()) << "text after the last CR LF";
  return lines;
}

TEST(OverlayFileTest, RoundTripEverySize) {
  std::mt19937_64 random(15);
  std::uniform_real_distribution<double> spread(0.0, 40000.0);
  for (int32_t n = 128; n <= 131072; n *= 2) {
    SCOPED_TRACE(n);
    const int32_t b = n / 2 + 1;
    std::vector<double> amps(b);
    for (int32_t k = 0; k < b; ++k) amps[k] = spread(random);
    amps[0] = 12345.678901234567;
    amps[1] = 0.0;
    amps[2] = 1e-300;
    amps[3] = 32768.0;
    amps[b - 1] = 2.0000000000000013;
    const std::string file = FormatOverlayFile("round trip", 44100, n, amps.data(), b);

    // CR LF everywhere, no lone CR or LF.
    for (size_t i = 0; i < file.size(); ++i) {
      if (file[i] == '\r') {
        ASSERT_EQ(file[i + 1], '\n') << i;
      }
      if (file[i] == '\n') {
        ASSERT_EQ(file[i - 1], '\r') << i;
      }
    }
    const std::vector<std::string> lines = SplitCrLf(file);
    ASSERT_EQ(lines.size(), 5u + static_cast<size_t>((b + 7) / 8));
    EXPECT_EQ(lines[0], "\"Orlavisonic Overlay\",1.20");
    EXPECT_EQ(lines[2], "\"Sampling Frequency\",44100");
    EXPECT_EQ(lines[3], "\"FFT Samples\"," + std::to_string(n));
    EXPECT_EQ(lines[4], "\"Amplitude\"," + std::to_string(b));
    // Bin 0 as it is, the others halved.
    EXPECT_EQ(lines[5].substr(0, lines[5].find(',')), Digits15(amps[0]));
    EXPECT_EQ(lines[5].substr(lines[5].find(',') + 1, 1), "0");

    OverlayFileContents out;
    ASSERT_EQ(ParseOverlayFile(file, {44100, n}, Language::English, out), "");
    ASSERT_EQ(out.amplitudes.size(), static_cast<size_t>(b));
    EXPECT_EQ(out.comment, "round trip");
    EXPECT_EQ(Digits15(out.amplitudes[0]), Digits15(amps[0]));
    EXPECT_EQ(out.amplitudes[1], 0.0);
    EXPECT_EQ(out.amplitudes[3], 32768.0);
    for (int32_t k = 0; k < b; ++k) {
      // Halved, written with 15 digits, doubled: within half a unit of the
      // 15th significant digit.
      ASSERT_LE(std::fabs(out.amplitudes[k] - amps[k]), 5.1e-15 * amps[k]) << k;
    }
  }
}

TEST(OverlayFileTest, Size4096Has257ValueLinesTheLastWithOneValue) {
  std::vector<double> amps(2049, 2.0);
  const std::vector<std::string> lines =
      SplitCrLf(FormatOverlayFile("", 44100, 4096, amps.data(), 2049));
  ASSERT_EQ(lines.size(), 5u + 257u);
  EXPECT_EQ(lines[1], "\"Comment\",\"\"");
  EXPECT_EQ(lines[5], "2,1,1,1,1,1,1,1");
  EXPECT_EQ(lines[260], "1,1,1,1,1,1,1,1");
  EXPECT_EQ(lines[261], "1");
}

TEST(OverlayFileTest, CommentsAreWrittenOnOneLineWithinTwoHundredBytes) {
  EXPECT_EQ(OverlayFileComment("a \"quoted\" word"), "a \"quoted\" word");
  EXPECT_EQ(OverlayFileComment("one\r\ntwo\nthree\rfour"), "one two three four");
  EXPECT_EQ(OverlayFileComment(std::string(250, 'x')), std::string(200, 'x'));
  // 199 ASCII bytes then a 3-byte character: the character does not fit.
  EXPECT_EQ(OverlayFileComment(std::string(199, 'x') + "\xE3\x81\x82" + "y"),
            std::string(199, 'x'));
  // 198 + 2-byte character ends exactly at 200.
  EXPECT_EQ(OverlayFileComment(std::string(198, 'x') + "\xC3\xA9" + "y"),
            std::string(198, 'x') + "\xC3\xA9");
}

TEST(OverlayFileTest, CommentWithQuotesReadsBackWhole) {
  const double amps[3] = {1, 2, 4};
  const std::string file = FormatOverlayFile("say \"hi\", \"", 8000, 4, amps, 3);
  OverlayFileContents out;
  ASSERT_EQ(ParseOverlayFile(file, {8000, 4}, Language::English, out), "");
  EXPECT_EQ(out.comment, "say \"hi\", \"");
  EXPECT_EQ(out.amplitudes, (std::vector<double>{1, 2, 4}));
}

// A hand-made file: the five key lines (each given without its CR LF) and
// the value text as it stands.
std::string Header(const std::string& l1 = "\"Orlavisonic Overlay\",1.20",
                   const std::string& l2 = "\"Comment\",\"note\"",
                   const std::string& l3 = "\"Sampling Frequency\",44100",
                   const std::string& l4 = "\"FFT Samples\",4",
                   const std::string& l5 = "\"Amplitude\",3") {
  return l1 + "\r\n" + l2 + "\r\n" + l3 + "\r\n" + l4 + "\r\n" + l5 + "\r\n";
}

struct ReaderCase {
  const char* name;
  std::string file;
  std::string message;  // "" = loads
};

TEST(OverlayFileTest, ReaderAnswersEveryKindOfFile) {
  const std::string ok = Header() + "1,2,3\r\n";
  const std::string padded298 = "\"Orlavisonic Overlay\",1.20" + std::string(298 - 26, ' ');
  const std::string padded299 = padded298 + " ";
  const ReaderCase cases[] = {
      {"well formed", ok, ""},
      {"another version", Header("\"Orlavisonic Overlay\",2.5") + "1,2,3\r\n", ""},
      {"298 characters", Header(padded298) + "1,2,3\r\n", ""},
      {"299 characters", Header(padded299) + "1,2,3\r\n", "Too long line.\nUnable to read data.\n"},
      {"empty file", "", "Unable to read data.\n"},
      {"end before CR LF", "\"Orlavisonic Overlay\",1.20", "Unable to read data.\n"},
      {"LF only", "\"Orlavisonic Overlay\",1.20\n\"Comment\",\"\"\n", "Unable to read data.\n"},
      {"LF only, long", std::string(400, 'a') + "\n", "Too long line.\nUnable to read data.\n"},
      {"binary", std::string("\x00\xFF\x7F\r\n\x01", 6), "Format mismatch.\n\n"},
      {"missing opening quote", Header("Orlavisonic Overlay\",1.20") + "1,2,3\r\n",
       "Format mismatch.\n\n"},
      {"missing closing quote", Header("\"Orlavisonic Overlay,1.20") + "1,2,3\r\n",
       "Format mismatch.\n\n"},
      {"wrong key", Header("\"Orlavisonic Overlax\",1.20"),
       "Strings mismatch.\n\n\"Orlavisonic Overlay\""},
      {"no comma", Header("\"Orlavisonic Overlay\" 1.20"), "Unable to read value.\n\n"},
      {"version not a number", Header("\"Orlavisonic Overlay\",one"), "Unable to read value.\n\n"},
      {"comment without quotes", Header("\"Orlavisonic Overlay\",1.20", "\"Comment\",note"),
       "Unable to read string.\n\n"},
      {"comment not closed", Header("\"Orlavisonic Overlay\",1.20", "\"Comment\",\"note"),
       "Unable to read string.\n\n"},
      {"comment a lone quote", Header("\"Orlavisonic Overlay\",1.20", "\"Comment\",\""),
       "Unable to read string.\n\n"},
      {"rate mismatch",
       Header("\"Orlavisonic Overlay\",1.20", "\"Comment\",\"\"", "\"Sampling Frequency\",48000"),
       "Unable to load.  [Sampling freq. mismatch.]\n\n48000"},
      {"rate truncated",
       Header("\"Orlavisonic Overlay\",1.20", "\"Comment\",\"\"",
              "\"Sampling Frequency\",44100.9") +
           "1,2,3\r\n",
       ""},
      {"rate beyond the integers",
       Header("\"Orlavisonic Overlay\",1.20", "\"Comment\",\"\"", "\"Sampling Frequency\",3e9"),
       "Unable to read value.\n\n"},
      {"N mismatch",
       Header("\"Orlavisonic Overlay\",1.20", "\"Comment\",\"\"", "\"Sampling Frequency\",44100",
              "\"FFT Samples\",8"),
       "Unable to load.  [FFT sample points mismatch.]\n\n8"},
      {"B mismatch",
       Header("\"Orlavisonic Overlay\",1.20", "\"Comment\",\"\"", "\"Sampling Frequency\",44100",
              "\"FFT Samples\",4", "\"Amplitude\",5"),
       "Unable to load.  [Data sample number mismatch.]\n\n5"},
      {"end inside the values", Header() + "1,2", "Unable to read data.\n"},
      {"end after a separator", Header() + "1,2,", "Unable to read data.\n"},
      {"separator and line break", Header() + "1\r\n2,\r\n3\r\n", "Unable to read value.\n\n"},
      {"one value a line", Header() + "1\r\n2\r\n3\r\n", ""},
      {"line breaks between any values", Header() + "1,2\r\n3\r\n", ""},
      {"CR without LF", Header() + "1\r2\r3\r", ""},
      {"data after the values", Header() + "1,2,3\r\n4,5,garbage\r\n", ""},
      {"value not whole", Header() + "1,2x,3\r\n", "Unable to read value.\n\n"},
      {"value empty", Header() + "1,,3\r\n", "Unable to read value.\n\n"},
      {"value infinite", Header() + "1,inf,3\r\n", "Unable to read value.\n\n"},
      {"value not a number", Header() + "1,nan,3\r\n", "Unable to read value.\n\n"},
      {"value overflows when doubled", Header() + "1,1e308,3\r\n", "Unable to read value.\n\n"},
      {"value negative", Header() + "1,-2,3\r\n", "Unable to read value.\n\n"},
      {"value of 80 characters", Header() + "1," + std::string(79, '0') + "2,3\r\n", ""},
      {"value of 81 characters", Header() + "1," + std::string(80, '0') + "2,3\r\n",
       "Unable to read value.\n\n"},
      {"value with LF only", Header() + "1,2\n3\r\n", "Unable to read value.\n\n"},
  };
  for (const ReaderCase& c : cases) {
    SCOPED_TRACE(c.name);
    OverlayFileContents out;
    out.comment = "previous";
    EXPECT_EQ(ParseOverlayFile(c.file, {44100, 4}, Language::English, out), c.message);
    if (c.message.empty()) {
      ASSERT_EQ(out.amplitudes.size(), 3u);
      EXPECT_EQ(out.amplitudes[0], 1.0);
      EXPECT_EQ(out.amplitudes[1], 4.0);
      EXPECT_EQ(out.amplitudes[2], 6.0);
    } else {
      EXPECT_TRUE(out.amplitudes.empty());
      EXPECT_EQ(out.comment, "");
    }
  }
}

TEST(OverlayFileTest, MessagesComeInJapaneseToo) {
  OverlayFileContents out;
  EXPECT_EQ(ParseOverlayFile("", {}, Language::Japanese, out), "データを読込めませんでした\n");
  EXPECT_EQ(ParseOverlayFile(Header("\"Orlavisonic Overlay\",1.20", "\"Comment\",\"\"",
                                    "\"Sampling Frequency\",48000"),
                             {44100, 4}, Language::Japanese, out),
            "サンプリング周波数が現在の値と違うので読込めません\n\n48000");
  EXPECT_EQ(ParseOverlayFile(Header("\"Orlavisonic Overlax\",1.20"), {}, Language::Japanese, out),
            "文字列が一致しませんでした\n\n\"Orlavisonic Overlay\"");
}

TEST(OverlayFileTest, WithoutExpectationTheFilesOwnValuesLoad) {
  const double amps[5] = {3, 2, 2, 2, 2};
  OverlayFileContents out;
  ASSERT_EQ(ParseOverlayFile(FormatOverlayFile("x", 96000, 8, amps, 5), {}, Language::English, out),
            "");
  EXPECT_EQ(out.sampleRate, 96000);
  EXPECT_EQ(out.n, 8);
  EXPECT_EQ(out.amplitudeCount, 5);
  EXPECT_EQ(out.amplitudes, (std::vector<double>{3, 2, 2, 2, 2}));
  // A count no analysis can hold is refused rather than allocated.
  EXPECT_EQ(ParseOverlayFile(Header("\"Orlavisonic Overlay\",1.20", "\"Comment\",\"\"",
                                    "\"Sampling Frequency\",44100", "\"FFT Samples\",4",
                                    "\"Amplitude\",2000000000"),
                             {}, Language::English, out),
            "Unable to load.  [Data sample number mismatch.]\n\n2000000000");
}

}  // namespace
}  // namespace ov
