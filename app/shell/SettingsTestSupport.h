// Helpers shared by the settings tests: a notifier that records, a printout of
// every field the table knows, and a record whose saved fields all differ from
// their defaults.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "app/common/UserNotifier.h"
#include "app/shell/SettingsTable.h"

namespace ov::test {

class RecordingNotifier : public UserNotifier {
 public:
  NoticeAnswer Notify(std::string_view text, NoticeIcon icon) override {
    texts.emplace_back(text);
    icons.push_back(icon);
    return NoticeAnswer::Ok;
  }
  std::vector<std::string> texts;
  std::vector<NoticeIcon> icons;
};

inline std::string FieldText(const SettingDef& row, SettingsValues& v) {
  char buffer[64];
  switch (row.field.type) {
    case FieldType::Int32:
      return std::to_string(row.field.Of<int32_t>(v));
    case FieldType::Bool:
      return row.field.Of<bool>(v) ? "true" : "false";
    case FieldType::Double:
      std::snprintf(buffer, sizeof buffer, "%.17g", row.field.Of<double>(v));
      return buffer;
    case FieldType::String:
      return "\"" + row.field.Of<std::string>(v) + "\"";
    case FieldType::None:
      return "";
  }
  return "";
}

// One "section.key=value" line per row with a field (optionally saved rows only).
inline std::string Describe(SettingsValues& v, bool savedOnly = false) {
  std::string out;
  for (const SettingDef& row : SettingsTable()) {
    if (row.field.at == nullptr) continue;
    if (savedOnly && row.save == SaveRule::Never) continue;
    out += std::string(row.section) + "." + row.key + "=" + FieldText(row, v) + "\n";
  }
  return out;
}

// Gives every saved field a valid value different from its default, varying from
// row to row so that two fields swapped by mistake show up. Text values carry
// characters the file must keep: blanks at the ends, quotes, non-ASCII letters
// (the wide ones also outside the 8-bit code pages when wideOutsideCodePage).
inline void SetDistinctValues(SettingsValues& v, bool wideOutsideCodePage = true) {
  int n = 0;
  for (const SettingDef& row : SettingsTable()) {
    ++n;
    if (row.field.at == nullptr || row.save != SaveRule::Always) continue;
    switch (row.kind) {
      case ValueKind::Int:
      case ValueKind::ClampedInt: {
        const int64_t span = int64_t{row.intMax} - row.intMin + 1;
        int32_t value = static_cast<int32_t>(row.intMin + n % span);
        if (value == row.intDefault) value = value == row.intMax ? row.intMin : value + 1;
        row.field.Of<int32_t>(v) = value;
        break;
      }
      case ValueKind::Bool:
        row.field.Of<bool>(v) = row.intDefault == 0;
        break;
      case ValueKind::Real:
        row.field.Of<double>(v) = row.realMin + 1.25 + n % 7;
        break;
      case ValueKind::HexInt:
        row.field.Of<int32_t>(v) = static_cast<int32_t>(0x80000001u + 0x01020304u * n);
        break;
      case ValueKind::Name:
        row.field.Of<int32_t>(v) = row.nameCount - 1;
        break;
      case ValueKind::Text:
        row.field.Of<std::string>(v) = " \"T" + std::to_string(n) + " " + row.key + "\" ";
        break;
      case ValueKind::WideText:
        row.field.Of<std::string>(v) =
            "'" + std::string(wideOutsideCodePage ? "ノート " : "Wide ") + row.key + "'";
        break;
      case ValueKind::Note:
        break;
    }
  }
}

}  // namespace ov::test
