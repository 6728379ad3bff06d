// The WASAPI family's running streams: the transfer threads WAS_PlayThread
// and WAS_RecThread, and the start, pause, re-prime, drain and stop sequence
// the pumps drive, and the position from the endpoint clock.
#include <cstring>

#include "app/engine/WasapiDriver_win.h"

namespace ov {
namespace {

// Lets the transfer thread into one period unless the stream is being
// stopped; the stopping side clears `open` and waits for `busy` to drop.
bool Enter(std::atomic<bool>& open, std::atomic<bool>& busy) {
  busy = true;
  if (open.load()) return true;
  busy = false;
  return false;
}

}  // namespace

bool WasapiDriver::StartThread(Side& s, EngineMessage& message) {
  s.terminate = false;
  s.running = false;
  s.threadEnded = false;
  s.failed = false;
  s.open = false;
  s.started = false;
  s.needsPrime = s.firstStart = true;
  ResetEvent(s.event);
  s.thread = std::thread([this, &s] { s.output ? PlayThreadMain() : RecThreadMain(); });
  while (!s.running.load() && !s.threadEnded.load()) SleepMs(1);
  if (s.running.load()) return true;
  s.thread.join();
  message.Set(text::kWasapiSetMmcss);
  return false;
}

void WasapiDriver::StopTransfers(Side& s) {
  s.open = false;
  while (s.busy.load()) SleepMs(1);
}

void WasapiDriver::FailTransfer(Side& s, const char* text) {
  if (s.failed.exchange(true)) return;
  if (s.message) s.message->Set(text);
  // The pump waits for done buffers: release it so that it sees the failure.
  s.transfer.MarkAllDone();
  if (s.done) s.done->Set();
}

void WasapiDriver::NoteClock(Side& s) {
  UINT64 position = 0, counter = 0;
  if (s.clock && SUCCEEDED(s.clock->GetPosition(&position, &counter))) {
    s.lastCounter = static_cast<int64_t>(counter);
  }
}

void WasapiDriver::RenderPeriod(Side& s, BYTE* data, UINT32 frames) {
  if (s.transfer.Render(data, frames)) NoteClock(s);
}

// ------------------------------------------------------------------ transfer threads

void WasapiDriver::PlayThreadMain() {
  Side& s = out_;
  const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  SetCurrentThreadPriorityLevel(s.priority);
  uint32_t taskIndex = 0;
  void* task = mmcss_ ? mmcss_->AvSetMmThreadCharacteristicsA("Pro Audio", &taskIndex) : nullptr;
  if (task) {
    const double rate = s.deviceFormat.samplesPerSec ? s.deviceFormat.samplesPerSec : 1;
    DWORD half = static_cast<DWORD>(s.bufferFrames * 1e7 / rate / 10000 / 2);
    if (half == 0) half = 1;
    s.running = true;
    while (!s.terminate.load()) {
      if (s.eventMode) {
        if (WaitForSingleObject(s.event, INFINITE) != WAIT_OBJECT_0 || s.terminate.load()) break;
      } else {
        Sleep(half);
      }
      if (!Enter(s.open, s.busy)) continue;
      UINT32 frames = s.bufferFrames;
      if (!s.eventMode) {
        UINT32 padding = 0;
        if (FAILED(s.client->GetCurrentPadding(&padding))) {
          FailTransfer(s, text::kWasapiGetCurrentPadding);
          s.busy = false;
          break;
        }
        frames = s.bufferFrames - padding;
      }
      BYTE* data = nullptr;
      if (frames && SUCCEEDED(s.render->GetBuffer(frames, &data))) {
        RenderPeriod(s, data, frames);
        if (FAILED(s.render->ReleaseBuffer(frames, 0))) {
          FailTransfer(s, text::kWasapiReleaseBuffer);
          s.busy = false;
          break;
        }
      }
      s.busy = false;
    }
    mmcss_->AvRevertMmThreadCharacteristics(task);
  }
  s.cpuMs = CurrentThreadCpuMs();
  s.running = false;
  s.threadEnded = true;
  if (SUCCEEDED(com)) CoUninitialize();
}

void WasapiDriver::RecThreadMain() {
  Side& s = in_;
  const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  SetCurrentThreadPriorityLevel(s.priority);
  uint32_t taskIndex = 0;
  void* task = mmcss_ ? mmcss_->AvSetMmThreadCharacteristicsA("Pro Audio", &taskIndex) : nullptr;
  if (task) {
    const double rate = s.deviceFormat.samplesPerSec ? s.deviceFormat.samplesPerSec : 1;
    DWORD sleep = static_cast<DWORD>(s.bufferFrames * 1e7 / rate / 10000 / 2);
    if (sleep > 10) sleep = 10;
    if (sleep == 0) sleep = 1;
    s.running = true;
    while (!s.terminate.load()) {
      if (s.eventMode) {
        if (WaitForSingleObject(s.event, INFINITE) != WAIT_OBJECT_0 || s.terminate.load()) break;
      } else {
        Sleep(sleep);
      }
      if (!Enter(s.open, s.busy)) continue;
      const bool ok = CapturePackets(s);
      s.busy = false;
      if (!ok) break;
    }
    mmcss_->AvRevertMmThreadCharacteristics(task);
  }
  s.cpuMs = CurrentThreadCpuMs();
  s.running = false;
  s.threadEnded = true;
  if (SUCCEEDED(com)) CoUninitialize();
}

// Moves every packet the endpoint holds into the queued ring buffers.
bool WasapiDriver::CapturePackets(Side& s) {
  static const uint8_t kSilence[4096] = {};
  for (;;) {
    UINT32 next = 0;
    if (!s.eventMode && FAILED(s.capture->GetNextPacketSize(&next))) {
      FailTransfer(s, text::kWasapiGetNextPacketSize);
      return false;
    }
    if (!s.eventMode && next == 0) return true;
    BYTE* data = nullptr;
    UINT32 frames = 0;
    DWORD flags = 0;
    const HRESULT hr = s.capture->GetBuffer(&data, &frames, &flags, nullptr, nullptr);
    if (FAILED(hr)) {
      FailTransfer(s, text::kWasapiGetBuffer);
      return false;
    }
    if (frames) {
      if (flags & AUDCLNT_BUFFERFLAGS_SILENT) {
        // The packet's bytes mean nothing: silence goes into the ring.
        const uint32_t step = sizeof kSilence / s.transfer.DeviceFrameBytes();
        for (UINT32 done = 0; done < frames; done += step) {
          s.transfer.Capture(kSilence, frames - done < step ? frames - done : step);
        }
      } else {
        s.transfer.Capture(data, frames);
      }
      NoteClock(s);
    }
    if (hr != AUDCLNT_S_BUFFER_EMPTY && FAILED(s.capture->ReleaseBuffer(frames))) {
      FailTransfer(s, text::kWasapiReleaseBuffer);
      return false;
    }
    if (s.eventMode) return true;
  }
}

// ------------------------------------------------------------------ output sequence

bool WasapiDriver::StopClient(Side& s, const char* failure, EngineMessage& message) {
  StopTransfers(s);
  if (!s.started) return true;
  s.started = false;
  if (FAILED(s.client->Stop())) {
    message.Set(failure);
    return false;
  }
  return true;
}

bool WasapiDriver::SubmitOutput(uint32_t index, uint8_t* data, uint32_t bytes,
                                EngineMessage& message) {
  if (out_.failed.load()) return false;
  if (!out_.transfer.Submit(index, data, bytes)) {
    message.Set(text::kWasapiGetBuffer);
    return false;
  }
  return true;
}

bool WasapiDriver::PauseOutput(EngineMessage& message) {
  if (!out_.client || !out_.started) {
    StopTransfers(out_);
    return true;
  }
  if (!StopClient(out_, text::kWasapiClientStop, message)) return false;
  SleepMs(out_.latencyMs + 5);
  return true;
}

bool WasapiDriver::ResetOutput(EngineMessage& message) {
  if (!out_.client) return true;
  if (!PauseOutput(message)) return false;
  out_.transfer.Clear();
  out_.needsPrime = true;
  return true;
}

bool WasapiDriver::RestartOutput(EngineMessage& message) {
  Side& s = out_;
  if (!s.client || s.failed.load()) return false;
  if (s.started) return true;
  const char* failure = nullptr;
  if (s.needsPrime) {
    for (int i = 0; i < 100 && FAILED(s.client->Reset()); ++i) SleepMs(1);
    // One endpoint buffer goes in before the start: silence the first time,
    // the ring's data after a re-prime.
    BYTE* data = nullptr;
    if (SUCCEEDED(s.render->GetBuffer(s.bufferFrames, &data))) {
      if (s.firstStart) {
        std::memset(data, 0, size_t{s.bufferFrames} * s.transfer.DeviceFrameBytes());
      } else {
        RenderPeriod(s, data, s.bufferFrames);
      }
      if (FAILED(s.render->ReleaseBuffer(s.bufferFrames, 0))) failure = text::kWasapiReleaseBuffer;
    }
    s.needsPrime = s.firstStart = false;
  }
  if (!failure && FAILED(s.client->Start())) failure = text::kWasapiStart;
  if (failure) {
    message.Set(failure);
    // The pump is about to wait for buffers this stream will never take.
    s.failed = true;
    s.transfer.MarkAllDone();
    if (s.done) s.done->Set();
    return false;
  }
  s.started = true;
  s.open = true;
  return true;
}

void WasapiDriver::DrainOutput(uint32_t, EngineMessage& message) {
  Side& s = out_;
  if (!s.client) return;
  if (s.started) {
    // What the endpoint buffer still holds plays out before the stop.
    const double rate = s.deviceFormat.samplesPerSec ? s.deviceFormat.samplesPerSec : 1;
    SleepMs(static_cast<uint32_t>(s.bufferFrames * 1000.0 / rate) + s.latencyMs + 5);
  }
  StopClient(s, text::kWasapiClientStop, message);
  s.transfer.Clear();
  s.needsPrime = true;
}

bool WasapiDriver::OutputPosition(uint64_t& samples) {
  const uint64_t frames = out_.transfer.FramesTransferred();
  samples = frames;
  if (frames == 0 || !out_.clock) return true;
  UINT64 position = 0, counter = 0;
  if (FAILED(out_.clock->GetPosition(&position, &counter))) return true;
  const int64_t since = static_cast<int64_t>(counter) - out_.lastCounter.load();
  if (since > 0) {
    samples += static_cast<uint64_t>(since * 1e-7 * out_.deviceFormat.samplesPerSec);
  }
  return true;
}

// ------------------------------------------------------------------ input sequence

bool WasapiDriver::QueueInput(uint32_t index, uint8_t* data, uint32_t bytes,
                              EngineMessage& message) {
  if (in_.failed.load()) return false;
  if (!in_.transfer.Submit(index, data, bytes)) {
    message.Set(text::kWasapiGetBuffer);
    return false;
  }
  return true;
}

bool WasapiDriver::StartInput(EngineMessage& message) {
  Side& s = in_;
  if (!s.client || s.failed.load()) return false;
  if (s.started) return true;
  if (FAILED(s.client->Start())) {
    message.Set(text::kWasapiStart);
    return false;
  }
  s.started = true;
  s.open = true;
  return true;
}

bool WasapiDriver::StopInput(EngineMessage& message) {
  Side& s = in_;
  if (!s.client) return true;
  const bool wasStarted = s.started;
  if (!StopClient(s, text::kWasapiClientStop, message)) return false;
  if (wasStarted && !s.failed.load()) {
    // What the endpoint captured before the stop still goes into the ring.
    if (!s.eventMode) {
      CapturePackets(s);
    } else {
      UINT32 next = 0;
      while (SUCCEEDED(s.capture->GetNextPacketSize(&next)) && next && CapturePackets(s)) {
      }
    }
    s.transfer.FinishPartial();
  }
  return true;
}

void WasapiDriver::EndInput(uint32_t, EngineMessage& message) {
  if (!in_.client) return;
  StopClient(in_, text::kWasapiClientStop, message);
  in_.transfer.Clear();
}

}  // namespace ov
