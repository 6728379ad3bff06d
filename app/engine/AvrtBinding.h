// The multimedia class scheduler entry points of "Avrt.dll", bound once by the
// engine at construction and freed at its destruction. Only the WASAPI
// transfer threads use them: each registers itself with the task "Pro Audio"
// for the length of a run and reverts when it ends.
//
// The scheduler exists from Windows Vista SP1 on (major version above 5, but
// not 6.0 without a service pack); elsewhere, and in the native build, the
// library is not loaded and MmcssAvailable() is false.
#pragma once

#include <cstdint>
#include <memory>

#include "app/common/OsVersion.h"
#include "app/engine/AudioDriver.h"  // EngineMessage

namespace ov {

// True when the system has the multimedia class scheduler.
bool MmcssSupported(const OsVersion& v);

// The system's dynamic-library services the binding needs. Every failing call
// reports the system's last-error code in *error.
class LibraryLoader {
 public:
  virtual ~LibraryLoader() = default;
  // The running system's version; all zero where there is no Windows.
  virtual OsVersion Version() = 0;
  virtual void* Load(const char* fileName, uint32_t* error) = 0;
  virtual void* Find(void* module, const char* entryName, uint32_t* error) = 0;
  virtual bool Free(void* module, uint32_t* error) = 0;
  // Calls the bound entries (Windows calling convention).
  virtual void* CallSetTask(void* entry, const char* task, uint32_t* taskIndex) = 0;
  virtual bool CallRevert(void* entry, void* taskHandle) = 0;
};

// The system's loader (Windows), or one that reports no Windows (native).
std::unique_ptr<LibraryLoader> CreateSystemLibraryLoader();

class AvrtBinding {
 public:
  explicit AvrtBinding(std::unique_ptr<LibraryLoader> loader);
  ~AvrtBinding() = default;  // the engine frees the module itself, to report a failure
  AvrtBinding(const AvrtBinding&) = delete;
  AvrtBinding& operator=(const AvrtBinding&) = delete;

  // Decides MmcssAvailable from the system's version and, when available,
  // loads the library and finds both entries, in that order. Returns false on
  // the first failure, with its text (and the last-error code) in message.
  bool Bind(EngineMessage& message);
  // Frees a loaded library; false (with the box text in message) on failure.
  bool Free(EngineMessage& message);

  bool MmcssAvailable() const { return mmcssAvailable_; }
  bool Bound() const { return setTask_ && revert_; }

  // Registers the calling thread with the task (e.g. "Pro Audio"); returns the
  // task handle, null on failure. taskIndex: in 0 for a new task, out the index.
  void* AvSetMmThreadCharacteristicsA(const char* task, uint32_t* taskIndex) const;
  // Ends the calling thread's registration; false on failure.
  bool AvRevertMmThreadCharacteristics(void* taskHandle) const;

 private:
  std::unique_ptr<LibraryLoader> loader_;
  bool mmcssAvailable_ = false;
  void* AvrtModule = nullptr;
  void* setTask_ = nullptr;
  void* revert_ = nullptr;
};

}  // namespace ov
