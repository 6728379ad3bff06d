// Sample conversions of frame acquisition: interleaved frames of the engine's
// format to per-channel 32-bit integers with the sample in the upper bits
// (full scale +-2^31), and from those to the transform input in 16-bit units.
#pragma once

#include <cstddef>
#include <cstdint>

namespace ov {

// Replaces count 32-bit IEEE floats by int32 values v x 2^31, limited to
// -2147483648 ... 2147483647 and truncated toward zero (so 1.0 and beyond read
// 2147483647). NaN reads 0. The buffer needs no alignment.
void FloatSamplesToInt32InPlace(uint8_t* bytes, size_t count);

// Bytes per sample the unpacker reads for a bit depth: 4 for 32, 3 for 24,
// 2 for 16, 1 for anything else (8-bit unsigned).
uint32_t UnpackedSampleBytes(uint32_t bitsPerSample);

// Unpacks frameCount frames (frame i starts at byte i x blockAlign, channel j
// at byte j x UnpackedSampleBytes) into channels[0 ... channelCount-1]:
//   32 bits: the int32 itself; 24 bits: bytes b0 b1 b2 -> (b2 b1 as int16) x 65536 + b0 x 256;
//   16 bits: s x 65536; otherwise (8 bits): (u - 128) x 2^24.
// The caller guarantees channelCount x UnpackedSampleBytes <= blockAlign and
// channelCount <= 8.
// When spectrumInput is not null it also receives channel spectrumChannel as
// ToSpectrumInput would write it (if that channel is unpacked).
void UnpackFrames(const uint8_t* frames, size_t frameCount, uint32_t blockAlign,
                  uint32_t bitsPerSample, int32_t channelCount, int32_t* const* channels,
                  int32_t spectrumChannel = -1, double* spectrumInput = nullptr);

// Transform input in 16-bit units: out[i] = samples[i] x 2^-16.
void ToSpectrumInput(const int32_t* samples, size_t count, double* out);

// Levels of one channel over count left-justified samples, in tenths of a dB:
// peak relative to 2147483647 (|-2^31| counts as 2147483647, silence as 1),
// RMS relative to 32767 in 16-bit units, raised by 3.010299957 dB when
// sineIsZeroDb (so that a full-scale sine reads 0 dB); an all-zero block reads
// the RMS of 0.0001.
struct ChannelLevels {
  int32_t peak;
  int32_t rms;
};
ChannelLevels MeasureChannelLevels(const int32_t* samples, size_t count, bool sineIsZeroDb);

}  // namespace ov
