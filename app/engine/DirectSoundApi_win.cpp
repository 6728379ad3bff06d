#include "app/engine/DirectSoundApi_win.h"

#include <objbase.h>

namespace ov {

namespace {

template <class T>
void ReleaseCom(T*& p) {
  if (p) p->Release();
  p = nullptr;
}

class SystemPlayBuffer final : public DsPlayBuffer {
 public:
  explicit SystemPlayBuffer(IDirectSoundBuffer* b) : b_(b) {}
  ~SystemPlayBuffer() override {
    ReleaseCom(notify_);
    ReleaseCom(b_);
  }
  HRESULT Lock(DWORD offset, DWORD bytes, void** p1, DWORD* n1, void** p2, DWORD* n2) override {
    return b_->Lock(offset, bytes, p1, n1, p2, n2, 0);
  }
  HRESULT Unlock(void* p1, DWORD n1, void* p2, DWORD n2) override {
    return b_->Unlock(p1, n1, p2, n2);
  }
  HRESULT Play(DWORD flags) override { return b_->Play(0, 0, flags); }
  HRESULT Stop() override { return b_->Stop(); }
  HRESULT SetCurrentPosition(DWORD offset) override { return b_->SetCurrentPosition(offset); }
  HRESULT GetCurrentPosition(DWORD* play, DWORD* write) override {
    return b_->GetCurrentPosition(play, write);
  }
  HRESULT GetStatus(DWORD* status) override { return b_->GetStatus(status); }
  HRESULT Restore() override { return b_->Restore(); }
  HRESULT SetFormat(const WAVEFORMATEX* f) override { return b_->SetFormat(f); }
  HRESULT GetVolume(LONG* volume) override { return b_->GetVolume(volume); }
  HRESULT SetVolume(LONG volume) override { return b_->SetVolume(volume); }
  HRESULT SetNotificationPositions(DWORD count, const DSBPOSITIONNOTIFY* positions) override {
    if (!notify_) {
      const HRESULT hr =
          b_->QueryInterface(IID_IDirectSoundNotify, reinterpret_cast<void**>(&notify_));
      if (FAILED(hr)) return hr;
    }
    return notify_->SetNotificationPositions(count, positions);
  }

 private:
  IDirectSoundBuffer* b_;
  IDirectSoundNotify* notify_ = nullptr;
};

class SystemCaptureBuffer final : public DsCaptureBuffer {
 public:
  explicit SystemCaptureBuffer(IDirectSoundCaptureBuffer* b) : b_(b) {}
  ~SystemCaptureBuffer() override {
    ReleaseCom(notify_);
    ReleaseCom(b_);
  }
  HRESULT Lock(DWORD offset, DWORD bytes, void** p1, DWORD* n1, void** p2, DWORD* n2) override {
    return b_->Lock(offset, bytes, p1, n1, p2, n2, 0);
  }
  HRESULT Unlock(void* p1, DWORD n1, void* p2, DWORD n2) override {
    return b_->Unlock(p1, n1, p2, n2);
  }
  HRESULT Start(DWORD flags) override { return b_->Start(flags); }
  HRESULT Stop() override { return b_->Stop(); }
  HRESULT GetCurrentPosition(DWORD* capture, DWORD* read) override {
    return b_->GetCurrentPosition(capture, read);
  }
  HRESULT GetFormat(WAVEFORMATEX* f, DWORD bytes, DWORD* written) override {
    return b_->GetFormat(f, bytes, written);
  }
  HRESULT SetNotificationPositions(DWORD count, const DSBPOSITIONNOTIFY* positions) override {
    if (!notify_) {
      const HRESULT hr =
          b_->QueryInterface(IID_IDirectSoundNotify, reinterpret_cast<void**>(&notify_));
      if (FAILED(hr)) return hr;
    }
    return notify_->SetNotificationPositions(count, positions);
  }

