#include "app/engine/AsioDriverList.h"

#include <cstring>

namespace ov::asio {
namespace {

bool HexDigits(const std::string& t, size_t at, size_t n, uint64_t& out) {
  out = 0;
  for (size_t i = 0; i < n; ++i) {
    const char c = t[at + i];
    int d;
    if (c >= '0' && c <= '9') {
      d = c - '0';
    } else if (c >= 'a' && c <= 'f') {
      d = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
      d = c - 'A' + 10;
    } else {
      return false;
    }
    out = out << 4 | static_cast<uint64_t>(d);
  }
  return true;
}

}  // namespace

bool operator==(const ClassId& a, const ClassId& b) {
  return a.data1 == b.data1 && a.data2 == b.data2 && a.data3 == b.data3 &&
         std::memcmp(a.data4, b.data4, sizeof a.data4) == 0;
}

bool ParseClassId(const std::string& t, ClassId& out) {
  // {01234567-0123-0123-0123-0123456789ab}
  if (t.size() != 38 || t[0] != '{' || t[37] != '}' || t[9] != '-' || t[14] != '-' ||
      t[19] != '-' || t[24] != '-') {
    return false;
  }
  uint64_t v;
  if (!HexDigits(t, 1, 8, v)) return false;
  out.data1 = static_cast<uint32_t>(v);
  if (!HexDigits(t, 10, 4, v)) return false;
  out.data2 = static_cast<uint16_t>(v);
  if (!HexDigits(t, 15, 4, v)) return false;
  out.data3 = static_cast<uint16_t>(v);
  for (size_t i = 0; i < 8; ++i) {
    const size_t at = i < 2 ? 20 + 2 * i : 25 + 2 * (i - 2);
    if (!HexDigits(t, at, 2, v)) return false;
    out.data4[i] = static_cast<uint8_t>(v);
  }
  return true;
}

std::vector<AsioDriverEntry> ReadAsioDrivers(AsioRegistry& registry) {
  std::vector<AsioDriverEntry> list;
  for (const std::string& key : registry.DriverKeys()) {
    std::string clsid, server;
    AsioDriverEntry e;
    if (!registry.DriverValue(key, "clsid", clsid) || !ParseClassId(clsid, e.classId)) continue;
    if (!registry.ServerPath(clsid, server) || server.empty() || !registry.FileExists(server)) {
      continue;
    }
    std::string name;
    if (!registry.DriverValue(key, "description", name) || name.empty()) name = key;
    if (name.size() > kMaxDriverName) name.resize(kMaxDriverName);
    e.index = static_cast<int32_t>(list.size());
    e.name = name;
    e.serverPath = server;
    list.push_back(e);
  }
  return list;
}

std::string CutDriverName(const std::string& name) {
  if (name.size() <= 31) return name;
  return name.substr(0, 28) + "...";
}

std::vector<std::string> DriverNameTable(const std::vector<AsioDriverEntry>& drivers, size_t max) {
  std::vector<std::string> names;
  for (size_t i = 0; i < drivers.size() && i < max; ++i)
    names.push_back(CutDriverName(drivers[i].name));
  return names;
}

}  // namespace ov::asio
