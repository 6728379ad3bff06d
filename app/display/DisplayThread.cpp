#include "app/display/DisplayThread.h"

namespace ov {

namespace {
constexpr int kStopRounds = 200;       // rounds of message processing ...
constexpr uint32_t kStopRoundMs = 10;  // ... and sleeps while a stop waits
constexpr uint32_t kCloseRoundMs = 5;
}  // namespace

DisplayThread::DisplayThread(FrameSource& frames, MainThreadRunner& runner, MMTimer& timer,
                             TimerApi& api, const DisplayPacing& pacing)
    : frames_(frames),
      runner_(runner),
      timer_(timer),
      api_(api),
      mainThread_(std::this_thread::get_id()) {
  SetPacing(pacing);
  // Alive from here on, so that the destructor waits even for a thread that
  // has not yet run its first instruction.
  alive_ = true;
  thread_ = std::thread([this] { Loop(); });
}

DisplayThread::~DisplayThread() {
  terminate_ = true;
  resume_.Set();
  timer_.WakeEvent().Set();
  // The thread may be waiting for its drawing on this thread.
  while (alive_.load()) {
    ProcessMessagesIfMain();
    SleepMs(kCloseRoundMs);
  }
  if (thread_.joinable()) thread_.join();
}

void DisplayThread::SetPacing(const DisplayPacing& pacing) {
  useTimer_ = pacing.useTimer;
  sleepPeriod_ = pacing.sleepPeriod < 0 ? 0 : pacing.sleepPeriod;
  sleepResolution_ = pacing.sleepResolution < 0 ? 0 : pacing.sleepResolution;
}

void DisplayThread::Loop() {
  for (;;) {
    if (ParkRequested() && !terminate_.load()) Park();
    if (terminate_.load()) break;
    active_ = true;
    if (frames_.AcquireFrame() == 0)
      runner_.Run([](void* f) { static_cast<FrameSource*>(f)->DrawFrame(); }, &frames_);
    turns_.fetch_add(1);
    if (terminate_.load()) break;
    Wait();
  }
  active_ = false;
  alive_ = false;
}

void DisplayThread::Park() {
  active_ = false;
  parked_ = true;
  // The event keeps a resume that comes before the wait: none is lost.
  while (ParkRequested() && !terminate_.load()) resume_.Wait();
  parked_ = false;
}

void DisplayThread::Wait() {
  AutoResetEvent& wake = timer_.WakeEvent();
  if (useTimer_.load() && !timerFallback_.load()) {
    wake.Wait();
    SleepMs(0);
    return;
  }
  const int32_t resolution = sleepResolution_.load();
  const int32_t period = sleepPeriod_.load();
  if (resolution) api_.BeginPeriod(static_cast<uint32_t>(resolution));
  // Sleeping on the wake-up event lets a stop or the close end the sleep.
  if (period > 0)
    wake.Wait(period);
  else
    SleepMs(0);
  if (resolution) api_.EndPeriod(static_cast<uint32_t>(resolution));
}

void DisplayThread::ProcessMessagesIfMain() {
  if (std::this_thread::get_id() == mainThread_) runner_.ProcessMessages();
}

bool DisplayThread::WaitUntilParked() {
  for (int i = 0; i < kStopRounds; ++i) {
    if (parked_.load()) return true;
    ProcessMessagesIfMain();
    SleepMs(kStopRoundMs);
  }
  return parked_.load();
}

bool DisplayThread::SetDisplayRunning(bool run) {
  if (std::this_thread::get_id() != mainThread_) {
    // The engine's pumps call in: the timer and the waits belong to the main
    // thread, which also keeps drawing while the stop waits.
    struct Call {
      DisplayThread* self;
      bool run;
      bool result;
    } call{this, run, false};
    runner_.Run(
        [](void* p) {
          auto* c = static_cast<Call*>(p);
          c->result = c->self->SetDisplayRunning(c->run);
        },
        &call);
    return call.result;
  }
  const bool useTimer = useTimer_.load() != 0;
  if (run) {
    suspendRequest_ = false;
    if (useTimer) {
      if (!timer_.Running()) {
        timer_.SetPeriod(static_cast<uint32_t>(sleepPeriod_.load()), true);
        timer_.Start();
      }
      // Without ticks the thread would wait for good: pace by sleeps instead.
      timerFallback_ = !timer_.Running();
    } else {
      timerFallback_ = false;
    }
    resume_.Set();
    return true;
  }
  // A timer left running by a pause is stopped too.
  if (useTimer && timer_.Running()) timer_.Stop();
  suspendRequest_ = true;
  timer_.WakeEvent().Set();  // a thread waiting for a tick goes on
  const bool parked = WaitUntilParked();
  timer_.WakeEvent().Reset();
  return parked;
}

void DisplayThread::Pause() {
  paused_ = true;
}

void DisplayThread::ResumeFromPause() {
  paused_ = false;
  suspendRequest_ = false;
  resume_.Set();
}

}  // namespace ov
