// Support for the tests that run the real OV.exe under Wine: a program folder
// of its own per test, its settings file, the process, its windows, a tone
// file and the loopback monitor heard while something happens. Test code only.
#pragma once

#include <windows.h>

#include <mmsystem.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

namespace ov::ovprogram_test {

namespace fs = std::filesystem;

inline fs::path TestFolder() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return fs::path(path).parent_path();
}

// A fresh folder holding the program; `withLibrary` false leaves KP05DLL.DLL out.
inline fs::path ProgramFolder(const std::string& name, bool withLibrary = true) {
  const fs::path dir = fs::temp_directory_path() / ("ovprog_" + name);
  std::error_code ec;
  fs::remove_all(dir, ec);
  fs::create_directories(dir);
  const fs::path src = TestFolder();
  fs::copy_file(src / "OV.exe", dir / "OV.exe");
  fs::copy_file(src / "OV.chm", dir / "OV.chm");
  if (withLibrary) fs::copy_file(src / "KP05DLL.DLL", dir / "KP05DLL.DLL");
  return dir;
}

inline void WriteIni(const fs::path& file, const std::string& window) {
  std::ofstream(file) << "[Version]\r\nVer=1.00\r\n[Window]\r\nDispHelp=1\r\n" << window;
}

inline std::string ReadFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class Process {
 public:
  Process(const fs::path& exe, const std::wstring& args, const fs::path& cwd = {}) {
    std::wstring cmd = L"\"" + exe.wstring() + L"\"" + (args.empty() ? L"" : L" " + args);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    started_ = GetTickCount();
    ok_ = CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                         cwd.empty() ? nullptr : cwd.c_str(), &si, &pi_);
  }
  ~Process() {
    if (!ok_) return;
    if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(pi_.hProcess, 9);
      WaitForSingleObject(pi_.hProcess, 5000);
    }
    CloseHandle(pi_.hThread);
    CloseHandle(pi_.hProcess);
  }
  bool ok() const { return ok_ != 0; }
  DWORD id() const { return pi_.dwProcessId; }
  DWORD started() const { return started_; }
  // True when the process ended within ms.
  bool WaitExit(DWORD ms) { return WaitForSingleObject(pi_.hProcess, ms) == WAIT_OBJECT_0; }

 private:
  PROCESS_INFORMATION pi_{};
  BOOL ok_ = FALSE;
  DWORD started_ = 0;
};

struct Found {
  const wchar_t* cls;
  std::wstring caption;
  DWORD pid;
  HWND hwnd;
  bool visibleOnly = false;  // hidden windows (the program's dialogs made hidden) are passed over
};

inline BOOL CALLBACK Match(HWND h, LPARAM p) {
  auto* f = reinterpret_cast<Found*>(p);
  wchar_t cls[64] = {}, caption[256] = {};
  GetClassNameW(h, cls, 64);
  if (wcscmp(cls, f->cls) != 0) return TRUE;
  if (f->visibleOnly && !IsWindowVisible(h)) return TRUE;
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  if (f->pid != 0 && pid != f->pid) return TRUE;
  if (!f->caption.empty()) {
    DWORD_PTR n = 0;
    SendMessageTimeoutW(h, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(caption), SMTO_ABORTIFHUNG,
                        2000, &n);
    // The main window adds " - " and the open file's name to its caption.
    const std::wstring shown = caption;
    const bool withFile =
        wcscmp(cls, L"TMainForm") == 0 && shown.rfind(f->caption + L" - ", 0) == 0;
    if (f->caption != shown && !withFile) return TRUE;
  }
  f->hwnd = h;
  return FALSE;
}

// A visible top-level window of a class (and caption, and process) within ms.
inline HWND WaitWindow(const wchar_t* cls, const std::wstring& caption, DWORD pid, DWORD ms) {
  const DWORD start = GetTickCount();
  do {
    Found f{cls, caption, pid, nullptr, true};
    EnumWindows(Match, reinterpret_cast<LPARAM>(&f));
    if (f.hwnd != nullptr && IsWindowVisible(f.hwnd)) return f.hwnd;
    Sleep(10);
  } while (GetTickCount() - start < ms);
  return nullptr;
}

inline HWND WaitMainWindow(const std::wstring& caption, DWORD pid = 0, DWORD ms = 60000) {
  return WaitWindow(L"TMainForm", caption, pid, ms);
}

inline std::wstring BoxText(HWND box) {
  wchar_t text[1024] = {};
  GetDlgItemTextW(box, 0xFFFF, text, 1024);
  return text;
}

