// The Win32 disk: names gain the current drive, volumes are named as the
// free-space message shows them, and files are written, rewritten and cut.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "app/wavefile/Disk.h"

namespace ov {
namespace {

TEST(DiskWin, NamesGainTheCurrentDriveAndVolumesAreNamedForTheUser) {
  Disk& disk = SystemDisk();
  char dir[MAX_PATH];
  ASSERT_GT(GetCurrentDirectoryA(MAX_PATH, dir), 2u);
  char name[260] = "take.WAV";
  disk.QualifyName(name, sizeof name);
  EXPECT_EQ(std::string(name), std::string(1, dir[0]) + ":take.WAV");
  for (const char* kept : {"C:\\rec\\a.WAV", "\\\\server\\share\\a.WAV", "\\rec\\a.WAV"}) {
    std::snprintf(name, sizeof name, "%s", kept);
    disk.QualifyName(name, sizeof name);
    EXPECT_STREQ(name, kept);
  }
  char volume[260];
  disk.VolumeOf("d:\\rec\\sub\\a.WAV", volume, sizeof volume);
  EXPECT_STREQ(volume, "d:\\");
  disk.VolumeOf("\\\\server\\share\\rec\\a.WAV", volume, sizeof volume);
  EXPECT_STREQ(volume, "\\\\server\\share\\rec\\");
  uint64_t free = 0;
  EXPECT_TRUE(disk.FreeBytes("C:\\", &free));
  EXPECT_GT(free, 0u);
  EXPECT_FALSE(disk.FreeBytes("Q:\\no\\such\\folder\\", &free));
}

TEST(DiskWin, WritesRewritesAndCutsAFileWithAUtf8Name) {
  Disk& disk = SystemDisk();
  char temp[MAX_PATH];
  ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
  const std::string name = std::string(temp) + "ov_disk_\xE9\x8C\xB2\xE9\x9F\xB3.WAV";  // 録音
  auto file = disk.CreateAlways(name.c_str());
  ASSERT_TRUE(file);
  EXPECT_FALSE(disk.CreateAlways(name.c_str())) << "no sharing while recording";
  EXPECT_EQ(file->Write("0123456789", 10), 10u);
  ASSERT_TRUE(file->SeekTo(2));
  EXPECT_EQ(file->Write("ab", 2), 2u);
  ASSERT_TRUE(file->SeekToEnd());
  EXPECT_EQ(file->Write("XYZ", 3), 3u);
  EXPECT_TRUE(file->Flush());
  ASSERT_TRUE(file->TruncateAt(12));
  EXPECT_EQ(file->Write("!", 1), 1u);
  EXPECT_TRUE(file->Close());
  file.reset();

  const std::wstring wide = L"ov_disk_\u9332\u97F3.WAV";
  wchar_t wtemp[MAX_PATH];
  GetTempPathW(MAX_PATH, wtemp);
  HANDLE h = CreateFileW((std::wstring(wtemp) + wide).c_str(), GENERIC_READ, FILE_SHARE_READ,
                         nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE) << "the UTF-8 name reached the system as UTF-16";
  char got[32] = {};
  DWORD read = 0;
  ReadFile(h, got, sizeof got, &read, nullptr);
  CloseHandle(h);
  EXPECT_EQ(std::string(got, read), "01ab456789XY!");
  EXPECT_TRUE(disk.Remove(name.c_str()));
  EXPECT_FALSE(disk.Remove(name.c_str()));
}

}  // namespace
}  // namespace ov
