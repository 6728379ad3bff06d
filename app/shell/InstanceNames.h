// Names by which the instances of the program find each other, and the
// decision which role a starting process takes. Portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ov {

constexpr char kMainWindowClass[] = "TMainForm";
constexpr char kFirstMutexName[] = "zel_ov_mutex";
constexpr char kSecondMutexName[] = "zel_ov_mutex2";
// Class and caption are compared as read into buffers of this many characters
// (the terminating NUL included).
constexpr size_t kWindowNameBuffer = 49;

// "Orlavisonic" for instance 1, "Orlavisonic:2" for instance 2.
std::string ApplicationTitle(int instance);
// The main window's caption: title, one blank, the version ("Orlavisonic 1.00").
std::string MainCaption(int instance);
// The caption cut at the first blank: what instances compare against a title.
std::string_view CaptionTitle(std::string_view caption);

enum class StartRole {
  HandOver,        // give the command line to instance 1 and end
  FirstInstance,   // "zel_ov_mutex" was new
  SecondInstance,  // "zel_ov_mutex2" was new
  ActivateSecond,  // a third plain start: bring instance 2 forward and end
};

// The role from the mutexes: firstExisted for "zel_ov_mutex"; secondExisted
// for "zel_ov_mutex2", asked only when the first existed without a command line.
StartRole FirstMutexRole(bool firstExisted, bool hasCommandLine);
StartRole SecondMutexRole(bool secondExisted);

// The text of a WM_COPYDATA hand-over: dwData must be 0; the length comes from
// cbData (never from a terminating NUL), and the text ends at the first NUL
// within it. Nothing for a foreign dwData; an empty text for no data.
std::optional<std::string> HandOverText(uintptr_t dwData, const void* data, size_t bytes);

}  // namespace ov
