// The program's settings as the main window holds them: one field per key of
// the settings file, grouped by the file's sections and named after the keys.
// The values of a fresh record are meaningless; LoadSettings fills every field
// (the defaults of the settings table for a missing file).
#pragma once

#include <cstdint>
#include <string>

#include "app/common/ColorRole.h"

namespace ov {

// Bounds of a window as stored; Width and Height of 0 mean "none stored yet".
struct StoredBounds {
  int32_t PosX = 0;
  int32_t PosY = 0;
  int32_t Width = 0;
  int32_t Height = 0;
};

constexpr int kColorSetCount = 3;

// Names of the display types, indexed by WaveDispType and SpectrumDispType.
constexpr const char* kWaveDispTypeNames[] = {"Normal", "Lissajous"};
constexpr const char* kSpectrumDispTypeNames[] = {"Normal", "3D", "Spectrogram"};

struct SettingsValues {
  struct {
    int32_t PosX, PosY, Width, Height;
    std::string Maximized;  // "Y" while maximised; the bounds are then the restored ones
    int32_t WaveWindowRatioX1000;
    int32_t DispHelp;  // -1 first-use notice pending, -2 new-version notice, 0 no help, 1 done
  } Window;
  struct : StoredBounds {
    bool Visible, Follow;
  } LissajousWindow;
  struct : StoredBounds {
    int32_t Visible;
    bool Follow, MarginMode;
    int32_t Channels;
  } LevelMeterWindow;
  struct : StoredBounds {
    bool Visible, Follow;
  } PositioningWindow;
  struct : StoredBounds {
    bool Follow;
    int32_t Silence;
  } PlayListWindow;
  struct : StoredBounds {
    bool Follow;
    int32_t DataSaveBytes;
  } WaveInfoWindow;
  struct : StoredBounds {
    bool Follow;
  } SetupDialog;
  struct {
    std::string Dir;  // ends in a backslash and exists after loading
  } File;
  struct {
    double Ver;  // version of the program that last wrote the file
  } Version;
  struct {
    int32_t EnglishMode;
    std::string FileFontName;
    int32_t FileFontCharset, FileFontSize;
    int32_t PlayThreadPriority, NofPlayBufPerSec, NofPlayBuf, PlayBufSampleSizeMin, PlayBufByteSize,
        PlayLatencyCorrect_ms;
    int32_t RecThreadPriority, NofRecBufPerSec, NofRecBuf, RecBufSampleSizeMin, RecBufByteSize,
        RecLatencyCorrect_ms;
  } Special;
  struct {
    bool MeasureMode, SpectrumPeakHold;
    int32_t SpectrumAverageN;
    bool THD, RMS;
  } MeasureMode;
  struct {
    int32_t WaveDispType;      // index into kWaveDispTypeNames, stored by name
    int32_t SpectrumDispType;  // index into kSpectrumDispTypeNames, stored by name
    int32_t WaveXDispMagRate, WaveYDispMagRate;
    bool WaveValDispInHex, WaveRMS0dBsin, FreqDispRange;
    int32_t FreqDispFrom, FreqDispTo, SpectrumDispMagRate, dB_Max;
    double dB_Shift;
    int32_t Angle3D, DeltaX3D, Lines3D;
    bool FreqLogScale, SpectrumLogScale;
    int32_t SpectrumInterpolate, WaveDrawType, SpectrumDrawType;
    bool WaveCheckVBlank, SpectrumCheckVBlank, SpectrumPeakOnly, LissajousBezier, LissajousCenter;
    int32_t UseTimer, DispThreadSleepPeriod, TimerResolution, MMTimerResolution, SleepResolution,
        Sync2ndInstance;
    bool Sync2ndPlayPos;
    int32_t PlaySyncDelay, RecSyncDelay, Sample_N, WindowFunction, PlayRecDriverType;
    bool Use_WF_EXTENSIBLE, Use_WF_DIRECT;
    int32_t PlayDeviceNum, RecDeviceNum, ASIO_PlayChNum, ASIO_RecChNum;
    bool PlayWithFullVol, PlayForceMonoStereo, AutoOpenPrecPosMode;
    int32_t RecSamplingFreq, RecBitLen, RecCh;
    bool RecToFile, Rec_RF64, Rec_BWF, RecUpdateHeader;
    int32_t RecUpdateHeaderPeriod;
    int32_t RecFileDivideBytes;  // bytes, header included
    bool RecMonitorOn;
    int32_t DS_PlayLatency, DS_RecLatency, WAS_Latency;
    bool WAS_EventMode;
    int32_t CaptureMode;
    bool CaptureMouseCursor, ResizeTrackBar, AutoPlay, DispSpectrumComment;
    int32_t SpectrumCommentNum;
    std::string SpectrumComment1, SpectrumComment2, SpectrumComment3;  // UTF-8
    bool SpectrumCommentFs, SpectrumCommentFftN, SpectrumCommentFres;
    int32_t ColorSet;  // 0-based index of the colour set in use
  } Conditions;
  int32_t ColorSets[kColorSetCount][kColorRoleCount];  // sections ColorSet1..ColorSet3
};

}  // namespace ov
