// The installed ASIO drivers: each subkey of HKEY_LOCAL_MACHINE\software\asio
// names a class identifier ("clsid") whose in-process server file must exist.
// The registry is read through a small seam so that the list can be built
// from hand-made contents in tests. Main thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ov::asio {

// A class identifier in the layout of the system's GUID.
struct ClassId {
  uint32_t data1 = 0;
  uint16_t data2 = 0, data3 = 0;
  uint8_t data4[8] = {};
};
bool operator==(const ClassId& a, const ClassId& b);

// Parses "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}" (hex digits in either case).
bool ParseClassId(const std::string& text, ClassId& out);

class AsioRegistry {
 public:
  virtual ~AsioRegistry() = default;
  // The subkeys of the driver key, in enumeration order.
  virtual std::vector<std::string> DriverKeys() = 0;
  // A string value of driver subkey `key`; false when it is absent or not a string.
  virtual bool DriverValue(const std::string& key, const char* name, std::string& out) = 0;
  // The default value of "InprocServer32" under the class key `classIdText`,
  // which is looked up without regard to letter case.
  virtual bool ServerPath(const std::string& classIdText, std::string& out) = 0;
  // True when `path` names an existing file (a directory does not count).
  virtual bool FileExists(const std::string& path) = 0;
};

struct AsioDriverEntry {
  int32_t index = 0;  // in the order found, from 0
  ClassId classId;
  std::string name;  // "description", else the key name; at most 127 characters
  std::string serverPath;
};

constexpr size_t kMaxDriverName = 127;

// Builds the list; entries with missing values, a malformed class identifier,
// an unregistered class or a missing server file are skipped.
std::vector<AsioDriverEntry> ReadAsioDrivers(AsioRegistry& registry);

// The engine's table: at most `max` names, each at most 31 characters (a
// longer one keeps its first 28 followed by "...").
std::vector<std::string> DriverNameTable(const std::vector<AsioDriverEntry>& drivers, size_t max);
std::string CutDriverName(const std::string& name);

}  // namespace ov::asio
