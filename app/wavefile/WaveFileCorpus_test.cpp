// The shared corpus of wave files written by other programs: every file parses
// or fails with the right message, quickly; what the reader keeps matches the
// file's own bytes; and where libsndfile also opens the file, the two agree.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/wavefile/WaveFileParse.h"

namespace ov {
namespace {

const std::string kCorpus = std::string(OV_SHARED_DIR) + "/testdata/wav/";

struct Expected {
  const char* file;
  const char* message;  // "" when the parse succeeds
  bool valid, rf64, bext;
  uint16_t tag, channels;
  uint32_t rate;
  uint16_t bits;
  uint64_t dataOffset, dataSize;
  int markers;
};

// What this reader's rules give for each file (checked against the corpus
// notes): zero-size chunks end the walk (no_samples, zero-size-chunk), odd
// data sizes include the pad byte (atl--cue, infloop), fmt sizes outside
// 16..50 fail, RF64 files with real 32-bit sizes are RF64.
const Expected kExpected[] = {
    {"formats/hound--pcmwaveformat-8bit-44100Hz-mono.wav", "", true, false, false, 0x1, 1, 44100, 8,
     44, 4, 0},
    {"formats/hound--pcmwaveformat-24bit-4byte-48kHz-stereo.wav", "", true, false, false, 0x1, 2,
     48000, 24, 44, 16, 0},
    {"formats/hound--waveformatextensible-24bit-192kHz-mono.wav", "", true, false, false, 0xFFFE, 1,
     192000, 24, 68, 12, 0},
    {"formats/hound--waveformatextensible-ieeefloat-44100Hz-mono.wav", "", true, false, false,
     0xFFFE, 1, 44100, 32, 80, 16, 0},
    {"formats/hound--nonstandard-02.wav", "", true, false, false, 0xFFFE, 2, 48000, 32, 68, 16, 0},
    {"formats/scipy--test-8000Hz-le-2ch-1byteu.wav", "", true, false, false, 0x1, 2, 8000, 8, 44,
     1600, 0},
    {"formats/scipy--test-8000Hz-le-3ch-5S-24bit.wav", "", true, false, false, 0x1, 3, 8000, 24, 44,
     46, 0},
    {"formats/scipy--test-8000Hz-le-4ch-9S-12bit.wav", "", true, false, false, 0x1, 4, 8000, 12, 44,
     72, 0},
    {"formats/scipy--test-8000Hz-le-3ch-5S-64bit.wav", "", true, false, false, 0x1, 3, 8000, 64, 44,
     120, 0},
    {"formats/scipy--test-48000Hz-2ch-64bit-float-le-wavex.wav", "", true, false, false, 0xFFFE, 2,
     48000, 64, 112, 7680, 0},
    {"formats/taglib--float64.wav", "", true, false, false, 0x3, 2, 44100, 64, 88, 68496, 0},
    {"formats/taglib--uint8we.wav", "", true, false, false, 0xFFFE, 2, 8000, 8, 68, 46986, 0},
    {"formats/wavefilejs--27bit-8kHz-noBext-mono.wav", "", true, false, false, 0xFFFE, 1, 8000, 32,
     68, 192000, 0},
    {"formats/rbwavefile--extensible_20_pcm_16_44100_speaker_mapping_overflow.wav", "", true, false,
     false, 0xFFFE, 20, 44100, 16, 80, 89600, 0},
    {"formats/wavinfo--wavinfo_Test_Project_-_Audio_-_LRC.wav", "", true, false, true, 0xFFFE, 3,
     48000, 24, 924, 432000, 0},
    {"nonpcm/taglib--alaw.wav", "", false, false, false, 0x6, 2, 8000, 8, 58, 56800, 0},
    {"nonpcm/scipy--test-8000Hz-le-1ch-1byte-ulaw.wav", "", false, false, false, 0x7, 1, 8000, 8,
     60, 10, 0},
    {"nonpcm/wavefilejs--4-bit-imaadpcm-8kHz-noBext-mono-reaper.wav", "", false, false, false, 0x11,
     1, 8000, 4, 144, 30720, 0},
    {"nonpcm/rbwavefile--extensible_unsupported_subformat_guid.wav", "", false, false, false,
     0xFFFE, 1, 44100, 16, 0, 0, 0},
    {"nonpcm/scipy--test-44100Hz-2ch-32bit-float-be.wav", "Not RIFF/RF64 file", false, false, false,
     0x0, 0, 0, 0, 0, 0, 0},
    {"rf64/taglib--rf64.wav", "", true, true, false, 0x1, 2, 48000, 16, 80, 9600, 0},
    {"rf64/scipy--test-8000Hz-le-3ch-5S-24bit-rf64.wav", "", true, true, false, 0x1, 3, 8000, 24,
     80, 45, 0},
    {"rf64/scipy--test-44100Hz-le-1ch-4bytes-rf64.wav", "", true, true, false, 0xFFFE, 1, 44100, 32,
     116, 17640, 0},
    {"rf64/wavefilejs--RF64-16bit-8kHz-stereo-reaper.wav", "", true, true, false, 0x1, 2, 8000, 16,
     80, 309996, 0},
    {"rf64/atl--cortissimo.wav", "", true, true, false, 0x3, 2, 96000, 32, 80, 143544, 0},
    {"bwf/hound-pr49--pro_tools_bext.wav", "", true, false, true, 0x1, 1, 48000, 24, 1024, 4, 0},
    {"bwf/hound-pr49--reaper_bext.wav", "", true, false, true, 0x1, 2, 44100, 16, 736, 1372, 0},
    {"bwf/hound-pr49--wav_agent_bext.wav", "", true, false, true, 0x1, 1, 44100, 16, 44, 2, 0},
    {"bwf/hound--nonstandard-01.wav", "", true, false, true, 0x1, 2, 48000, 24, 802, 6, 0},
    {"bwf/goaudio--bwf.wav", "", true, false, true, 0x1, 1, 44100, 24, 654, 21862, 0},
    {"bwf/wavinfo--A101_3.WAV", "", true, false, true, 0x1, 2, 48000, 24, 6144, 288264, 0},
    {"bwf/wavinfo--wavinfo_Test_Project_-_Audio_-_Mono.wav", "", true, false, true, 0x1, 1, 48000,
     24, 900, 144000, 0},
    {"bwf/atl--broadcastwave_bext_iXML.wav", "", true, false, true, 0x1, 1, 48000, 16, 910, 210154,
     0},
    {"markers/atl--cue.wav", "", true, false, true, 0x1, 1, 22050, 8, 44, 7120, 10},
    {"markers/wavinfo--izotoperx_cues_test.wav", "", true, false, false, 0x3, 1, 48000, 32, 44,
     192000, 3},
    {"markers/goaudio--flloop.wav", "", true, false, false, 0x1, 2, 44100, 16, 44, 433124, 16},
    {"markers/wavefilejs--16bit-8kHz-1c-reaper-region.wav", "", true, false, false, 0x1, 2, 8000,
     16, 104, 96000, 1},
    {"markers/wavefilejs--16bit-8kHz-1c-reaper-utf8cue.wav", "", true, false, false, 0x1, 1, 8000,
     16, 44, 18356, 1},
    {"chunks/goaudio--listChunkInHeader.wav", "", true, false, false, 0x1, 2, 44100, 24, 12288,
     91908, 0},
    {"chunks/taglib--duplicate_tags.wav", "", true, false, false, 0x1, 2, 1000, 16, 44, 14700, 0},
    {"chunks/taglib--pcm_with_fact_chunk.wav", "", true, false, false, 0x1, 2, 1000, 16, 44, 14700,
     0},
    {"chunks/atl--cart.wav", "", true, false, false, 0x1, 1, 44100, 16, 44, 4456, 0},
    {"chunks/wavinfo--new_camera_bumb_1.wav", "", true, false, false, 0x1, 1, 48000, 24, 82, 137578,
     0},
    {"chunks/rbwavefile--mono_pcm_16_44100_junk_chunk_final_chunk_missing_padding_byte.wav", "",
     true, false, false, 0x1, 1, 44100, 16, 44, 4480, 0},
    {"chunks/rbwavefile--format_chunk_extra_bytes_with_odd_size_and_padding_byte.wav", "", true,
     false, false, 0x1, 1, 44100, 8, 48, 2240, 0},
    {"chunks/rbwavefile--no_samples.wav", "", false, false, false, 0x1, 1, 44100, 8, 0, 0, 0},
    {"chunks/scipy--test-44100Hz-le-1ch-4bytes.wav", "", true, false, false, 0xFFFE, 1, 44100, 32,
     80, 17640, 0},
    {"malformed/hound--crash-24728523ef4be15c838293b676f6853e73723bf4.wav",
     "Unknown Wave format.  (fmtsize=655360, fizesize=1179011408)", false, false, false, 0x0, 0, 0,
     0, 0, 0, 0},
    {"malformed/hound--crash-b8447179832529c48f9c6bf17feab6337bbc78ea.wav",
     "Unknown Wave format.  (fmtsize=-16776960, fizesize=1179011408)", false, false, false, 0x0, 0,
     0, 0, 0, 0, 0},
    {"malformed/hound--crash-cbd757427cea12bd8a21f86cd8cf74d98ce56bee.wav",
     "Unknown Wave format.  (fmtsize=2555904, fizesize=1179011408)", false, false, false, 0x0, 0, 0,
     0, 0, 0, 0},
    {"malformed/hound--crash-e5471f5b58397287b509db7d026e95f1724454f5.wav", "", false, false, false,
     0xFFFE, 1, 44100, 0, 80, 16, 0},
    {"malformed/hound--crash-e879de4eb4d206c59e21f0e01def16457af80fdc.wav", "", false, false, false,
     0x0, 0, 0, 0, 0, 0, 0},
    {"malformed/hound--oom-48ae4cd061ff8578ad3f23dc87624bd365cf5216.wav",
     "Unable to read file.  (other)", false, false, false, 0x0, 0, 0, 0, 0, 0, 0},
    {"malformed/taglib--infloop.wav", "", true, false, false, 0x1, 1, 11025, 8, 44, 14084, 0},
    {"malformed/taglib--segfault.wav", "Unknown Wave format.  (fmtsize=2, fizesize=14736)", false,
     false, false, 0x0, 0, 0, 0, 0, 0, 0},
    {"malformed/taglib--zero-size-chunk.wav", "", false, false, false, 0x1, 2, 44100, 16, 0, 0, 0},
    // Block align 4 for three 24-bit channels: no frame fits, so not valid.
    {"malformed/scipy--test-8000Hz-le-3ch-5S-24bit-inconsistent.wav", "", false, false, false, 0x1,
     3, 8000, 24, 44, 46, 0},
    {"malformed/scipy--test-44100Hz-le-1ch-4bytes-early-eof.wav", "", true, false, false, 0xFFFE, 1,
     44100, 32, 80, 944, 0},
    {"malformed/rbwavefile--empty.wav", "Unable to read file.  (header)", false, false, false, 0x0,
     0, 0, 0, 0, 0, 0},
    {"malformed/rbwavefile--riff_chunk_has_no_child_chunks.wav", "", false, false, false, 0x0, 0, 0,
     0, 0, 0, 0},
    {"malformed/rbwavefile--no_data_chunk.wav", "", false, false, false, 0x1, 2, 44100, 16, 0, 0,
     0},
    {"malformed/rbwavefile--data_chunk_truncated.wav", "", true, false, false, 0x1, 1, 44100, 8, 44,
     2240, 0},
    {"malformed/rbwavefile--format_chunk_after_data_chunk.wav", "", true, false, false, 0x1, 2,
     44100, 16, 20, 8960, 0},
    {"malformed/atl--illegal_id3v2.wav", "Not RIFF/RF64 file", false, false, false, 0x0, 0, 0, 0, 0,
     0, 0},
};

std::vector<uint8_t> ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::map<std::string, std::string> ReadReference() {
  std::map<std::string, std::string> reference;
  std::ifstream in(kCorpus + "reference-libsndfile-1.2.0.tsv");
  std::string line;
  std::getline(in, line);  // column titles
  while (std::getline(in, line)) {
    const size_t tab = line.find('\t');
    if (tab != std::string::npos) reference[line.substr(0, tab)] = line.substr(tab + 1);
  }
  return reference;
}

class WaveFileCorpus : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::ifstream(kCorpus + "MANIFEST.tsv")) {
      GTEST_SKIP() << "corpus not found at " << kCorpus;
    }
  }
  bool Parse(const std::string& path, WaveFormat* format, WaveFileInfo* info,
             ReaderMessage* message) {
    ParseOptions options;
    options.chunks = table.get();
    options.markers = &markers;
    options.dataSaveBytes = 512;
    return ParseWaveFile(path.c_str(), format, info, message, options);
  }
  std::unique_ptr<ChunkTable> table = std::make_unique<ChunkTable>();
  MarkerTable markers;
};

