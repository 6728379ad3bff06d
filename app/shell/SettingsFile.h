// The settings file "OV.INI" ("OV_2.INI" for the second instance) beside the
// program: LoadSettings fills the record of settings values from it, with the
// special readings that depend on the system; SaveSettings writes the saved keys
// back in table order. Both run on the main thread.
#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <string>

#include "app/common/UserNotifier.h"
#include "app/shell/ProfileStore.h"
#include "app/shell/ProgramVersion.h"
#include "app/shell/SettingsValues.h"

namespace ov {

struct SettingDef;

constexpr uint16_t kJapaneseLanguageId = 1041;

// What the readings need to know of the system.
struct SettingsEnvironment {
  std::string programFolder;         // UTF-8, ending in a backslash
  uint16_t userDefaultLanguage = 0;  // the user's default language identifier
  bool directXAvailable = false;     // the DirectDraw probe succeeded
  bool vistaOrLater = false;         // operating system major version 6 or later
  // True when the folder (ending in a backslash) holds a match for "*.*".
  std::function<bool(const std::string& folder)> folderExists;
};

// "OV.INI" for instance 1, "OV_2.INI" for instance 2.
const char* SettingsFileName(int instance);

// Interface language from EnglishMode and the user's default language: 0 gives
// Japanese; otherwise English unless the system is Japanese and the value is negative.
Language InterfaceLanguage(int32_t englishMode, uint16_t userDefaultLanguage);

// The folder the open and save dialogs start in: the stored one with a trailing
// backslash when it exists, else the program's folder.
std::string DialogFolder(const std::string& stored, const SettingsEnvironment& env);

class SettingsFile {
 public:
  // The first-run flag is taken here: the file is missing when the program starts.
  SettingsFile(ProfileStore& store, UserNotifier& notifier, SettingsEnvironment env,
               double runningVersion = kProgramVersion);

  // part 0 reads every key into values() and applies the special readings; it
  // returns 0. part 1-4 return the stored Window PosX, PosY, Width, Height; part 5
  // returns 2 when Window Maximized begins with "Y" or "y", otherwise -1.
  int LoadSettings(int part);

  // Writes every saved key from values(). A file that cannot be written is
  // reported once (in the interface language) and nothing else happens: the
  // values stay as they are. Returns whether every key was written.
  bool SaveSettings();

  SettingsValues& values() { return values_; }
  const SettingsValues& values() const { return values_; }
  bool firstRun() const { return firstRun_; }
  Language language() const { return language_; }

 private:
  void ReadRow(const SettingDef& row);
  // A hex value; one that does not parse is reported (once per row) and gives the default.
  int32_t ReadHexRow(const SettingDef& row, const std::string& text);
  void ApplySpecialReadings();
  bool WriteRow(const SettingDef& row);

  ProfileStore& store_;
  UserNotifier& notifier_;
  SettingsEnvironment env_;
  double runningVersion_;
  bool firstRun_;
  Language language_ = Language::English;
  SettingsValues values_{};
  std::set<const SettingDef*> hexWarned_;  // rows whose unparsable value was reported
};

}  // namespace ov
