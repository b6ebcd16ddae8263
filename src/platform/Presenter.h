#pragma once
// Presenters put finished frames on the screen.
//
// Drawing happens on whichever thread runs the frame; the window belongs to the
// main thread. So presenting has two halves:
//   Present()           any thread: the frame is copied (an 8-bit frame is
//                       converted through the display palette on the way) into
//                       the presenter's mailbox; the caller may draw on at once.
//   ShowPendingFrame()  main thread: the newest frame in the mailbox is shown.
// Only the newest frame is kept: a frame that was never shown is replaced.
//
// cSdlPresenter shows frames in an SDL window; cNullPresenter keeps the last
// frame for tests and has no window.

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/PixelSurface.h"

namespace plat {

class cPresenter {
 public:
  virtual ~cPresenter() = default;

  // Hands over a finished frame. A 32-bit frame is taken as it is (its alpha
  // byte is ignored: the display is opaque); an 8-bit frame needs the display
  // palette, each index becoming 0xFF000000 | red << 16 | green << 8 | blue.
  // Returns false, keeping the previous frame, for an empty surface or an
  // 8-bit frame without a palette.
  bool Present(const cPixelSurface& frame, const DisplayPalette* palette = nullptr);

  // Present(copy) after `copy` took every pixel of `frame` with alpha 255, in
  // one pass that reads the frame once: for a caller that copies its frame
  // to another surface and then presents that. `finishRow`, when given, is
  // called with each row number just before that row of the frame is read
  // (the last drawing of the frame done in the same pass). Both must be
  // 32-bit surfaces of one size; otherwise returns false, leaving both and the
  // mailbox alone and calling nothing. The whole pass, finishRow included,
  // holds the mailbox: the main thread waits for it before showing, and
  // finishRow must not present.
  bool PresentCopying(const cPixelSurface& frame, cPixelSurface& copy,
                      const std::function<void(int row)>& finishRow = {});

  // Main thread: shows the newest frame handed over since the last call.
  // Returns true when a new frame was shown.
  virtual bool ShowPendingFrame() = 0;

  virtual void SetFullScreen(bool fullScreen) = 0;
  virtual bool IsFullScreen() const = 0;

  // Frames handed over so far.
  std::uint64_t PresentedCount() const;

  // The newest frame handed over (32-bit), shown or not: the picture the
  // dialogs are drawn over. False before the first frame.
  bool CopyLastFrame(cPixelSurface& frame) const;

 protected:
  // Called by Present on the presenting thread after a frame entered the
  // mailbox; the default does nothing.
  virtual void OnFramePending() {}

  // Takes the newest frame out of the mailbox (0xFFRRGGBB pixels, top row
  // first, pitch = width). False when nothing new arrived since the last take.
  bool TakePendingFrame(std::vector<std::uint32_t>& pixels, int& width, int& height);
  // The same straight into a 32-bit surface, made again only when the frame's
  // size changed. False, leaving the surface alone, when nothing new arrived
  // (or the surface cannot be made).
  bool TakePendingFrame(cPixelSurface& frame);

 private:
  // Puts a frame of width x height, written by fill(mailbox), into the
  // mailbox and tells OnFramePending.
  template <typename Fill>
  void HandOver(int width, int height, Fill&& fill);

  mutable std::mutex m_Mutex;
  std::vector<std::uint32_t> m_Mailbox;
  int m_MailboxWidth = 0;
  int m_MailboxHeight = 0;
  bool m_HasPending = false;
  std::uint64_t m_PresentedCount = 0;
};

// Keeps the last frame shown; no window. Tests present through it and look at
// the pixels. ShowPendingFrame is called by Present itself unless
// `showOnPresent` is false, so single-threaded tests need not pump.
class cNullPresenter final : public cPresenter {
 public:
  explicit cNullPresenter(bool showOnPresent = true) : m_ShowOnPresent(showOnPresent) {}

  bool ShowPendingFrame() override;
  void SetFullScreen(bool fullScreen) override { m_FullScreen = fullScreen; }
  bool IsFullScreen() const override { return m_FullScreen; }

  // The last frame shown (32-bit, 0xFFRRGGBB); empty before the first.
  const cPixelSurface& LastFrame() const { return m_LastFrame; }
  std::uint64_t ShownCount() const { return m_ShownCount; }

  // Writes the last frame as a 24-bit BMP at a Linux path, atomically.
  // False (with the reason in *error) when there is no frame or writing fails.
  bool WriteLastFrameBmp(const std::string& nativePath, std::string* error = nullptr) const;

  void OnFramePending() override;

 private:
  bool m_ShowOnPresent;
  bool m_FullScreen = false;
  cPixelSurface m_LastFrame;
  std::uint64_t m_ShownCount = 0;
};

struct sSdlPresenterOptions {
  std::string titleUtf8 = "Kestrova";
  int width = 640;   // the frame size; also the window's client size at start
  int height = 480;
  bool fullScreen = false;  // desktop full screen, the frame scaled into it
  bool vsync = false;       // wait for the display's vertical blank when showing
  bool resizable = false;   // let the user resize the window (the frame scales)
  // Non-zero: show the frames in this existing SDL window (the player's main
  // window, by its SDL window id) instead of making one. The presenter then
  // neither resizes nor destroys it (nor a renderer it already has, which is
  // shared); title, size and resizable are not used.
  std::uint32_t existingWindowId = 0;
};

// An SDL window with a streaming texture. The frame is scaled to the window by
// the largest whole multiple that fits, with nearest sampling, centred on black.
// Create, show and destroy it on the main thread.
class cSdlPresenter final : public cPresenter {
 public:
  // Null (with the reason in *error) when SDL video or the window cannot start,
  // or the existing window named in the options is not there.
  static std::unique_ptr<cSdlPresenter> Create(const sSdlPresenterOptions& options, std::string* error = nullptr);
  ~cSdlPresenter() override;

  bool ShowPendingFrame() override;
  void SetFullScreen(bool fullScreen) override;
  bool IsFullScreen() const override { return m_FullScreen; }

  // Shows the current frame again (after the window was exposed or resized).
  void Redraw();
  void SetTitle(const std::string& titleUtf8);
  // The SDL window id, to match window events to this presenter.
  std::uint32_t WindowId() const;
  bool VSync() const { return m_VSync; }

 private:
  struct sImpl;
  explicit cSdlPresenter(std::unique_ptr<sImpl> impl, const sSdlPresenterOptions& options);
  std::unique_ptr<sImpl> m_Impl;
  bool m_FullScreen = false;
  bool m_VSync = false;
};

}  // namespace plat
