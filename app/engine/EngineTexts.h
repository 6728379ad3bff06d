// The engine's own texts: failure reasons left in its message text, and the
// texts it puts into the main window's labels. English only; the transport
// classifies reasons by their first characters, so they are kept verbatim.
#pragma once

#include <cstdint>
#include <string>

#include "app/common/WaveFormat.h"
#include "app/engine/EngineTypes.h"

namespace ov {

namespace text {
constexpr const char kNoMemory[] = "No memory";
constexpr const char kNoWaveOutput[] = "No Wave Output device";
constexpr const char kNoWaveInput[] = "No Wave Input device";
constexpr const char kNoWaveInputOutput[] = "No Wave Input/Output device";
constexpr const char kDeviceAlreadyOpened[] = "Device already opened";
constexpr const char kUnableToOpenWaveDevice[] = "Unable to open Wave device";
constexpr const char kUnableToGetDeviceId[] = "Unable to get device ID";
constexpr const char kUnableToGetDeviceCaps[] = "Unable to get device caps";
constexpr const char kWaveOutReset[] = "Error: waveOutReset()";
constexpr const char kWaveOutPause[] = "Error: waveOutPause()";
constexpr const char kWaveOutPrepareHeader[] = "Error: waveOutPrepareHeader()";
constexpr const char kWaveOutWrite[] = "Error: waveOutWrite()";
constexpr const char kWaveOutUnprepareHeader[] = "Error: waveOutUnprepareHeader()";
constexpr const char kWaveOutClose[] = "Error: waveOutClose()";
constexpr const char kWaveInPrepareHeader[] = "Error: waveInPrepareHeader()";
constexpr const char kWaveInAddBuffer[] = "Error: waveInAddBuffer()";
constexpr const char kWaveInStart[] = "Error: waveInStart()";
constexpr const char kWaveInStop[] = "Error: waveInStop()";
constexpr const char kWaveInReset[] = "Error: waveInReset()";
constexpr const char kWaveInUnprepareHeader[] = "Error: waveInUnprepareHeader()";
constexpr const char kWaveInClose[] = "Error: waveInClose()";
constexpr const char kDirectXRequired[] = "DirectX 7 or later required";
constexpr const char kNoDSoundOutput[] = "No DSound Output device";
constexpr const char kNoDSoundInput[] = "No DSound Input device";
constexpr const char kNoDSoundInputOutput[] = "No DSound Input/Output device";
constexpr const char kUnableToCreateDirectSound[] = "Unable to create DirectSound.";
constexpr const char kUnableToInitializeDirectSound[] = "Unable to initialize DirectSound.";
constexpr const char kUnableToSetCooperativeLevel[] = "Unable to set Cooperative Level";
constexpr const char kUnableToCreatePrimaryBuffer[] = "Unable to create Primary buffer";
constexpr const char kUnableToSetPrimaryFormat[] = "Unable to set Primary buffer format";
constexpr const char kNoBuffer[] = "No buffer";
constexpr const char kUnableToRestoreBuffer[] = "Unable to restore buffer";
constexpr const char kUnableToLockBuffer[] = "Unable to lock buffer";
constexpr const char kDirectSoundStart[] = "Error: DirectSound Start()";
constexpr const char kRecInLabel[] = " Rec.In.";
constexpr const char kNotPcm[] = "Not PCM";
}  // namespace text

// "Buffer not enough  (1/%d)": the plan needed `parts` times the allowed count.
std::string BufferNotEnoughText(uint32_t parts);
// "Unsupported format:  %5dHz %s%dbit %dch".
std::string UnsupportedFormatText(const WaveFormat& f);
// "%5dHz %s%dbit %dch" with " 64" for RF64 and " B" for BWF files.
std::string FormatText(const WaveFormat& f, bool rf64, bool bwf);
// "%02dm%02ds" of whole seconds.
std::string MinutesSecondsText(uint64_t seconds);
// Reason for a driver family this program does not contain (DirectSound,
// ASIO, WASAPI): "<family> driver not available in this program".
std::string UnbuiltFamilyText(int32_t driverType);
// A DirectSound device number beyond the enumerated table:
// "DSound Output device %u not found" (or Input).
std::string DSoundDeviceNotFoundText(uint32_t number, bool input);
// "Stopped! \n\n%s".
std::string StoppedText(const std::string& reason);

// The buffer information shown on Ctrl + right click on the FFT readout.
std::string BufferInfoText(const BufferInfo& play, const BufferInfo& rec, uint32_t fftSize,
                           const WaveFormat& format);

}  // namespace ov
