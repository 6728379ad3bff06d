#include "app/engine/AsioHost_win.h"

#include <cstring>

namespace ov::asio {

// ---------------------------------------------------------------- registry

SystemAsioRegistry::SystemAsioRegistry(HKEY driverRoot, std::string driverPath, HKEY classRoot,
                                       std::string classPath)
    : driverRoot_(driverRoot),
      classRoot_(classRoot),
      driverPath_(std::move(driverPath)),
      classPath_(std::move(classPath)) {}

namespace {

bool ReadString(HKEY root, const std::string& path, const char* name, std::string& out) {
  HKEY key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  char buf[1024];
  DWORD type = 0, size = sizeof buf - 1;
  const LONG r = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size);
  RegCloseKey(key);
  if (r != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
  buf[size < sizeof buf ? size : sizeof buf - 1] = '\0';
  out = buf;
  return true;
}

}  // namespace

std::vector<std::string> SystemAsioRegistry::DriverKeys() {
  std::vector<std::string> keys;
  HKEY root;
  if (RegOpenKeyExA(driverRoot_, driverPath_.c_str(), 0, KEY_READ, &root) != ERROR_SUCCESS) {
    return keys;
  }
  for (DWORD i = 0;; ++i) {
    char name[256];
    DWORD size = sizeof name;
    const LONG r = RegEnumKeyExA(root, i, name, &size, nullptr, nullptr, nullptr, nullptr);
    if (r == ERROR_NO_MORE_ITEMS) break;
    if (r == ERROR_SUCCESS)
      keys.emplace_back(name, size);
    else if (r != ERROR_MORE_DATA)
      break;  // an over-long key name is skipped
  }
  RegCloseKey(root);
  return keys;
}

bool SystemAsioRegistry::DriverValue(const std::string& key, const char* name, std::string& out) {
  return ReadString(driverRoot_, driverPath_ + "\\" + key, name, out);
}

bool SystemAsioRegistry::ServerPath(const std::string& classIdText, std::string& out) {
  // Registry key names compare without regard to case.
  return ReadString(classRoot_, classPath_ + "\\" + classIdText + "\\InprocServer32", nullptr, out);
}

bool SystemAsioRegistry::FileExists(const std::string& path) {
  const DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

// ---------------------------------------------------------------- drivers

AsioHost::AsioHost(std::unique_ptr<AsioRegistry> registry) {
  if (!registry) registry = std::make_unique<SystemAsioRegistry>();
  drivers_ = ReadAsioDrivers(*registry);
}

AsioHost::~AsioHost() {
  RemoveCurrentDriver();
  if (comInitialised_) CoUninitialize();
}

bool AsioHost::Create(int32_t index) {
  if (index < 0 || index >= static_cast<int32_t>(drivers_.size())) return false;
  CLSID id;
  static_assert(sizeof id == sizeof(ClassId), "class identifier layout");
  std::memcpy(&id, &drivers_[static_cast<size_t>(index)].classId, sizeof id);
  void* object = nullptr;
  HRESULT hr = CoCreateInstance(id, nullptr, CLSCTX_INPROC_SERVER, id, &object);
  if (hr == CO_E_NOTINITIALIZED) {
    // A thread that never initialised COM (a command-line tool): this one
    // does, once, and undoes it at destruction.
    if (SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) comInitialised_ = true;
    hr = CoCreateInstance(id, nullptr, CLSCTX_INPROC_SERVER, id, &object);
  }
  if (FAILED(hr) || !object) return false;
  driver_ = static_cast<IAsio*>(object);
  current_ = index;
  return true;
}

bool AsioHost::LoadDriver(int32_t index) {
  const int32_t previous = current_;
  RemoveCurrentDriver();
  if (Create(index)) return true;
  if (previous >= 0 && previous != index) Create(previous);
  return false;
}

void AsioHost::RemoveCurrentDriver() {
  if (driver_) driver_->Release();
  driver_ = nullptr;
  current_ = -1;
}

// ---------------------------------------------------------------- calls

int32_t AsioHost::Init(DriverInfo& info) {
  info.asioVersion = 0;
  std::strcpy(info.name, "No ASIO Driver");
  std::strcpy(info.errorMessage, "No ASIO Driver Error");
  if (!driver_) return kNotPresent;
  if (driver_->init(info.systemReference)) {
    char name[64] = {};
    driver_->getDriverName(name);
    std::memcpy(info.name, name, sizeof info.name - 1);
    info.name[sizeof info.name - 1] = '\0';
    info.driverVersion = driver_->getDriverVersion();
    return kOk;
  }
  char text[256] = {};
  driver_->getErrorMessage(text);
  std::memcpy(info.errorMessage, text, sizeof info.errorMessage - 1);
  info.errorMessage[sizeof info.errorMessage - 1] = '\0';
  RemoveCurrentDriver();
  return kNotPresent;
}

int32_t AsioHost::Exit() {
  RemoveCurrentDriver();
  return kOk;
}

int32_t AsioHost::Start() {
  return driver_ ? driver_->start() : kNotPresent;
}
int32_t AsioHost::Stop() {
  return driver_ ? driver_->stop() : kNotPresent;
}

int32_t AsioHost::GetChannels(int32_t& inputs, int32_t& outputs) {
  if (!driver_) {
    inputs = outputs = 0;
    return kNotPresent;
  }
  return driver_->getChannels(&inputs, &outputs);
}

int32_t AsioHost::GetLatencies(int32_t& input, int32_t& output) {
  if (!driver_) {
    input = output = 0;
    return kNotPresent;
  }
  return driver_->getLatencies(&input, &output);
}

int32_t AsioHost::GetBufferSize(int32_t& minimum, int32_t& maximum, int32_t& preferred,
                                int32_t& granularity) {
  if (!driver_) {
    minimum = maximum = preferred = granularity = 0;
    return kNotPresent;
  }
  return driver_->getBufferSize(&minimum, &maximum, &preferred, &granularity);
}

int32_t AsioHost::CanSampleRate(double rate) {
  return driver_ ? driver_->canSampleRate(rate) : kNotPresent;
}
int32_t AsioHost::GetSampleRate(double& rate) {
  if (!driver_) {
    rate = 0;
    return kNotPresent;
  }
  return driver_->getSampleRate(&rate);
}
int32_t AsioHost::SetSampleRate(double rate) {
  return driver_ ? driver_->setSampleRate(rate) : kNotPresent;
}
int32_t AsioHost::GetSamplePosition(Samples64& position, Samples64& systemTime) {
  return driver_ ? driver_->getSamplePosition(&position, &systemTime) : kNotPresent;
}

int32_t AsioHost::GetChannelInfo(ChannelInfo& info) {
  if (!driver_) {
    info.channelGroup = -1;
    info.type = 0;
    info.name[0] = '\0';
    return kNotPresent;
  }
  return driver_->getChannelInfo(&info);
}

int32_t AsioHost::CreateBuffers(BufferInfo* infos, int32_t count, int32_t frames,
                                Callbacks* callbacks) {
  return driver_ ? driver_->createBuffers(infos, count, frames, callbacks) : kNotPresent;
}
int32_t AsioHost::DisposeBuffers() {
  return driver_ ? driver_->disposeBuffers() : kNotPresent;
}
int32_t AsioHost::ControlPanel() {
  return driver_ ? driver_->controlPanel() : kNotPresent;
}
int32_t AsioHost::Future(int32_t selector, void* argument) {
  return driver_ ? driver_->future(selector, argument) : kNotPresent;
}
int32_t AsioHost::OutputReady() {
  return driver_ ? driver_->outputReady() : kNotPresent;
}

}  // namespace ov::asio
