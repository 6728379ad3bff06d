#include "app/shell/IniText.h"

#include <gtest/gtest.h>

#include <random>

namespace ov {
namespace {

constexpr char kHandEdited[] =
    "; settings written by hand\r\n"
    "stray=before any section\r\n"
    "[Window]\r\n"
    "  posx = 12  \r\n"
    ";PosY=99\r\n"
    "Width=\"  640 \"\r\n"
    "Height='400'\r\n"
    "Maximized=\"Y\r\n"
    "Flag\r\n"
    "\r\n"
    "[ mine ]\r\n"
    "x=1\r\n"
    "[window]\r\n"
    "PosY=77\r\n";

TEST(IniText, ReadsLikeTheProfileFunctions) {
  const IniText ini(kHandEdited);
  EXPECT_EQ(ini.Get("WINDOW", "PosX"), "12");       // names ignore case, blanks trimmed
  EXPECT_EQ(ini.Get("Window", "PosY"), "");         // a comment line is no key; first section only
  EXPECT_EQ(ini.Get("Window", "Width"), "  640 ");  // one pair of quotes removed
  EXPECT_EQ(ini.Get("Window", "Height"), "400");
  EXPECT_EQ(ini.Get("Window", "Maximized"), "\"Y");  // unmatched quote stays
  EXPECT_EQ(ini.Get("Window", "Flag"), "");
  EXPECT_EQ(ini.Get("Mine", "x"), "1");
  EXPECT_EQ(ini.Get("", "stray"), "");
  EXPECT_EQ(ini.Get("Window", "Missing"), "");
  EXPECT_EQ(ini.Get("Nowhere", "PosX"), "");
  EXPECT_EQ(IniText("[a]\rk=1\r[b]\nk=2").Get("b", "K"), "2");  // CR, LF and CR LF all end lines
  EXPECT_EQ(IniText(std::string("[a]\nk=v\0w\n", 11)).Get("a", "k"), "v");
}

TEST(IniText, WritingChangesOnlyTheKeysLine) {
  IniText ini(kHandEdited);
  ini.Set("window", "PosX", "5");
  ini.Set("Window", "Visible", "1");  // new key: after the section's last non-blank line
  ini.Set("Mine", "x", "2");
  ini.Set("Version", "Ver", "1.");  // new section: at the end
  EXPECT_EQ(ini.Text(),
            "; settings written by hand\r\n"
            "stray=before any section\r\n"
            "[Window]\r\n"
            "posx=5\r\n"
            ";PosY=99\r\n"
            "Width=\"  640 \"\r\n"
            "Height='400'\r\n"
            "Maximized=\"Y\r\n"
            "Flag\r\n"
            "Visible=1\r\n"
            "\r\n"
            "[ mine ]\r\n"
            "x=2\r\n"
            "[window]\r\n"
            "PosY=77\r\n"
            "[Version]\r\n"
            "Ver=1.\r\n");
  EXPECT_EQ(IniText(ini.Text()).Text(), ini.Text());
}

TEST(IniText, JunkNeverBreaksReadingOrWriting) {
  std::mt19937 random(12345);
  for (int round = 0; round < 200; ++round) {
    std::string junk(random() % 4000, '\0');
    for (char& c : junk)
      c = static_cast<char>(random() % 4 == 0 ? "[]=\r\n;\" "[random() % 8] : random());
    IniText ini(junk);
    ini.Get("Window", "PosX");
    ini.Set("Window", "PosX", "1");
    EXPECT_EQ(IniText(ini.Text()).Get("Window", "PosX"), "1");
  }
}

}  // namespace
}  // namespace ov
