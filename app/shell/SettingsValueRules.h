// How one settings value is read from and written as its stored text. Every
// reading falls back to the key's default for empty, out-of-range or (for reals)
// non-finite values; ranges are inclusive.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ov {

// Leading blanks, an optional sign, then decimal digits up to the first other
// character; no digits gives 0 and values beyond 32 bits saturate (as atol with
// a 32-bit long).
int32_t AtolValue(std::string_view text);

int32_t ReadInt(std::string_view text, int32_t fallback, int32_t min, int32_t max);
// Like ReadInt, but a value outside min..max is clamped rather than replaced.
int32_t ReadClampedInt(std::string_view text, int32_t fallback, int32_t min, int32_t max);
// Like ReadInt into an 8-bit field; min..max must lie within -128..127.
int8_t ReadSmallInt(std::string_view text, int8_t fallback, int8_t min, int8_t max);
bool ReadBool(std::string_view text, bool fallback);
// Converted as by strtod (junk gives 0).
double ReadReal(std::string_view text, double fallback, double min, double max);

// An integer in decimal, or hexadecimal after "0x", "0X" or "$", with an optional
// sign in front. Hexadecimal values up to 8 digits take the 32-bit pattern
// ("$FF00000F" is negative); anything else that does not fit 32 bits, stray
// characters and missing digits do not parse.
std::optional<int32_t> ParseHexInt(std::string_view text);

// At most maxChars characters of UTF-8 text, never splitting a character.
std::string CutText(std::string_view utf8, size_t maxChars);
// At most maxUnits UTF-16 units, never splitting a surrogate pair.
std::u16string CutWide(std::u16string_view utf16, size_t maxUnits);

std::string FormatInt(int32_t value);
// Seven significant digits; a whole number keeps its decimal point ("-1.").
std::string FormatReal(double value);
std::string FormatHex(int32_t value);  // "0x%08X"

// Text as it must be written so that the profile functions read it back
// unchanged: line breaks become blanks and the text ends at a NUL (a key is one
// line), and text with blanks or matching quotes at its ends is put in quotes.
std::string ProfileValueText(std::string_view text);

}  // namespace ov
