#include "fft/Kp05Api.h"

namespace ov {

Kp05Api StaticKp05Api() {
  Kp05Api api;
  api.Create_FFT = &::Create_FFT;
  api.Release_FFT = &::Release_FFT;
  api.FFT_WeightWindow = &::FFT_WeightWindow;
  api.FFT_PostProcess = &::FFT_PostProcess;
  api.FFT_fft = &::FFT_fft;
  api.Create_FFT4 = &::Create_FFT4;
  api.Release_FFT4 = &::Release_FFT4;
  api.FFT_fft4 = &::FFT_fft4;
  api.Create_FFT8 = &::Create_FFT8;
  api.Release_FFT8 = &::Release_FFT8;
  api.FFT_fft8 = &::FFT_fft8;
  api.Create_FFT64 = &::Create_FFT64;
  api.Release_FFT64 = &::Release_FFT64;
  api.FFT_fft64 = &::FFT_fft64;
  api.Create_FFT128 = &::Create_FFT128;
  api.Release_FFT128 = &::Release_FFT128;
  api.FFT_fft128 = &::FFT_fft128;
  api.Create_FFT512 = &::Create_FFT512;
  api.Release_FFT512 = &::Release_FFT512;
  api.FFT_fft512 = &::FFT_fft512;
  api.Create_FFT1024 = &::Create_FFT1024;
  api.Release_FFT1024 = &::Release_FFT1024;
  api.FFT_fft1024 = &::FFT_fft1024;
  api.DLL_PrepareCoordinatesSub = &::DLL_PrepareCoordinatesSub;
  return api;
}

}  // namespace ov
