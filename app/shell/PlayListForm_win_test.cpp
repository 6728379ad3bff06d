// The play list window: files added and shown, reordered and deleted, saved
// and opened again as M3U, frozen while it plays; and a list played through
// the real engine to "Null Output", recorded back from its monitor.
#include "app/shell/PlayListForm_win.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cmath>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>

#include "app/common/AppMessages.h"
#include "app/engine/ConsoleEngineHost.h"
#include "app/engine/LoopbackSignals.h"
#include "app/engine/WavePlayRec.h"
#include "app/resources/ResourceIds.h"
#include "app/wavefile/PlayListCursor.h"

namespace ov {
namespace {

namespace fs = std::filesystem;
using namespace ov::test;

class RecordingNotifier : public UserNotifier {
 public:
  NoticeAnswer Notify(std::string_view t, NoticeIcon) override {
    texts.emplace_back(t);
    return NoticeAnswer::Yes;
  }
  std::vector<std::string> texts;
};

class TransportDouble : public PlayListHost {
 public:
  void PlayFromRow(int row) override {
    played.push_back(row);
    if (onPlay) onPlay(row);
  }
  void StopCommand() override { ++stops; }
  void SeekToStart() override { ++restarts; }
  void SeekBySeconds(int seconds) override { steps.push_back(seconds); }
  void SilenceChanged(int seconds) override { silence = seconds; }
  uint32_t NowMs() const override { return now; }

  std::vector<int> played, steps;
  std::function<void(int)> onPlay;
  int stops = 0, restarts = 0, silence = -1;
  uint32_t now = 1000;
};

std::string saveAnswer;
std::string SaveDialogDouble(HWND, const wchar_t*, const wchar_t*, const wchar_t*,
                             const std::string&) {
  return saveAnswer;
}

std::string ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class PlayListWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("ov_pl_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::create_directories(dir);
    PlayListOptions o;
    o.silenceSeconds = 0;
    o.saveDialog = SaveDialogDouble;
    form = std::make_unique<TPlayListForm>(transport, notifier, o);
    ASSERT_TRUE(form->CreateForm(nullptr));
    form->ShowForm();
  }
  void TearDown() override {
    form.reset();
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  std::string Tone(const char* name, uint32_t rate, uint16_t channels, size_t frames,
                   double freq = 1000) {
    const std::string p = (dir / name).string();
    std::vector<int16_t> s = Sine(rate, freq, 0.5, frames);
    if (channels == 1) {
      for (size_t i = 0; i < frames; ++i) s[i] = s[2 * i];
      s.resize(frames);
    }
    WriteWave(p, Pcm16(rate, channels), s);
    return p;
  }
  void Pump() {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&m);
      DispatchMessageW(&m);
    }
  }
  void Key(WPARAM key) {
    SendMessageW(form->Control(IDC_PL_GRID), WM_KEYDOWN, key, 0);
    Pump();
  }

  fs::path dir;
  RecordingNotifier notifier;
  TransportDouble transport;
  std::unique_ptr<TPlayListForm> form;
};

TEST_F(PlayListWindow, FilesAddedShowTheirTextsAndAFailureEndsTheAdding) {
  const std::string a = Tone("a.wav", 44100, 2, 44100 * 3);
  const std::string b = Tone("Long Song.WAV", 44100, 1, 1500000);
  const std::string bad = (dir / "bad.wav").string();
  std::ofstream(bad, std::ios::binary) << "RIFF\x04\0\0\0JUNK";
  const std::string c = Tone("c.wav", 44100, 2, 4410);
  form->AddFiles({a, (dir / "notes.txt").string(), b, bad, c});
  ASSERT_EQ(form->List().Count(), 2);
  ASSERT_EQ(notifier.texts.size(), 1u);
  EXPECT_EQ(notifier.texts[0].rfind("Unable to open file.\n [", 0), 0u) << notifier.texts[0];

  EXPECT_EQ(form->CellText(1, 0), L" File name");
  EXPECT_EQ(form->CellText(0, 1), L"  1");
  EXPECT_EQ(form->CellText(2, 1), L"a");
  EXPECT_EQ(form->CellText(3, 1), L"  0m03s");
  EXPECT_EQ(form->CellText(4, 1), L"44100 16 2");
  EXPECT_EQ(form->CellText(5, 1), L"  0");
  EXPECT_EQ(form->CellText(6, 1), std::wstring(a.begin(), a.end()));
  EXPECT_EQ(form->CellText(2, 2), L"Long Song");
  EXPECT_EQ(form->CellText(3, 2), L"  0m34s");  // 34.01 s
  EXPECT_EQ(form->CellText(4, 2), L"44100 16 1");
  // The path column is the path shortened in its middle, ending in the name.
  const std::wstring shown = form->CellText(1, 2);
  EXPECT_NE(shown.find(L"Long Song.WAV"), std::wstring::npos) << shown;
  EXPECT_EQ(form->TotalTimeText(), L"00m37s");
  EXPECT_TRUE(IsWindowEnabled(form->Control(IDC_PL_PLAY_BUTTON)));
  EXPECT_FALSE(IsWindowEnabled(form->Control(IDC_PL_STOP_BUTTON)));
  wchar_t caption[64];
  GetWindowTextW(form->hwnd(), caption, 64);
  EXPECT_STREQ(caption, L"Orlavisonic - Playlist");
  RECT client;
  GetClientRect(form->hwnd(), &client);
  EXPECT_EQ(client.right, TPlayListForm::kClientWidth);

  // Play starts from the remembered row (row 1 after an add).
  form->PlayButtonClick();
  ASSERT_EQ(transport.played.size(), 1u);
  EXPECT_EQ(transport.played[0], 1);
}

