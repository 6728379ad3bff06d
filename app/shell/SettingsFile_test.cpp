#include "app/shell/SettingsFile.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>

#include "app/shell/FileProfileStore.h"
#include "app/shell/IniText.h"
#include "app/shell/SettingsTable.h"
#include "app/shell/SettingsTestSupport.h"

namespace ov {
namespace {

namespace fs = std::filesystem;
using test::Describe;
using test::RecordingNotifier;
using ::testing::HasSubstr;

constexpr char kProgramFolder[] = "C:\\OV\\";

class SettingsFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = fs::temp_directory_path() / (std::string("ov_settings_") + info->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    path_ = (folder_ / "OV.INI").string();
    store_ = FileProfileStore(path_);
    env_.programFolder = kProgramFolder;
    env_.userDefaultLanguage = 1033;
    env_.directXAvailable = true;
    env_.vistaOrLater = true;
    env_.folderExists = [this](const std::string& f) { return existing_.count(f) != 0; };
  }
  void TearDown() override { fs::remove_all(folder_); }

  void WriteFile(const std::string& bytes) { std::ofstream(path_, std::ios::binary) << bytes; }
  std::string FileBytes() const {
    std::ifstream in(path_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  // A settings file loaded from the test's file, as at program start.
  std::unique_ptr<SettingsFile> Load() {
    auto settings = std::make_unique<SettingsFile>(store_, notifier_, env_);
    settings->LoadSettings(0);
    return settings;
  }
  // The values a missing file gives.
  std::string DefaultsDescribed() {
    FileProfileStore none((folder_ / "none.ini").string());
    SettingsFile settings(none, notifier_, env_);
    settings.LoadSettings(0);
    return Describe(settings.values());
  }

  fs::path folder_;
  std::string path_;
  FileProfileStore store_{""};
  RecordingNotifier notifier_;
  SettingsEnvironment env_;
  std::set<std::string> existing_;
};

TEST_F(SettingsFileTest, MissingFileGivesDefaultsAndTheFirstSaveWritesEverySavedKey) {
  auto settings = Load();
  EXPECT_TRUE(settings->firstRun());
  SettingsValues& v = settings->values();
  EXPECT_EQ(v.Window.Width, 564);
  EXPECT_EQ(v.Window.Height, 355);
  EXPECT_EQ(v.Window.WaveWindowRatioX1000, 280);
  EXPECT_EQ(v.Window.DispHelp, -1);  // the first-use notice is pending
  EXPECT_EQ(v.LevelMeterWindow.Channels, 2);
  EXPECT_EQ(v.WaveInfoWindow.DataSaveBytes, 512);
  EXPECT_EQ(v.Special.PlayThreadPriority, 2);
  EXPECT_EQ(v.Special.RecLatencyCorrect_ms, -1);
  EXPECT_EQ(v.Conditions.Sample_N, 4096);
  EXPECT_EQ(v.Conditions.dB_Shift, -1.0);
  EXPECT_EQ(v.Conditions.RecSamplingFreq, 44100);
  EXPECT_EQ(v.Conditions.RecFileDivideBytes, 0x7FF00000);
  EXPECT_EQ(v.Conditions.MMTimerResolution, 9);
  EXPECT_EQ(v.Conditions.ColorSet, 2);
  EXPECT_TRUE(v.Conditions.FreqLogScale);
  EXPECT_TRUE(v.Conditions.WAS_EventMode);
  EXPECT_EQ(v.ColorSets[0][BackColor], static_cast<int32_t>(0xFF00000Fu));
  EXPECT_EQ(v.ColorSets[1][OVL1Color], 0x002020C0);
  EXPECT_EQ(v.ColorSets[2][MeterBarPeakColor], 0x000000FF);
  EXPECT_EQ(v.Conditions.SpectrumComment2, "Comment2");
  EXPECT_EQ(v.Special.FileFontName, "Arial");
  EXPECT_EQ(v.File.Dir, kProgramFolder);
  EXPECT_TRUE(notifier_.texts.empty());

  ASSERT_TRUE(settings->SaveSettings());
  const IniText written(FileBytes());
  for (const SettingDef& row : SettingsTable()) {
    const std::string value = written.Get(row.section, row.key);
    if (row.save == SaveRule::Never) {
      EXPECT_EQ(value, "") << row.section << "." << row.key;
    } else if (row.field.type != FieldType::String || row.kind == ValueKind::WideText) {
      EXPECT_NE(value, "") << row.section << "." << row.key;
    }
  }
  EXPECT_EQ(written.Get("File", "Dir"), kProgramFolder);
  EXPECT_THAT(FileBytes(), HasSubstr("[ColorSet]\r\n;; ex. (Blue,Green,Red)=0x00112233\r\n"
                                     "[ColorSet1]\r\nBackColor=0xFF00000F\r\n"));
  EXPECT_THAT(FileBytes(), HasSubstr("\r\nVer=1.\r\n"));
  EXPECT_THAT(FileBytes(), ::testing::Not(HasSubstr("[Special]")));
  EXPECT_THAT(FileBytes(), ::testing::StartsWith("[Window]\r\nPosX=0\r\nPosY=0\r\nWidth=564\r\n"));

  // The next start is no first run and keeps what was saved.
  auto next = Load();
  EXPECT_FALSE(next->firstRun());
  EXPECT_EQ(Describe(next->values()), Describe(v));
}

TEST_F(SettingsFileTest, SaveThenLoadGivesBackEverySavedKey) {
  auto first = Load();
  test::SetDistinctValues(first->values());
  first->values().File.Dir = "D:\\Some \"Data\"\\";
  existing_.insert("D:\\Some \"Data\"\\");
  ASSERT_TRUE(first->SaveSettings());

  auto second = Load();
  EXPECT_EQ(Describe(second->values(), true), Describe(first->values(), true));
  EXPECT_TRUE(notifier_.texts.empty());
}

TEST_F(SettingsFileTest, EdgeValuesReadAsDocumented) {
  WriteFile(
      "[PlayListWindow]\nSilence=abc\n"
      "[Version]\nVer=1\n"
      "[Conditions]\nSample_N=100\nWAS_Latency=abc\ndB_Shift=-1\nFreqDispTo=5000001\n"
      "RecFileDivideBytes=1000000\nPlayDeviceNum=45\nRecDeviceNum=-3\n"
      "WaveDispType=lissajous\nSpectrumDispType=Spectrogram\nRecBitLen=-32\n"
      "SpectrumComment1=  Mic A  \n"
      "[ColorSet2]\nBackColor=$FF00000F\nLineColor=0x80000000\n");
  auto s = Load();
  const SettingsValues& v = s->values();
  EXPECT_EQ(v.PlayListWindow.Silence, 0);
  EXPECT_EQ(v.Conditions.Sample_N, 4096);
  EXPECT_EQ(v.Conditions.WAS_Latency, 20);
  EXPECT_EQ(v.Conditions.dB_Shift, -1.0);
  EXPECT_EQ(v.Conditions.FreqDispTo, 20000);
  EXPECT_EQ(v.Conditions.RecFileDivideBytes, 1000000);
  EXPECT_EQ(v.Conditions.PlayDeviceNum, 30);
  EXPECT_EQ(v.Conditions.RecDeviceNum, 0);
  EXPECT_EQ(v.Conditions.WaveDispType, 0);  // names compare case-sensitively
  EXPECT_EQ(v.Conditions.SpectrumDispType, 2);
  EXPECT_EQ(v.Conditions.RecBitLen, -32);
  EXPECT_EQ(v.Conditions.SpectrumComment1, "Mic A");
  EXPECT_EQ(v.ColorSets[1][BackColor], static_cast<int32_t>(0xFF00000Fu));
  EXPECT_EQ(v.ColorSets[1][LineColor], 0);  // -2147483648 is no colour
  EXPECT_TRUE(notifier_.texts.empty());

  WriteFile("[Conditions]\ndB_Shift=-21\nSample_N=abc\n");
  EXPECT_EQ(Load()->values().Conditions.dB_Shift, -1.0);
  EXPECT_EQ(Load()->values().Conditions.Sample_N, 4096);
}

TEST_F(SettingsFileTest, UnparsableHexIsReportedOncePerKeyAndKeepsTheDefault) {
  WriteFile("[Conditions]\nRecFileDivideBytes=zzz\n[ColorSet3]\nLineColor=green\nCharColor=\n");
  SettingsFile s(store_, notifier_, env_);
  s.LoadSettings(0);
  EXPECT_EQ(s.values().Conditions.RecFileDivideBytes, 0x7FF00000);
  EXPECT_EQ(s.values().ColorSets[2][LineColor], 0x0000FF00);
  EXPECT_EQ(s.values().ColorSets[2][CharColor], 0x0040FF40);  // empty is silent
  ASSERT_EQ(notifier_.texts.size(), 2u);
  EXPECT_EQ(notifier_.texts[0],
            "Illegal hex value found in OV.INI.\nIt has processed as default value.\n\n zzz");
  EXPECT_EQ(notifier_.icons[0], NoticeIcon::Warning);
  EXPECT_THAT(notifier_.texts[1], ::testing::EndsWith("\n\n green"));
  s.LoadSettings(0);
  EXPECT_EQ(notifier_.texts.size(), 2u);

  // In Japanese, and a huge value is shown cut.
  WriteFile("[Special]\nEnglishMode=0\n[Conditions]\nRecFileDivideBytes=" +
            std::string(100000, 'q') + "\n");
  notifier_.texts.clear();
  Load();
  ASSERT_EQ(notifier_.texts.size(), 1u);
  EXPECT_EQ(notifier_.texts[0],
            "OV.INI に不正な16進数値があります。\nデフォルト値として処理しました。\n\n " +
                std::string(99, 'q'));
}

TEST_F(SettingsFileTest, LanguageCommentsAndFontFollowEnglishModeAndTheSystem) {
  struct Case {
    const char* file;
    uint16_t system;
    Language expected;
  };
  for (const Case& c : {Case{"", 1033, Language::English}, Case{"", 1041, Language::Japanese},
                        Case{"EnglishMode=0", 1033, Language::Japanese},
                        Case{"EnglishMode=0", 1041, Language::Japanese},
                        Case{"EnglishMode=1", 1041, Language::English},
                        Case{"EnglishMode=7", 1033, Language::English},
                        Case{"EnglishMode=-5", 1033, Language::English},
                        Case{"EnglishMode=-5", 1041, Language::Japanese}}) {
    WriteFile(std::string("[Special]\n") + c.file + "\n");
    env_.userDefaultLanguage = c.system;
    auto s = Load();
    EXPECT_EQ(s->language(), c.expected) << c.file << " on " << c.system;
    const SettingsValues& v = s->values();
    if (c.expected == Language::English) {
      EXPECT_EQ(v.Conditions.SpectrumComment3, "Comment3");
      EXPECT_EQ(v.Special.FileFontName, "Arial");
      EXPECT_EQ(v.Special.FileFontCharset, 0);
      EXPECT_EQ(v.Special.FileFontSize, 8);
    } else {
      EXPECT_EQ(v.Conditions.SpectrumComment3, "コメント3");
      EXPECT_EQ(v.Special.FileFontName, "");
      EXPECT_EQ(v.Special.FileFontCharset, -1);
      EXPECT_EQ(v.Special.FileFontSize, 0);
    }
  }
  WriteFile("[Special]\nFileFontName=Tahoma\nFileFontCharset=128\nFileFontSize=-11\n");
  env_.userDefaultLanguage = 1033;
  const SettingsValues v = Load()->values();
  EXPECT_EQ(v.Special.FileFontName, "Tahoma");
  EXPECT_EQ(v.Special.FileFontCharset, 128);
  EXPECT_EQ(v.Special.FileFontSize, -11);
}

TEST_F(SettingsFileTest, DialogFolderFallsBackToTheProgramFolder) {
  existing_ = {"D:\\Data\\"};
  for (const auto& [stored, expected] :
       std::vector<std::pair<std::string, std::string>>{{"", kProgramFolder},
                                                        {"D:\\Data", "D:\\Data\\"},
                                                        {"D:\\Data\\", "D:\\Data\\"},
                                                        {"D:\\Gone\\", kProgramFolder}}) {
    WriteFile("[File]\nDir=" + stored + "\n");
    EXPECT_EQ(Load()->values().File.Dir, expected) << stored;
  }
  const std::string longDir = "E:\\" + std::string(300, 'd') + "\\";
  existing_.insert(longDir.substr(0, 263) + "\\");
  WriteFile("[File]\nDir=" + longDir + "\n");
  EXPECT_EQ(Load()->values().File.Dir, longDir.substr(0, 263) + "\\");  // cut to its field
}

TEST_F(SettingsFileTest, OlderFileAnnouncesTheNewVersionAndGetsTheRunningOne) {
  struct Case {
    const char* file;
    int32_t dispHelp;
  };
  for (const Case& c :
       {Case{"[Window]\nDispHelp=1\n", -2}, Case{"[Window]\nDispHelp=0\n", -2},
        Case{"[Window]\nDispHelp=1\n[Version]\nVer=0.5\n", -2},
        Case{"[Window]\nDispHelp=1\n[Version]\nVer=1.\n", 1},
        Case{"[Window]\nDispHelp=0\n[Version]\nVer=2\n", 0}, Case{"[Version]\nVer=0.5\n", -1}}) {
    WriteFile(c.file);
    EXPECT_EQ(Load()->values().Window.DispHelp, c.dispHelp) << c.file;
  }
  WriteFile("[Version]\nVer=0.5\n");
  Load()->SaveSettings();
  EXPECT_EQ(IniText(FileBytes()).Get("Version", "Ver"), "1.");
  WriteFile("[Version]\nVer=2.00\n");  // a newer program's file keeps its version
  Load()->SaveSettings();
  EXPECT_EQ(IniText(FileBytes()).Get("Version", "Ver"), "2.00");
}

TEST_F(SettingsFileTest, DriverFallsBackToMmeWithoutItsSystemSupport) {
  struct Case {
    int driver;
    bool directX, vista;
    int expected;
  };
  for (const Case& c : {Case{1, false, true, 0}, Case{1, true, false, 1}, Case{3, true, false, 0},
                        Case{3, false, true, 3}, Case{2, false, false, 2}}) {
    WriteFile("[Conditions]\nPlayRecDriverType=" + std::to_string(c.driver) + "\n");
    env_.directXAvailable = c.directX;
    env_.vistaOrLater = c.vista;
    auto s = Load();
    EXPECT_EQ(s->values().Conditions.PlayRecDriverType, c.expected);
    s->SaveSettings();
    EXPECT_EQ(IniText(FileBytes()).Get("Conditions", "PlayRecDriverType"),
              std::to_string(c.expected));
  }
}

TEST_F(SettingsFileTest, WindowPartsPlaceTheMainWindow) {
  WriteFile("[Window]\nPosX=10\nPosY=6000\nWidth=-5\nMaximized=yes\n");
  SettingsFile s(store_, notifier_, env_);
  EXPECT_EQ(s.LoadSettings(1), 10);
  EXPECT_EQ(s.LoadSettings(2), 0);  // out of range
  EXPECT_EQ(s.LoadSettings(3), 564);
  EXPECT_EQ(s.LoadSettings(4), 355);
  EXPECT_EQ(s.LoadSettings(5), 2);
  WriteFile("[Window]\nMaximized=No\n");
  EXPECT_EQ(s.LoadSettings(5), -1);
  EXPECT_EQ(s.LoadSettings(9), -1);
}

TEST_F(SettingsFileTest, HandEditsAndUnknownSectionsSurviveSaving) {
  const std::string special =
      "[Special]\r\n; larger buffers for this machine\r\nNofPlayBuf=8\r\nPlayBufByteSize=65536\r\n"
      "EnglishMode=1\r\n";
  const std::string mine = "[MyTools]\r\nPath=C:\\tools\r\n";
  WriteFile("[Window]\r\nPosX=3\r\n" + special + mine +
            "[Conditions]\r\nMMTimerResolution=4\r\nRecMonitorOn=1\r\n");
  auto s = Load();
  s->values().Special.NofPlayBuf = 99;  // never written back
  s->values().Conditions.MMTimerResolution = 7;
  s->values().Window.PosX = 44;
  ASSERT_TRUE(s->SaveSettings());
  const std::string bytes = FileBytes();
  EXPECT_THAT(bytes, HasSubstr(special));
  EXPECT_THAT(bytes, HasSubstr(mine));
  EXPECT_THAT(bytes, HasSubstr("MMTimerResolution=4\r\nRecMonitorOn=1\r\n"));
  EXPECT_THAT(bytes, ::testing::StartsWith("[Window]\r\nPosX=44\r\n"));
  EXPECT_THAT(bytes, ::testing::Not(HasSubstr(";; ex.")));  // not a first run
  EXPECT_EQ(Load()->values().Special.NofPlayBuf, 8);
}

TEST_F(SettingsFileTest, JunkFilesNeverCrashAndYieldDefaults) {
  const std::string defaults = DefaultsDescribed();
  std::mt19937 random(2026);
  for (int round = 0; round < 40; ++round) {
    std::string junk(random() % 20000, '\0');
    for (char& c : junk) c = static_cast<char>(random());
    WriteFile(junk);
    notifier_.texts.clear();
    EXPECT_EQ(Describe(Load()->values()), defaults) << "round " << round;
    EXPECT_TRUE(notifier_.texts.empty());
  }
  // Very long lines and values in real sections: saturated numbers fall out of
  // range, texts are cut, unparsable hex is reported with its value cut.
  const std::string nines(30000, '9');
  WriteFile("[Window]\nPosX=" + nines + "\nMaximized=" + std::string(5000, 'N') +
            "\n[Conditions]\nSpectrumComment1=" + std::string(20000, 'c') +
            "\nRecFileDivideBytes=0x" + nines + "\n[" + std::string(20000, 'S') + "]\n" + nines +
            "=" + nines + "\n");
  notifier_.texts.clear();
  auto s = Load();
  EXPECT_EQ(s->values().Window.PosX, 0);
  EXPECT_EQ(s->values().Window.Maximized, std::string(31, 'N'));
  EXPECT_EQ(s->values().Conditions.SpectrumComment1, std::string(80, 'c'));
  EXPECT_EQ(s->values().Conditions.RecFileDivideBytes, 0x7FF00000);
  ASSERT_EQ(notifier_.texts.size(), 1u);
  EXPECT_LT(notifier_.texts[0].size(), 200u);
  EXPECT_TRUE(s->SaveSettings());
}

// A store whose writes fail, as a read-only file or folder makes them fail.
class ReadOnlyStore : public FileProfileStore {
 public:
  using FileProfileStore::FileProfileStore;
  bool Write(std::string_view, std::string_view, std::string_view) override { return false; }
  bool WriteWide(std::string_view, std::string_view, std::u16string_view) override { return false; }
};

TEST_F(SettingsFileTest, UnwritableFileIsReportedOnceAndLosesNothing) {
  WriteFile("[Window]\r\nPosX=7\r\n[Special]\r\nEnglishMode=0\r\n");
  const std::string before = FileBytes();
  ReadOnlyStore readOnly(path_);
  SettingsFile japanese(readOnly, notifier_, env_);
  japanese.LoadSettings(0);
  japanese.values().Window.PosX = 8;
  const std::string values = Describe(japanese.values());
  EXPECT_FALSE(japanese.SaveSettings());
  ASSERT_EQ(notifier_.texts.size(), 1u);
  EXPECT_EQ(notifier_.texts[0],
            "設定ファイルに書き込めませんでした。\n今回の設定は保存されていません。\n\n " + path_);
  EXPECT_EQ(notifier_.icons[0], NoticeIcon::Warning);
  EXPECT_EQ(FileBytes(), before);
  EXPECT_EQ(Describe(japanese.values()), values);

  // A folder that is not there cannot be written even by an administrator.
  FileProfileStore missingFolder((folder_ / "gone" / "OV.INI").string());
  SettingsFile english(missingFolder, notifier_, env_);
  english.LoadSettings(0);
  notifier_.texts.clear();
  EXPECT_FALSE(english.SaveSettings());
  ASSERT_EQ(notifier_.texts.size(), 1u);
  EXPECT_EQ(notifier_.texts[0],
            "Unable to write the settings file.\nThe settings of this session are not saved.\n\n " +
                missingFolder.Path());
  EXPECT_TRUE(english.SaveSettings() == false && notifier_.texts.size() == 2u);  // each save tells
}

TEST(SettingsFileName, ByInstance) {
  EXPECT_STREQ(SettingsFileName(1), "OV.INI");
  EXPECT_STREQ(SettingsFileName(2), "OV_2.INI");
}

}  // namespace
}  // namespace ov
