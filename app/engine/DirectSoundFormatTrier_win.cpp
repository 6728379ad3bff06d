// The format probe of the DirectSound family: the device of the direction is
// opened once; each format is tried by creating the device buffer with it
// (a play buffer or a capture buffer), which the next try or the end releases.
#include <memory>

#include "app/engine/DirectSoundDriver_win.h"

namespace ov {
namespace {

class DirectSoundFormatTrier final : public FormatTrier {
 public:
  DirectSoundFormatTrier(DirectSoundDriver& driver, bool input) : driver_(driver), input_(input) {}
  ~DirectSoundFormatTrier() override {
    EngineMessage ignored;
    if (input_) {
      driver_.CloseInput(ignored);
    } else {
      driver_.CloseOutput(ignored);
    }
  }
  DirectSoundFormatTrier(const DirectSoundFormatTrier&) = delete;
  DirectSoundFormatTrier& operator=(const DirectSoundFormatTrier&) = delete;

  bool Open(int32_t id, const DriverOptions& options) {
    EngineMessage message;
    const WaveFormat any = ProbeFormat(44100, 1, 2, false);
    return input_ ? driver_.OpenInput(id, any, options, unused_, message)
                  : driver_.OpenOutput(id, any, options, unused_, message);
  }

  ProbeAnswer Try(const WaveFormat& f, const FormatProbeRequest&) override {
    const HRESULT hr = input_ ? driver_.CreateCaptureBuffer(f) : driver_.CreatePlayBuffer(f);
    return {SUCCEEDED(hr), false};
  }

 private:
  DirectSoundDriver& driver_;
  bool input_;
  AutoResetEvent unused_;  // the open's completion event: no transfer runs
};

}  // namespace

std::unique_ptr<FormatTrier> DirectSoundDriver::CreateFormatTrier(int32_t id, bool input,
                                                                  const DriverOptions& options) {
  // A side in use keeps its device: the probe answers nothing for it.
  if (input ? captureBuffer_ != nullptr : playBuffer_ != nullptr) return nullptr;
  auto trier = std::make_unique<DirectSoundFormatTrier>(*this, input);
  if (!trier->Open(id, options)) return nullptr;
  return trier;
}

}  // namespace ov
