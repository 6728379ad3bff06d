// The header a recording file starts with, and the Broadcast Wave `bext`
// chunk appended after its data. All fields little-endian.
//
//   plain, 1-2 channels   44 bytes  RIFF WAVE | fmt (16) | data
//   plain, 3+ channels    68 bytes  RIFF WAVE | fmt (40) | data
//   RF64-ready, 1-2 ch    80 bytes  RIFF WAVE | JUNK (28) | fmt (16) | data
//   RF64-ready, 3+ ch    104 bytes  RIFF WAVE | JUNK (28) | fmt (40) | data
//
// The JUNK chunk reserves the room a `ds64` chunk needs, so a file can turn
// into RF64 in place once it grows past what 32-bit sizes describe.
#pragma once

#include <cstdint>

#include "app/common/WaveFormat.h"
#include "app/wavefile/RecordingClock.h"

namespace ov {

constexpr uint32_t kMaxRecordingHeaderBytes = 104;
constexpr uint32_t kBextChunkBytes = 866;
// A RIFF file is turned into RF64 before its size passes this (4 GiB - 16 KiB).
constexpr uint64_t kRf64SwitchBytes = 0xFFFFC000u;
// The largest size a 32-bit RIFF size field can describe: file bytes - 8.
constexpr uint64_t kMaxRiffFileBytes = 0xFFFFFFFFull + 8;

// Writes the header for a file of 0 data bytes into image (room for
// kMaxRecordingHeaderBytes) and returns its size: 44, 68, 80 or 104. `fmt `
// holds the first 16 bytes of format for 1-2 channels, all 40 for more.
uint32_t BuildRecordingHeader(const WaveFormat& format, bool rf64Layout, uint8_t* image);

// Turns an RF64-ready image into RF64: RIFF -> RF64, JUNK -> ds64, and the
// 32-bit RIFF and data sizes to 0xFFFFFFFF (the ds64 sizes then count).
void SwitchHeaderToRf64(uint8_t* image, uint32_t headerSize);
bool HeaderIsRf64(const uint8_t* image);

// Fills the size fields for a file of position bytes (header and any pad
// byte included) with appended bytes of chunks after the data. The data size
// leaves the pad byte out, as RIFF chunk sizes do; the RIFF size counts it.
// The caller keeps a plain image below kMaxRiffFileBytes; an RF64 image gets
// 64-bit sizes.
void FillHeaderSizes(uint8_t* image, uint32_t headerSize, uint64_t position, uint64_t appended,
                     uint32_t padBytes, uint16_t blockAlign);

// Builds the 866-byte `bext` chunk: origination date and time, version 1, and
// a coding history line describing format and originator (the program's
// title and version, at most 49 characters are used).
void BuildBextImage(const WaveFormat& format, const LocalDateTime& when, const char* originator,
                    uint8_t* bext);

}  // namespace ov
