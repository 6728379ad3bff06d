#include "app/shell/SettingsFile.h"

#include <string_view>

#include "app/common/Utf8.h"
#include "app/shell/SettingsValueRules.h"
#include "app/shell/SettingsTable.h"

namespace ov {
namespace {

constexpr TwoLanguageText kIllegalHexValue = {
    "OV.INI に不正な16進数値があります。\nデフォルト値として処理しました。",
    "Illegal hex value found in OV.INI.\nIt has processed as default value."};

constexpr TwoLanguageText kCannotSave = {
    "設定ファイルに書き込めませんでした。\n今回の設定は保存されていません。\n\n %s",
    "Unable to write the settings file.\nThe settings of this session are not saved.\n\n %s"};

// The offending value shown in a warning is cut so that a line of junk cannot
// flood the message box.
constexpr size_t kShownValueChars = 99;

constexpr const char* kJapaneseComments[] = {"コメント1", "コメント2", "コメント3"};
constexpr const char* kEnglishComments[] = {"Comment1", "Comment2", "Comment3"};

// "%s" in text replaced by value (the message tables carry printf-style markers).
std::string Fill(std::string_view text, std::string_view value) {
  std::string out(text);
  const size_t at = out.find("%s");
  if (at != std::string::npos) out.replace(at, 2, value);
  return out;
}

bool StartsWithY(std::string_view text) {
  return !text.empty() && (text.front() == 'Y' || text.front() == 'y');
}

int NameIndex(const SettingDef& row, std::string_view name) {
  for (int i = 0; i < row.nameCount; ++i)
    if (name == row.names[i]) return i;  // case-sensitive, as the names are shown
  return 0;
}

}  // namespace

const char* SettingsFileName(int instance) {
  return instance == 2 ? "OV_2.INI" : "OV.INI";
}

Language InterfaceLanguage(int32_t englishMode, uint16_t userDefaultLanguage) {
  if (englishMode == 0) return Language::Japanese;
  if (userDefaultLanguage != kJapaneseLanguageId) return Language::English;
  return englishMode > 0 ? Language::English : Language::Japanese;
}

std::string DialogFolder(const std::string& stored, const SettingsEnvironment& env) {
  if (stored.empty()) return env.programFolder;
  std::string folder = stored;
  if (folder.back() != '\\') folder += '\\';
  if (!env.folderExists || !env.folderExists(folder)) return env.programFolder;
  return folder;
}

SettingsFile::SettingsFile(ProfileStore& store, UserNotifier& notifier, SettingsEnvironment env,
                           double runningVersion)
    : store_(store),
      notifier_(notifier),
      env_(std::move(env)),
      runningVersion_(runningVersion),
      firstRun_(!store.Exists()) {}

int SettingsFile::LoadSettings(int part) {
  if (part >= 1 && part <= 4) {
    static constexpr const char* kBoundsKeys[] = {"PosX", "PosY", "Width", "Height"};
    const SettingDef& row = *FindSetting("Window", kBoundsKeys[part - 1]);
    return ReadInt(store_.Read(row.section, row.key), row.intDefault, row.intMin, row.intMax);
  }
  if (part == 5) return StartsWithY(store_.Read("Window", "Maximized")) ? 2 : -1;
  if (part != 0) return -1;

  for (const SettingDef& row : SettingsTable()) {
    ReadRow(row);
    // The language decides the texts of later readings and warnings.
    if (row.field.at != nullptr &&
        row.field.at(values_, row.field.index) == &values_.Special.EnglishMode)
      language_ = InterfaceLanguage(values_.Special.EnglishMode, env_.userDefaultLanguage);
  }
  ApplySpecialReadings();
  return 0;
}

void SettingsFile::ReadRow(const SettingDef& row) {
  if (row.kind == ValueKind::Note) return;
  if (row.kind == ValueKind::WideText) {
    row.field.Of<std::string>(values_) =
        Utf16ToUtf8(CutWide(store_.ReadWide(row.section, row.key), row.capacity));
    return;
  }
  const std::string text = store_.Read(row.section, row.key);
  switch (row.kind) {
    case ValueKind::Int:
      row.field.Of<int32_t>(values_) = ReadInt(text, row.intDefault, row.intMin, row.intMax);
      break;
    case ValueKind::ClampedInt:
      row.field.Of<int32_t>(values_) = ReadClampedInt(text, row.intDefault, row.intMin, row.intMax);
      break;
    case ValueKind::Bool:
      row.field.Of<bool>(values_) = ReadBool(text, row.intDefault != 0);
      break;
    case ValueKind::Real:
      row.field.Of<double>(values_) = ReadReal(text, row.realDefault, row.realMin, row.realMax);
      break;
    case ValueKind::Text:
      row.field.Of<std::string>(values_) = CutText(text, row.capacity);
      break;
    case ValueKind::HexInt:
      row.field.Of<int32_t>(values_) = ReadHexRow(row, text);
      break;
    case ValueKind::Name:
      row.field.Of<int32_t>(values_) = NameIndex(row, text);
      break;
    case ValueKind::WideText:
    case ValueKind::Note:
      break;
  }
}

int32_t SettingsFile::ReadHexRow(const SettingDef& row, const std::string& text) {
  if (text.empty()) return row.intDefault;
  const std::optional<int32_t> v = ParseHexInt(text);
  if (v) return *v >= row.intMin && *v <= row.intMax ? *v : row.intDefault;
  if (hexWarned_.insert(&row).second) {
    notifier_.Notify(
        std::string(kIllegalHexValue.In(language_)) + "\n\n " + CutText(text, kShownValueChars),
        NoticeIcon::Warning);
  }
  return row.intDefault;
}

void SettingsFile::ApplySpecialReadings() {
  SettingsValues& v = values_;
  language_ = InterfaceLanguage(v.Special.EnglishMode, env_.userDefaultLanguage);
  const bool english = language_ == Language::English;

  std::string* comments[] = {&v.Conditions.SpectrumComment1, &v.Conditions.SpectrumComment2,
                             &v.Conditions.SpectrumComment3};
  for (int i = 0; i < 3; ++i)
    if (comments[i]->empty()) *comments[i] = english ? kEnglishComments[i] : kJapaneseComments[i];

  if (english) {
    if (v.Special.FileFontName.empty()) v.Special.FileFontName = "Arial";
    if (v.Special.FileFontCharset == -1) v.Special.FileFontCharset = 0;
    if (v.Special.FileFontSize == 0) v.Special.FileFontSize = 8;
  }

  v.File.Dir = DialogFolder(v.File.Dir, env_);

  // A file last written by an older program (or none) announces the new version,
  // unless the first-use notice is still pending.
  if (v.Version.Ver < runningVersion_ && v.Window.DispHelp != -1) v.Window.DispHelp = -2;

  int32_t& driver = v.Conditions.PlayRecDriverType;
  if ((driver == 1 && !env_.directXAvailable) || (driver == 3 && !env_.vistaOrLater)) driver = 0;
}

bool SettingsFile::SaveSettings() {
  bool allWritten = true;
  for (const SettingDef& row : SettingsTable()) {
    bool due = false;
    switch (row.save) {
      case SaveRule::Always:
        due = true;
        break;
      case SaveRule::Never:
        due = false;
        break;
      case SaveRule::FirstRun:
        due = firstRun_;
        break;
      case SaveRule::WhenOlder:
        due = row.field.Of<double>(values_) < runningVersion_;
        break;
    }
    if (due && !WriteRow(row)) allWritten = false;
  }
  if (!allWritten)
    notifier_.Notify(Fill(kCannotSave.In(language_), store_.Path()), NoticeIcon::Warning);
  return allWritten;
}

bool SettingsFile::WriteRow(const SettingDef& row) {
  std::string text;
  switch (row.kind) {
    case ValueKind::Int:
    case ValueKind::ClampedInt:
      text = FormatInt(row.field.Of<int32_t>(values_));
      break;
    case ValueKind::Bool:
      text = row.field.Of<bool>(values_) ? "1" : "0";
      break;
    case ValueKind::Real:
      if (row.save == SaveRule::WhenOlder) {
        // Ver takes the running version once the file holds it.
        if (!store_.Write(row.section, row.key, FormatReal(runningVersion_))) return false;
        row.field.Of<double>(values_) = runningVersion_;
        return true;
      }
      text = FormatReal(row.field.Of<double>(values_));
      break;
    case ValueKind::Text:
      text = ProfileValueText(CutText(row.field.Of<std::string>(values_), row.capacity));
      break;
    case ValueKind::WideText: {
      const std::u16string cut =
          CutWide(Utf8ToUtf16(row.field.Of<std::string>(values_)), row.capacity);
      return store_.WriteWide(row.section, row.key,
                              Utf8ToUtf16(ProfileValueText(Utf16ToUtf8(cut))));
    }
    case ValueKind::HexInt:
      text = FormatHex(row.field.Of<int32_t>(values_));
      break;
    case ValueKind::Name: {
      const int32_t index = row.field.Of<int32_t>(values_);
      text = row.names[index >= 0 && index < row.nameCount ? index : 0];
      break;
    }
    case ValueKind::Note:
      text = FormatHex(row.intDefault);
      break;
  }
  return store_.Write(row.section, row.key, text);
}

}  // namespace ov
