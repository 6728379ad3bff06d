// KP05 FFT library: power-of-two transforms in double precision.
//
// Nine plan slots, one per family: the general family (size chosen at
// creation) and the fixed sizes 4, 8, 64, 128, 256, 512, 1024 and 2048. The
// transform, window and post-processing entries take no plan argument: they
// work on their family's current plan.
//
// Contract:
//  - Create, then any number of transforms, then Release. Create does not
//    release a plan already in the slot: release first. Release of an empty
//    slot does nothing.
//  - Create returns NULL when memory runs out (or a byte count would not fit
//    32 bits, or N is not a power of two; a real plan needs N >= 2); the slot
//    keeps its previous plan. Nothing else can fail, and nothing throws.
//  - A transform allocates nothing. Transform, weighting and post-processing
//    on an empty slot leave the data unchanged (a transform still returns 0).
//  - No locks: a plan must not be used by two threads at once (each transform
//    writes the plan's work buffer), and create or release must not overlap any
//    other call on the same family.
//
// Data:
//  - Complex plan of M points: the buffer holds M complex values (re, im
//    doubles) and is replaced by the transform in natural order. Forward
//    (direction 0) uses e^(-2*pi*i*k*n/M) and scales by 1/M; inverse (nonzero)
//    uses e^(+2*pi*i*k*n/M) and does not scale.
//  - Real plan of N samples: the buffer holds N doubles on entry and must have
//    room for N/2+1 complex values (8*N+16 bytes); it returns bins 0..N/2 as
//    X[k]/N, with exactly zero imaginary parts at bins 0 and N/2. Only the
//    forward direction yields a transform.
#pragma once

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32) && defined(KP05_BUILDING_DLL)
#define KP05_API __declspec(dllexport)
#else
#define KP05_API
#endif

typedef struct Kp05Plan Kp05Plan;

// A drawing point with the layout of the platform's POINT: x, then y.
typedef struct Kp05Point {
  int32_t x;
  int32_t y;
} Kp05Point;

// Window types for FFT_WeightWindow.
enum {
  KP05_WINDOW_RECT = 0,
  KP05_WINDOW_HANNING = 1,
  KP05_WINDOW_HAMMING = 2,
  KP05_WINDOW_BLACKMAN = 3,
  KP05_WINDOW_BLACKMAN_HARRIS4 = 4,
  KP05_WINDOW_BLACKMAN_HARRIS7 = 5,
  KP05_WINDOW_FLAT_TOP = 6
};

KP05_API Kp05Plan* Create_FFT(int32_t n, uint8_t realInput, uint8_t windowTables);
KP05_API void Release_FFT(void);
KP05_API int32_t FFT_fft(double* data, int32_t direction);

#define KP05_FIXED_FAMILY(k)                           \
  KP05_API Kp05Plan* Create_FFT##k(uint8_t realInput); \
  KP05_API void Release_FFT##k(void);                  \
  KP05_API int32_t FFT_fft##k(double* data, int32_t direction);
KP05_FIXED_FAMILY(4)
KP05_FIXED_FAMILY(8)
KP05_FIXED_FAMILY(64)
KP05_FIXED_FAMILY(128)
KP05_FIXED_FAMILY(256)
KP05_FIXED_FAMILY(512)
KP05_FIXED_FAMILY(1024)
KP05_FIXED_FAMILY(2048)
#undef KP05_FIXED_FAMILY

// Multiplies data by window `type` (1..6) of the general plan; other types,
// or a plan without window tables, leave data unchanged. A complex general
// plan weights only the real parts.
KP05_API void FFT_WeightWindow(double* data, int32_t type);

// Bins 0..M/2 of the general plan (M its complex length): optionally to dB
// (20*log10 of the magnitude into re, im = 0; a zero magnitude reads -760),
// then optionally normalised so the largest real part becomes 0.
KP05_API void FFT_PostProcess(double* data, uint8_t toDecibels, uint8_t normalise);

// Keeps the first maxPerColumn points of each run of equal x (a column),
// packing their x values to the front of points (and of extra1/extra2 when not
// NULL); runLengths receives the number of input points of each column.
KP05_API void DLL_PrepareCoordinatesSub(int32_t* count, Kp05Point* points, Kp05Point* extra1,
                                        Kp05Point* extra2, int32_t* columns, int32_t* runLengths,
                                        int32_t maxPerColumn);

#ifdef __cplusplus
}
#endif
