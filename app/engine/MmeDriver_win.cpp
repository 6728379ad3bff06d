#include "app/engine/MmeDriver_win.h"

#include <string>

#include "app/common/Utf8.h"
#include "app/engine/EngineTexts.h"

namespace ov {

namespace {

constexpr DWORD kDirectFlag = 0x0008;  // WAVE_FORMAT_DIRECT

DWORD OpenFlags(const DriverOptions& o, DWORD callback) {
  return callback | (o.useDirect ? kDirectFlag : 0);
}

// Open results the engine tells apart.
std::string OpenFailureText(MMRESULT r, const WaveFormat& f) {
  if (r == MMSYSERR_ALLOCATED) return text::kDeviceAlreadyOpened;
  if (r == WAVERR_BADFORMAT) return UnsupportedFormatText(f);
  return text::kUnableToOpenWaveDevice;
}

std::string AnsiToUtf8(const char* s) {
  wchar_t wide[128];
  const int n = MultiByteToWideChar(CP_ACP, 0, s, -1, wide, 128);
  if (n <= 1) return {};
  return Utf16ToUtf8(std::u16string(reinterpret_cast<const char16_t*>(wide), n - 1));
}

bool Fail(EngineMessage& message, const char* text) {
  message.Set(text);
  return false;
}

}  // namespace

MmeDriver::MmeDriver() = default;

MmeDriver::~MmeDriver() {
  EngineMessage ignored;
  if (frame_) CloseFrame(ignored);
  if (in_) {
    EndInput(kMaxBuffers, ignored);
    CloseInput(ignored);
  }
  if (out_) {
    DrainOutput(kMaxBuffers, ignored);
    CloseOutput(ignored);
  }
}

DeviceCheck MmeDriver::CheckDevices() {
  DeviceCheck c;
  waveOutCount_ = c.outputs = waveOutGetNumDevs();
  waveInCount_ = c.inputs = waveInGetNumDevs();
  if (!c.outputs && !c.inputs) {
    c.message = text::kNoWaveInputOutput;
    c.unusable = true;
  } else if (!c.outputs) {
    c.message = text::kNoWaveOutput;
  } else if (!c.inputs) {
    c.message = text::kNoWaveInput;
  }
  return c;
}

uint32_t MmeDriver::DeviceCount(bool input) {
  return input ? waveInCount_ : waveOutCount_;
}

std::string MmeDriver::DeviceName(uint32_t number, bool input) {
  if (number == 0) return "Wave Mapper";
  if (input) {
    WAVEINCAPSA caps{};
    if (waveInGetDevCapsA(number - 1, &caps, sizeof caps) != MMSYSERR_NOERROR) return {};
    return AnsiToUtf8(caps.szPname);
  }
  WAVEOUTCAPSA caps{};
  if (waveOutGetDevCapsA(number - 1, &caps, sizeof caps) != MMSYSERR_NOERROR) return {};
  return AnsiToUtf8(caps.szPname);
}

// ---------------------------------------------------------------- output

bool MmeDriver::OpenOutput(int32_t id, const WaveFormat& f, const DriverOptions& o,
                           AutoResetEvent& done, EngineMessage& message) {
  outputId_ = id;
  message.Clear();
  if (waveOutCount_ == 0) return Fail(message, text::kNoWaveOutput);
  const WaveFormat d = DeviceFormat(f, o.useExtensible);
  HWAVEOUT h = nullptr;
  const MMRESULT r = waveOutOpen(
      &h, static_cast<UINT>(id), reinterpret_cast<const WAVEFORMATEX*>(&d),
      reinterpret_cast<DWORD_PTR>(done.NativeHandle()), 0, OpenFlags(o, CALLBACK_EVENT));
  if (r != MMSYSERR_NOERROR) {
    message.Set(OpenFailureText(r, f).c_str());
    return false;
  }
  out_ = h;
  for (auto& hdr : outHeaders_) hdr = WAVEHDR{};
  UINT realId = 0;
  if (waveOutGetID(out_, &realId) != MMSYSERR_NOERROR)
    return Fail(message, text::kUnableToGetDeviceId);
  outputId_ = static_cast<int32_t>(realId);
  // Some systems give a mapper handle an ID their capability call refuses;
  // the mapper's own capabilities then describe the device.
  if (waveOutGetDevCapsA(realId, &outCaps_, sizeof outCaps_) != MMSYSERR_NOERROR &&
      waveOutGetDevCapsA(WAVE_MAPPER, &outCaps_, sizeof outCaps_) != MMSYSERR_NOERROR) {
    return Fail(message, text::kUnableToGetDeviceCaps);
  }
  return true;
}

bool MmeDriver::PauseOutput(EngineMessage& message) {
  if (out_ && waveOutPause(out_) != MMSYSERR_NOERROR) return Fail(message, text::kWaveOutPause);
  return true;
}

bool MmeDriver::ResetOutput(EngineMessage& message) {
  if (out_ && waveOutReset(out_) != MMSYSERR_NOERROR) return Fail(message, text::kWaveOutReset);
  return true;
}

bool MmeDriver::RestartOutput(EngineMessage&) {
  if (out_) waveOutRestart(out_);
  return true;
}

bool MmeDriver::SubmitOutput(uint32_t index, uint8_t* data, uint32_t bytes,
                             EngineMessage& message) {
  if (!out_ || index >= kMaxBuffers) return Fail(message, text::kWaveOutWrite);
  WAVEHDR& h = outHeaders_[index];
  // A header stays prepared from one pass to the next while it covers the
  // same buffer; only its length changes.
  if ((h.dwFlags & WHDR_PREPARED) && h.lpData != reinterpret_cast<LPSTR>(data)) {
    waveOutUnprepareHeader(out_, &h, sizeof h);
    h = WAVEHDR{};
  }
  h.lpData = reinterpret_cast<LPSTR>(data);
  h.dwBufferLength = bytes;
  if (!(h.dwFlags & WHDR_PREPARED)) {
    h.dwFlags = 0;
    if (waveOutPrepareHeader(out_, &h, sizeof h) != MMSYSERR_NOERROR) {
      return Fail(message, text::kWaveOutPrepareHeader);
    }
  }
  if (waveOutWrite(out_, &h, sizeof h) != MMSYSERR_NOERROR)
    return Fail(message, text::kWaveOutWrite);
  return true;
}

bool MmeDriver::OutputDone(uint32_t index) {
  if (index >= kMaxBuffers) return true;
  // The device writes the flags from its own thread.
  return (reinterpret_cast<volatile DWORD&>(outHeaders_[index].dwFlags) & WHDR_DONE) != 0;
}

void MmeDriver::DrainOutput(uint32_t count, EngineMessage& message) {
  if (!out_) return;
  if (waveOutReset(out_) != MMSYSERR_NOERROR) message.Set(text::kWaveOutReset);
  if (count > kMaxBuffers) count = kMaxBuffers;
  for (uint32_t i = 0; i < count; ++i) {
    WAVEHDR& h = outHeaders_[i];
    if (!(h.dwFlags & WHDR_PREPARED)) continue;
    if (waveOutUnprepareHeader(out_, &h, sizeof h) != MMSYSERR_NOERROR) {
      message.Set(text::kWaveOutUnprepareHeader);
    }
    h = WAVEHDR{};
  }
}

void MmeDriver::CloseOutput(EngineMessage& message) {
  if (!out_) return;
  // Headers still prepared (a run that failed midway) are released first, as
  // the system refuses to close a handle with buffers queued.
  for (auto& h : outHeaders_) {
    if (h.dwFlags & WHDR_PREPARED) {
      waveOutReset(out_);
      waveOutUnprepareHeader(out_, &h, sizeof h);
      h = WAVEHDR{};
    }
  }
  if (waveOutClose(out_) != MMSYSERR_NOERROR) message.Set(text::kWaveOutClose);
  out_ = nullptr;
}

bool MmeDriver::OutputPosition(uint64_t& samples) {
  if (!out_) return false;
  MMTIME t{};
  t.wType = TIME_SAMPLES;
  if (waveOutGetPosition(out_, &t, sizeof t) != MMSYSERR_NOERROR || t.wType != TIME_SAMPLES) {
    return false;
  }
  samples = t.u.sample;
  return true;
}

void MmeDriver::SetFullVolume() {
  if (!out_) return;
  DWORD v = 0;
  waveOutGetVolume(out_, &v);
  waveOutSetVolume(out_, 0xFFFFFFFF);
  waveOutGetVolume(out_, &v);
}

// ---------------------------------------------------------------- input

bool MmeDriver::ProbeInput(int32_t id, const WaveFormat& f, const DriverOptions& o,
                           EngineMessage& message) {
  const WaveFormat d = DeviceFormat(f, o.useExtensible);
  HWAVEIN h = nullptr;
  const MMRESULT r =
      waveInOpen(&h, static_cast<UINT>(id), reinterpret_cast<const WAVEFORMATEX*>(&d), 0, 0,
                 OpenFlags(o, CALLBACK_NULL));
  if (r != MMSYSERR_NOERROR) {
    message.Set(OpenFailureText(r, f).c_str());
    return false;
  }
  waveInClose(h);
  return true;
}

bool MmeDriver::OpenInput(int32_t id, const WaveFormat& f, const DriverOptions& o,
                          AutoResetEvent& done, EngineMessage& message) {
  inputId_ = id;
  message.Clear();
  if (waveInCount_ == 0) return Fail(message, text::kNoWaveInput);
  const WaveFormat d = DeviceFormat(f, o.useExtensible);
  HWAVEIN h = nullptr;
  const MMRESULT r =
      waveInOpen(&h, static_cast<UINT>(id), reinterpret_cast<const WAVEFORMATEX*>(&d),
                 reinterpret_cast<DWORD_PTR>(done.NativeHandle()), 0, OpenFlags(o, CALLBACK_EVENT));
  if (r != MMSYSERR_NOERROR) {
    message.Set(OpenFailureText(r, f).c_str());
    return false;
  }
  in_ = h;
  for (auto& hdr : inHeaders_) hdr = WAVEHDR{};
  UINT realId = 0;
  if (waveInGetID(in_, &realId) != MMSYSERR_NOERROR)
    return Fail(message, text::kUnableToGetDeviceId);
  inputId_ = static_cast<int32_t>(realId);
  if (waveInGetDevCapsA(realId, &inCaps_, sizeof inCaps_) != MMSYSERR_NOERROR &&
      waveInGetDevCapsA(WAVE_MAPPER, &inCaps_, sizeof inCaps_) != MMSYSERR_NOERROR) {
    return Fail(message, text::kUnableToGetDeviceCaps);
  }
  return true;
}

bool MmeDriver::QueueInput(uint32_t index, uint8_t* data, uint32_t bytes, EngineMessage& message) {
  if (!in_ || index >= kMaxBuffers) return Fail(message, text::kWaveInAddBuffer);
  WAVEHDR& h = inHeaders_[index];
  if ((h.dwFlags & WHDR_PREPARED) && h.lpData != reinterpret_cast<LPSTR>(data)) {
    waveInUnprepareHeader(in_, &h, sizeof h);
    h = WAVEHDR{};
  }
  h.lpData = reinterpret_cast<LPSTR>(data);
  h.dwBufferLength = bytes;
  h.dwBytesRecorded = 0;
  if (!(h.dwFlags & WHDR_PREPARED)) {
    h.dwFlags = 0;
    if (waveInPrepareHeader(in_, &h, sizeof h) != MMSYSERR_NOERROR) {
      return Fail(message, text::kWaveInPrepareHeader);
    }
  }
  h.dwFlags &= ~WHDR_DONE;
  if (waveInAddBuffer(in_, &h, sizeof h) != MMSYSERR_NOERROR) {
    return Fail(message, text::kWaveInAddBuffer);
  }
  return true;
}

bool MmeDriver::StartInput(EngineMessage& message) {
  if (!in_ || waveInStart(in_) != MMSYSERR_NOERROR) return Fail(message, text::kWaveInStart);
  return true;
}

bool MmeDriver::StopInput(EngineMessage& message) {
  if (in_ && waveInStop(in_) != MMSYSERR_NOERROR) return Fail(message, text::kWaveInStop);
  return true;
}

bool MmeDriver::InputDone(uint32_t index) {
  if (index >= kMaxBuffers) return true;
  // The device writes the flags from its own thread.
  return (reinterpret_cast<volatile DWORD&>(inHeaders_[index].dwFlags) & WHDR_DONE) != 0;
}

uint32_t MmeDriver::BytesRecorded(uint32_t index) {
  return index < kMaxBuffers ? inHeaders_[index].dwBytesRecorded : 0;
}

void MmeDriver::EndInput(uint32_t count, EngineMessage& message) {
  if (!in_) return;
  if (waveInStop(in_) != MMSYSERR_NOERROR) message.Set(text::kWaveInStop);
  if (waveInReset(in_) != MMSYSERR_NOERROR) message.Set(text::kWaveInReset);
  if (count > kMaxBuffers) count = kMaxBuffers;
  for (uint32_t i = 0; i < count; ++i) {
    WAVEHDR& h = inHeaders_[i];
    if (!(h.dwFlags & WHDR_PREPARED)) continue;
    if (waveInUnprepareHeader(in_, &h, sizeof h) != MMSYSERR_NOERROR) {
      message.Set(text::kWaveInUnprepareHeader);
    }
    h = WAVEHDR{};
  }
}

void MmeDriver::CloseInput(EngineMessage& message) {
  if (!in_) return;
  for (auto& h : inHeaders_) {
    if (h.dwFlags & WHDR_PREPARED) {
      waveInReset(in_);
      waveInUnprepareHeader(in_, &h, sizeof h);
      h = WAVEHDR{};
    }
  }
  if (waveInClose(in_) != MMSYSERR_NOERROR) message.Set(text::kWaveInClose);
  in_ = nullptr;
}

// ---------------------------------------------------------------- frame play

bool MmeDriver::OpenFrame(int32_t id, const WaveFormat& f, const DriverOptions& o,
                          AutoResetEvent& done, uint8_t* data, uint32_t bytes,
                          EngineMessage& message) {
  const WaveFormat d = DeviceFormat(f, o.useExtensible);
  HWAVEOUT h = nullptr;
  const MMRESULT r = waveOutOpen(
      &h, static_cast<UINT>(id), reinterpret_cast<const WAVEFORMATEX*>(&d),
      reinterpret_cast<DWORD_PTR>(done.NativeHandle()), 0, OpenFlags(o, CALLBACK_EVENT));
  if (r != MMSYSERR_NOERROR) {
    message.Set(OpenFailureText(r, f).c_str());
    return false;
  }
  frame_ = h;
  frameHeader_ = WAVEHDR{};
  frameHeader_.lpData = reinterpret_cast<LPSTR>(data);
  frameHeader_.dwBufferLength = bytes;
  waveOutReset(frame_);
  waveOutPause(frame_);
  return true;
}

bool MmeDriver::SubmitFrame(EngineMessage& message) {
  if (!frame_) return Fail(message, text::kWaveOutWrite);
  if (!(frameHeader_.dwFlags & WHDR_PREPARED) &&
      waveOutPrepareHeader(frame_, &frameHeader_, sizeof frameHeader_) != MMSYSERR_NOERROR) {
    return Fail(message, text::kWaveOutPrepareHeader);
  }
  if (waveOutWrite(frame_, &frameHeader_, sizeof frameHeader_) != MMSYSERR_NOERROR) {
    return Fail(message, text::kWaveOutWrite);
  }
  return true;
}

bool MmeDriver::RestartFrame(EngineMessage&) {
  if (frame_) waveOutRestart(frame_);
  return true;
}

bool MmeDriver::CloseFrame(EngineMessage& message) {
  if (!frame_) return true;
  bool ok = true;
  if (waveOutReset(frame_) != MMSYSERR_NOERROR) ok = Fail(message, text::kWaveOutReset);
  if ((frameHeader_.dwFlags & WHDR_PREPARED) &&
      waveOutUnprepareHeader(frame_, &frameHeader_, sizeof frameHeader_) != MMSYSERR_NOERROR) {
    ok = Fail(message, text::kWaveOutUnprepareHeader);
  }
  if (waveOutClose(frame_) != MMSYSERR_NOERROR) ok = Fail(message, text::kWaveOutClose);
  frame_ = nullptr;
  frameHeader_ = WAVEHDR{};
  return ok;
}

}  // namespace ov
