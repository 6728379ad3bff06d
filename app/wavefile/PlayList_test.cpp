// The play list model and its M3U files: validation, texts, edits, the
// robust reader over hand-made lists, and write -> read round trips.
#include "app/wavefile/PlayList.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "app/wavefile/WaveFileTestBytes.h"

namespace ov {
namespace {

using namespace testbytes;

// Named in-memory wave files for validation.
struct Files {
  MemoryFiles memory;
  SourceOpener opener = memory.Opener();
  void Wave(const std::string& name, uint32_t rate, uint16_t channels, uint16_t bits,
            size_t dataBytes) {
    memory.files[name] = Riff(Fmt(1, channels, rate, bits) + Chunk("data", Fill(dataBytes, 0)));
  }
  std::unique_ptr<PlayList> List() {
    auto l = std::make_unique<PlayList>();
    l->opener = &opener;
    return l;
  }
};

TEST(PlayList, RowsTakeTimeFormatTitleAndSilence) {
  Files f;
  f.Wave("/m/song.wav", 44100, 1, 16, 1500000 * 2);  // 34.01 s
  f.memory.files["/m/float.wav"] =
      Riff(Fmt(3, 2, 48000, 32) + Chunk("data", Fill(48000 * 8 * 3, 0)));
  auto l = f.List();
  std::string message;
  ASSERT_EQ(l->AddFile("/m/song.wav", 4, &message), AddResult::Added) << message;
  l->SetPendingTitle("Intro, part: 1");
  ASSERT_EQ(l->AddFile("/m/float.wav", 0, &message), AddResult::Added) << message;
  EXPECT_EQ(PlayListTimeText(l->Row(1).durationSeconds), "  0m34s");
  EXPECT_EQ(l->Row(1).title, "song");
  EXPECT_EQ(l->Row(2).title, "Intro, part: 1");
  EXPECT_EQ(PlayListFormatText(l->Row(1).item.format, l->Row(1).item.floatWidth), "44100 16 1");
  EXPECT_EQ(PlayListFormatText(l->Row(2).item.format, l->Row(2).item.floatWidth), "48000 F32 2");
  EXPECT_EQ(l->Row(1).item.trailingSilence, 4u * 44100 * 2);
  EXPECT_EQ(l->Row(1).item.valid, 0);
  EXPECT_EQ(l->TotalSeconds(), 34u + 4 + 3);
  EXPECT_EQ(PlayListTotalText(l->TotalSeconds()), "00m41s");
  EXPECT_EQ(PlayListTotalText(0), "00m00s");
  EXPECT_EQ(PlayListTotalText(6000), "100m00s");
  EXPECT_EQ(l->ItemAt(2), &l->Row(2).item);
  EXPECT_EQ(l->ItemAt(3), nullptr);
  EXPECT_EQ(l->ItemAt(0), nullptr);
}

TEST(PlayList, SilenceIsWholeFramesWhateverTheStoredByteRate) {
  WaveFormat f{};
  f.samplesPerSec = 44100;
  f.blockAlign = 6;
  f.avgBytesPerSec = 12345;  // wrong in the file
  EXPECT_EQ(SilenceBytes(f, 2), 2u * 44100 * 6);
  f.samplesPerSec = 384000;
  f.blockAlign = 64;
  EXPECT_EQ(SilenceBytes(f, 99) % 64, 0u);
  EXPECT_LE(SilenceBytes(f, 99), 0xFFFFFFFFu);
  EXPECT_EQ(SilenceBytes(f, 0), 0u);
}

TEST(PlayList, RefusalsCarryTheirBoxTexts) {
  Files f;
  f.memory.files["/m/adpcm.wav"] = Riff(Fmt(2, 1, 8000, 4) + Chunk("data", Fill(100, 0)));
  f.memory.files["/m/norate.wav"] = Riff(Fmt(1, 1, 0, 16) + Chunk("data", Fill(100, 0)));
  Bytes noAlign = Fmt(1, 1, 8000, 16);
  noAlign[8 + 12] = 0;  // block align 0
  f.memory.files["/m/noalign.wav"] = Riff(noAlign + Chunk("data", Fill(100, 0)));
  f.memory.files["/m/nodata.wav"] = Riff(Fmt(1, 1, 8000, 16));
  f.memory.files["/m/text.wav"] = Text("not a wave file at all");
  auto l = f.List();
  std::string m;
  EXPECT_EQ(l->AddFile("/m/missing.wav", 0, &m), AddResult::Refused);
  EXPECT_EQ(m, "Unable to open file.\n [file not found]\n\n/m/missing.wav");
  EXPECT_EQ(l->AddFile("/m/text.wav", 0, &m), AddResult::Refused);
  EXPECT_EQ(m, "Unable to open file.\n [Not RIFF/RF64 file]\n\n/m/text.wav");
  EXPECT_EQ(l->AddFile("/m/adpcm.wav", 0, &m), AddResult::Refused);
  EXPECT_EQ(m, "Unsupported format.\n [Not PCM file]\n\n/m/adpcm.wav");
  EXPECT_EQ(l->AddFile("/m/norate.wav", 0, &m), AddResult::Refused);
  EXPECT_EQ(m, "Unsupported format.\n [Not PCM file]\n\n/m/norate.wav");
  EXPECT_EQ(l->AddFile("/m/noalign.wav", 0, &m), AddResult::Refused);
  EXPECT_EQ(l->AddFile("/m/nodata.wav", 0, &m), AddResult::Refused);
  EXPECT_EQ(m, "This file is not valid PCM wave file.\n\n/m/nodata.wav");
  EXPECT_EQ(l->Count(), 0);
  // The 100th file is refused without a message.
  f.Wave("/m/a.wav", 8000, 1, 16, 16000);
  for (int i = 0; i < 99; ++i) ASSERT_EQ(l->AddFile("/m/a.wav", 0, &m), AddResult::Added);
  EXPECT_EQ(l->AddFile("/m/a.wav", 0, &m), AddResult::ListFull);
  EXPECT_TRUE(m.empty());
}

TEST(PlayList, EditsAtBothEndsAndNothingWhileFrozen) {
  Files f;
  for (const char* n : {"/m/1.wav", "/m/2.wav", "/m/3.wav"}) f.Wave(n, 8000, 1, 16, 1600);
  auto l = f.List();
  std::string m;
  for (const char* n : {"/m/1.wav", "/m/2.wav", "/m/3.wav"}) l->AddFile(n, 0, &m);
  auto titles = [&] {
    std::string s;
    for (int r = 1; r <= l->Count(); ++r) s += l->Row(r).title;
    return s;
  };
  l->SelectRow(1);
  EXPECT_FALSE(l->MoveUp());
  EXPECT_TRUE(l->MoveDown());
  EXPECT_EQ(titles(), "213");
  EXPECT_EQ(l->Selected(), 2);
  l->SelectRow(3);
  EXPECT_FALSE(l->MoveDown());
  EXPECT_TRUE(l->MoveUp());
  EXPECT_EQ(titles(), "231");
  l->SetFrozen(true);
  const PlayItem* playing = l->ItemAt(2);
  EXPECT_FALSE(l->Delete());
  EXPECT_FALSE(l->MoveUp());
  EXPECT_FALSE(l->DeleteAll());
  EXPECT_FALSE(l->SetSilence(1, 3, 5));
  EXPECT_EQ(l->AddFile("/m/1.wav", 0, &m), AddResult::Added);  // appending moves nothing
  EXPECT_EQ(l->ItemAt(2), playing);
  EXPECT_EQ(titles(), "2311");
  l->SetFrozen(false);
  l->SelectRow(4);
  EXPECT_TRUE(l->Delete());
  EXPECT_EQ(l->Selected(), 3);
  EXPECT_TRUE(l->SetSilence(1, 3, 7));
  EXPECT_EQ(l->Row(3).item.trailingSilence, 7u * 16000);
  EXPECT_TRUE(l->DeleteAll());
  EXPECT_EQ(l->Count(), 0);
  EXPECT_FALSE(l->Delete());
}

TEST(PlayList, PreviousWithinHalfASecondPlaysThePreviousRow) {
  PlayList l;
  using A = PlayList::PreviousAction;
  EXPECT_EQ(l.Previous(1000), A::RestartCurrent);
  EXPECT_EQ(l.Previous(1499), A::PlayPrevious);
  EXPECT_EQ(l.Previous(1600), A::RestartCurrent);
  EXPECT_EQ(l.Previous(2100), A::RestartCurrent);  // 500 ms later: a new first press
  EXPECT_EQ(l.Previous(0xFFFFFF00u), A::RestartCurrent);
  EXPECT_EQ(l.Previous(0x00000010u), A::PlayPrevious);  // across the tick wrap
}

TEST(PlayList, WindStepsGrowWithTheRepeats) {
  int fives = 0, tens = 0, thirties = 0;
  for (int r = 1; r <= 40; ++r) {
    const int s = PlayList::WindStepSeconds(r);
    fives += s == 5, tens += s == 10, thirties += s == 30;
  }
  EXPECT_EQ(fives, 25);
  EXPECT_EQ(tens, 10);
  EXPECT_EQ(thirties, 5);
  EXPECT_EQ(PlayList::WindStepSeconds(51), 60);
  EXPECT_EQ(PlayList::WindStepSeconds(70), 120);
}

TEST(M3u, ReaderTakesEachLineForm) {
  struct Case {
    const char* name;
    std::string text;
    std::vector<std::string> paths;
    std::vector<std::string> titles;  // "" for none
    std::vector<int> silences;
  } cases[] = {
      {"as Save writes it",
       "#EXTM3U\r\n#EXTINF:725,Intro\r\nC:\\a.wav\r\n# Silence: 4\r\n",
       {"C:\\a.wav"},
       {"Intro"},
       {4}},
      {"LF only, no title", "a.wav\nb.wav\n", {"a.wav", "b.wav"}, {"", ""}, {-1, -1}},
      {"last line without line feed",
       "#EXTINF:100,Song A\na.wav\n# Silence:10",
       {"a.wav"},
       {"Song A"},
       {10}},
      {"path without line feed", "a.wav\nb.wav", {"a.wav", "b.wav"}, {"", ""}, {-1, -1}},
      {"comments and sections", ";x\n[list]\n\n a comment\na.wav\n", {"a.wav"}, {""}, {-1}},
      {"title with commas and colons",
       "#EXTINF:12,Artist: Song, live\na.wav\n",
       {"a.wav"},
       {"Artist: Song, live"},
       {-1}},
      {"silence before any row", "# Silence: 5\na.wav\n", {"a.wav"}, {""}, {-1}},
      {"silence out of range",
       "a.wav\n# Silence: 99999\nb.wav\n# Silence: -1\nc.wav\n# Silence: x\n",
       {"a.wav", "b.wav", "c.wav"},
       {"", "", ""},
       {-1, -1, -1}},
      {"BOM", "\xEF\xBB\xBF#EXTM3U\na.wav\n", {"a.wav"}, {""}, {-1}},
      {"NUL in a line", std::string("a\0b.wav\nc.wav\n", 14), {"c.wav"}, {""}, {-1}},
      {"no line feed at all", "#EXTM3U", {}, {}, {}},
  };
  for (const Case& c : cases) {
    const std::vector<M3uEntry> e = ParseM3u(c.text);
    ASSERT_EQ(e.size(), c.paths.size()) << c.name;
    for (size_t i = 0; i < e.size(); ++i) {
      EXPECT_EQ(e[i].path, c.paths[i]) << c.name;
      EXPECT_EQ(e[i].title, c.titles[i]) << c.name;
      EXPECT_EQ(e[i].hasTitle, !c.titles[i].empty()) << c.name;
      EXPECT_EQ(e[i].silenceSeconds, c.silences[i]) << c.name;
    }
  }
}

TEST(M3u, LongLinesAreCutAndTheirRestIsNoLine) {
  const std::string longPath = std::string(300, 'p') + ".wav";
  const std::string tooLong = std::string(355, 'x') + "rest.wav";
  const auto e = ParseM3u(longPath + "\n" + tooLong + "\nz.wav\n");
  ASSERT_EQ(e.size(), 3u);
  EXPECT_EQ(e[0].path, longPath);
  EXPECT_EQ(e[1].path, tooLong.substr(0, 360));
  EXPECT_EQ(e[2].path, "z.wav");
}

TEST(M3u, AnsiLinesAreConverted) {
  M3uOptions o;
  o.ansiToUtf8 = [](std::string_view s) { return "[" + std::string(s.size(), '?') + "]"; };
  const auto e = ParseM3u("caf\xE9.wav\nUTF-8 caf\xC3\xA9.wav\n", o);
  ASSERT_EQ(e.size(), 2u);
  EXPECT_EQ(e[0].path, "[????????]");
  EXPECT_EQ(e[1].path, "UTF-8 caf\xC3\xA9.wav");
}

TEST(M3u, WriteThenReadRoundTrips) {
  Files f;
  f.Wave("/m/x.wav", 1000, 1, 8, 1000 * 725);  // 12 min 5 s
  f.Wave("/m/y.wav", 8000, 1, 16, 16000);
  auto l = f.List();
  std::string m;
  l->SetPendingTitle("Intro");
  l->AddFile("/m/x.wav", 4, &m);
  l->AddFile("/m/y.wav", 10, &m);
  const std::string text = M3uText(*l);
  EXPECT_EQ(text,
            "#EXTM3U\r\n#EXTINF:725,Intro\r\n/m/x.wav\r\n# Silence: 4\r\n"
            "#EXTINF:1,y\r\n/m/y.wav\r\n# Silence:10\r\n");
  f.memory.files["/lists/l.m3u"] = Bytes(text.begin(), text.end());
  auto back = f.List();
  M3uOptions o;
  o.opener = &f.opener;
  const PlayListLoad load = LoadM3u("/lists/l.m3u", back.get(), 0, Language::English, o);
  ASSERT_TRUE(load.ok);
  EXPECT_TRUE(load.messages.empty());
  EXPECT_EQ(M3uText(*back), text);
}

TEST(M3u, OpenKeepsTheOldListWhenNothingRegistersAndResolvesFromTheListFolder) {
  Files f;
  f.Wave("/lists/rel.wav", 8000, 1, 16, 1600);
  f.Wave("/m/keep.wav", 8000, 1, 16, 1600);
  f.memory.files["/lists/bad.M3U"] = Text("missing.wav\n");
  f.memory.files["/lists/rel.m3u"] = Text("rel.wav\nmissing.wav\nrel.wav\n");
  f.memory.files["/lists/binary.m3u"] = Fill(2000, 0) + Text("\x01\x02\xFF");
  M3uOptions o;
  o.opener = &f.opener;
  auto l = f.List();
  std::string m;
  l->AddFile("/m/keep.wav", 0, &m);
  PlayListLoad load = LoadM3u("/lists/bad.M3U", l.get(), 0, Language::English, o);
  EXPECT_FALSE(load.ok);
  ASSERT_EQ(load.messages.size(), 2u);
  EXPECT_EQ(load.messages[0], "Unable to open file.\n [file not found]\n\n/lists/missing.wav");
  EXPECT_EQ(load.messages[1], "Unable to register file.\n\n/lists/bad.M3U");
  ASSERT_EQ(l->Count(), 1);
  EXPECT_EQ(l->Row(1).title, "keep");
  load = LoadM3u("/lists/binary.m3u", l.get(), 0, Language::English, o);
  EXPECT_FALSE(load.ok);
  EXPECT_EQ(l->Count(), 1);
  load = LoadM3u("/lists/list.txt", l.get(), 0, Language::English, o);
  EXPECT_EQ(load.messages.at(0), "File extent is not 'WAV' or 'M3U'.\n\n/lists/list.txt");
  load = LoadM3u("/lists/none.m3u", l.get(), 0, Language::English, o);
  EXPECT_EQ(load.messages.at(0), "Unable to open file.\n\n/lists/none.m3u");
  // The first failure ends the reading; the rows before it stay.
  load = LoadM3u("/lists/rel.m3u", l.get(), 3, Language::English, o);
  EXPECT_TRUE(load.ok);
  ASSERT_EQ(l->Count(), 1);
  EXPECT_STREQ(l->Row(1).item.fileName, "/lists/rel.wav");
  EXPECT_EQ(l->Row(1).silenceSeconds, 3);
  // While playing the list is not replaced.
  l->SetFrozen(true);
  EXPECT_FALSE(LoadM3u("/lists/rel.m3u", l.get(), 0, Language::English, o).ok);
}

TEST(M3u, FilesPastThe99thAreCountedOnce) {
  Files f;
  f.Wave("/m/a.wav", 8000, 1, 16, 1600);
  std::string text;
  for (int i = 0; i < 150; ++i) text += "/m/a.wav\n";
  f.memory.files["/l.m3u"] = Bytes(text.begin(), text.end());
  M3uOptions o;
  o.opener = &f.opener;
  auto l = f.List();
  const PlayListLoad load = LoadM3u("/l.m3u", l.get(), 0, Language::English, o);
  EXPECT_TRUE(load.ok);
  EXPECT_EQ(l->Count(), 99);
  EXPECT_EQ(load.leftOut, 51);
  ASSERT_EQ(load.messages.size(), 1u);
  EXPECT_EQ(load.messages[0], "51 files were left out: the list holds 99.");
}

}  // namespace
}  // namespace ov

