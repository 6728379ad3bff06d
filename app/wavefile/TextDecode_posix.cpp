// Code-page texts into UTF-8 through iconv.
#include <iconv.h>

#include <cstring>

#include "app/common/Utf8.h"
#include "app/wavefile/TextDecode.h"

namespace ov {

std::string DecodeToUtf8(std::string_view bytes, TextEncoding encoding) {
  if (encoding == TextEncoding::Utf8) return Utf16ToUtf8(Utf8ToUtf16(bytes));
  iconv_t cd = iconv_open("UTF-8", encoding == TextEncoding::ShiftJis ? "CP932" : "CP1252");
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(bytes);
  std::string out;
  out.resize(bytes.size() * 3 + 16);
  char* in = const_cast<char*>(bytes.data());
  size_t inLeft = bytes.size();
  char* to = out.data();
  size_t outLeft = out.size();
  while (inLeft > 0) {
    if (iconv(cd, &in, &inLeft, &to, &outLeft) != static_cast<size_t>(-1)) break;
    // A byte the code page does not map: U+FFFD, then go on after it.
    if (outLeft < 3) break;
    std::memcpy(to, "\xEF\xBF\xBD", 3);
    to += 3;
    outLeft -= 3;
    ++in;
    --inLeft;
  }
  out.resize(out.size() - outLeft);
  iconv_close(cd);
  return out;
}

}  // namespace ov