TEST_F(WaveFileCorpus, EveryManifestFileHasAnExpectation) {
  std::ifstream manifest(kCorpus + "MANIFEST.tsv");
  std::string line;
  std::getline(manifest, line);
  int files = 0;
  while (std::getline(manifest, line)) {
    const std::string file = line.substr(0, line.find('\t'));
    bool found = false;
    for (const Expected& e : kExpected) found = found || file == e.file;
    EXPECT_TRUE(found) << file;
    ++files;
  }
  EXPECT_EQ(files, int(std::size(kExpected)));
}

TEST_F(WaveFileCorpus, EachFileParsesAsItsRulesSay) {
  for (const Expected& e : kExpected) {
    SCOPED_TRACE(e.file);
    const std::string path = kCorpus + e.file;
    WaveFormat format{};
    WaveFileInfo info;
    ReaderMessage message;
    // The parse's speed is measured by bench/reader_bench (BM_ParseCorpus).
    const bool ok = Parse(path, &format, &info, &message);
    EXPECT_EQ(ok, e.message[0] == '\0');
    EXPECT_STREQ(message.c_str(), e.message);
    EXPECT_EQ(info.valid, e.valid);
    EXPECT_EQ(info.rf64, e.rf64);
    EXPECT_EQ(info.bext, e.bext);
    EXPECT_EQ(format.formatTag, e.tag);
    EXPECT_EQ(format.channels, e.channels);
    EXPECT_EQ(format.samplesPerSec, e.rate);
    EXPECT_EQ(format.bitsPerSample, e.bits);
    EXPECT_EQ(info.dataOffset, e.dataOffset);
    EXPECT_EQ(info.dataSize, e.dataSize);
    EXPECT_EQ(markers.count, e.markers);
    if (!ok) continue;

    // The reader's own rules, checked against the raw bytes.
    const std::vector<uint8_t> bytes = ReadWhole(path);
    ASSERT_EQ(table->fileSize, bytes.size());
    EXPECT_EQ(0, std::memcmp(table->fileHeader, bytes.data(), 12));
    const bool knownTag =
        format.formatTag == 1 || format.formatTag == 3 || format.formatTag == 0xFFFE;
    EXPECT_EQ(table->valid, info.valid);
    if (info.valid) {
      EXPECT_TRUE(knownTag && table->fmtFound && table->dataFound);
    }
    if (std::string(e.file).rfind("nonpcm/", 0) == 0) {
      EXPECT_FALSE(info.valid);
    }
    EXPECT_EQ(info.silence, format.bitsPerSample == 8 ? 128u : 0u);
    EXPECT_EQ(info.floatWidth, FloatWidth(format));
    if (table->dataFound) {
      EXPECT_LE(info.dataOffset + info.dataSize, bytes.size());
      const uint64_t k = std::min<uint64_t>(512, info.dataSize);
      ASSERT_EQ(table->dataTail.length, k);
      EXPECT_EQ(0, std::memcmp(table->dataTail.content.get(),
                               bytes.data() + info.dataOffset + info.dataSize - k, k));
    }
    for (int i = 0; i < table->count; ++i) {
      const ChunkEntry& c = table->entries[i];
      EXPECT_EQ(c.index, i + 1);
      ASSERT_LE(c.headerOffset + 8 + c.length, bytes.size());
      EXPECT_EQ(0, std::memcmp(c.id, bytes.data() + c.headerOffset, 4));
      EXPECT_EQ(0, std::memcmp(c.content.get(), bytes.data() + c.headerOffset + 8, c.length));
    }
  }
}

