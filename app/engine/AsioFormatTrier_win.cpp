// The format probe of the ASIO family: the driver is opened on the side of the
// direction once; a format works when the host can move its width through the
// driver's sample type and the driver takes its rate. The width equal to the
// driver's own is marked native.
#include <memory>

#include "app/engine/AsioFamily_win.h"
#include "app/engine/AsioFormatCheck.h"

namespace ov {
namespace {

class AsioFormatTrier final : public FormatTrier {
 public:
  AsioFormatTrier(AsioFamily& family, bool input) : family_(family), input_(input) {}
  ~AsioFormatTrier() override {
    EngineMessage ignored;
    if (input_) {
      family_.CloseInput(ignored);
    } else {
      family_.CloseOutput(ignored);
    }
  }
  AsioFormatTrier(const AsioFormatTrier&) = delete;
  AsioFormatTrier& operator=(const AsioFormatTrier&) = delete;

  ProbeAnswer Try(const WaveFormat& f, const FormatProbeRequest&) override {
    return family_.TryFormat(f);
  }

 private:
  AsioFamily& family_;
  bool input_;
};

}  // namespace

std::unique_ptr<FormatTrier> AsioFamily::CreateFormatTrier(int32_t id, bool input,
                                                           const DriverOptions& options) {
  if (side_ != Side::None) return nullptr;
  EngineMessage message;
  if (!OpenSide(id < 0 ? 0 : id + 1, input ? Side::Input : Side::Output, message)) return nullptr;
  options_ = options;
  return std::make_unique<AsioFormatTrier>(*this, input);
}

ProbeAnswer AsioFamily::TryFormat(const WaveFormat& f) {
  if (side_ == Side::None || !host_ || channelInfoCount_ == 0) return {};
  const ProbeAnswer a = asio::ProbeWidth(channelInfo_[0].type, side_ == Side::Input,
                                         f.bitsPerSample, FloatWidth(f) != 0);
  if (!a.works || host_->CanSampleRate(static_cast<double>(f.samplesPerSec)) != asio::kOk) {
    return {};
  }
  return a;
}

}  // namespace ov
