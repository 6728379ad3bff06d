#include "app/shell/InstanceSync.h"

#include "app/common/AppMessages.h"

namespace ov {

namespace {

// Milliseconds from now until tick on the wrapping 32-bit clock; negative when passed.
int32_t Until(uint32_t now, uint32_t tick) {
  return static_cast<int32_t>(tick - now);
}

}  // namespace

void InstanceSync::HandleCommand(uint32_t command, int64_t argument) {
  switch (command) {
    case kSyncPeerValue:
      peerValue_ = argument;
      break;
    case kSyncPlay:
      if (!target_.PlayEnabled()) break;
      ClearTargetTime();
      remoteTrigger_.store(true);
      target_.Play();
      break;
    case kSyncRecord:
      if (!target_.RecordEnabled()) break;
      ClearTargetTime();
      remoteTrigger_.store(true);
      target_.Record();
      break;
    case kSyncPause:
      if (!target_.PauseEnabled()) break;
      ClearTargetTime();
      if (argument == 0) remoteTrigger_.store(true);
      target_.Pause();
      if (argument != 0 && argument != -1 && target_.FileOpen()) target_.Seek(argument);
      break;
    case kSyncSeek:
      if (target_.FileOpen()) target_.Seek(argument);
      break;
    case kSyncStop:
      if (target_.StopEnabled()) target_.Stop();
      break;
    case kSyncStartTick:
      targetTime_.store(static_cast<uint32_t>(argument));
      targetSet_.store(true);
      break;
    default:
      break;  // a command of a later version or a stray message
  }
}

void InstanceSync::WaitUntil(SyncClock& clock, uint32_t tick, uint32_t maxWaitMs) {
  const uint32_t start = clock.Now();
  for (;;) {
    const uint32_t now = clock.Now();
    if (Until(now, tick) <= 0 || now - start >= maxWaitMs) return;
    clock.ProcessMessages();
    clock.Sleep(1);
  }
}

bool InstanceSync::StartGate(bool isRec, SyncClock& clock) {
  if (settings_.instance == 1 && settings_.sync2ndInstance != 0 && peer_ != nullptr &&
      peer_->HasPeer()) {
    const uint32_t target = clock.Now() + kSyncLeadMs;
    peer_->Send(kSyncStartTick, static_cast<int64_t>(target));
    WaitUntil(clock, target, kSyncLeadMs);
  } else if (settings_.instance == 2 && remoteTrigger_.exchange(false)) {
    const uint32_t start = clock.Now();
    while (!targetSet_.load() && clock.Now() - start < kSyncTickWaitMs) {
      clock.ProcessMessages();
      clock.Sleep(1);
    }
    if (targetSet_.exchange(false)) WaitUntil(clock, targetTime_.load(), kSyncMaxWaitMs);
  } else {
    return false;
  }
  const int32_t delay = isRec ? settings_.recSyncDelayMs : settings_.playSyncDelayMs;
  if (delay > 0) clock.Sleep(static_cast<uint32_t>(delay));
  return true;
}

void InstanceSync::StartedPlayOrRecord() {
  if (!Forwarding()) return;
  peer_->FindPeer();
  peer_->Send(settings_.sync2ndInstance == 1 ? kSyncPlay : kSyncRecord, 0);
}

void InstanceSync::PauseToggled(bool nowPaused, int64_t pausedAt) {
  if (!Forwarding()) return;
  peer_->Send(kSyncPause, nowPaused ? (settings_.sync2ndPlayPos ? pausedAt : -1) : 0);
}

void InstanceSync::Seeked(int64_t position, bool stopped) {
  if (!Forwarding() || !settings_.sync2ndPlayPos) return;
  if (stopped) peer_->FindPeer();
  peer_->Send(kSyncSeek, position);
}

void InstanceSync::Stopped() {
  if (Forwarding()) peer_->Send(kSyncStop, 0);
}

}  // namespace ov
