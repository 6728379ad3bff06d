// The library's real transform of N samples taken apart: each pass of each
// layout alone, and the steps around the passes (the caller's copy, the
// window, the split and the quarter kernels), so that a change to one kernel
// can be measured where it runs. Every pass reads and writes the buffers it
// would in a transform (a first pass in place and out of place). Names:
//   Pass/<N>/<layout>/<index>:<kind>(a=<groups>), Step/<N>/<step>
// Sums of the passes do not equal fft_bench's frame: consecutive passes share
// caches, repeated single passes do not. OV_FFT_KERNELS=avx2 or portable
// holds the library to a slower kernel set than the CPU offers.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fft/Kp05Kernels.h"
#include "fft/Kp05Plan.h"

namespace {

// Cache-line aligned buffers of M + 1 complex values holding a fixed signal.
class Buffers {
 public:
  explicit Buffers(int32_t m) : size_(2 * (static_cast<size_t>(m) + 1)) {
    for (double*& b : buffers_) {
      b = static_cast<double*>(std::aligned_alloc(64, (size_ * sizeof(double) + 63) / 64 * 64));
      for (size_t i = 0; i < size_; ++i) b[i] = static_cast<double>(i & 127) - 64;
    }
  }
  ~Buffers() {
    for (double* b : buffers_) std::free(b);
  }
  Buffers(const Buffers&) = delete;
  Buffers& operator=(const Buffers&) = delete;
  double* x() { return buffers_[0]; }
  double* y() { return buffers_[1]; }

 private:
  size_t size_;
  double* buffers_[2];
};

const char* KindName(kp05::PassKind kind) {
  switch (kind) {
    case kp05::PassKind::FirstRadix2:
      return "FirstRadix2";
    case kp05::PassKind::FirstRadix8:
      return "FirstRadix8";
    case kp05::PassKind::Radix4:
      return "Radix4";
    case kp05::PassKind::Radix8:
      return "Radix8";
    case kp05::PassKind::Radix16Tail:
      return "Radix16Tail";
  }
  return "?";
}

// A real plan of n samples with its window tables, in a forced layout; it
// lives for the whole program (the registered benchmarks use it).
Kp05Plan* MakePlan(int32_t n, kp05::Layout layout) {
  kp05::ForceLayout(layout);
  Kp05Plan* plan = kp05::CreatePlan(n, true, true);
  kp05::ForceLayout(kp05::Layout::Measured);
  return plan;
}

void RegisterPasses(Kp05Plan* plan, const char* layoutName) {
  const std::string prefix = "Pass/" + std::to_string(plan->n) + "/" + layoutName + "/";
  for (int i = 0; i < plan->passes.count; ++i) {
    const kp05::Pass pass = plan->passes.passes[i];
    std::string name = prefix + std::to_string(i) + ":" + KindName(pass.kind);
    if (pass.a > 0) name += "(a=" + std::to_string(pass.a) + ")";  // first passes have none
    for (bool inPlace : {false, true}) {
      if (inPlace && i != 0) continue;
      benchmark::RegisterBenchmark((name + (inPlace ? "/in-place" : "")).c_str(),
                                   [plan, pass, inPlace](benchmark::State& state) {
                                     Buffers buffers(plan->m);
                                     double* dst = inPlace ? buffers.x() : buffers.y();
                                     for (auto _ : state) {
                                       kp05::RunPass(*plan, pass, buffers.x(), dst);
                                       benchmark::ClobberMemory();
                                     }
                                   });
    }
  }
}

// One step of the frame on the plan's buffers: step(x, y).
template <typename Step>
void RegisterStep(Kp05Plan* plan, const char* stepName, Step step) {
  const std::string name = "Step/" + std::to_string(plan->n) + "/" + stepName;
  benchmark::RegisterBenchmark(name.c_str(), [plan, step](benchmark::State& state) {
    Buffers buffers(plan->m);
    for (auto _ : state) {
      step(buffers.x(), buffers.y());
      benchmark::ClobberMemory();
    }
  });
}

void RegisterSteps(Kp05Plan* plan) {
  const kp05::Kernels& k = *plan->kernels;
  const int32_t n = plan->n, m = plan->m;
  const double scale = 1.0 / m;
  RegisterStep(plan, "Copy", [n](double* x, double* y) {
    std::memcpy(x, y, static_cast<size_t>(n) * sizeof(double));
  });
  RegisterStep(plan, "Window", [plan, n](double* x, double*) {
    plan->kernels->weightReal(x, plan->window[KP05_WINDOW_HANNING - 1], n);
  });
  RegisterStep(plan, "Split", [plan, m, scale](double* x, double* y) {
    plan->kernels->split(x, y, plan->splitForward, m, scale);
  });
  if (k.radix4Split != nullptr && m >= 64) {
    RegisterStep(plan, "Radix4Split", [plan, m, scale](double* x, double* y) {
      plan->kernels->radix4Split(x, y, plan->tables, plan->splitForward, m, scale);
    });
  }
  if (k.difRadix4 != nullptr && m >= 16) {
    RegisterStep(plan, "DifRadix4", [plan, m](double* x, double* y) {
      plan->kernels->difRadix4(x, y, plan->tables, m);
    });
    RegisterStep(plan, "Interleave4Split", [plan, m, scale](double* x, double* y) {
      plan->kernels->interleave4Split(x, y, plan->splitForward, m, scale);
    });
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (const char* set = std::getenv("OV_FFT_KERNELS")) {
    if (std::strcmp(set, "portable") == 0) kp05::LimitKernels(kp05::KernelSet::Portable);
    if (std::strcmp(set, "avx2") == 0) kp05::LimitKernels(kp05::KernelSet::Avx2);
  }
  std::vector<Kp05Plan*> plans;
  for (int32_t n = 128; n <= 131072; n *= 2) {
    Kp05Plan* passes = MakePlan(n, kp05::Layout::Passes);
    Kp05Plan* tail = MakePlan(n, kp05::Layout::Tail);
    Kp05Plan* eights = MakePlan(n, kp05::Layout::Eights);
    if (passes == nullptr || tail == nullptr || eights == nullptr) return 1;
    plans.insert(plans.end(), {passes, tail, eights});
    RegisterSteps(passes);
    RegisterPasses(passes, "Passes");
    if (tail->tailPass) RegisterPasses(tail, "Tail");
    if (eights->eightPass) RegisterPasses(eights, "Eights");
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  for (Kp05Plan* plan : plans) kp05::DestroyPlan(plan);
  return 0;
}
