// The settings table: every key of the settings file in file order, with its
// kind, default, range, whether the program writes it back, and the field of
// SettingsValues it fills. Loading, saving and the defaults are all driven by it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "app/shell/SettingsValues.h"

namespace ov {

enum class ValueKind : uint8_t {
  Int,         // decimal, atol rule, outside the range gives the default
  ClampedInt,  // decimal, atol rule, clamped into the range
  Bool,        // 0 or 1
  Real,        // strtod rule, written with 7 significant digits
  Text,        // 8-bit text cut to `capacity` characters
  WideText,    // wide text cut to `capacity` UTF-16 units
  HexInt,      // "0x%08X"; text that does not parse is reported and gives the default
  Name,        // one of `names`, stored by name, held as its index; unknown names select 0
  Note,        // an in-file note with a fixed hex value and no field
};

enum class SaveRule : uint8_t {
  Always,
  Never,      // read only; exists for hand editing
  WhenOlder,  // the running version, written when the stored one is smaller
  FirstRun,   // written when the file did not exist at start-up
};

enum class FieldType : uint8_t { None, Int32, Bool, Double, String };

// Where a row's value lives in SettingsValues.
struct FieldRef {
  FieldType type = FieldType::None;
  void* (*at)(SettingsValues&, int index) = nullptr;
  int index = 0;  // colour slot: set * kColorRoleCount + role

  template <typename T>
  T& Of(SettingsValues& values) const {
    return *static_cast<T*>(at(values, index));
  }
};

struct SettingDef {
  const char* section = "";
  const char* key = "";
  ValueKind kind = ValueKind::Int;
  int32_t intDefault = 0, intMin = 0, intMax = 0;    // Int, ClampedInt, Bool, HexInt, Note
  double realDefault = 0, realMin = 0, realMax = 0;  // Real
  size_t capacity = 0;                               // Text, WideText
  const char* const* names = nullptr;                // Name
  int nameCount = 0;
  SaveRule save = SaveRule::Always;
  FieldRef field;
};

struct SettingRows {
  const SettingDef* first;
  size_t count;
  const SettingDef* begin() const { return first; }
  const SettingDef* end() const { return first + count; }
};

// All rows in file order.
SettingRows SettingsTable();
// The row of section/key (case-insensitive), or nullptr.
const SettingDef* FindSetting(std::string_view section, std::string_view key);

}  // namespace ov
