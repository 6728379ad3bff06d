// The KP05 entries as a table of function pointers: the program fills it from
// the loaded DLL (by decorated name), native builds and tests from the static
// library. Analysis code calls the transforms only through this table.
#pragma once

#include "fft/kp05.h"

namespace ov {

struct Kp05Api {
  using CreateFn = Kp05Plan* (*)(int32_t n, uint8_t realInput, uint8_t windowTables);
  using CreateFixedFn = Kp05Plan* (*)(uint8_t realInput);
  using ReleaseFn = void (*)();
  using TransformFn = int32_t (*)(double* data, int32_t direction);
  using WeightWindowFn = void (*)(double* data, int32_t type);
  using PostProcessFn = void (*)(double* data, uint8_t toDecibels, uint8_t normalise);
  using PrepareCoordinatesFn = void (*)(int32_t* count, Kp05Point* points, Kp05Point* extra1,
                                        Kp05Point* extra2, int32_t* columns, int32_t* runLengths,
                                        int32_t maxPerColumn);

  // The 24 entries the program binds, in binding order.
  CreateFn Create_FFT = nullptr;
  ReleaseFn Release_FFT = nullptr;
  WeightWindowFn FFT_WeightWindow = nullptr;
  PostProcessFn FFT_PostProcess = nullptr;
  TransformFn FFT_fft = nullptr;
  CreateFixedFn Create_FFT4 = nullptr;
  ReleaseFn Release_FFT4 = nullptr;
  TransformFn FFT_fft4 = nullptr;
  CreateFixedFn Create_FFT8 = nullptr;
  ReleaseFn Release_FFT8 = nullptr;
  TransformFn FFT_fft8 = nullptr;
  CreateFixedFn Create_FFT64 = nullptr;
  ReleaseFn Release_FFT64 = nullptr;
  TransformFn FFT_fft64 = nullptr;
  CreateFixedFn Create_FFT128 = nullptr;
  ReleaseFn Release_FFT128 = nullptr;
  TransformFn FFT_fft128 = nullptr;
  CreateFixedFn Create_FFT512 = nullptr;
  ReleaseFn Release_FFT512 = nullptr;
  TransformFn FFT_fft512 = nullptr;
  CreateFixedFn Create_FFT1024 = nullptr;
  ReleaseFn Release_FFT1024 = nullptr;
  TransformFn FFT_fft1024 = nullptr;
  PrepareCoordinatesFn DLL_PrepareCoordinatesSub = nullptr;
};

// The table over the library linked into this program (no DLL involved).
Kp05Api StaticKp05Api();

}  // namespace ov
