// The settings file through the real Windows profile functions, in a file beside
// the test program.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "app/common/Utf8.h"
#include "app/shell/FileProfileStore.h"
#include "app/shell/SettingsFile.h"
#include "app/shell/SettingsPlatform_win.h"
#include "app/shell/SettingsTestSupport.h"
#include "app/shell/WinProfileStore_win.h"

namespace ov {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

class WinSettingsFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ = ProgramFolder() + "OV_test_" + info->name() + ".INI";
    Remove();
    env_ = SystemSettingsEnvironment(true, true);
  }
  void TearDown() override { Remove(); }

  std::wstring WidePath() const {
    const std::u16string w = Utf8ToUtf16(path_);
    return std::wstring(w.begin(), w.end());
  }
  void Remove() {
    SetFileAttributesW(WidePath().c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(WidePath().c_str());
  }
  void WriteFile(const std::string& bytes) { std::ofstream(path_, std::ios::binary) << bytes; }
  std::string FileBytes() const {
    std::ifstream in(path_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  // The file's UTF-16 text after its byte-order mark.
  std::u16string FileText() const {
    const std::string bytes = FileBytes();
    if (bytes.size() < 2 || bytes[0] != '\xFF' || bytes[1] != '\xFE') return {};
    std::u16string text((bytes.size() - 2) / 2, u'\0');
    for (size_t i = 0; i < text.size(); ++i)
      text[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 + 2 * i]) |
                                      static_cast<unsigned char>(bytes[3 + 2 * i]) << 8);
    return text;
  }

  std::string path_;
  SettingsEnvironment env_;
  test::RecordingNotifier notifier_;
};

TEST_F(WinSettingsFileTest, PlatformFindsTheProgramFolderAndLanguage) {
  const std::string folder = ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '\\');
  EXPECT_TRUE(FolderExists(folder));
  EXPECT_FALSE(FolderExists(folder + "no such folder\\"));
  EXPECT_EQ(env_.programFolder, folder);
  EXPECT_NE(env_.userDefaultLanguage, 0);
}

TEST_F(WinSettingsFileTest, FirstRunSavesEveryKeyAndLoadsItBack) {
  WinProfileStore store(path_);
  SettingsFile first(store, notifier_, env_);
  EXPECT_TRUE(first.firstRun());
  first.LoadSettings(0);
  EXPECT_EQ(first.values().File.Dir, env_.programFolder);
  // Wide texts outside the code page survive: a new file is a UTF-16 file.
  test::SetDistinctValues(first.values(), true);
  first.values().File.Dir = env_.programFolder;
  ASSERT_TRUE(first.SaveSettings());
  const std::string text = Utf16ToUtf8(FileText());
  EXPECT_THAT(text, HasSubstr(";; ex. (Blue,Green,Red)=0x00112233"));
  EXPECT_THAT(text, HasSubstr("\r\n[ColorSet1]\r\nBackColor=0x"));
  EXPECT_THAT(text, HasSubstr("SpectrumComment1=\"'ノート SpectrumComment1'\""));
  EXPECT_THAT(text, Not(HasSubstr("[Special]")));

  WinProfileStore again(path_);
  SettingsFile second(again, notifier_, env_);
  EXPECT_FALSE(second.firstRun());
  second.LoadSettings(0);
  EXPECT_EQ(test::Describe(second.values(), true), test::Describe(first.values(), true));
  EXPECT_TRUE(notifier_.texts.empty());
}

TEST_F(WinSettingsFileTest, OwnReaderAgreesWithTheProfileFunctions) {
  WriteFile(
      "; by hand\r\n[Window]\r\n  posx = 12  \r\n;PosY=99\r\nWidth=\"  640 \"\r\n"
      "Height='400'\r\nMaximized=\"Y\r\nFlag\r\n\r\n[ mine ]\r\nx=1\r\n[Conditions]\r\n"
      "RecFileDivideBytes=zzz\r\nSample_N=100\r\n[window]\r\nPosY=77\r\nDispHelp=1\r\n"
      "[Version]\r\nVer = \" 1. \"\r\n");
  const WinProfileStore real(path_);
  const FileProfileStore own(path_);
  for (const auto& [section, key] :
       std::vector<std::pair<const char*, const char*>>{{"WINDOW", "PosX"},
                                                        {"Window", "PosY"},
                                                        {"Window", "Width"},
                                                        {"Window", "Height"},
                                                        {"Window", "Maximized"},
                                                        {"Window", "Flag"},
                                                        {"Mine", "X"},
                                                        {"Window", "Missing"},
                                                        {"Nowhere", "x"},
                                                        {"Conditions", "RecFileDivideBytes"}})
    EXPECT_EQ(own.Read(section, key), real.Read(section, key)) << section << "." << key;
}

