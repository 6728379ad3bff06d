// The native build runs on no Windows: the version is all zero, so the
// multimedia class scheduler is unavailable and nothing is ever loaded.
#include "app/engine/AvrtBinding.h"

namespace ov {

namespace {

class NoWindowsLoader : public LibraryLoader {
 public:
  OsVersion Version() override { return {}; }
  void* Load(const char*, uint32_t* error) override {
    *error = kNotSupported;
    return nullptr;
  }
  void* Find(void*, const char*, uint32_t* error) override {
    *error = kNotSupported;
    return nullptr;
  }
  bool Free(void*, uint32_t* error) override {
    *error = kNotSupported;
    return false;
  }
  void* CallSetTask(void*, const char*, uint32_t*) override { return nullptr; }
  bool CallRevert(void*, void*) override { return false; }

 private:
  static constexpr uint32_t kNotSupported = 50;  // the system's "not supported" code
};

}  // namespace

std::unique_ptr<LibraryLoader> CreateSystemLibraryLoader() {
  return std::make_unique<NoWindowsLoader>();
}

}  // namespace ov
