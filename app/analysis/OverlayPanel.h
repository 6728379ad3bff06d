// The overlay controls of the measure panel as window-free logic: what the
// show, capture, comment, Load and Save controls do to an overlay, and which
// of their buttons are enabled. The window turns control events into these
// calls and mirrors Buttons() in its controls.
//
// Main thread only (the analysis state it changes belongs to the main thread).
#pragma once

#include <cstdint>
#include <string>

#include "app/analysis/FrameAnalysis.h"
#include "app/analysis/OverlayStorage.h"

namespace ov {

// Enabled and pressed states of one overlay's buttons.
struct OverlayButtons {
  bool showEnabled = false;
  bool showDown = false;
  bool loadEnabled = false;
  bool saveEnabled = false;
};

class OverlayPanel {
 public:
  // analysis is borrowed and must outlive the panel.
  explicit OverlayPanel(FrameAnalysis& analysis) : a_(analysis) {}

  // which: 1 or 2.
  OverlayFlags& Flags(int which) { return which == 1 ? a_.overlay1 : a_.overlay2; }
  const OverlayFlags& Flags(int which) const { return which == 1 ? a_.overlay1 : a_.overlay2; }
  OverlayButtons Buttons(int which) const;

  // Show button pressed or released: shown follows it, then the main-on rule.
  void ShowButtonDown(int which, bool down);
  // Capture button: the next ComputeSpectrum copies the main spectrum; the
  // overlay is shown (its show button enabled and pressed).
  void CaptureButtonDown(int which);
  // The comment edit changed: the overlay holds unsaved data, unless the
  // program itself is filling the edit (the comment-edit guard).
  void CommentChanged(int which);

  // Holds the comment-edit guard while the window refills a comment edit.
  class CommentRefill {
   public:
    explicit CommentRefill(OverlayPanel& panel) : a_(panel.a_) { a_.commentEditGuard = true; }
    ~CommentRefill() { a_.commentEditGuard = false; }
    CommentRefill(const CommentRefill&) = delete;
    CommentRefill& operator=(const CommentRefill&) = delete;

   private:
    FrameAnalysis& a_;
  };

  // Loads path into the overlay: "" on success, with comment set to the
  // file's comment for the edit (to be set inside a CommentRefill) and the
  // overlay shown and stale. On failure the message to show; the overlay, its
  // flags and its comment are left as they were.
  std::string Load(int which, TextFiles& files, const char* path, std::string& comment);

  // Saves the overlay with comment to path: "" on success (no longer dirty),
  // else the message to show; an existing file is replaced only by a complete
  // one.
  std::string Save(int which, TextFiles& files, const char* path, const std::string& comment);

  // The file last loaded or saved for each overlay (UTF-8); empty at start.
  std::string fileName[2];

 private:
  FrameAnalysis& a_;
};

}  // namespace ov
