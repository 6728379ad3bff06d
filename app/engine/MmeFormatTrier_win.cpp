// The format probe of the waveform-audio family: each format is asked of the
// device with WAVE_FORMAT_QUERY (no handle), or opened for real and closed at
// once. WAVE_FORMAT_DIRECT asks for the format without the system's converters.
#include <memory>

#include "app/engine/MmeDriver_win.h"

namespace ov {
namespace {

class MmeFormatTrier final : public FormatTrier {
 public:
  MmeFormatTrier(int32_t id, bool input, bool direct)
      : id_(id < 0 ? WAVE_MAPPER : static_cast<UINT>(id)), input_(input), direct_(direct) {}

  ProbeAnswer Try(const WaveFormat& f, const FormatProbeRequest& request) override {
    const auto* format = reinterpret_cast<const WAVEFORMATEX*>(&f);
    DWORD flags = CALLBACK_NULL;
    if (direct_) flags |= WAVE_FORMAT_DIRECT;
    if (request.queryOnly) flags |= WAVE_FORMAT_QUERY;
    MMRESULT r;
    if (input_) {
      HWAVEIN h = nullptr;
      r = waveInOpen(request.queryOnly ? nullptr : &h, id_, format, 0, 0, flags);
      if (r == MMSYSERR_NOERROR && h) waveInClose(h);
    } else {
      HWAVEOUT h = nullptr;
      r = waveOutOpen(request.queryOnly ? nullptr : &h, id_, format, 0, 0, flags);
      if (r == MMSYSERR_NOERROR && h) waveOutClose(h);
    }
    return {r == MMSYSERR_NOERROR, false};
  }

 private:
  UINT id_;
  bool input_;
  bool direct_;
};

}  // namespace

std::unique_ptr<FormatTrier> MmeDriver::CreateFormatTrier(int32_t id, bool input,
                                                          const DriverOptions& options) {
  return std::make_unique<MmeFormatTrier>(id, input, options.useDirect);
}

}  // namespace ov
