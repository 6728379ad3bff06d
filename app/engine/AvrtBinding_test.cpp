// Binding "Avrt.dll": the version rule, the order of the calls, the exact
// failure texts, and the engine's construction ending at a failure.
#include "app/engine/AvrtBinding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/engine/EngineTestSupport.h"
#include "app/engine/WavePlayRec.h"

namespace ov {
namespace {

// A loader whose steps fail on request with a given code; it records the calls.
struct FakeLoader : LibraryLoader {
  struct Script {
    OsVersion version{10, 0, 0};
    std::string failAt;  // "Avrt.dll", an entry name, or "free"
    uint32_t code = 0;
    std::vector<std::string> calls;
  };
  explicit FakeLoader(Script& s) : s_(s) {}

  OsVersion Version() override { return s_.version; }
  void* Load(const char* name, uint32_t* error) override { return Step(name, error); }
  void* Find(void* module, const char* entry, uint32_t* error) override {
    EXPECT_EQ(module, &module_);
    return Step(entry, error);
  }
  bool Free(void* module, uint32_t* error) override {
    EXPECT_EQ(module, &module_);
    return Step("free", error) != nullptr;
  }
  void* CallSetTask(void* entry, const char* task, uint32_t* index) override {
    s_.calls.push_back(std::string("set ") + task);
    *index = 7;
    return entry;
  }
  bool CallRevert(void*, void* handle) override {
    s_.calls.push_back("revert");
    return handle != nullptr;
  }

