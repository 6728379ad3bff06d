// The positioning window's texts and the arithmetic behind its move boxes:
// time texts, move amounts, captions and hints in both languages, and the
// messages of its marker commands. Portable, so tests check them natively.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/common/UserNotifier.h"

namespace ov {

// "%02dm%02ds%03d" of samples at samplesPerSec (minutes unlimited); a rate of
// 0 shows the time as zero.
std::string MarkerTimeText(uint64_t samples, uint32_t samplesPerSec);

enum class MoveUnit { Samples, Seconds };

// The move amount in samples from the box text: a decimal integer (samples)
// or decimal fraction (seconds, rounded), times 10 with Shift. Negative
// amounts count as 0; amounts past 2^62 are cut there. nullopt for a text
// that is not a number ("abc", "", "1e30" in samples), so no move is made.
std::optional<uint64_t> MoveAmount(std::string_view text, MoveUnit unit, uint32_t samplesPerSec,
                                   bool shift);

// A move from position by amount: backward stops at 0.
uint64_t MoveBackward(uint64_t position, uint64_t amount);
uint64_t MoveForward(uint64_t position, uint64_t amount);

// The items of the two move boxes and their initial texts.
extern const char* const kMoveSampleItems[11];
extern const char* const kMoveSecondItems[6];
constexpr const char kMoveSampleInitial[] = "500";
constexpr const char kMoveSecondInitial[] = "1";

// Repeat timing of the move buttons (ms): first repeat, then every period;
// To top acts once.
constexpr uint32_t kMoveRepeatDelayMs = 500;
constexpr uint32_t kMoveRepeatPeriodMs = 80;
constexpr uint32_t kMoveTopRepeatDelayMs = 400000;
// Where To end seeks; the seek clamps it to the file's length.
constexpr uint64_t kMoveToEndTarget = UINT64_MAX;
// The snippet length of the one-frame button while "fra." is clear.
constexpr uint32_t kSnippetMs = 100;
// Above this WASAPI latency the one-frame button only warns.
constexpr int32_t kWasapiFramePlayMaxLatencyMs = 30;

namespace positioning_text {
constexpr const char kCaption[] = "Orlavisonic - Positioning";
extern const TwoLanguageText kHeaderNo, kHeaderLabel, kHeaderSamples, kHeaderTime;
constexpr int kColumnWidths[4] = {18, 95, 75, 75};
extern const TwoLanguageText kBackwardHint, kForwardHint, kTopHint, kEndHint;
extern const TwoLanguageText kPlayFrameHint, kPlay100msHint;
constexpr const char kFrameCheckCaption[] = "fra.";
constexpr const char kFrameCheckHint[] = "Play One frame/100ms select";
extern const TwoLanguageText kSampleLabel, kMoveGroup, kSampleRadio, kSecondRadio, kMarkerGroup;
extern const TwoLanguageText kAdd, kDelete, kRename, kWrite, kShowUtf8;
extern const TwoLanguageText kDeleteAllQuestion, kWriteQuestion;
extern const TwoLanguageText kRenameTitle, kLabelTooLong;
extern const TwoLanguageText kWasapiLatency, kCurrentLatency;
extern const TwoLanguageText kUnableToWrite;
constexpr const char kMarkerLabelFormat[] = "Marker %d";
}  // namespace positioning_text

// "%s\n\n [%s %dms]": the WASAPI latency notice of the one-frame button.
std::string WasapiLatencyNotice(Language language, int32_t latencyMs);

// "Unable to write file." with the reason on its own line.
std::string MarkerWriteFailureText(Language language, std::string_view reason);

}  // namespace ov
