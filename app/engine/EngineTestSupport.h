// Test doubles for the engine: a main window that runs the pumps' steps when
// the test thread processes messages, and a sound device that consumes and
// produces buffers on its own thread at a fixed pace. Test code only.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/common/UserNotifier.h"
#include "app/engine/AudioDriver.h"
#include "app/engine/EngineHost.h"
#include "app/engine/MainThreadRunner.h"

namespace ov::test {

class TestHost : public EngineHost {
 public:
  // Steps sent from the pumps run through the same runner ovtool uses: a
  // message-only window on Windows, a queue natively.
  void RunOnMainThread(void (*step)(void*), void* arg) override { runner_->Run(step, arg); }
  void ProcessMessages() override {
    // Stands for the window handlers that run while the engine handles messages.
    if (duringMessages) duringMessages();
    runner_->ProcessMessages();
  }
  void PostNotification(uint32_t message, uintptr_t wParam) override {
    std::lock_guard<std::mutex> lock(m_);
    posted.push_back({message, wParam});
  }
  void ShowStopped(const std::string& text) override { stopped.push_back(text); }
  void EnableButton(EngineButton b, bool on) override { enabled[static_cast<int>(b)] = on; }
  bool IsButtonEnabled(EngineButton b) const override { return enabled[static_cast<int>(b)]; }
  void SetLabelText(EngineLabel l, const std::string& t) override {
    labels[static_cast<int>(l)] = t;
  }

  // Handles messages until done() or the time-out (seconds); false on time-out.
  template <class F>
  bool PumpUntil(F done, double seconds = 20) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
      if (std::chrono::steady_clock::now() > end) return false;
      ProcessMessages();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ProcessMessages();
    return true;
  }
  std::vector<uint32_t> PostedMessages() {
    std::lock_guard<std::mutex> lock(m_);
    std::vector<uint32_t> r;
    for (auto& p : posted) r.push_back(p.first);
    return r;
  }

  std::function<void()> duringMessages;
  std::vector<std::pair<uint32_t, uintptr_t>> posted;
  std::vector<std::string> stopped;
  bool enabled[4] = {};
  std::string labels[3];

 private:
  std::unique_ptr<MainThreadRunner> runner_ = MainThreadRunner::Create();
  std::mutex m_;
};

class TestNotifier : public UserNotifier {
 public:
  NoticeAnswer Notify(std::string_view text, NoticeIcon) override {
    texts.emplace_back(text);
    return NoticeAnswer::Ok;
  }
  std::vector<std::string> texts;
};

// A device that plays each submitted buffer in `bufferMs` and records a byte
// ramp (byte i of the stream is i mod 251) into each queued buffer.
class FakeDriver : public AudioDriver {
 public:
  explicit FakeDriver(uint32_t bufferMs = 5) : bufferMs_(bufferMs) {
    worker_ = std::thread([this] { Run(); });
  }
  ~FakeDriver() override {
    {
      std::lock_guard<std::mutex> lock(m_);
      quit_ = true;
    }
    worker_.join();
  }

  DeviceCheck CheckDevices() override {
    DeviceCheck c;
    c.outputs = c.inputs = 1;
    return c;
  }
  uint32_t DeviceCount(bool) override { return 1; }
  std::string DeviceName(uint32_t n, bool) override { return n == 0 ? "Wave Mapper" : "Fake"; }

