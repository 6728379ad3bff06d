#include "app/shell/SettingsValueRules.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "app/shell/IniText.h"

namespace ov {
namespace {

TEST(SettingsValueRules, AtolTakesLeadingDigitsAndSaturates) {
  EXPECT_EQ(AtolValue("123abc"), 123);
  EXPECT_EQ(AtolValue(" \t-45"), -45);
  EXPECT_EQ(AtolValue("+7"), 7);
  EXPECT_EQ(AtolValue("abc"), 0);
  EXPECT_EQ(AtolValue("-"), 0);
  EXPECT_EQ(AtolValue("0x1F"), 0);
  EXPECT_EQ(AtolValue("2147483647"), INT32_MAX);
  EXPECT_EQ(AtolValue("2147483648"), INT32_MAX);
  EXPECT_EQ(AtolValue("-2147483648"), INT32_MIN);
  EXPECT_EQ(AtolValue(std::string(5000, '9')), INT32_MAX);
  EXPECT_EQ(AtolValue("-" + std::string(5000, '9')), INT32_MIN);
}

TEST(SettingsValueRules, IntFallsBackOutsideItsRangeAndWhenEmpty) {
  EXPECT_EQ(ReadInt("", 4096, 128, 131072), 4096);
  EXPECT_EQ(ReadInt("100", 4096, 128, 131072), 4096);
  EXPECT_EQ(ReadInt("abc", 4096, 128, 131072), 4096);  // junk reads 0, below 128
  EXPECT_EQ(ReadInt("abc", 0, 0, 99), 0);
  EXPECT_EQ(ReadInt("128", 4096, 128, 131072), 128);
  EXPECT_EQ(ReadInt("131072", 4096, 128, 131072), 131072);
  EXPECT_EQ(ReadInt("131073", 4096, 128, 131072), 4096);
  EXPECT_EQ(ReadInt("99999999999", 0, 2, INT32_MAX), INT32_MAX);
}

TEST(SettingsValueRules, ClampedIntStaysInsideItsRange) {
  EXPECT_EQ(ReadClampedInt("45", 0, 0, 30), 30);
  EXPECT_EQ(ReadClampedInt("-3", 0, 0, 30), 0);
  EXPECT_EQ(ReadClampedInt("17", 0, 0, 30), 17);
  EXPECT_EQ(ReadClampedInt("", 5, 0, 30), 5);
}

TEST(SettingsValueRules, SmallIntAndBool) {
  EXPECT_EQ(ReadSmallInt("-128", 3, -128, 127), -128);
  EXPECT_EQ(ReadSmallInt("128", 3, -128, 127), 3);
  EXPECT_EQ(ReadSmallInt("300", 3, -128, 127), 3);  // never wraps into the 8-bit field
  EXPECT_TRUE(ReadBool("1", false));
  EXPECT_FALSE(ReadBool("0", true));
  EXPECT_TRUE(ReadBool("2", true));
  EXPECT_FALSE(ReadBool("2", false));
  EXPECT_FALSE(ReadBool("yes", true));  // junk is 0, a valid bool
  EXPECT_TRUE(ReadBool("", true));
}

TEST(SettingsValueRules, RealKeepsValuesInRangeOnly) {
  EXPECT_EQ(ReadReal("-1", -1, -20, 200), -1);
  EXPECT_EQ(ReadReal("-21", -1, -20, 200), -1);
  EXPECT_EQ(ReadReal("-20", -1, -20, 200), -20);
  EXPECT_EQ(ReadReal("2.5dB", -1, -20, 200), 2.5);
  EXPECT_EQ(ReadReal("abc", -1, -20, 200), 0);
  EXPECT_EQ(ReadReal("", -1, -20, 200), -1);
  EXPECT_EQ(ReadReal("nan", -1, -20, 200), -1);
  EXPECT_EQ(ReadReal("inf", -1, -20, 200), -1);
  EXPECT_EQ(ReadReal("1e400", -1, -20, 200), -1);
}

TEST(SettingsValueRules, HexAcceptsPrefixesDecimalAndThe32BitPattern) {
  EXPECT_EQ(ParseHexInt("0x7FF00000"), 0x7FF00000);
  EXPECT_EQ(ParseHexInt("0X7ff00000"), 0x7FF00000);
  EXPECT_EQ(ParseHexInt("$FF00000F"), static_cast<int32_t>(0xFF00000Fu));
  EXPECT_EQ(ParseHexInt("0xFFFFFFFF"), -1);
  EXPECT_EQ(ParseHexInt("0x0000000000FF"), 255);
  EXPECT_EQ(ParseHexInt("1000000"), 1000000);
  EXPECT_EQ(ParseHexInt("-5"), -5);
  EXPECT_EQ(ParseHexInt("-$10"), -16);
  EXPECT_EQ(ParseHexInt("-2147483648"), INT32_MIN);
  for (const char* bad : {"zzz", "", "0x", "$", "-", "0x1G", "12 ", "1e3", "0x100000000",
                          "2147483648", "-2147483649", "x10", "0x-1"})
    EXPECT_FALSE(ParseHexInt(bad).has_value()) << bad;
}

TEST(SettingsValueRules, CutKeepsWholeCharacters) {
  EXPECT_EQ(CutText("abcdef", 4), "abcd");
  EXPECT_EQ(CutText("abc", 263), "abc");
  EXPECT_EQ(CutText("aコメント", 3), "aコメ");
  // Stray continuation bytes count one each, so junk cannot grow a field.
  EXPECT_EQ(CutText(std::string(1000, '\x80'), 5).size(), 5u);
  EXPECT_EQ(CutText("\xE3\x81", 1), "\xE3\x81");  // a cut-off sequence stays one character
  EXPECT_EQ(CutWide(u"abc", 80), u"abc");
  EXPECT_EQ(CutWide(u"ab\U0001F600", 3), u"ab");  // the pair is not split
  EXPECT_EQ(CutWide(u"ab\U0001F600", 4), u"ab\U0001F600");
}

TEST(SettingsValueRules, WrittenNumbersReadBackEqual) {
  EXPECT_EQ(FormatReal(1.0), "1.");
  EXPECT_EQ(FormatReal(-1.0), "-1.");
  EXPECT_EQ(FormatReal(2.5), "2.5");
  EXPECT_EQ(FormatReal(0.1234567891), "0.1234568");
  for (const double v : {1.0, -1.0, -20.0, 199.75, 0.001, 1e-9, 12345678.0})
    EXPECT_EQ(ReadReal(FormatReal(v), 99, -1e300, 1e300), std::stod(FormatReal(v))) << v;
  EXPECT_EQ(FormatHex(static_cast<int32_t>(0xFF00000Fu)), "0xFF00000F");
  EXPECT_EQ(FormatHex(0x00112233), "0x00112233");
  EXPECT_EQ(FormatInt(INT32_MIN), "-2147483648");
  for (const int32_t v : {0, -1, INT32_MAX, -INT32_MAX, 0x7FF00000})
    EXPECT_EQ(ParseHexInt(FormatHex(v)), v);
}

TEST(SettingsValueRules, ProfileTextReadsBackUnchanged) {
  for (const std::string text : {"plain", " lead", "trail ", "\"quoted\"", "'single'", "\"open",
                                 "a = b", "", " ", "\t\"x\"\t", "x\"", "コメント"}) {
    IniText ini;
    ini.Set("S", "K", ProfileValueText(text));
    EXPECT_EQ(ini.Get("S", "K"), text) << text;
  }
  // A key is one line: breaks cannot plant further keys.
  IniText ini;
  ini.Set("S", "K", ProfileValueText("x\r\n[Special]\r\nNofPlayBuf=9"));
  EXPECT_EQ(ini.Get("Special", "NofPlayBuf"), "");
  EXPECT_EQ(ini.Get("S", "K"), "x  [Special]  NofPlayBuf=9");
  EXPECT_EQ(ProfileValueText(std::string("ab\0cd", 5)), "ab");
}

}  // namespace
}  // namespace ov