namespace ov {
namespace {

TEST(M3u, LinesThatAreNotUtf8ComeFromTheSystemCodePage) {
  // "caf\xE9" is "café" in Latin-1 and in Windows-1252 alike.
  const auto e = ParseM3u("caf\xE9.wav\n");
  ASSERT_EQ(e.size(), 1u);
  EXPECT_EQ(e[0].path, "caf\xC3\xA9.wav");
}

// Save replaces the old list only once the new one is complete.
TEST(M3u, SaveReplacesTheListFileAndAFailureKeepsTheOldOne) {
  namespace fs = std::filesystem;
  const fs::path dir =
      fs::temp_directory_path() /
      ("ov_m3u_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
  fs::create_directories(dir);
  const std::string wave = (dir / "t.wav").u8string();
  {
    const Bytes b = Riff(Fmt(1, 1, 8000, 16) + Chunk("data", Fill(16000, 0)));
    std::ofstream(wave, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), b.size());
  }
  PlayList l;
  std::string m;
  ASSERT_EQ(l.AddFile(wave, 2, &m), AddResult::Added) << m;
  const std::string name = (dir / "\xC3\xA4 list.M3U").u8string();
  {
    std::ofstream old(fs::u8path(name), std::ios::binary);
    old << "old list";
  }
  EXPECT_EQ(SaveM3u(name, l, Language::English), "");
  std::ifstream in(fs::u8path(name), std::ios::binary);
  const std::string saved((std::istreambuf_iterator<char>(in)), {});
  EXPECT_EQ(saved, M3uText(l));
  EXPECT_FALSE(fs::exists(fs::u8path(name + ".tmp")));
  const std::string nowhere = (dir / "no such folder" / "x.m3u").u8string();
  EXPECT_EQ(SaveM3u(nowhere, l, Language::English), "Unable to create file.\n\n" + nowhere);
  std::error_code ec;
  fs::remove_all(dir, ec);
}

}  // namespace
}  // namespace ov