TEST_F(WinSettingsFileTest, OwnWriterKeepsTheLayoutOfTheProfileFunctions) {
  const std::string seed =
      "; by hand\r\n[Window]\r\n  posx = 12  \r\n;PosY=99\r\n\r\n[Mine]\r\nx=1\r\n\r\n";
  const auto edit = [](ProfileStore& store) {
    store.Write("window", "PosX", "5");
    store.Write("Window", "Width", "640");
    store.Write("Version", "Ver", "1.");
    store.Write("Mine", "y", "2");
  };
  WriteFile(seed);
  WinProfileStore real(path_);
  edit(real);
  const std::string byWindows = FileBytes();
  WriteFile(seed);
  FileProfileStore own(path_);
  edit(own);
  // Windows keeps blank lines where they were; Wine drops them.
  const auto withoutBlankLines = [](std::string text) {
    for (size_t at; (at = text.find("\r\n\r\n")) != std::string::npos;) text.erase(at, 2);
    return text;
  };
  EXPECT_EQ(withoutBlankLines(FileBytes()), withoutBlankLines(byWindows));
}

TEST_F(WinSettingsFileTest, HandEditsAndUnknownSectionsSurvive) {
  WriteFile(
      "[Window]\r\nPosX=3\r\n[Special]\r\nNofPlayBuf=8\r\nEnglishMode=1\r\n"
      "[MyTools]\r\nPath=C:\\tools\r\n[Conditions]\r\nMMTimerResolution=4\r\n");
  WinProfileStore store(path_);
  SettingsFile s(store, notifier_, env_);
  s.LoadSettings(0);
  EXPECT_EQ(s.values().Window.PosX, 3);
  EXPECT_EQ(s.values().Special.NofPlayBuf, 8);
  s.values().Window.PosX = 44;
  s.values().Special.NofPlayBuf = 99;
  s.values().Conditions.MMTimerResolution = 7;
  ASSERT_TRUE(s.SaveSettings());
  const std::string bytes = FileBytes();
  EXPECT_THAT(bytes, HasSubstr("[Special]\r\nNofPlayBuf=8\r\nEnglishMode=1\r\n"));
  EXPECT_THAT(bytes, HasSubstr("[MyTools]\r\nPath=C:\\tools\r\n"));
  EXPECT_THAT(bytes, HasSubstr("MMTimerResolution=4\r\n"));
  EXPECT_THAT(bytes, HasSubstr("PosX=44\r\n"));
}

// Read-only as Windows sees it; Wine run by an administrator may still write such
// a file, so the file is also held open without sharing, as another program
// holding it would.
TEST_F(WinSettingsFileTest, UnwritableFileIsReportedOnceAndLeftAlone) {
  WriteFile("[Window]\r\nPosX=7\r\n");
  const std::string before = FileBytes();
  WinProfileStore store(path_);
  SettingsFile s(store, notifier_, env_);
  s.LoadSettings(0);
  s.values().Window.PosX = 8;
  const std::string values = test::Describe(s.values());

  ASSERT_TRUE(SetFileAttributesW(WidePath().c_str(), FILE_ATTRIBUTE_READONLY));
  const HANDLE held = CreateFileW(WidePath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(s.SaveSettings());
  CloseHandle(held);

  ASSERT_EQ(notifier_.texts.size(), 1u);
  EXPECT_THAT(notifier_.texts[0], HasSubstr("Unable to write the settings file."));
  EXPECT_THAT(notifier_.texts[0], HasSubstr(path_));
  EXPECT_EQ(FileBytes(), before);
  EXPECT_EQ(test::Describe(s.values()), values);
}

TEST_F(WinSettingsFileTest, MissingFolderIsReportedOnce) {
  WinProfileStore store(ProgramFolder() + "no such folder\\OV.INI");
  SettingsFile s(store, notifier_, env_);
  EXPECT_TRUE(s.firstRun());
  s.LoadSettings(0);
  EXPECT_FALSE(s.SaveSettings());
  EXPECT_EQ(notifier_.texts.size(), 1u);
}

}  // namespace
}  // namespace ov
