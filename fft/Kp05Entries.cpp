// The exported entries: nine library-global slots, one per family, no locks
// (see the threading contract in kp05.h). Nothing here throws; the only
// failure, at creation, is reported as NULL.
#include "fft/Kp05Plan.h"

namespace {

enum Family {
  kGeneral,
  kFixed4,
  kFixed8,
  kFixed64,
  kFixed128,
  kFixed256,
  kFixed512,
  kFixed1024,
  kFixed2048,
  kFamilyCount
};

Kp05Plan* g_slots[kFamilyCount];

// A failed creation leaves the slot as it was. A successful one replaces the
// slot without releasing its previous plan: callers release first.
Kp05Plan* CreateIn(Family family, int32_t n, uint8_t realInput, uint8_t windowTables) {
  Kp05Plan* plan = kp05::CreatePlan(n, realInput != 0, windowTables != 0);
  if (plan != nullptr) g_slots[family] = plan;
  return plan;
}

void ReleaseIn(Family family) {
  kp05::DestroyPlan(g_slots[family]);
  g_slots[family] = nullptr;
}

// A transform on an empty slot leaves the data alone instead of crashing.
int32_t TransformIn(Family family, double* data, int32_t direction) {
  if (g_slots[family] != nullptr) kp05::Transform(*g_slots[family], data, direction != 0);
  return 0;
}

}  // namespace

extern "C" {

Kp05Plan* Create_FFT(int32_t n, uint8_t realInput, uint8_t windowTables) {
  return CreateIn(kGeneral, n, realInput, windowTables);
}
void Release_FFT(void) {
  ReleaseIn(kGeneral);
}
int32_t FFT_fft(double* data, int32_t direction) {
  return TransformIn(kGeneral, data, direction);
}

#define KP05_DEFINE_FIXED_FAMILY(k)                     \
  Kp05Plan* Create_FFT##k(uint8_t realInput) {          \
    return CreateIn(kFixed##k, k, realInput, 0);        \
  }                                                     \
  void Release_FFT##k(void) {                           \
    ReleaseIn(kFixed##k);                               \
  }                                                     \
  int32_t FFT_fft##k(double* data, int32_t direction) { \
    return TransformIn(kFixed##k, data, direction);     \
  }
KP05_DEFINE_FIXED_FAMILY(4)
KP05_DEFINE_FIXED_FAMILY(8)
KP05_DEFINE_FIXED_FAMILY(64)
KP05_DEFINE_FIXED_FAMILY(128)
KP05_DEFINE_FIXED_FAMILY(256)
KP05_DEFINE_FIXED_FAMILY(512)
KP05_DEFINE_FIXED_FAMILY(1024)
KP05_DEFINE_FIXED_FAMILY(2048)
#undef KP05_DEFINE_FIXED_FAMILY

void FFT_WeightWindow(double* data, int32_t type) {
  if (g_slots[kGeneral] != nullptr) kp05::WeightWindow(*g_slots[kGeneral], data, type);
}

void FFT_PostProcess(double* data, uint8_t toDecibels, uint8_t normalise) {
  if (g_slots[kGeneral] != nullptr) {
    kp05::PostProcess(*g_slots[kGeneral], data, toDecibels != 0, normalise != 0);
  }
}

void DLL_PrepareCoordinatesSub(int32_t* count, Kp05Point* points, Kp05Point* extra1,
                               Kp05Point* extra2, int32_t* columns, int32_t* runLengths,
                               int32_t maxPerColumn) {
  kp05::PrepareCoordinates(count, points, extra1, extra2, columns, runLengths, maxPerColumn);
}

}  // extern "C"