// libsndfile as a second opinion where both accept a file. It differs on
// purpose where its notes say so: it drops labels after ltxt/note in an adtl
// list, and counts frames without the pad byte of an odd data size.
TEST_F(WaveFileCorpus, AgreesWithLibsndfileWhereBothAccept) {
  const auto reference = ReadReference();
  ASSERT_FALSE(reference.empty());
  int compared = 0;
  for (const Expected& e : kExpected) {
    SCOPED_TRACE(e.file);
    const auto it = reference.find(e.file);
    ASSERT_NE(it, reference.end());
    const std::string& r = it->second;
    WaveFormat format{};
    WaveFileInfo info;
    ReaderMessage message;
    unsigned long channels = 0, rate = 0;
    unsigned long long theirFrames = 0;
    const size_t at = r.find("ch=");
    if (!Parse(kCorpus + e.file, &format, &info, &message) || !info.valid ||
        at == std::string::npos ||
        std::sscanf(r.c_str() + at, "ch=%lu rate=%lu frames=%llu", &channels, &rate,
                    &theirFrames) != 3) {
      continue;
    }
    ++compared;
    EXPECT_EQ(format.channels, channels);
    EXPECT_EQ(format.samplesPerSec, rate);
    const uint64_t packedAlign = uint64_t(format.channels) * ((format.bitsPerSample + 7) / 8);
    if (format.blockAlign == packedAlign || format.formatTag == 0xFFFE) {
      const bool same = info.dataSize / format.blockAlign == theirFrames;
      const bool padByte =
          info.dataSize % 2 == 0 && (info.dataSize - 1) == theirFrames * format.blockAlign;
      EXPECT_TRUE(same || padByte) << info.dataSize << " bytes vs " << theirFrames << " frames";
    }
    EXPECT_EQ(info.bext, r.find("bext(") != std::string::npos);
    // Cues as "[id@position 'label']", the first four.
    int i = 0;
    for (size_t c = r.find('['); c != std::string::npos; c = r.find('[', c + 1), ++i) {
      unsigned id = 0, position = 0;
      int labelStart = 0;
      ASSERT_EQ(std::sscanf(r.c_str() + c, "[%u@%u '%n", &id, &position, &labelStart), 2);
      const size_t labelEnd = r.find("']", c);
      const std::string label = r.substr(c + labelStart, labelEnd - c - labelStart);
      ASSERT_LT(i, markers.count);
      EXPECT_EQ(markers.markers[i].cueId, id);
      EXPECT_EQ(markers.markers[i].position, position);
      if (!label.empty()) {
        EXPECT_EQ(label, markers.markers[i].label);
      }
    }
  }
  EXPECT_GT(compared, 40);
}

}  // namespace
}  // namespace ov