// A 16-bit stereo wave file at `rate` holding the interleaved `samples`.
inline void WriteStereo16(const fs::path& file, uint32_t rate,
                          const std::vector<int16_t>& samples) {
  const uint32_t bytes = static_cast<uint32_t>(samples.size() * 2);
  std::ofstream out(file, std::ios::binary);
  auto u32 = [&](uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
  auto u16 = [&](uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
  out.write("RIFF", 4);
  u32(36 + bytes);
  out.write("WAVEfmt ", 8);
  u32(16);
  u16(1);
  u16(2);
  u32(rate);
  u32(rate * 4);
  u16(4);
  u16(16);
  out.write("data", 4);
  u32(bytes);
  out.write(reinterpret_cast<const char*>(samples.data()), bytes);
}

inline void WriteTone(const fs::path& file, double hz, double seconds) {
  const uint32_t rate = 48000, frames = static_cast<uint32_t>(rate * seconds);
  std::vector<int16_t> data(frames * 2);
  for (uint32_t i = 0; i < frames; ++i) {
    data[2 * i] = data[2 * i + 1] =
        static_cast<int16_t>(16384 * std::sin(2 * 3.14159265358979 * hz * i / rate));
  }
  WriteStereo16(file, rate, data);
}

// Records the loopback monitor for `ms` (48 kHz, mono 16-bit) while run() happens.
inline std::vector<int16_t> RecordLoopback(DWORD ms, const std::function<void()>& run) {
  UINT device = WAVE_MAPPER;
  for (UINT i = 0; i < waveInGetNumDevs(); ++i) {
    WAVEINCAPSW caps{};
    if (waveInGetDevCapsW(i, &caps, sizeof caps) == MMSYSERR_NOERROR &&
        std::wstring(caps.szPname) == L"Monitor of Null Output") {
      device = i;
    }
  }
  if (device == WAVE_MAPPER) return {};
  WAVEFORMATEX f{WAVE_FORMAT_PCM, 1, 48000, 96000, 2, 16, 0};
  HWAVEIN in = nullptr;
  if (waveInOpen(&in, device, &f, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) return {};
  std::vector<int16_t> samples(48 * ms);
  WAVEHDR h{};
  h.lpData = reinterpret_cast<LPSTR>(samples.data());
  h.dwBufferLength = static_cast<DWORD>(samples.size() * 2);
  waveInPrepareHeader(in, &h, sizeof h);
  waveInAddBuffer(in, &h, sizeof h);
  waveInStart(in);
  run();
  const DWORD start = GetTickCount();
  while (!(h.dwFlags & WHDR_DONE) && GetTickCount() - start < ms + 5000) Sleep(20);
  waveInReset(in);
  waveInUnprepareHeader(in, &h, sizeof h);
  waveInClose(in);
  samples.resize(h.dwBytesRecorded / 2);
  return samples;
}

// Amplitude of the component at hz (Goertzel over the whole block).
inline double Level(const std::vector<int16_t>& s, double hz) {
  const double w = 2 * 3.14159265358979 * hz / 48000, c = 2 * std::cos(w);
  double a = 0, b = 0;
  for (int16_t x : s) {
    const double n = x + c * a - b;
    b = a;
    a = n;
  }
  return 2 * std::sqrt(a * a + b * b - c * a * b) / static_cast<double>(s.size());
}

// Tenths of a second in which the 1 kHz tone is heard clearly.
inline int TenthsWithTone(const std::vector<int16_t>& heard) {
  int tenths = 0;
  for (size_t i = 0; i + 4800 <= heard.size(); i += 4800) {
    const std::vector<int16_t> block(heard.begin() + static_cast<std::ptrdiff_t>(i),
                                     heard.begin() + static_cast<std::ptrdiff_t>(i + 4800));
    if (Level(block, 1000) > 2000.0) ++tenths;
  }
  return tenths;
}

// The tenths of a second [from, to) that hold the tone.
inline int TenthsWithToneBetween(const std::vector<int16_t>& heard, double from, double to) {
  const size_t a = static_cast<size_t>(from * 48000), b = static_cast<size_t>(to * 48000);
  if (b > heard.size() || a >= b) return -1;
  return TenthsWithTone(std::vector<int16_t>(heard.begin() + static_cast<std::ptrdiff_t>(a),
                                             heard.begin() + static_cast<std::ptrdiff_t>(b)));
}

// Types `path` into the process's file dialog captioned `title` and accepts
// it; false when no such dialog came.
inline bool AnswerNamedFileDialog(DWORD pid, const std::wstring& title, const fs::path& path) {
  HWND dialog = WaitWindow(L"#32770", title, pid, 30000);
  if (dialog == nullptr) return false;
  Sleep(300);
  HWND name = GetDlgItem(dialog, 0x47C);                  // cmb13, the file-name box
  if (name == nullptr) name = GetDlgItem(dialog, 0x480);  // edt1
  if (name == nullptr) return false;
  DWORD_PTR r = 0;
  SendMessageTimeoutW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()), SMTO_ABORTIFHUNG,
                      5000, &r);
  PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  return true;
}

// Clicks the button `id` of `window` as the button itself would report it.
inline void Click(HWND window, int id) {
  PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
}

// Presses `keys` in order and lets them go in reverse, as input into the
// program's window made foreground; false when it could not be brought there.
inline bool PressKeys(HWND window, std::initializer_list<WORD> keys) {
  for (int i = 0; i < 100 && GetForegroundWindow() != window; ++i) {
    SetForegroundWindow(window);
    Sleep(20);
  }
  if (GetForegroundWindow() != window) return false;
  std::vector<INPUT> in;
  for (WORD k : keys) {
    INPUT i{};
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = k;
    in.push_back(i);
  }
  for (auto it = keys.end(); it != keys.begin();) {
    INPUT i{};
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = *--it;
    i.ki.dwFlags = KEYEVENTF_KEYUP;
    in.push_back(i);
  }
  // One key at a time: the program sees each state change in turn.
  for (INPUT& i : in) {
    SendInput(1, &i, sizeof i);
    Sleep(30);
  }
  // The keys have been handled when the window answers again.
  DWORD_PTR result = 0;
  SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
  Sleep(200);
  return true;
}

// Presses (keydown) or lets go of (keyup) Ctrl as the X server's own input,
// with `window` in front. Under Wine, Ctrl sent with SendInput from another
// process never reaches the keyboard's state (read at a drop), and an idle
// program was seen to take Ctrl+T as a plain T; the X server's input reaches
// both.
inline bool XControl(HWND window, const wchar_t* action) {
  for (int i = 0; i < 100 && GetForegroundWindow() != window; ++i) {
    SetForegroundWindow(window);
    Sleep(20);
  }
  // The X server's keyboard focus follows the program's window only when
  // Wine moves it: after a dialog has been shown and hidden it may rest
  // elsewhere, so it is put on the window's X window first.
  const auto xid = reinterpret_cast<uintptr_t>(GetPropW(window, L"__wine_x11_whole_window"));
  std::wstring command = L"Z:\\usr\\bin\\xdotool ";
  if (xid != 0) command += L"windowfocus " + std::to_wstring(xid) + L" sleep 0.1 ";
  command += std::wstring(action) + L" ctrl";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &pi))
    return false;
  // Wine starts a host program without a process handle to wait on: the key
  // event is given time to reach the program's input.
  if (pi.hProcess != nullptr) {
    WaitForSingleObject(pi.hProcess, 10000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  Sleep(700);
  return true;
}

// Ctrl held through the X server for a scope; let go at its end whatever
// happened, so that no later test runs with Ctrl down.
class HeldControl {
 public:
  explicit HeldControl(HWND window) : window_(window), pressed_(XControl(window, L"keydown")) {}
  ~HeldControl() { XControl(window_, L"keyup"); }
  HeldControl(const HeldControl&) = delete;
  HeldControl& operator=(const HeldControl&) = delete;
  bool pressed() const { return pressed_; }

 private:
  HWND window_;
  bool pressed_;
};

// Ctrl+key into the program's window, Ctrl held through the X server.
inline bool PressWithControl(HWND window, WORD key) {
  HeldControl control(window);
  return control.pressed() && PressKeys(window, {key});
}

// A window's text, read across processes with a time-out (up to 16383 characters).
inline std::wstring TextOf(HWND window) {
  std::wstring text(16384, L'\0');
  DWORD_PTR n = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                      SMTO_ABORTIFHUNG, 5000, &n);
  text.resize(n);
  return text;
}

// Waits until pred() holds (10 ms steps); false after ms.
template <class Pred>
bool Until(Pred pred, DWORD ms) {
  const DWORD start = GetTickCount();
  while (!pred()) {
    if (GetTickCount() - start > ms) return false;
    Sleep(10);
  }
  return true;
}

}  // namespace ov::ovprogram_test
