#include "app/shell/InstanceSync.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/common/AppMessages.h"

namespace ov {
namespace {

struct FakeTarget : SyncTarget {
  bool playOn = true, recOn = true, pauseOn = true, stopOn = true, fileOpen = true;
  std::vector<std::string> calls;
  bool PlayEnabled() const override { return playOn; }
  bool RecordEnabled() const override { return recOn; }
  bool PauseEnabled() const override { return pauseOn; }
  bool StopEnabled() const override { return stopOn; }
  bool FileOpen() const override { return fileOpen; }
  void Play() override { calls.push_back("play"); }
  void Record() override { calls.push_back("record"); }
  void Pause() override { calls.push_back("pause"); }
  void Seek(int64_t s) override { calls.push_back("seek " + std::to_string(s)); }
  void Stop() override { calls.push_back("stop"); }
};

// A clock that moves only when the code under test sleeps; each message pass
// may deliver something (the peer's command 6) at a chosen time.
struct FakeClock : SyncClock {
  uint32_t now = 0;
  uint32_t slept = 0;
  std::function<void(uint32_t)> onMessages;
  uint32_t Now() override { return now; }
  void Sleep(uint32_t ms) override {
    now += ms;
    slept += ms;
  }
  void ProcessMessages() override {
    if (onMessages) onMessages(now);
  }
};

struct FakePeer : PeerLink {
  bool present = true;
  int searches = 0;
  std::vector<std::pair<uint32_t, int64_t>> sent;
  bool FindPeer() override {
    ++searches;
    return present;
  }
  bool HasPeer() const override { return present; }
  void Send(uint32_t c, int64_t a) override {
    if (present) sent.emplace_back(c, a);
  }
};

TEST(InstanceSyncCommands, DisabledButtonsIgnoreTheirCommands) {
  FakeTarget t;
  t.playOn = t.recOn = t.pauseOn = t.stopOn = false;
  InstanceSync sync(t, nullptr);
  for (uint32_t c : {kSyncPlay, kSyncRecord, kSyncPause, kSyncStop}) sync.HandleCommand(c, 0);
  EXPECT_TRUE(t.calls.empty());
  EXPECT_FALSE(sync.RemoteTriggered());
  t.fileOpen = false;
  sync.HandleCommand(kSyncSeek, 500);
  EXPECT_TRUE(t.calls.empty());
}

TEST(InstanceSyncCommands, EachCommandActsOnTheTarget) {
  FakeTarget t;
  InstanceSync sync(t, nullptr);
  sync.HandleCommand(kSyncPeerValue, 77);
  EXPECT_EQ(sync.PeerValue(), 77);
  sync.HandleCommand(kSyncPlay, 0);
  EXPECT_TRUE(sync.RemoteTriggered());
  sync.HandleCommand(kSyncRecord, 0);
  sync.HandleCommand(kSyncSeek, 4410);
  sync.HandleCommand(kSyncStop, 0);
  sync.HandleCommand(7, 1);      // unknown
  sync.HandleCommand(99999, 1);  // unknown
  EXPECT_EQ(t.calls, (std::vector<std::string>{"play", "record", "seek 4410", "stop"}));
}

TEST(InstanceSyncCommands, PauseWithZeroMinusOneOrAPosition) {
  FakeTarget t;
  InstanceSync sync(t, nullptr);
  sync.HandleCommand(kSyncPause, 0);  // remote trigger, no seek
  EXPECT_TRUE(sync.RemoteTriggered());
  EXPECT_EQ(t.calls, (std::vector<std::string>{"pause"}));

  FakeTarget t2;
  InstanceSync sync2(t2, nullptr);
  sync2.HandleCommand(kSyncPause, -1);  // paused, no position
  EXPECT_FALSE(sync2.RemoteTriggered());
  sync2.HandleCommand(kSyncPause, 123456);  // paused at a position
  EXPECT_EQ(t2.calls, (std::vector<std::string>{"pause", "pause", "seek 123456"}));
}

SyncSettings Instance(int n, int32_t playDelay = 0, int32_t recDelay = 0) {
  SyncSettings s;
  s.instance = n;
  s.sync2ndInstance = 1;
  s.playSyncDelayMs = playDelay;
  s.recSyncDelayMs = recDelay;
  return s;
}

TEST(InstanceSyncGate, SecondInstanceWaitsForTheTickThatCommandSixBrings) {
  FakeTarget t;
  InstanceSync sync(t, nullptr);
  sync.SetSettings(Instance(2));
  FakeClock clock;
  clock.now = 0xFFFFFFF0u;  // the target lies past the clock's wrap
  sync.HandleCommand(kSyncPlay, 0);
  clock.onMessages = [&](uint32_t now) {
    if (now == 0xFFFFFFF0u + 30) sync.HandleCommand(kSyncStartTick, int64_t{0xFFFFFFF0u + 130});
  };
  EXPECT_TRUE(sync.StartGate(false, clock));
  EXPECT_EQ(clock.now, 0xFFFFFFF0u + 130);
  EXPECT_FALSE(sync.RemoteTriggered());
}

TEST(InstanceSyncGate, NoTickWithinOneHundredMillisecondsStartsAtOnce) {
  FakeTarget t;
  InstanceSync sync(t, nullptr);
  sync.SetSettings(Instance(2));
  FakeClock clock;
  sync.HandleCommand(kSyncPlay, 0);
  EXPECT_TRUE(sync.StartGate(false, clock));
  EXPECT_EQ(clock.now, kSyncTickWaitMs);
}

TEST(InstanceSyncGate, ATickFarAheadIsNotWaitedForBeyondTheBound) {
  FakeTarget t;
  InstanceSync sync(t, nullptr);
  sync.SetSettings(Instance(2));
  FakeClock clock;
  sync.HandleCommand(kSyncPlay, 0);
  sync.HandleCommand(kSyncStartTick, int64_t{0x7FFFFFFF});
  EXPECT_TRUE(sync.StartGate(false, clock));
  EXPECT_LE(clock.now, kSyncMaxWaitMs + 1);
  // A tick already passed starts at once.
  sync.HandleCommand(kSyncPlay, 0);
  clock.now = 5000;
  sync.HandleCommand(kSyncStartTick, 4000);
  EXPECT_TRUE(sync.StartGate(false, clock));
  EXPECT_EQ(clock.now, 5000u);
}

TEST(InstanceSyncGate, TheDelayFollowsTheDirection) {
  FakeTarget t;
  InstanceSync sync(t, nullptr);
  sync.SetSettings(Instance(2, 20, 45));
  FakeClock clock;
  sync.HandleCommand(kSyncRecord, 0);
  sync.HandleCommand(kSyncStartTick, 10);
  EXPECT_TRUE(sync.StartGate(true, clock));
  EXPECT_EQ(clock.now, 10u + 45u);
  clock.now = 0;
  sync.HandleCommand(kSyncPlay, 0);
  sync.HandleCommand(kSyncStartTick, 10);
  EXPECT_TRUE(sync.StartGate(false, clock));
  EXPECT_EQ(clock.now, 10u + 20u);
}

TEST(InstanceSyncGate, WithoutARemoteTriggerOrPeerThereIsNoSynchronisation) {
  FakeTarget t;
  FakeClock clock;
  InstanceSync second(t, nullptr);
  second.SetSettings(Instance(2, 50, 50));
  EXPECT_FALSE(second.StartGate(false, clock));  // started locally
  FakePeer peer;
  peer.present = false;
  InstanceSync first(t, &peer);
  first.SetSettings(Instance(1, 50, 50));
  EXPECT_FALSE(first.StartGate(false, clock));
  SyncSettings off = Instance(1, 50, 50);
  off.sync2ndInstance = 0;
  peer.present = true;
  first.SetSettings(off);
  EXPECT_FALSE(first.StartGate(false, clock));
  EXPECT_EQ(clock.slept, 0u);
  EXPECT_TRUE(peer.sent.empty());
}

TEST(InstanceSyncGate, FirstInstanceSendsTheTickAndWaitsForIt) {
  FakeTarget t;
  FakePeer peer;
  InstanceSync sync(t, &peer);
  sync.SetSettings(Instance(1, 7, 0));
  FakeClock clock;
  clock.now = 1000;
  EXPECT_TRUE(sync.StartGate(false, clock));
  ASSERT_EQ(peer.sent.size(), 1u);
  EXPECT_EQ(peer.sent[0].first, kSyncStartTick);
  EXPECT_EQ(peer.sent[0].second, 1100);
  EXPECT_EQ(clock.now, 1100u + 7u);
}

TEST(InstanceSyncForwarding, FirstInstanceForwardsItsTransport) {
  FakeTarget t;
  FakePeer peer;
  InstanceSync sync(t, &peer);
  SyncSettings s = Instance(1);
  s.sync2ndInstance = 2;
  s.sync2ndPlayPos = true;
  sync.SetSettings(s);
  sync.StartedPlayOrRecord();
  sync.PauseToggled(true, 4800);
  sync.PauseToggled(false, 0);
  sync.Seeked(9600, true);
  sync.Stopped();
  using Sent = std::vector<std::pair<uint32_t, int64_t>>;
  EXPECT_EQ(peer.sent, (Sent{{kSyncRecord, 0},
                             {kSyncPause, 4800},
                             {kSyncPause, 0},
                             {kSyncSeek, 9600},
                             {kSyncStop, 0}}));
  EXPECT_EQ(peer.searches, 2);
  peer.sent.clear();
  s.sync2ndPlayPos = false;
  sync.SetSettings(s);
  sync.PauseToggled(true, 4800);
  sync.Seeked(9600, false);
  EXPECT_EQ(peer.sent, (Sent{{kSyncPause, -1}}));
}

}  // namespace
}  // namespace ov
