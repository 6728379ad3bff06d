// Test signals for the loopback tests of the sound families: wave files of a
// sine, the left channel of a recording, and the measures the tests assert on
// (where a tone is, its longest dropout, its frequency and level). Test code
// only; portable.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/common/WaveFormat.h"
#include "app/wavefile/WaveFileParse.h"

namespace ov::test {

constexpr double kPi = 3.14159265358979323846;

inline WaveFormat Pcm16(uint32_t rate, uint16_t channels) {
  WaveFormat f{};
  f.formatTag = kWaveFormatPcm;
  f.channels = channels;
  f.samplesPerSec = rate;
  f.bitsPerSample = 16;
  f.blockAlign = static_cast<uint16_t>(2 * channels);
  f.avgBytesPerSec = rate * f.blockAlign;
  return f;
}

inline void WriteWave(const std::filesystem::path& p, const WaveFormat& f,
                      const std::vector<int16_t>& samples) {
  const uint32_t bytes = static_cast<uint32_t>(samples.size() * 2);
  std::string s = "RIFF";
  auto put = [&](uint32_t v) {
    for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>(v >> (8 * i)));
  };
  put(36 + bytes);
  s += "WAVEfmt ";
  put(16);
  s.append(reinterpret_cast<const char*>(&f), 16);
  s += "data";
  put(bytes);
  s.append(reinterpret_cast<const char*>(samples.data()), bytes);
  std::ofstream(p, std::ios::binary) << s;
}

// A stereo sine of `amplitude` (full scale 1), after `leadFrames` of silence.
inline std::vector<int16_t> Sine(uint32_t rate, double freq, double amplitude, size_t frames,
                                 size_t leadFrames = 0) {
  std::vector<int16_t> v((leadFrames + frames) * 2, 0);
  for (size_t i = 0; i < frames; ++i) {
    const double x = amplitude * 32767 * std::sin(2 * kPi * freq * double(i) / rate);
    v[2 * (leadFrames + i)] = v[2 * (leadFrames + i) + 1] = static_cast<int16_t>(std::lround(x));
  }
  return v;
}

// The left channel of a 16-bit stereo file; empty when it is not one.
inline std::vector<double> LeftChannel(const std::string& name, WaveFileInfo* infoOut = nullptr) {
  WaveFormat f{};
  WaveFileInfo info;
  ReaderMessage m;
  if (!ParseWaveFile(name.c_str(), &f, &info, &m, ParseOptions{}) || !info.valid) return {};
  if (infoOut) *infoOut = info;
  std::ifstream in(name, std::ios::binary);
  in.seekg(static_cast<std::streamoff>(info.dataOffset));
  std::vector<int16_t> raw(info.dataSize / 2);
  in.read(reinterpret_cast<char*>(raw.data()), static_cast<std::streamsize>(raw.size() * 2));
  std::vector<double> left(raw.size() / 2);
  for (size_t i = 0; i < left.size(); ++i) left[i] = raw[2 * i];
  return left;
}

struct ToneRegion {
  size_t begin = 0, end = 0;  // samples where the level is above the threshold
  size_t longestGap = 0;      // the longest quiet run between them (a dropout)
};
// Blocks of `block` samples above a quarter of the tone's RMS level.
inline ToneRegion FindTone(const std::vector<double>& x, double amplitude, size_t block = 441) {
  ToneRegion r;
  std::vector<bool> loud;
  for (size_t i = 0; i + block <= x.size(); i += block) {
    double s = 0;
    for (size_t k = i; k < i + block; ++k) s += x[k] * x[k];
    loud.push_back(std::sqrt(s / block) > amplitude * 32767 / std::sqrt(2.0) / 4);
  }
  bool found = false;
  for (size_t b = 0; b < loud.size(); ++b) {
    if (!loud[b]) continue;
    if (!found) r.begin = b * block;
    found = true;
    r.end = (b + 1) * block;
  }
  size_t run = 0;
  for (size_t b = r.begin / block; found && b < r.end / block; ++b) {
    run = loud[b] ? 0 : run + 1;
    r.longestGap = std::max(r.longestGap, run * block);
  }
  return r;
}

// The first sample whose magnitude exceeds half the tone's amplitude.
inline size_t ToneOnset(const std::vector<double>& x, double amplitude) {
  for (size_t i = 0; i < x.size(); ++i)
    if (std::abs(x[i]) > amplitude * 32767 / 2) return i;
  return x.size();
}

// Frequency from the interpolated zero crossings of x[a, b).
inline double ZeroCrossingFrequency(const std::vector<double>& x, size_t a, size_t b,
                                    uint32_t rate) {
  double first = -1, last = -1;
  int count = 0;
  for (size_t i = a + 1; i < b; ++i) {
    if (x[i - 1] < 0 && x[i] >= 0) {
      const double t = double(i - 1) + (-x[i - 1]) / (x[i] - x[i - 1]);
      if (first < 0) first = t;
      last = t;
      ++count;
    }
  }
  return count > 1 ? (count - 1) * rate / (last - first) : 0;
}

// The median over 100 ms windows: one glitch of the test environment's sound
// server does not move it.
inline double MedianFrequency(const std::vector<double>& x, size_t a, size_t b, uint32_t rate) {
  std::vector<double> f;
  for (size_t w = a; w + rate / 10 <= b; w += rate / 10)
    f.push_back(ZeroCrossingFrequency(x, w, w + rate / 10, rate));
  if (f.empty()) return 0;
  std::nth_element(f.begin(), f.begin() + f.size() / 2, f.end());
  return f[f.size() / 2];
}

inline double RmsDb(const std::vector<double>& x, size_t a, size_t b) {
  double s = 0;
  for (size_t i = a; i < b; ++i) s += x[i] * x[i];
  return 20 * std::log10(std::sqrt(s / double(b - a)) / 32768);
}

}  // namespace ov::test