  bool OpenOutput(int32_t id, const WaveFormat& f, const DriverOptions&, AutoResetEvent& done,
                  EngineMessage&) override {
    std::lock_guard<std::mutex> lock(m_);
    outOpen_ = true;
    outRunning_ = true;
    outEvent_ = &done;
    outputFormats.push_back(f);
    openedIds.push_back(id);
    return true;
  }
  bool OutputOpen() const override { return outOpen_; }
  int32_t OutputId() const override { return 7; }
  bool PauseOutput(EngineMessage&) override {
    std::lock_guard<std::mutex> lock(m_);
    outRunning_ = false;
    return true;
  }
  bool ResetOutput(EngineMessage&) override {
    std::lock_guard<std::mutex> lock(m_);
    const bool any = !outQueue_.empty();
    for (auto& b : outQueue_) outDone_[b.first] = true;
    outQueue_.clear();
    if (any && outEvent_) outEvent_->Set();
    return true;
  }
  bool RestartOutput(EngineMessage&) override {
    std::lock_guard<std::mutex> lock(m_);
    outRunning_ = true;
    return true;
  }
  bool HasDoneFlags() const override { return true; }
  bool OutputDone(uint32_t index) override {
    std::lock_guard<std::mutex> lock(m_);
    return outDone_[index];
  }
  bool SubmitOutput(uint32_t index, uint8_t* data, uint32_t bytes,
                    EngineMessage& message) override {
    if (failSubmit) {
      message.Set("Error: waveOutWrite()");
      return false;
    }
    std::lock_guard<std::mutex> lock(m_);
    // Like waveform audio, a buffer still queued cannot be written again.
    for (auto& b : outQueue_) {
      if (b.first == index) {
        message.Set("Error: waveOutWrite()");
        return false;
      }
    }
    outQueue_.push_back({index, std::vector<uint8_t>(data, data + bytes)});
    outDone_[index] = false;
    return true;
  }
  void DrainOutput(uint32_t, EngineMessage& m) override { ResetOutput(m); }
  void CloseOutput(EngineMessage&) override {
    std::lock_guard<std::mutex> lock(m_);
    outOpen_ = false;
    for (auto& b : outQueue_) outDone_[b.first] = true;
    outQueue_.clear();
  }
  bool OutputPosition(uint64_t& samples) override {
    std::lock_guard<std::mutex> lock(m_);
    samples = playedBuffers_;
    return true;
  }
  void SetFullVolume() override {}
  double OutputLatencySeconds() const override { return 0.05; }

  bool ProbeInput(int32_t, const WaveFormat&, const DriverOptions&, EngineMessage&) override {
    return true;
  }
  bool OpenInput(int32_t, const WaveFormat& f, const DriverOptions&, AutoResetEvent& done,
                 EngineMessage&) override {
    std::lock_guard<std::mutex> lock(m_);
    inOpen_ = true;
    inEvent_ = &done;
    inFormat_ = f;
    return true;
  }
  bool InputOpen() const override { return inOpen_; }
  bool QueueInput(uint32_t index, uint8_t* data, uint32_t bytes, EngineMessage&) override {
    std::lock_guard<std::mutex> lock(m_);
    inQueue_.push_back({index, data, bytes});
    inDone_[index] = false;
    return true;
  }
  bool StartInput(EngineMessage&) override {
    std::lock_guard<std::mutex> lock(m_);
    inRunning_ = true;
    return true;
  }
  bool StopInput(EngineMessage&) override {
    std::lock_guard<std::mutex> lock(m_);
    inRunning_ = false;
    return true;
  }
  bool InputDone(uint32_t index) override {
    std::lock_guard<std::mutex> lock(m_);
    return inDone_[index];
  }
  uint32_t BytesRecorded(uint32_t index) override {
    std::lock_guard<std::mutex> lock(m_);
    return inBytes_[index];
  }
  void EndInput(uint32_t, EngineMessage&) override {
    std::lock_guard<std::mutex> lock(m_);
    inRunning_ = false;
    inQueue_.clear();
  }
  void CloseInput(EngineMessage&) override {
    std::lock_guard<std::mutex> lock(m_);
    inOpen_ = false;
  }
  double InputLatencySeconds() const override { return 0.05; }

