// The device format list through the current family's format trier.
#include "app/engine/WavePlayRec.h"

namespace ov {
namespace {

// A grid of "    -": every cell answered, none available.
FormatProbeTable NothingAvailable() {
  FormatProbeTable t;
  for (auto& row : t.tried) {
    for (bool& b : row) b = true;
  }
  return t;
}

}  // namespace

FormatProbeTable WavePlayRec::ProbeFormats(int32_t deviceNumber, FormatProbeRequest request,
                                           const ProbeProgress& progress) {
  // The probe opens devices of the family; a running stream keeps its own.
  if (playAlive_.load() || recAlive_.load()) return NothingAvailable();
  if (!request.input) {
    const WaveFormat& f = GetFormat(nullptr);
    request.extraChannels = f.formatTag == kWaveFormatExtensible && f.channels > 2 ? f.channels : 0;
  }
  request.useExtensible = Use_WF_EXTENSIBLE;
  const int32_t id = deviceNumber <= 0 ? -1 : deviceNumber - 1;
  std::unique_ptr<FormatTrier> trier = driver_->CreateFormatTrier(id, request.input, Options());
  if (!trier) return NothingAvailable();
  return RunFormatProbe(*trier, request, progress);
}

}  // namespace ov
