// The overlay file: a small CSV-like text holding one stored spectrum.
//
//   "Orlavisonic Overlay",1.20
//   "Comment","<comment>"
//   "Sampling Frequency",44100
//   "FFT Samples",4096
//   "Amplitude",2049
//   v0,v1,...,v7          (8 values a line, the last line the remainder)
//
// Every line ends in CR LF. Value 0 is the overlay amplitude of bin 0, every
// later value half the amplitude (the file holds single-bin magnitudes in
// 16-bit units, the analysis arrays amplitudes). The comment is UTF-8.
//
// Writing and reading work on memory; OverlayFileStore.h moves the bytes to
// and from disk. Failures come back as the whole message text to show.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/common/UserNotifier.h"

namespace ov {

constexpr const char kOverlayFileKey[] = "Orlavisonic Overlay";
constexpr const char kOverlayFileVersion[] = "1.20";
constexpr const char kOverlayDefaultName[] = "OVERLAY.OVO";
constexpr const char kOverlayDefaultExtension[] = "OVO";
// Bytes of the comment kept in the file, cut at a character boundary.
constexpr size_t kOverlayCommentMaxBytes = 200;
// A key line may hold this many characters, its CR LF included.
constexpr size_t kOverlayKeyLineMax = 300;
// A value may hold this many characters before its separator.
constexpr size_t kOverlayValueMax = 80;

// The comment as the file holds it: line breaks become spaces (a CR LF pair
// one space) and the text is cut to at most 200 bytes without splitting a
// UTF-8 character.
std::string OverlayFileComment(std::string_view comment);

// The whole file for amplitudes[0 .. count) of an analysis at sampleRate with
// size n (count is n/2 + 1).
std::string FormatOverlayFile(std::string_view comment, int32_t sampleRate, int32_t n,
                              const double* amplitudes, int32_t count);

// What the loader compares the file against: the current analysis. An empty
// field takes the file's own value (ovtool without --rate/--n); an empty
// amplitudeCount is n/2 + 1 of the expected n, or the file's count when n is
// empty too.
struct OverlayExpectation {
  std::optional<int32_t> sampleRate;
  std::optional<int32_t> n;
};

struct OverlayFileContents {
  std::string comment;
  int32_t sampleRate = 0;
  int32_t n = 0;
  int32_t amplitudeCount = 0;
  std::vector<double> amplitudes;  // as the overlay holds them: all but the first doubled
};

// Reads a whole overlay file from memory into out. Returns "" on success, else
// the message the program shows (in language) and out holds no amplitudes.
// Nothing outside out is touched: the caller commits only a success.
std::string ParseOverlayFile(std::string_view file, const OverlayExpectation& expected,
                             Language language, OverlayFileContents& out);

// A file longer than this cannot hold more than header lines and the values of
// the largest analysis size (each value at most 80 characters plus CR LF): the
// loader reads no further.
constexpr size_t kOverlayFileReadLimit =
    5 * kOverlayKeyLineMax + (131072 / 2 + 1) * (kOverlayValueMax + 2);

// The messages of loading and saving, each a whole message box text.
namespace overlay_text {
constexpr TwoLanguageText kReadData{"データを読込めませんでした\n", "Unable to read data.\n"};
constexpr TwoLanguageText kTooLong{"1行が長すぎます\nデータを読込めませんでした\n",
                                   "Too long line.\nUnable to read data.\n"};
constexpr TwoLanguageText kFormatMismatch{"フォーマットが違います\n\n", "Format mismatch.\n\n"};
constexpr TwoLanguageText kStringsMismatch{"文字列が一致しませんでした", "Strings mismatch."};
constexpr TwoLanguageText kReadValue{"数値が読めませんでした\n\n", "Unable to read value.\n\n"};
constexpr TwoLanguageText kReadString{"文字列が読めませんでした\n\n", "Unable to read string.\n\n"};
constexpr TwoLanguageText kRateMismatch{"サンプリング周波数が現在の値と違うので読込めません",
                                        "Unable to load.  [Sampling freq. mismatch.]"};
constexpr TwoLanguageText kFftMismatch{"FFTサンプル数が現在の値と違うので読込めません",
                                       "Unable to load.  [FFT sample points mismatch.]"};
constexpr TwoLanguageText kCountMismatch{"データサンプル数が現在の値と違うので読込めません",
                                         "Unable to load.  [Data sample number mismatch.]"};
constexpr TwoLanguageText kOpen{"ファイルが開けません", "Unable to open file."};
constexpr TwoLanguageText kCreate{"ファイルが作成できません", "Unable to create file."};
constexpr TwoLanguageText kWrite{"ファイルが書けません", "Unable to write file."};
// Dialog texts.
constexpr TwoLanguageText kOpenTitle{"ｵｰﾊﾞｰﾚｲﾌｧｲﾙを開く", "Open Overlay file."};
constexpr TwoLanguageText kSaveTitle{"ｵｰﾊﾞｰﾚｲﾌｧｲﾙの保存", "Save Overlay file."};
constexpr TwoLanguageText kFileKind{"ｵｰﾊﾞｰﾚｲﾌｧｲﾙ", "Overlay file"};
constexpr TwoLanguageText kAllFiles{"すべてのﾌｧｲﾙ", "All files"};
}  // namespace overlay_text

}  // namespace ov
