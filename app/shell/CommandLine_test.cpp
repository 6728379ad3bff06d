#include "app/shell/CommandLine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace ov {
namespace {

struct SplitCase {
  const char* text;
  std::vector<std::string> items;
};

TEST(CommandLine, SplitsQuotedAndBlankSeparatedItems) {
  const SplitCase cases[] = {
      {"", {}},
      {"   \t ", {}},
      {"a.wav", {"a.wav"}},
      {"a.wav b.wav", {"a.wav", "b.wav"}},
      {"  a.wav \t\t b.wav  ", {"a.wav", "b.wav"}},
      {"\"C:\\My Music\\a b.wav\"", {"C:\\My Music\\a b.wav"}},
      {"\"x y.wav\"z.wav", {"x y.wav", "z.wav"}},          // the quote ends the item
      {"\"open ended name.wav", {"open ended name.wav"}},  // unterminated: to the end
      {"one \"", {"one"}},
      {"\"\" a", {"a"}},  // an empty quoted item gives nothing
      {"C:\\x", {"C:\\x"}},
      {"\\x", {"\\x"}},
      {"ab\"cd", {"ab\"cd"}},  // a quote inside an item is part of it
  };
  for (const SplitCase& c : cases) {
    SplitCommandLine s = Split(c.text);
    EXPECT_EQ(s.items, c.items) << c.text;
    EXPECT_EQ(s.leftOut, 0u) << c.text;
  }
}

TEST(CommandLine, TakesAtMostOneHundredItemsAndCountsTheRest) {
  for (size_t count : {size_t{0}, size_t{1}, size_t{100}, size_t{150}}) {
    std::string text;
    for (size_t i = 0; i < count; ++i) text += "f" + std::to_string(i) + ".wav ";
    SplitCommandLine s = Split(text);
    ASSERT_EQ(s.items.size(), std::min<size_t>(count, 100)) << count;
    EXPECT_EQ(s.leftOut, count > 100 ? count - 100 : 0) << count;
    if (count > 0) {
      EXPECT_EQ(s.items.back(), "f" + std::to_string(s.items.size() - 1) + ".wav");
    }
  }
}

TEST(CommandLine, ArgumentsFollowTheProgramPath) {
  EXPECT_EQ(ArgumentsOf("\"C:\\Program Files\\OV\\OV.exe\"  a.wav b"), "a.wav b");
  EXPECT_EQ(ArgumentsOf("OV.exe \"x y.wav\""), "\"x y.wav\"");
  EXPECT_EQ(ArgumentsOf("OV.exe"), "");
  EXPECT_EQ(ArgumentsOf("\"C:\\OV\\OV.exe\""), "");
  EXPECT_EQ(ArgumentsOf("\"C:\\unterminated"), "");
}

TEST(CommandLine, ASingleRelativeItemComesFromTheProgramFolder) {
  const std::string folder = "C:\\Tools\\OV\\";
  EXPECT_EQ(ResolveSingleItem("tone.wav", folder), "C:\\Tools\\OV\\tone.wav");
  EXPECT_EQ(ResolveSingleItem("sub\\tone.wav", folder), "C:\\Tools\\OV\\sub\\tone.wav");
  EXPECT_EQ(ResolveSingleItem("..\\tone.wav", folder), "C:\\Tools\\OV\\..\\tone.wav");
  EXPECT_EQ(ResolveSingleItem("C:\\x", folder), "C:\\x");
  EXPECT_EQ(ResolveSingleItem("d:x.wav", folder), "d:x.wav");
  EXPECT_EQ(ResolveSingleItem("\\x", folder), "\\x");
  EXPECT_EQ(ResolveSingleItem("\\\\server\\share\\x.wav", folder), "\\\\server\\share\\x.wav");
}

TEST(CommandLine, NamesTooLongForTheirBufferAreRefused) {
  const std::string folder = "C:\\OV\\";
  const std::string fits(kMaxFileNameBytes - folder.size(), 'a');
  EXPECT_EQ(ResolveSingleItem(fits, folder).size(), kMaxFileNameBytes);
  EXPECT_EQ(ResolveSingleItem(fits + "a", folder), "");
  EXPECT_EQ(ResolveSingleItem("C:\\" + std::string(kMaxFileNameBytes, 'a'), folder), "");
}

}  // namespace
}  // namespace ov