 private:
  void* Step(const char* what, uint32_t* error) {
    s_.calls.push_back(what);
    if (s_.failAt == what) {
      *error = s_.code;
      return nullptr;
    }
    return &module_;
  }
  Script& s_;
  int module_ = 0;
};

TEST(EngineAvrt, SchedulerFromVistaServicePackOne) {
  EXPECT_FALSE(MmcssSupported({0, 0, 0}));  // no Windows at all
  EXPECT_FALSE(MmcssSupported({5, 1, 3}));
  EXPECT_FALSE(MmcssSupported({5, 2, 2}));
  EXPECT_FALSE(MmcssSupported({6, 0, 0}));
  EXPECT_TRUE(MmcssSupported({6, 0, 1}));
  EXPECT_TRUE(MmcssSupported({6, 1, 0}));
  EXPECT_TRUE(MmcssSupported({10, 0, 0}));
}

TEST(EngineAvrt, OldSystemLoadsNothing) {
  FakeLoader::Script s;
  s.version = {6, 0, 0};
  AvrtBinding b(std::make_unique<FakeLoader>(s));
  EngineMessage m;
  EXPECT_TRUE(b.Bind(m));
  EXPECT_FALSE(b.MmcssAvailable());
  EXPECT_TRUE(s.calls.empty());
  uint32_t index = 0;
  EXPECT_EQ(b.AvSetMmThreadCharacteristicsA("Pro Audio", &index), nullptr);
  EXPECT_TRUE(b.Free(m));
  EXPECT_TRUE(m.Empty());
}

TEST(EngineAvrt, BindsInOrderAndCallsThroughTheEntries) {
  FakeLoader::Script s;
  AvrtBinding b(std::make_unique<FakeLoader>(s));
  EngineMessage m;
  ASSERT_TRUE(b.Bind(m));
  EXPECT_TRUE(b.MmcssAvailable() && b.Bound());
  uint32_t index = 0;
  void* task = b.AvSetMmThreadCharacteristicsA("Pro Audio", &index);
  EXPECT_NE(task, nullptr);
  EXPECT_EQ(index, 7u);
  EXPECT_TRUE(b.AvRevertMmThreadCharacteristics(task));
  EXPECT_TRUE(b.Free(m));
  EXPECT_FALSE(b.Bound());
  EXPECT_TRUE(b.Free(m));  // once only
  EXPECT_EQ(s.calls, (std::vector<std::string>{"Avrt.dll", "AvSetMmThreadCharacteristicsA",
                                               "AvRevertMmThreadCharacteristics", "set Pro Audio",
                                               "revert", "free"}));
  EXPECT_TRUE(m.Empty());
}

// Each failure: the text with the code, and nothing after the failing step.
TEST(EngineAvrt, EachFailureStopsWithItsText) {
  struct Case {
    const char* failAt;
    uint32_t code;
    size_t calls;
    const char* text;
  };
  const Case cases[] = {
      {"Avrt.dll", 126, 1, "Unable to load 'Avrt.dll'. \n\n  (LoadLibrary: 126)"},
      {"AvSetMmThreadCharacteristicsA", 127, 2,
       "Unable to find DLL entry \"AvSetMmThreadCharacteristics()\". \n\n  (GetProcAddress: 127)"},
      {"AvRevertMmThreadCharacteristics", 127, 3,
       "Unable to find DLL entry \"AvRevertMmThreadCharacteristics()\". \n\n  "
       "(GetProcAddress: 127)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.failAt);
    FakeLoader::Script s;
    s.failAt = c.failAt;
    s.code = c.code;
    AvrtBinding b(std::make_unique<FakeLoader>(s));
    EngineMessage m;
    EXPECT_FALSE(b.Bind(m));
    EXPECT_STREQ(m.c_str(), c.text);
    EXPECT_EQ(s.calls.size(), c.calls);
    EXPECT_FALSE(b.Bound());
  }
}

// A device check the test can count.
struct CountingDriver : test::FakeDriver {
  explicit CountingDriver(int& checks) : checks_(checks) {}
  DeviceCheck CheckDevices() override {
    ++checks_;
    return FakeDriver::CheckDevices();
  }
  int& checks_;
};

struct EngineRun {
  test::TestHost host;
  test::TestNotifier notifier;
  std::atomic<int32_t> play{0}, rec{0};
  int checks = 0;
  FakeLoader::Script script;
  std::unique_ptr<WavePlayRec> engine;

  void Construct() {
    engine = std::make_unique<WavePlayRec>(
        host, notifier, play, rec, EngineCallbacks{}, EngineSettings{},
        std::make_unique<CountingDriver>(checks), std::make_unique<FakeLoader>(script));
  }
};

TEST(EngineAvrt, EngineBindsBeforeCheckingDevicesAndFreesAtTheEnd) {
  EngineRun r;
  r.Construct();
  EXPECT_TRUE(r.engine->MmcssAvailable());
  EXPECT_EQ(r.checks, 1);
  EXPECT_EQ(r.script.calls.size(), 3u);
  r.engine.reset();
  EXPECT_EQ(r.script.calls.back(), "free");
  EXPECT_TRUE(r.notifier.texts.empty());
}

TEST(EngineAvrt, EngineConstructionEndsAtABindingFailure) {
  EngineRun r;
  r.script.failAt = "AvRevertMmThreadCharacteristics";
  r.script.code = 127;
  r.Construct();
  const std::string text =
      "Unable to find DLL entry \"AvRevertMmThreadCharacteristics()\". \n\n  (GetProcAddress: 127)";
  EXPECT_EQ(r.checks, 0);  // no device check after the failure
  EXPECT_EQ(r.engine->GetAvrtMessage(), text);
  EXPECT_EQ(r.engine->GetMessage(), text);
  ASSERT_EQ(r.notifier.texts.size(), 1u);
  EXPECT_EQ(r.notifier.texts[0], text);
  r.engine.reset();  // the loaded library is still freed
  EXPECT_EQ(r.script.calls.back(), "free");
  EXPECT_EQ(r.notifier.texts.size(), 1u);
}

TEST(EngineAvrt, EngineReportsAFailedFree) {
  EngineRun r;
  r.script.failAt = "free";
  r.script.code = 5;
  r.Construct();
  r.engine.reset();
  ASSERT_EQ(r.notifier.texts.size(), 1u);
  EXPECT_EQ(r.notifier.texts[0], "Unable to free 'Avrt.dll'. \n\n  (FreeLibrary: 5)");
}

}  // namespace
}  // namespace ov