 private:
  IDirectSoundCaptureBuffer* b_;
  IDirectSoundNotify* notify_ = nullptr;
};

class SystemOutputDevice final : public DsOutputDevice {
 public:
  explicit SystemOutputDevice(IDirectSound* d) : d_(d) {}
  ~SystemOutputDevice() override { ReleaseCom(d_); }
  HRESULT Initialize(const GUID* device) override { return d_->Initialize(device); }
  HRESULT GetCaps(DSCAPS* caps) override { return d_->GetCaps(caps); }
  HRESULT SetCooperativeLevel(HWND window, DWORD level) override {
    return d_->SetCooperativeLevel(window, level);
  }
  HRESULT CreateSoundBuffer(const DSBUFFERDESC& d, std::unique_ptr<DsPlayBuffer>& out) override {
    IDirectSoundBuffer* b = nullptr;
    const HRESULT hr = d_->CreateSoundBuffer(&d, &b, nullptr);
    if (FAILED(hr)) return hr;
    if (b) out = std::make_unique<SystemPlayBuffer>(b);
    return hr;
  }

 private:
  IDirectSound* d_;
};

class SystemInputDevice final : public DsInputDevice {
 public:
  explicit SystemInputDevice(IDirectSoundCapture* d) : d_(d) {}
  ~SystemInputDevice() override { ReleaseCom(d_); }
  HRESULT Initialize(const GUID* device) override { return d_->Initialize(device); }
  HRESULT GetCaps(DSCCAPS* caps) override { return d_->GetCaps(caps); }
  HRESULT CreateCaptureBuffer(const DSCBUFFERDESC& d,
                              std::unique_ptr<DsCaptureBuffer>& out) override {
    IDirectSoundCaptureBuffer* b = nullptr;
    const HRESULT hr = d_->CreateCaptureBuffer(&d, &b, nullptr);
    if (FAILED(hr)) return hr;
    if (b) out = std::make_unique<SystemCaptureBuffer>(b);
    return hr;
  }

 private:
  IDirectSoundCapture* d_;
};

using EnumerateFn = HRESULT(WINAPI*)(LPDSENUMCALLBACKA callback, void* context);

BOOL CALLBACK EnumerateOne(GUID* guid, LPCSTR description, LPCSTR, void* context) {
  const auto& each = *static_cast<const DsEnumerateEach*>(context);
  return each(guid, description ? description : "") ? TRUE : FALSE;
}

class SystemDirectSound final : public DsSystem {
 public:
  ~SystemDirectSound() override {
    if (module_) FreeLibrary(module_);
    if (comInitialized_) CoUninitialize();
  }
  bool EnumerateOutputs(const DsEnumerateEach& each) override {
    return Enumerate("DirectSoundEnumerateA", each);
  }
  bool EnumerateInputs(const DsEnumerateEach& each) override {
    return Enumerate("DirectSoundCaptureEnumerateA", each);
  }
  HRESULT CreateOutputDevice(std::unique_ptr<DsOutputDevice>& out) override {
    IDirectSound* d = nullptr;
    const HRESULT hr = Create(CLSID_DirectSound, IID_IDirectSound, reinterpret_cast<void**>(&d));
    if (SUCCEEDED(hr) && d) out = std::make_unique<SystemOutputDevice>(d);
    return hr;
  }
  HRESULT CreateInputDevice(std::unique_ptr<DsInputDevice>& out) override {
    IDirectSoundCapture* d = nullptr;
    const HRESULT hr =
        Create(CLSID_DirectSoundCapture, IID_IDirectSoundCapture, reinterpret_cast<void**>(&d));
    if (SUCCEEDED(hr) && d) out = std::make_unique<SystemInputDevice>(d);
    return hr;
  }

 private:
  bool Enumerate(const char* entry, const DsEnumerateEach& each) {
    if (!module_) module_ = LoadLibraryA("DSOUND.DLL");
    if (!module_) return false;
    const auto fn =
        reinterpret_cast<EnumerateFn>(reinterpret_cast<void*>(GetProcAddress(module_, entry)));
    if (!fn) return false;
    return SUCCEEDED(fn(EnumerateOne, const_cast<DsEnumerateEach*>(&each)));
  }
  HRESULT Create(REFCLSID clsid, REFIID iid, void** out) {
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, out);
    if (hr == CO_E_NOTINITIALIZED && !comInitialized_) {
      // A program without COM of its own (the command-line tool): the thread
      // joins the multithreaded apartment for the engine's lifetime.
      comInitialized_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
      hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, out);
    }
    return hr;
  }

  HMODULE module_ = nullptr;
  bool comInitialized_ = false;
};

}  // namespace

std::unique_ptr<DsSystem> CreateSystemDirectSound() {
  return std::make_unique<SystemDirectSound>();
}

}  // namespace ov