namespace ov {
namespace {

// Counts the bytes read through the sources it opens.
class CountingSource : public ByteSource {
 public:
  CountingSource(std::unique_ptr<ByteSource> inner, uint64_t& total)
      : inner_(std::move(inner)), total_(total) {}
  uint64_t Size() const override { return inner_->Size(); }
  size_t Read(void* destination, size_t count) override {
    const size_t got = inner_->Read(destination, count);
    total_ += got;
    return got;
  }
  bool SeekTo(uint64_t offset) override { return inner_->SeekTo(offset); }
  bool SeekBy(int64_t delta) override { return inner_->SeekBy(delta); }

 private:
  std::unique_ptr<ByteSource> inner_;
  uint64_t& total_;
};

// Opening a list of 99 ten-second items validates each from its header: the
// bytes read stay a small multiple of the header, never the samples.
TEST(M3u, OpeningNinetyNineItemsReadsTheirHeadersNotTheirSamples) {
  Files f;
  std::string text = "#EXTM3U\r\n";
  for (int i = 0; i < 99; ++i) {
    const std::string name = "/m/item" + std::to_string(i) + ".wav";
    f.Wave(name, 44100, 2, 16, 44100 * 4 * 10);
    text += name + "\r\n";
  }
  f.memory.files["/l.m3u"] = Bytes(text.begin(), text.end());
  uint64_t waveBytesRead = 0;
  const SourceOpener counting = [&](const char* name) -> std::unique_ptr<ByteSource> {
    std::unique_ptr<ByteSource> s = f.opener(name);
    if (!s || std::string(name).find(".wav") == std::string::npos) return s;
    return std::make_unique<CountingSource>(std::move(s), waveBytesRead);
  };
  M3uOptions o;
  o.opener = &counting;
  auto l = f.List();
  l->opener = &counting;
  const PlayListLoad load = LoadM3u("/l.m3u", l.get(), 0, Language::English, o);
  ASSERT_TRUE(load.ok);
  ASSERT_EQ(l->Count(), 99);
  EXPECT_LE(waveBytesRead, 99u * 4096u) << "of " << 99u * (44100u * 4 * 10 + 44) << " bytes";
  EXPECT_GE(waveBytesRead, 99u * 44u);  // each header was read
}

}  // namespace
}  // namespace ov
