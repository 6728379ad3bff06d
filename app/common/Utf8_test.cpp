#include "app/common/Utf8.h"

#include <gtest/gtest.h>

namespace ov {
namespace {

TEST(Utf8, RoundTripsJapaneseAndAstralText) {
  const std::string text = "このファイルは有効なPCMファイルではありません \xF0\x9F\x8E\xB5";
  const std::u16string wide = Utf8ToUtf16(text);
  EXPECT_EQ(wide[0], u'こ');
  EXPECT_EQ(wide[wide.size() - 2], 0xD83C);  // U+1F3B5 as a surrogate pair
  EXPECT_EQ(wide[wide.size() - 1], 0xDFB5);
  EXPECT_EQ(Utf16ToUtf8(wide), text);
}

TEST(Utf8, MalformedBytesBecomeReplacementCharacters) {
  // A lone continuation byte, a truncated three-byte sequence, an overlong
  // slash and an encoded surrogate: each decodes to U+FFFD, nothing is lost.
  EXPECT_EQ(Utf8ToUtf16("a\x80z"), u"a\uFFFDz");
  EXPECT_EQ(Utf8ToUtf16("\xE3\x81"), u"\uFFFD\uFFFD");
  EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");
  EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(Utf16ToUtf8(u"\xD800x"), "\xEF\xBF\xBDx");
}

}  // namespace
}  // namespace ov