TEST_F(PlayListWindow, UpDownDeleteAndSilenceEditTheRows) {
  form->AddFiles({Tone("one.wav", 44100, 2, 4410), Tone("two.wav", 44100, 2, 4410),
                  Tone("three.wav", 44100, 2, 4410)});
  form->SelectRow(2);
  form->UpButtonClick();
  EXPECT_EQ(form->CellText(2, 1), L"two");
  EXPECT_EQ(form->CellText(2, 2), L"one");
  EXPECT_EQ(form->List().Selected(), 1);
  form->UpButtonClick();  // at the top: nothing
  EXPECT_EQ(form->CellText(2, 1), L"two");
  form->SelectRow(3);
  form->DownButtonClick();  // at the bottom: nothing
  EXPECT_EQ(form->CellText(2, 3), L"three");
  form->SelectRow(1);
  form->DownButtonClick();
  EXPECT_EQ(form->CellText(2, 2), L"two");
  EXPECT_EQ(form->CellText(0, 2), L"  2");

  // The silence box's value goes to the selected rows on a double click in
  // the silence column; the setting follows every change of the box.
  SetWindowTextW(form->Control(IDC_PL_SILENCE_COMBO), L"4");
  SendMessageW(form->hwnd(), WM_COMMAND, MAKEWPARAM(IDC_PL_SILENCE_COMBO, CBN_EDITCHANGE),
               reinterpret_cast<LPARAM>(form->Control(IDC_PL_SILENCE_COMBO)));
  EXPECT_EQ(transport.silence, 4);
  form->SelectRow(3);
  form->GridDoubleClick(3, 5);
  EXPECT_EQ(form->CellText(5, 3), L"  4");
  EXPECT_EQ(form->List().Row(3).item.trailingSilence, 4u * 44100 * 4);
  EXPECT_EQ(form->CellText(5, 1), L"  0");

  // The Delete key removes the selected row; Del.All the rest.
  form->SelectRow(2);
  Key(VK_DELETE);
  ASSERT_EQ(form->List().Count(), 2);
  EXPECT_EQ(form->CellText(2, 2), L"three");
  form->DeleteAllButtonClick();
  EXPECT_EQ(form->List().Count(), 0);
  EXPECT_EQ(form->TotalTimeText(), L"00m00s");
  EXPECT_FALSE(IsWindowEnabled(form->Control(IDC_PL_PLAY_BUTTON)));
}

TEST_F(PlayListWindow, SavedListOpensAgainAsTheSameRows) {
  form->AddFiles(
      {Tone("intro.wav", 44100, 2, 44100 * 2), Tone("Second, song.wav", 48000, 1, 4800)});
  // A title typed in place in the title column.
  CheckDlgButton(form->hwnd(), IDC_PL_TITLE_CHECK, BST_CHECKED);
  form->TitleCheckBoxClick();
  form->GridDoubleClick(1, 2);
  HWND edit = form->Control(IDC_PL_TITLE_EDIT);
  ASSERT_NE(edit, nullptr);
  SetWindowTextW(edit, L"Intro: part 1");
  SendMessageW(form->hwnd(), WM_COMMAND, IDOK, 0);
  EXPECT_EQ(form->CellText(2, 1), L"Intro: part 1");
  form->SelectRow(2);
  SetWindowTextW(form->Control(IDC_PL_SILENCE_COMBO), L"1");
  form->GridDoubleClick(2, 5);

  saveAnswer = (dir / "LIST.M3U").string();
  form->SaveButtonClick();
  ASSERT_TRUE(notifier.texts.empty()) << notifier.texts[0];
  const std::string bytes = ReadAll(saveAnswer);
  EXPECT_EQ(bytes, M3uText(form->List()));
  EXPECT_EQ(bytes.rfind("#EXTM3U\r\n#EXTINF:2,Intro: part 1\r\n", 0), 0u) << bytes;
  EXPECT_NE(bytes.find("# Silence: 1\r\n"), std::string::npos);

  std::vector<std::wstring> before;
  for (int r = 1; r <= 2; ++r)
    for (int c = 0; c < 7; ++c) before.push_back(form->CellText(c, r));
  form->DeleteAllButtonClick();
  form->LoadListFile(saveAnswer);
  ASSERT_EQ(form->List().Count(), 2);
  std::vector<std::wstring> after;
  for (int r = 1; r <= 2; ++r)
    for (int c = 0; c < 7; ++c) after.push_back(form->CellText(c, r));
  EXPECT_EQ(after, before);
  EXPECT_TRUE(notifier.texts.empty());

  // A list that registers nothing keeps the rows and says so.
  const std::string empty = (dir / "EMPTY.M3U").string();
  std::ofstream(empty, std::ios::binary) << "#EXTM3U\r\nmissing.wav\r\n";
  form->LoadListFile(empty);
  EXPECT_EQ(form->List().Count(), 2);
  ASSERT_FALSE(notifier.texts.empty());
  EXPECT_EQ(notifier.texts.back(), "Unable to register file.\n\n" + empty);
}

