// Win32 files and volumes for the program. Names are UTF-8 and reach the
// system through the wide-character API, converted on the stack so that the
// free-space check before every block allocates nothing.
#include "app/wavefile/Disk.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

namespace ov {

namespace {

class Win32File : public DiskEditFile {
 public:
  explicit Win32File(HANDLE h) : h_(h) {}
  ~Win32File() override {
    if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
  }

  size_t Write(const void* data, size_t bytes) override {
    const char* p = static_cast<const char*>(data);
    size_t done = 0;
    while (done < bytes) {
      // WriteFile counts in 32 bits; larger blocks go in 1 GiB pieces.
      const DWORD ask = static_cast<DWORD>(std::min<size_t>(bytes - done, 1u << 30));
      DWORD wrote = 0;
      if (!WriteFile(h_, p + done, ask, &wrote, nullptr) || wrote == 0) break;
      done += wrote;
    }
    return done;
  }
  size_t Read(void* data, size_t bytes) override {
    char* p = static_cast<char*>(data);
    size_t done = 0;
    while (done < bytes) {
      const DWORD ask = static_cast<DWORD>(std::min<size_t>(bytes - done, 1u << 30));
      DWORD got = 0;
      if (!ReadFile(h_, p + done, ask, &got, nullptr) || got == 0) break;
      done += got;
    }
    return done;
  }
  bool Size(uint64_t* bytes) override {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(h_, &size)) return false;
    *bytes = static_cast<uint64_t>(size.QuadPart);
    return true;
  }
  bool SeekTo(uint64_t offset) override {
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(offset);
    return SetFilePointerEx(h_, to, nullptr, FILE_BEGIN) != 0;
  }
  bool SeekToEnd() override {
    LARGE_INTEGER zero;
    zero.QuadPart = 0;
    return SetFilePointerEx(h_, zero, nullptr, FILE_END) != 0;
  }
  bool TruncateAt(uint64_t size) override { return SeekTo(size) && SetEndOfFile(h_) != 0; }
  bool Flush() override { return FlushFileBuffers(h_) != 0; }
  bool Close() override {
    const HANDLE h = h_;
    h_ = INVALID_HANDLE_VALUE;
    return CloseHandle(h) != 0;
  }

 private:
  HANDLE h_;
};

// name as UTF-16 in wide (MAX_PATH characters); false when it does not fit.
bool Widen(const char* name, wchar_t (&wide)[MAX_PATH]) {
  return MultiByteToWideChar(CP_UTF8, 0, name, -1, wide, MAX_PATH) > 0;
}

bool IsDriveName(const char* name) {
  return std::isalpha(static_cast<unsigned char>(name[0])) && name[1] == ':';
}

class Win32Disk : public Disk {
 public:
  std::unique_ptr<DiskFile> CreateAlways(const char* name) override {
    // No sharing while recording; random access because the header is
    // rewritten at offset 0 between appends.
    wchar_t wide[MAX_PATH];
    if (!Widen(name, wide)) return nullptr;
    const HANDLE h = CreateFileW(wide, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL | FILE_FLAG_RANDOM_ACCESS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<Win32File>(h);
  }
  std::unique_ptr<DiskEditFile> OpenExisting(const char* name) override {
    // No sharing: nobody reads a file while its tail is being rewritten.
    wchar_t wide[MAX_PATH];
    if (!Widen(name, wide)) return nullptr;
    const HANDLE h = CreateFileW(wide, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<Win32File>(h);
  }
  bool Remove(const char* name) override {
    wchar_t wide[MAX_PATH];
    return Widen(name, wide) && DeleteFileW(wide) != 0;
  }
  void QualifyName(char* name, size_t capacity) override {
    if (name[0] == '\\' || name[0] == '/' || IsDriveName(name)) return;
    wchar_t dir[MAX_PATH];
    const DWORD n = GetCurrentDirectoryW(MAX_PATH, dir);
    if (n < 2 || n >= MAX_PATH || dir[1] != L':' || dir[0] > 0x7F)
      return;  // a UNC current directory
    const size_t len = std::strlen(name);
    if (len + 3 > capacity) return;
    std::memmove(name + 2, name, len + 1);
    name[0] = static_cast<char>(dir[0]);
    name[1] = ':';
  }
  void VolumeOf(const char* name, char* volume, size_t capacity) override {
    if (capacity == 0) return;
    if (IsDriveName(name)) {
      std::snprintf(volume, capacity, "%c:\\", name[0]);
      return;
    }
    const char* back = std::strrchr(name, '\\');
    const char* fwd = std::strrchr(name, '/');
    const char* sep = back && fwd ? std::max(back, fwd) : (back ? back : fwd);
    if (!sep) {
      std::snprintf(volume, capacity, ".\\");
      return;
    }
    const size_t n = std::min(static_cast<size_t>(sep - name + 1), capacity - 1);
    std::memcpy(volume, name, n);
    volume[n] = '\0';
  }
  bool FreeBytes(const char* volume, uint64_t* bytes) override {
    wchar_t wide[MAX_PATH];
    ULARGE_INTEGER avail;
    if (!Widen(volume, wide) || !GetDiskFreeSpaceExW(wide, &avail, nullptr, nullptr)) return false;
    *bytes = avail.QuadPart;
    return true;
  }
  bool SameFile(const char* a, const char* b) override {
    BY_HANDLE_FILE_INFORMATION ia, ib;
    if (!Identity(a, &ia) || !Identity(b, &ib)) return false;
    return ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber &&
           ia.nFileIndexHigh == ib.nFileIndexHigh && ia.nFileIndexLow == ib.nFileIndexLow;
  }

 private:
  static bool Identity(const char* name, BY_HANDLE_FILE_INFORMATION* info) {
    wchar_t wide[MAX_PATH];
    if (!Widen(name, wide)) return false;
    // No access rights needed: only the file's identity is read.
    HANDLE h = CreateFileW(wide, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    const bool ok = GetFileInformationByHandle(h, info) != 0;
    CloseHandle(h);
    return ok;
  }
};

}  // namespace

Disk& SystemDisk() {
  static Win32Disk disk;
  return disk;
}

}  // namespace ov
