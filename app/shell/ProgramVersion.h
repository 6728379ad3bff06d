// The running program's version: written to the settings file as `Ver` and shown
// in the main window's caption.
#pragma once

namespace ov {

constexpr double kProgramVersion = 1.0;
constexpr const char kProgramVersionText[] = "Ver.1.00";
// The version in the main window's caption ("Orlavisonic 1.00").
constexpr const char kProgramCaptionVersion[] = "1.00";

}  // namespace ov