TEST_F(PlayListWindow, FrozenWhilePlaying) {
  const std::string a = Tone("a.wav", 44100, 2, 4410), b = Tone("b.wav", 44100, 2, 4410);
  form->AddFiles({a, b});
  SendMessageW(form->hwnd(), WM_PLAYING_STATE, 1, 0);
  EXPECT_FALSE(IsWindowEnabled(form->Control(IDC_PL_PLAY_BUTTON)));
  EXPECT_FALSE(IsWindowEnabled(form->Control(IDC_PL_DELETE_BUTTON)));
  EXPECT_FALSE(IsWindowEnabled(form->Control(IDC_PL_OPEN_BUTTON)));
  EXPECT_TRUE(IsWindowEnabled(form->Control(IDC_PL_STOP_BUTTON)));
  EXPECT_TRUE(IsWindowEnabled(form->Control(IDC_PL_NEXT_BUTTON)));
  form->SelectRow(1);
  Key(VK_DELETE);
  form->UpButtonClick();
  form->DeleteAllButtonClick();
  form->GridDoubleClick(1, 5);
  EXPECT_EQ(form->List().Count(), 2);
  // A dropped list would replace the rows: ignored; a dropped wave is appended.
  saveAnswer = (dir / "X.M3U").string();
  std::ofstream(saveAnswer, std::ios::binary) << "#EXTM3U\r\n" << a << "\r\n";
  form->DropFiles({b, saveAnswer});
  EXPECT_EQ(form->List().Count(), 3);
  EXPECT_EQ(form->CellText(2, 1), L"a");
  EXPECT_FALSE(form->HideForm());
  EXPECT_TRUE(IsWindowVisible(form->hwnd()));

  // Next and Previous; rewind steps grow while held.
  form->SelectRow(2);
  form->NextButtonClick();
  form->PreviousButtonClick();  // restarts the current file
  transport.now += 300;
  form->PreviousButtonClick();  // within 500 ms: the previous row
  EXPECT_EQ(transport.restarts, 1);
  ASSERT_EQ(transport.played.size(), 2u);
  EXPECT_EQ(transport.played[0], 3);
  EXPECT_EQ(transport.played[1], 1);

  SendMessageW(form->hwnd(), WM_PLAYING_STATE, 0, 0);
  form->DeleteButtonClick();
  EXPECT_EQ(form->List().Count(), 2);
  EXPECT_TRUE(form->HideForm());
}

