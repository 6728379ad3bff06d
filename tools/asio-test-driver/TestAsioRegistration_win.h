// Registers the project's test ASIO driver in the registry for a test and
// takes its listing away again. The including test target defines
// OV_ASIO_TEST_DRIVER as the path of ovasiotest.dll.
#pragma once

#include <windows.h>

#include <string>

#include "tools/asio-test-driver/TestAsioControl.h"

namespace ov::asio_test {

// The driver's path as Windows names it; empty when the target has none.
inline std::string DriverPath() {
#ifdef OV_ASIO_TEST_DRIVER
  std::string p = OV_ASIO_TEST_DRIVER;
  for (char& c : p) c = c == '/' ? '\\' : c;
  return p[0] == '\\' ? "Z:" + p : p;
#else
  return {};
#endif
}

inline void SetString(HKEY root, const std::string& key, const char* name,
                      const std::string& value) {
  RegSetKeyValueA(root, key.c_str(), name, REG_SZ, value.c_str(),
                  static_cast<DWORD>(value.size() + 1));
}

constexpr const char kSystemList[] = "Software\\ASIO\\Orlavisonic Test";

// Registers the driver's class (in-process server, ThreadingModel=Both) and
// lists it as "Orlavisonic Test Driver" under HKLM\Software\ASIO and, when
// given, under userList (HKCU) too. False when the driver was not built.
inline bool RegisterTestDriver(const char* userList = nullptr) {
  const std::string path = DriverPath();
  if (path.empty() || GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
  const std::string cls = std::string("CLSID\\") + kClassIdText + "\\InprocServer32";
  SetString(HKEY_CLASSES_ROOT, cls, nullptr, path);
  SetString(HKEY_CLASSES_ROOT, cls, "ThreadingModel", "Both");
  SetString(HKEY_LOCAL_MACHINE, kSystemList, "CLSID", kClassIdText);
  SetString(HKEY_LOCAL_MACHINE, kSystemList, "Description", "Orlavisonic Test Driver");
  if (userList != nullptr) {
    const std::string k = std::string(userList) + "\\Orlavisonic Test";
    SetString(HKEY_CURRENT_USER, k, "CLSID", kClassIdText);
    SetString(HKEY_CURRENT_USER, k, "Description", "Orlavisonic Test Driver");
  }
  return true;
}

// Other tests expect a machine without ASIO drivers: the listing goes when
// a test ends (the class registration may stay; nothing lists it).
inline void UnlistTestDriver(const char* userList = nullptr) {
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, kSystemList);
  if (userList != nullptr)
    RegDeleteTreeA(HKEY_CURRENT_USER, (std::string(userList) + "\\Orlavisonic Test").c_str());
}

}  // namespace ov::asio_test
