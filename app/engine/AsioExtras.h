// What the ASIO family offers beyond playing and recording: the calls of the
// setup dialog and the tools (control panel, driver test, channel names,
// direct monitoring, information text). The engine reaches them through
// WavePlayRec's ASIO accessors while the ASIO family is the current one.
//
// Threads: main thread, with the family stopped (each call opens the driver
// and releases it again).
#pragma once

#include <cstdint>
#include <string>

#include "app/common/WaveFormat.h"
#include "app/wavefile/WaveFileParse.h"

namespace ov {

class AsioExtras {
 public:
  virtual ~AsioExtras() = default;
  // Opens driver `index` on one side, runs its control panel, releases it.
  virtual bool ShowControlPanel(int32_t index, bool input, ReaderMessage& message) = 0;
  // Opens and releases driver `index`: true when it could be opened. The
  // channel counts and names below are those of the last opened driver.
  virtual bool TestDriver(int32_t index, bool input, ReaderMessage& message) = 0;
  virtual int32_t InputChannels() const = 0;
  virtual int32_t OutputChannels() const = 0;
  virtual std::string ChannelName(uint32_t index) const = 0;
  // Switches the driver's direct input monitoring; true when it answered success.
  virtual bool SetDirectMonitor(int32_t index, bool on, ReaderMessage& message) = 0;
  // The information text of driver `index` for a side and first channel,
  // prepared for `format`'s rate; false with the reason in `message`.
  virtual bool Information(int32_t index, int32_t channel, bool input, const WaveFormat& format,
                           std::string& text, ReaderMessage& message) = 0;
};

}  // namespace ov