// A list of two items of one format with one second of silence after the
// first plays as tone, 1 s of silence, tone, with no other gap.
TEST_F(PlayListWindow, ListPlaysGaplessWithItsSilenceThroughTheEngine) {
  form->AddFiles(
      {Tone("first.wav", 44100, 2, 44100, 440), Tone("second.wav", 44100, 2, 44100, 440)});
  form->SelectRow(1);
  SetWindowTextW(form->Control(IDC_PL_SILENCE_COMBO), L"1");
  form->GridDoubleClick(1, 5);
  ASSERT_EQ(form->CellText(5, 1), L"  1");

  PlayListCursor cursor(form->List());
  ConsoleEngineHost host, recHost;
  RecordingNotifier n2;
  std::atomic<int32_t> play{0}, rec{0}, play2{0}, rec2{0};
  EngineCallbacks cb;
  cb.OnPlayListCursor = [&](bool peek) -> const PlayItem* {
    const PlayItem* item = cursor.Answer(peek, play.load() == kPlayPlaying);
    if (!peek && item != nullptr) form->SelectRow(cursor.Current());
    return item;
  };
  WavePlayRec player(host, n2, play, rec, std::move(cb), EngineSettings{});
  WavePlayRec recorder(recHost, n2, play2, rec2, {}, EngineSettings{});
  auto find = [](WavePlayRec& e, const char* name, AudioDirection d) {
    for (uint32_t i = 1; i <= e.GetDeviceCount(d); ++i)
      if (e.GetDeviceName(i, d) == name) return static_cast<int32_t>(i);
    return -1;
  };
  const int32_t out = find(player, "Null Output", AudioDirection::Output);
  const int32_t in = find(recorder, "Monitor of Null Output", AudioDirection::Input);
  if (out < 0 || in < 0) GTEST_SKIP() << "no loopback devices";

  const std::string recName = (dir / "REC.WAV").string();
  ASSERT_EQ(recorder.OpenRec(recName.c_str(), Pcm16(44100, 2)), EngineResult::Ok);
  ASSERT_EQ(recorder.StartRec(in), EngineResult::Ok);
  ASSERT_TRUE(host.PumpUntil([&] { return rec2.load() == kRecRecording; }, 20000));
  host.PumpUntil([] { return false; }, 1000);

  transport.onPlay = [&](int row) {
    cursor.Start(row);
    const PlayItem* item = cursor.CurrentItem();
    ASSERT_NE(item, nullptr);
    ASSERT_EQ(player.OpenPlay(item->fileName, item), EngineResult::Ok) << player.GetMessage();
    ASSERT_EQ(player.StartPlay(out), EngineResult::Ok) << player.GetMessage();
    SendMessageW(form->hwnd(), WM_PLAYING_STATE, 1, 0);
  };
  form->PlayButtonClick();
  ASSERT_TRUE(host.PumpUntil([&] { return host.CountOf(WM_PLAY_END) > 0; }, 30000));
  SendMessageW(form->hwnd(), WM_PLAYING_STATE, 0, 0);
  host.PumpUntil([] { return false; }, 600);
  recorder.Stop();
  EXPECT_EQ(form->List().Selected(), 2);  // the row playing was selected

  const std::vector<double> x = LeftChannel(recName);
  ASSERT_GT(x.size(), 44100u * 3);
  // Quiet runs (|x| below a tenth of the amplitude) between the first and
  // the last loud sample: one of a second, none other longer than a few
  // samples around the zero crossings.
  const double quiet = 0.05 * 32767;
  size_t first = 0, last = 0;
  for (size_t i = 0; i < x.size(); ++i) {
    if (std::abs(x[i]) > 4 * quiet) {
      if (first == 0) first = i;
      last = i;
    }
  }
  ASSERT_GT(last, first);
  std::vector<size_t> runs;
  size_t run = 0;
  for (size_t i = first; i <= last; ++i) {
    if (std::abs(x[i]) < quiet) {
      ++run;
    } else {
      if (run > 0) runs.push_back(run);
      run = 0;
    }
  }
  std::sort(runs.rbegin(), runs.rend());
  ASSERT_GE(runs.size(), 2u);
  std::printf("[ GAP      ] silence between the items: %.1f ms\n", runs[0] * 1000.0 / 44100);
  EXPECT_NEAR(double(runs[0]), 44100.0, 44100 * 0.030);  // 1 s, within 30 ms
  EXPECT_LT(runs[1], 20u) << "a second gap";
  EXPECT_NEAR(double(last - first), 3 * 44100.0, 44100 * 0.05);
  EXPECT_NEAR(MedianFrequency(x, first + 100, first + 40000, 44100), 440.0, 2.0);
  EXPECT_NEAR(MedianFrequency(x, last - 40000, last - 100, 44100), 440.0, 2.0);
}

}  // namespace
}  // namespace ov

namespace ov {
namespace {

// A list of 99 items opens with every row filled; the time of the open (the
// validation of each file by its header and the grid) is printed.
TEST_F(PlayListWindow, NinetyNineItemListOpensWithEveryRowShown) {
  const std::string first = Tone("item0.wav", 44100, 2, 44100 * 3);
  std::string text = "#EXTM3U\r\n";
  for (int i = 0; i < 99; ++i) {
    const std::string name = "item" + std::to_string(i) + ".wav";
    if (i > 0) fs::copy_file(first, dir / name);
    text += name + "\r\n";
  }
  const std::string list = (dir / "NINETYNINE.M3U").string();
  std::ofstream(list, std::ios::binary) << text;
  const auto t0 = std::chrono::steady_clock::now();
  form->LoadListFile(list);
  Pump();
  const double ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
  ASSERT_EQ(form->List().Count(), 99);
  EXPECT_TRUE(notifier.texts.empty()) << notifier.texts[0];
  EXPECT_EQ(form->CellText(3, 99), form->CellText(3, 1));  // each row's time text
  EXPECT_NE(form->CellText(1, 99).find(L"item98.wav"), std::wstring::npos);
  std::printf("open of a 99-item list: %.0f ms\n", ms);
}

}  // namespace
}  // namespace ov
