// Overlay file load and save of the largest analysis size (131072 points,
// 65537 values) through the machine's own files, as the overlay panel does
// them (dialog excluded): save = compose, write a temporary file and put it
// in place; load = read, parse and check. Prints the median and the slowest
// of each over the repetitions.
//   ov_overlay_file_bench [repetitions]
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "app/analysis/OverlayFile.h"
#include "app/analysis/OverlayStorage.h"

namespace {

constexpr int32_t kN = 131072;
constexpr int32_t kCount = kN / 2 + 1;

double NowMs() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return c.QuadPart * 1000.0 / f.QuadPart;
}

std::string TempPath(const char* name) {
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  char utf8[4 * MAX_PATH];
  WideCharToMultiByte(CP_UTF8, 0, folder, -1, utf8, sizeof utf8, nullptr, nullptr);
  return std::string(utf8) + name;
}

void Report(const char* what, std::vector<double>& ms) {
  std::sort(ms.begin(), ms.end());
  std::printf("%-5s median %7.2f ms, slowest %7.2f ms over %zu\n", what, ms[ms.size() / 2],
              ms.back(), ms.size());
}

}  // namespace

int main(int argc, char** argv) {
  const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
  // Spectrum-like amplitudes over many decades, each with 15 significant digits.
  std::mt19937_64 random(44);
  std::uniform_real_distribution<double> exponent(-6.0, 4.5);
  std::vector<double> amplitudes(kCount);
  for (double& v : amplitudes) v = std::pow(10.0, exponent(random));

  const std::string path = TempPath("ov_overlay_bench.ovo");
  ov::TextFiles& files = ov::SystemTextFiles();
  std::vector<double> saves, loads;
  size_t bytes = 0;
  for (int i = 0; i < repetitions; ++i) {
    double t0 = NowMs();
    const std::string text = ov::FormatOverlayFile("bench", 44100, kN, amplitudes.data(), kCount);
    const std::string saved = ov::SaveOverlayFile(files, path.c_str(), text, ov::Language::English);
    saves.push_back(NowMs() - t0);
    if (!saved.empty()) {
      std::printf("save failed: %s\n", saved.c_str());
      return 1;
    }
    bytes = text.size();
    ov::OverlayFileContents contents;
    t0 = NowMs();
    const std::string loaded =
        ov::LoadOverlayFile(files, path.c_str(), {44100, kN}, ov::Language::English, contents);
    loads.push_back(NowMs() - t0);
    if (!loaded.empty() || contents.amplitudeCount != kCount) {
      std::printf("load failed: %s\n", loaded.c_str());
      return 1;
    }
  }
  files.Remove(path.c_str());
  std::printf("N = %d, %d values, %zu bytes\n", kN, kCount, bytes);
  Report("save", saves);
  Report("load", loads);
  return 0;
}
