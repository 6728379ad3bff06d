#include "app/shell/SystemCapabilities.h"

#include <gtest/gtest.h>

#include "app/engine/EngineTypes.h"

namespace ov {
namespace {

TEST(SystemCapabilities, VersionFlags) {
  struct Case {
    OsVersion v;
    bool vista, limited;
  } cases[] = {
      {{5, 1, 3}, false, false}, {{5, 2, 2}, false, false}, {{6, 0, 0}, true, true},
      {{6, 0, 1}, true, false},  {{6, 0, 2}, true, false},  {{6, 1, 1}, true, false},
      {{10, 0, 0}, true, false},
  };
  for (const Case& c : cases) {
    SystemCapabilities caps = CapabilitiesOf(c.v, true);
    EXPECT_EQ(caps.vistaOrLater, c.vista) << c.v.major << "." << c.v.minor;
    EXPECT_EQ(caps.wasapiLimited, c.limited) << c.v.major << "." << c.v.minor;
    EXPECT_TRUE(caps.directXAvailable);
  }
}

TEST(SystemCapabilities, DriverFallsBackToMmeWhenItsSystemPartIsMissing) {
  const SystemCapabilities xp = CapabilitiesOf({5, 1, 3}, true);
  const SystemCapabilities noDx = CapabilitiesOf({6, 1, 1}, false);
  EXPECT_EQ(UsableDriverType(kDriverWasapi, xp), kDriverMme);
  EXPECT_EQ(UsableDriverType(kDriverDirectSound, xp), kDriverDirectSound);
  EXPECT_EQ(UsableDriverType(kDriverDirectSound, noDx), kDriverMme);
  EXPECT_EQ(UsableDriverType(kDriverWasapi, noDx), kDriverWasapi);
  EXPECT_EQ(UsableDriverType(kDriverAsio, xp), kDriverAsio);
  EXPECT_EQ(UsableDriverType(kDriverMme, noDx), kDriverMme);
}

}  // namespace
}  // namespace ov
