// The format probe of the WASAPI family. The endpoint of the direction is
// opened on a side of the trier's own, so a stream the engine holds is never
// touched. Each format, always handed as the extensible record, is asked of
// the endpoint in exclusive mode: with IsFormatSupported in query mode, else
// by a real Initialize of a 10 ms buffer on a fresh audio client with the one
// alignment retry of the stream preparation; a capture stream must also start
// and stop (with its event handle set first in event mode). An accepted
// format is the endpoint's own (bit 15); the probe loop marks the narrower
// widths the stream serves by conversion.
#include <memory>

#include "app/engine/WasapiDriver_win.h"

namespace ov {

class WasapiFormatTrier final : public FormatTrier {
 public:
  WasapiFormatTrier(WasapiDriver& driver, bool input, bool eventMode)
      : driver_(driver), input_(input), eventMode_(eventMode) {
    side_.output = !input;
    side_.event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  }
  ~WasapiFormatTrier() override {
    driver_.ReleaseSide(side_);
    if (side_.event) CloseHandle(side_.event);
  }
  WasapiFormatTrier(const WasapiFormatTrier&) = delete;
  WasapiFormatTrier& operator=(const WasapiFormatTrier&) = delete;

  bool Open(int32_t id) {
    EngineMessage ignored;
    return side_.event && driver_.OpenSide(side_, id, ignored);
  }

  bool AlwaysExtensible() const override { return true; }
  bool MarksConversions() const override { return true; }

  ProbeAnswer Try(const WaveFormat& f, const FormatProbeRequest& request) override {
    const bool works = request.queryOnly ? Query(f) : Initialize(f);
    return {works, works};
  }

 private:
  static const WAVEFORMATEX* Record(const WaveFormat& f) {
    return reinterpret_cast<const WAVEFORMATEX*>(&f);
  }

  bool Query(const WaveFormat& f) {
    // An initialised client from a real try is replaced by a fresh one.
    if (!side_.client && !driver_.ActivateClient(side_)) return false;
    return side_.client->IsFormatSupported(AUDCLNT_SHAREMODE_EXCLUSIVE, Record(f), nullptr) == S_OK;
  }

  bool Initialize(const WaveFormat& f) {
    // Each try needs a client that was never initialised; this also lets go
    // of the previous try's stream before the endpoint is asked again.
    if (!driver_.ActivateClient(side_)) return false;
    constexpr DWORD kEventCallback = 0x40000;  // AUDCLNT_STREAMFLAGS_EVENTCALLBACK
    const double rate = f.samplesPerSec ? f.samplesPerSec : 1;
    UINT32 frames = static_cast<UINT32>(rate * 10 * 0.001 + 0.5);
    HRESULT hr = E_FAIL;
    for (int attempt = 0; attempt < 2; ++attempt) {
      const auto duration = static_cast<REFERENCE_TIME>(frames * 1e7 / rate + 0.5);
      hr = side_.client->Initialize(AUDCLNT_SHAREMODE_EXCLUSIVE, eventMode_ ? kEventCallback : 0,
                                    duration, duration, Record(f), nullptr);
      if (hr != AUDCLNT_E_BUFFER_SIZE_NOT_ALIGNED || attempt == 1) break;
      if (FAILED(side_.client->GetBufferSize(&frames)) || !driver_.ActivateClient(side_)) {
        return false;
      }
    }
    if (FAILED(hr)) return false;
    if (!input_) return true;
    if (eventMode_ && FAILED(side_.client->SetEventHandle(side_.event))) return false;
    if (FAILED(side_.client->Start())) return false;
    side_.client->Stop();
    return true;
  }

  WasapiDriver& driver_;
  bool input_;
  bool eventMode_;
  WasapiDriver::Side side_;
};

std::unique_ptr<FormatTrier> WasapiDriver::CreateFormatTrier(int32_t id, bool input,
                                                             const DriverOptions& options) {
  if (!enumerator_) return nullptr;
  auto trier = std::make_unique<WasapiFormatTrier>(*this, input, options.wasapiEventMode);
  if (!trier->Open(id)) return nullptr;
  return trier;
}

}  // namespace ov
