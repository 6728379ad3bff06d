// The seam between the DirectSound family and the system: the enumeration
// functions of DSOUND.DLL and the few methods of the device and buffer objects
// the family calls. The system's implementation loads DSOUND.DLL at run time
// (a missing library makes the enumerations fail, so the family is unusable
// while waveform audio still works); tests put a double behind the same
// interfaces to inject what the system will not produce on demand, such as a
// lost buffer.
//
// Threads: the device objects are made and used on the main thread; a buffer
// is used by the main thread, the pump thread and the family's transfer
// thread, as the system's buffers allow.
#pragma once

#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

#include <functional>
#include <memory>

namespace ov {

// A secondary or primary play buffer (IDirectSoundBuffer with its notify
// interface).
class DsPlayBuffer {
 public:
  virtual ~DsPlayBuffer() = default;
  virtual HRESULT Lock(DWORD offset, DWORD bytes, void** p1, DWORD* n1, void** p2, DWORD* n2) = 0;
  virtual HRESULT Unlock(void* p1, DWORD n1, void* p2, DWORD n2) = 0;
  virtual HRESULT Play(DWORD flags) = 0;
  virtual HRESULT Stop() = 0;
  virtual HRESULT SetCurrentPosition(DWORD offset) = 0;
  virtual HRESULT GetCurrentPosition(DWORD* play, DWORD* write) = 0;
  virtual HRESULT GetStatus(DWORD* status) = 0;
  virtual HRESULT Restore() = 0;
  virtual HRESULT SetFormat(const WAVEFORMATEX* f) = 0;
  virtual HRESULT GetVolume(LONG* volume) = 0;
  virtual HRESULT SetVolume(LONG volume) = 0;
  // Takes the notify interface (QueryInterface) and sets the positions.
  virtual HRESULT SetNotificationPositions(DWORD count, const DSBPOSITIONNOTIFY* positions) = 0;
};

// A capture buffer (IDirectSoundCaptureBuffer with its notify interface).
class DsCaptureBuffer {
 public:
  virtual ~DsCaptureBuffer() = default;
  virtual HRESULT Lock(DWORD offset, DWORD bytes, void** p1, DWORD* n1, void** p2, DWORD* n2) = 0;
  virtual HRESULT Unlock(void* p1, DWORD n1, void* p2, DWORD n2) = 0;
  virtual HRESULT Start(DWORD flags) = 0;
  virtual HRESULT Stop() = 0;
  // capture: where the device writes; read: up to where the bytes are complete.
  virtual HRESULT GetCurrentPosition(DWORD* capture, DWORD* read) = 0;
  virtual HRESULT GetFormat(WAVEFORMATEX* f, DWORD bytes, DWORD* written) = 0;
  virtual HRESULT SetNotificationPositions(DWORD count, const DSBPOSITIONNOTIFY* positions) = 0;
};

// The DirectSound object of one output device.
class DsOutputDevice {
 public:
  virtual ~DsOutputDevice() = default;
  virtual HRESULT Initialize(const GUID* device) = 0;
  virtual HRESULT GetCaps(DSCAPS* caps) = 0;
  virtual HRESULT SetCooperativeLevel(HWND window, DWORD level) = 0;
  virtual HRESULT CreateSoundBuffer(const DSBUFFERDESC& d, std::unique_ptr<DsPlayBuffer>& out) = 0;
};

// The DirectSoundCapture object of one input device.
class DsInputDevice {
 public:
  virtual ~DsInputDevice() = default;
  virtual HRESULT Initialize(const GUID* device) = 0;
  virtual HRESULT GetCaps(DSCCAPS* caps) = 0;
  virtual HRESULT CreateCaptureBuffer(const DSCBUFFERDESC& d,
                                      std::unique_ptr<DsCaptureBuffer>& out) = 0;
};

// Called once per enumerated device: its GUID (null for the default device)
// and its description; returns false to end the enumeration.
using DsEnumerateEach = std::function<bool(const GUID* guid, const char* description)>;

class DsSystem {
 public:
  virtual ~DsSystem() = default;
  // False when the library, the entry or the enumeration itself fails.
  virtual bool EnumerateOutputs(const DsEnumerateEach& each) = 0;
  virtual bool EnumerateInputs(const DsEnumerateEach& each) = 0;
  virtual HRESULT CreateOutputDevice(std::unique_ptr<DsOutputDevice>& out) = 0;
  virtual HRESULT CreateInputDevice(std::unique_ptr<DsInputDevice>& out) = 0;
};

// DirectSound of the running system: DSOUND.DLL loaded at the first
// enumeration, the objects made with CoCreateInstance.
std::unique_ptr<DsSystem> CreateSystemDirectSound();

}  // namespace ov
