// Synchronisation between the two instances of the program. Instance 1 sends
// commands (WM_INSTANCE_SYNC, app/common/AppMessages.h) to instance 2's main
// window; instance 2 carries them out on its transport (SyncTarget). Both meet
// in the synchronised-start gate, which the engine calls from its pump thread
// right before it starts a device (EngineCallbacks::OnSyncStart).
//
// Threads: HandleCommand and the forwarding calls run on the main thread;
// StartGate runs on a pump thread. They share only SyncTargetTime and the
// remote-trigger flag, both atomics written by the main thread.
#pragma once

#include <atomic>
#include <cstdint>

namespace ov {

// What instance 2's commands act on (the transport of the main window).
class SyncTarget {
 public:
  virtual ~SyncTarget() = default;
  virtual bool PlayEnabled() const = 0;
  virtual bool RecordEnabled() const = 0;
  virtual bool PauseEnabled() const = 0;
  virtual bool StopEnabled() const = 0;
  virtual bool FileOpen() const = 0;
  virtual void Play() = 0;
  virtual void Record() = 0;
  // Performs the pause command and toggles the pause button.
  virtual void Pause() = 0;
  virtual void Seek(int64_t samples) = 0;
  virtual void Stop() = 0;
};

// The clock of timeGetTime (milliseconds, wrapping at 2^32) and the waits of
// the calling thread, which keep handling its messages.
class SyncClock {
 public:
  virtual ~SyncClock() = default;
  virtual uint32_t Now() = 0;
  virtual void Sleep(uint32_t ms) = 0;
  virtual void ProcessMessages() = 0;
};

// Instance 1's line to the peer: finding instance 2's main window and sending
// it a command synchronously. A missing peer makes Send do nothing.
class PeerLink {
 public:
  virtual ~PeerLink() = default;
  // Searches the peer again; true when one is found.
  virtual bool FindPeer() = 0;
  virtual bool HasPeer() const = 0;
  virtual void Send(uint32_t command, int64_t argument) = 0;
};

struct SyncSettings {
  int instance = 1;             // 1 or 2
  int32_t sync2ndInstance = 0;  // 0 off, 1 "Play", 2 "Rec"
  bool sync2ndPlayPos = false;
  int32_t playSyncDelayMs = 0;
  int32_t recSyncDelayMs = 0;
};

// Lead of a synchronised start and the longest wait for the target tick.
constexpr uint32_t kSyncLeadMs = 100;
constexpr uint32_t kSyncTickWaitMs = 100;
// A target tick further ahead than this (a wrong clock or a stray message)
// is not waited for beyond it.
constexpr uint32_t kSyncMaxWaitMs = 1000;

class InstanceSync {
 public:
  // All borrowed; peer may be null in instance 2.
  InstanceSync(SyncTarget& target, PeerLink* peer) : target_(target), peer_(peer) {}

  void SetSettings(const SyncSettings& s) { settings_ = s; }
  const SyncSettings& Settings() const { return settings_; }

  // Instance 2, main thread: one WM_INSTANCE_SYNC. Unknown commands are ignored.
  void HandleCommand(uint32_t command, int64_t argument);

  // The gate, on the pump thread (clock: that thread's clock and message
  // handling). True when a synchronised start took place.
  bool StartGate(bool isRec, SyncClock& clock);

  // Instance 1, main thread: forwarding of its own transport commands.
  void StartedPlayOrRecord();
  void PauseToggled(bool nowPaused, int64_t pausedAt);
  void Seeked(int64_t position, bool stopped);
  void Stopped();

  int64_t PeerValue() const { return peerValue_; }
  bool RemoteTriggered() const { return remoteTrigger_.load(); }

 private:
  bool Forwarding() const {
    return settings_.instance == 1 && settings_.sync2ndInstance != 0 && peer_ != nullptr;
  }
  void ClearTargetTime() { targetSet_.store(false); }
  static void WaitUntil(SyncClock& clock, uint32_t tick, uint32_t maxWaitMs);

  SyncTarget& target_;
  PeerLink* peer_;
  SyncSettings settings_;
  int64_t peerValue_ = 0;
  std::atomic<bool> remoteTrigger_{false};
  std::atomic<bool> targetSet_{false};
  std::atomic<uint32_t> targetTime_{0};
};

}  // namespace ov
