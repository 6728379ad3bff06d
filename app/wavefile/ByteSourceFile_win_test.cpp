// Windows: UTF-8 names reach the file system through the wide-character API.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/common/Utf8.h"
#include "app/wavefile/ByteSource.h"

namespace ov {
namespace {

TEST(ByteSourceFileWin, OpensUtf8NamesAndSharesReading) {
  const std::string name = ::testing::TempDir() + "ov_\xE6\xB3\xA2\xE5\xBD\xA2_\xCE\xA9.wav";
  const std::u16string wide = Utf8ToUtf16(name);
  HANDLE h = CreateFileW(reinterpret_cast<const wchar_t*>(wide.c_str()), GENERIC_WRITE, 0, nullptr,
                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(h, "RIFFdata", 8, &written, nullptr));
  CloseHandle(h);

  auto first = OpenFileSource(name.c_str());
  ASSERT_TRUE(first);
  auto second = OpenFileSource(name.c_str());  // others may read at the same time
  ASSERT_TRUE(second);
  EXPECT_EQ(first->Size(), 8u);
  char buf[8];
  EXPECT_EQ(second->Read(buf, 8), 8u);
  EXPECT_EQ(std::string(buf, 4), "RIFF");
  first.reset();
  second.reset();
  EXPECT_TRUE(DeleteFileW(reinterpret_cast<const wchar_t*>(wide.c_str())));
}

}  // namespace
}  // namespace ov
