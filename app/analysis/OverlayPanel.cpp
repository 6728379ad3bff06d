// The overlay controls of the measure panel.
#include "app/analysis/OverlayPanel.h"

#include <algorithm>

namespace ov {

OverlayButtons OverlayPanel::Buttons(int which) const {
  const OverlayFlags& f = Flags(which);
  OverlayButtons b;
  b.showEnabled = f.filled;
  b.showDown = f.shown;
  // Files are read and written only while the held frame is still (stopped
  // or paused).
  b.loadEnabled = a_.frameValid;
  b.saveEnabled = a_.frameValid && (f.dirty || f.capture);
  return b;
}

void OverlayPanel::ShowButtonDown(int which, bool down) {
  Flags(which).shown = down;
  a_.ApplyMainOnRule();
}

void OverlayPanel::CaptureButtonDown(int which) {
  OverlayFlags& f = Flags(which);
  f.capture = true;
  f.shown = f.filled = true;
}

void OverlayPanel::CommentChanged(int which) {
  if (!a_.commentEditGuard) Flags(which).dirty = true;
}

std::string OverlayPanel::Load(int which, TextFiles& files, const char* path,
                               std::string& comment) {
  fileName[which - 1] = path;
  AnalysisArray<double>& target = which == 1 ? a_.Overlay1Amp : a_.Overlay2Amp;
  OverlayExpectation expected;
  expected.sampleRate = static_cast<int32_t>(a_.Format.samplesPerSec);
  expected.n = a_.N;
  OverlayFileContents contents;
  std::string message;
  {
    // Typing into the comment edit while the file is read marks nothing.
    CommentRefill guard(*this);
    message = LoadOverlayFile(files, path, expected, a_.language, contents);
  }
  if (!message.empty()) return message;
  if (target.size() != contents.amplitudes.size()) {
    return overlay_text::kCountMismatch.In(a_.language);
  }
  std::copy(contents.amplitudes.begin(), contents.amplitudes.end(), target.data());
  comment = std::move(contents.comment);
  OverlayFlags& f = Flags(which);
  f.shown = f.filled = f.stale = true;
  return {};
}

std::string OverlayPanel::Save(int which, TextFiles& files, const char* path,
                               const std::string& comment) {
  fileName[which - 1] = path;
  const AnalysisArray<double>& source = which == 1 ? a_.Overlay1Amp : a_.Overlay2Amp;
  const int32_t count = static_cast<int32_t>(std::min<size_t>(source.size(), a_.B));
  const std::string text = FormatOverlayFile(comment, static_cast<int32_t>(a_.Format.samplesPerSec),
                                             a_.N, source.data(), count);
  std::string message = SaveOverlayFile(files, path, text, a_.language);
  if (message.empty()) Flags(which).dirty = false;
  return message;
}

}  // namespace ov