  bool SupportsFramePlay() const override { return true; }
  bool OpenFrame(int32_t, const WaveFormat&, const DriverOptions&, AutoResetEvent& done,
                 uint8_t* data, uint32_t bytes, EngineMessage&) override {
    frameEvent_ = &done;
    frame_.assign(data, data + bytes);
    frameOpen = true;
    return true;
  }
  bool SubmitFrame(EngineMessage&) override {
    framePasses++;
    // A running output may finish a short block before the writer returns.
    if (frameDoneAtSubmit && framePasses > 1) frameEvent_->Set();
    return true;
  }
  bool RestartFrame(EngineMessage&) override {
    if (!frameDoneAtSubmit || framePasses == 1) {
      if (frameMs) std::this_thread::sleep_for(std::chrono::milliseconds(frameMs));
      frameEvent_->Set();
    }
    return true;
  }
  bool CloseFrame(EngineMessage&) override {
    frameOpen = false;
    return true;
  }

  // Input completed by the test (CompleteInput) instead of the device's pace.
  void SetManualInput(bool on) {
    std::lock_guard<std::mutex> lock(m_);
    manualInput_ = on;
  }
  // Fills and completes the oldest queued input buffer; false when none is queued.
  bool CompleteInput() {
    std::lock_guard<std::mutex> lock(m_);
    if (inQueue_.empty()) return false;
    CompleteFrontInput();
    return true;
  }

  // What the device played, in order, and what it recorded.
  std::vector<uint8_t> Played() {
    std::lock_guard<std::mutex> lock(m_);
    return played_;
  }
  std::vector<uint8_t> Recorded() {
    std::lock_guard<std::mutex> lock(m_);
    return recorded_;
  }
  size_t QueuedOutput() {
    std::lock_guard<std::mutex> lock(m_);
    return outQueue_.size();
  }
  std::vector<WaveFormat> outputFormats;
  std::vector<int32_t> openedIds;
  std::atomic<bool> failSubmit{false};
  std::atomic<int> framePasses{0};
  std::atomic<bool> frameOpen{false};
  std::atomic<bool> frameDoneAtSubmit{false};  // completions that beat the event reset
  uint32_t frameMs = 0;                        // how long one frame pass plays
  std::vector<uint8_t> frame_;

 private:
  struct InBuf {
    uint32_t index;
    uint8_t* data;
    uint32_t bytes;
  };
  void Run() {
    for (;;) {
      std::this_thread::sleep_for(std::chrono::milliseconds(bufferMs_));
      std::lock_guard<std::mutex> lock(m_);
      if (quit_) return;
      if (outOpen_ && outRunning_ && !outQueue_.empty()) {
        auto& b = outQueue_.front();
        played_.insert(played_.end(), b.second.begin(), b.second.end());
        outDone_[b.first] = true;
        outQueue_.pop_front();
        ++playedBuffers_;
        outEvent_->Set();
      }
      if (inOpen_ && inRunning_ && !manualInput_ && !inQueue_.empty()) CompleteFrontInput();
    }
  }
  void CompleteFrontInput() {
    InBuf b = inQueue_.front();
    inQueue_.pop_front();
    for (uint32_t i = 0; i < b.bytes; ++i) {
      b.data[i] = static_cast<uint8_t>(ramp_++ % 251);
    }
    recorded_.insert(recorded_.end(), b.data, b.data + b.bytes);
    inBytes_[b.index] = b.bytes;
    inDone_[b.index] = true;
    inEvent_->Set();
  }

  uint32_t bufferMs_;
  std::mutex m_;
  std::thread worker_;
  bool quit_ = false;
  bool manualInput_ = false;
  bool outOpen_ = false, outRunning_ = false, inOpen_ = false, inRunning_ = false;
  AutoResetEvent* outEvent_ = nullptr;
  AutoResetEvent* inEvent_ = nullptr;
  AutoResetEvent* frameEvent_ = nullptr;
  WaveFormat inFormat_{};
  std::deque<std::pair<uint32_t, std::vector<uint8_t>>> outQueue_;
  bool outDone_[256] = {};
  std::deque<InBuf> inQueue_;
  bool inDone_[256] = {};
  uint32_t inBytes_[256] = {};
  std::vector<uint8_t> played_, recorded_;
  uint64_t playedBuffers_ = 0;
  uint64_t ramp_ = 0;
};

}  // namespace ov::test
