// How the instances find and reach each other's main windows: the search by
// class and caption title, bringing a window forward, the command-line
// hand-over (WM_COPYDATA) and instance 1's line to instance 2 (PeerLink).
// Main thread only, except WindowPeerLink::Send, which the synchronised-start
// gate also calls from a pump thread.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>

#include "app/shell/InstanceSync.h"

namespace ov {

// The first top-level window of class TMainForm whose caption, cut at the first
// blank, is title (both read into 49-character buffers); null when none.
HWND FindMainWindow(const std::string& title);

// Restores the window when it is minimised and brings it to the foreground.
void BringForward(HWND window);

// Hands the command line (UTF-8) to instance 1: searches its main window for up
// to retryMs (it may still be creating it), brings it forward and sends the
// text. The send has a time-out: instance 1 copies the text and returns at
// once, so a slow receiver cannot hold this process. False when no window was
// found or the send failed.
bool HandOverCommandLine(const std::string& text, DWORD retryMs);

class WindowPeerLink : public PeerLink {
 public:
  explicit WindowPeerLink(std::string ownTitle) : ownTitle_(std::move(ownTitle)) {}
  bool FindPeer() override;
  bool HasPeer() const override { return peer_.load() != nullptr; }
  void Send(uint32_t command, int64_t argument) override;

 private:
  std::string ownTitle_;
  std::atomic<HWND> peer_{nullptr};
};

}  // namespace ov
