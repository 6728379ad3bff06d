// The host library of the ASIO family: the installed drivers read from the
// registry, loading one by its class identifier, and the calls to the loaded
// driver. Every call returns the driver's error code, or kNotPresent (-1000)
// when no driver is loaded.
//
// Threads: the list, loading and every call except those noted run on the
// main thread; Start, Stop and OutputReady also run on the pump threads and
// the driver's callback thread. The loaded driver object is owned here and
// released by RemoveCurrentDriver, Exit or destruction.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app/engine/AsioDriverList.h"
#include "app/engine/AsioInterface_win.h"

namespace ov::asio {

// The system's registry: driver keys under `driverRoot`\`driverPath`, class
// keys under `classRoot`\`classPath`. Tests point both at keys of their own.
class SystemAsioRegistry : public AsioRegistry {
 public:
  SystemAsioRegistry(HKEY driverRoot = HKEY_LOCAL_MACHINE,
                     std::string driverPath = "software\\asio", HKEY classRoot = HKEY_CLASSES_ROOT,
                     std::string classPath = "clsid");
  std::vector<std::string> DriverKeys() override;
  bool DriverValue(const std::string& key, const char* name, std::string& out) override;
  bool ServerPath(const std::string& classIdText, std::string& out) override;
  bool FileExists(const std::string& path) override;

 private:
  HKEY driverRoot_, classRoot_;
  std::string driverPath_, classPath_;
};

// What init reports about the driver (the host's driver-information record).
struct DriverInfo {
  int32_t asioVersion = 0;
  int32_t driverVersion = 0;
  char name[32] = "No ASIO Driver";
  char errorMessage[124] = "No ASIO Driver Error";
  void* systemReference = nullptr;
};

class AsioHost {
 public:
  explicit AsioHost(std::unique_ptr<AsioRegistry> registry = nullptr);
  ~AsioHost();
  AsioHost(const AsioHost&) = delete;
  AsioHost& operator=(const AsioHost&) = delete;

  const std::vector<AsioDriverEntry>& Drivers() const { return drivers_; }
  // Loads driver `index` (the current one is unloaded first). When that fails
  // and another driver had been loaded, that one is loaded again; the result
  // is still failure.
  bool LoadDriver(int32_t index);
  void RemoveCurrentDriver();
  int32_t CurrentIndex() const { return current_; }
  bool Loaded() const { return driver_ != nullptr; }

  // init with the system reference: on success the name and version are
  // filled in; on failure the driver's error text is kept, the driver is
  // unloaded and kNotPresent returned.
  int32_t Init(DriverInfo& info);
  int32_t Exit();  // unloads the driver
  int32_t Start();
  int32_t Stop();
  int32_t GetChannels(int32_t& inputs, int32_t& outputs);
  int32_t GetLatencies(int32_t& input, int32_t& output);
  int32_t GetBufferSize(int32_t& minimum, int32_t& maximum, int32_t& preferred,
                        int32_t& granularity);
  int32_t CanSampleRate(double rate);
  int32_t GetSampleRate(double& rate);
  int32_t SetSampleRate(double rate);
  int32_t GetSamplePosition(Samples64& position, Samples64& systemTime);
  // With no driver: channel group -1, type 0, empty name.
  int32_t GetChannelInfo(ChannelInfo& info);
  int32_t CreateBuffers(BufferInfo* infos, int32_t count, int32_t frames, Callbacks* callbacks);
  int32_t DisposeBuffers();
  int32_t ControlPanel();
  int32_t Future(int32_t selector, void* argument);
  int32_t OutputReady();

 private:
  bool Create(int32_t index);
  std::vector<AsioDriverEntry> drivers_;
  IAsio* driver_ = nullptr;
  int32_t current_ = -1;
  bool comInitialised_ = false;
};

}  // namespace ov::asio
