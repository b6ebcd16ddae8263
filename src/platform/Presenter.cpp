#include "platform/Presenter.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

#include "platform/AtomicFile.h"
#include "platform/BmpDecoder.h"
#include "platform/FrameArea.h"
#include "platform/PixelRows.h"

namespace plat {

// ---------------------------------------------------------------------------
// The mailbox shared by every presenter

namespace {

// Converts a frame into opaque 0xFFRRGGBB pixels.
void ConvertFrame(const cPixelSurface& frame, const DisplayPalette* palette, std::vector<std::uint32_t>& out) {
  const sPixelLock lock = frame.Lock();
  out.resize(static_cast<std::size_t>(lock.width) * lock.height);
  std::uint32_t* dst = out.data();
  if (lock.depth == ePixelDepth::Argb32) {
    for (int y = 0; y < lock.height; ++y) {
      StoreOpaqueRow(dst + static_cast<std::size_t>(y) * lock.width, lock.Row32(y), lock.width);
    }
    return;
  }
  std::uint32_t table[256];
  for (int i = 0; i < 256; ++i) {
    const sPaletteEntry& e = (*palette)[static_cast<std::size_t>(i)];
    table[i] = 0xFF000000u | std::uint32_t{e.red} << 16 | std::uint32_t{e.green} << 8 | e.blue;
  }
  for (int y = 0; y < lock.height; ++y) {
    const std::uint8_t* src = lock.Row8(y);
    for (int x = 0; x < lock.width; ++x) *dst++ = table[src[x]];
  }
}

}  // namespace

template <typename Fill>
void cPresenter::HandOver(int width, int height, Fill&& fill) {
  {
    std::lock_guard<std::mutex> guard(m_Mutex);
    fill(m_Mailbox);
    m_MailboxWidth = width;
    m_MailboxHeight = height;
    m_HasPending = true;
    ++m_PresentedCount;
  }
  OnFramePending();
}

bool cPresenter::Present(const cPixelSurface& frame, const DisplayPalette* palette) {
  if (frame.Empty()) return false;
  if (frame.Depth() == ePixelDepth::Indexed8 && palette == nullptr) return false;
  HandOver(frame.Width(), frame.Height(), [&](std::vector<std::uint32_t>& mailbox) {
    ConvertFrame(frame, palette, mailbox);
  });
  return true;
}

bool cPresenter::PresentCopying(const cPixelSurface& frame, cPixelSurface& copy,
                                const std::function<void(int row)>& finishRow) {
  if (frame.Empty() || frame.Depth() != ePixelDepth::Argb32 || copy.Depth() != ePixelDepth::Argb32 ||
      copy.Width() != frame.Width() || copy.Height() != frame.Height()) {
    return false;
  }
  HandOver(frame.Width(), frame.Height(), [&](std::vector<std::uint32_t>& mailbox) {
    const sPixelLock in = frame.Lock();
    const sPixelLock out = copy.Lock();
    const std::size_t rowPixels = static_cast<std::size_t>(in.width);
    mailbox.resize(rowPixels * in.height);
    for (int y = 0; y < in.height; ++y) {
      // The row just written is read back while it is still in the cache.
      if (finishRow) finishRow(y);
      StoreOpaqueRow(out.Row32(y), in.Row32(y), in.width);
      std::memcpy(mailbox.data() + rowPixels * y, out.Row32(y), rowPixels * sizeof(std::uint32_t));
    }
  });
  return true;
}

bool cPresenter::CopyLastFrame(cPixelSurface& frame) const {
  std::lock_guard<std::mutex> guard(m_Mutex);
  if (m_MailboxWidth <= 0 || m_MailboxHeight <= 0 ||
      m_Mailbox.size() != static_cast<std::size_t>(m_MailboxWidth) * static_cast<std::size_t>(m_MailboxHeight)) {
    return false;
  }
  if (!frame.Create(m_MailboxWidth, m_MailboxHeight, ePixelDepth::Argb32)) return false;
  std::copy(m_Mailbox.begin(), m_Mailbox.end(), frame.Pixels32());
  return true;
}

std::uint64_t cPresenter::PresentedCount() const {
  std::lock_guard<std::mutex> guard(m_Mutex);
  return m_PresentedCount;
}

bool cPresenter::TakePendingFrame(std::vector<std::uint32_t>& pixels, int& width, int& height) {
  std::lock_guard<std::mutex> guard(m_Mutex);
  if (!m_HasPending) return false;
  // A copy: the mailbox keeps the newest frame for CopyLastFrame.
  pixels.assign(m_Mailbox.begin(), m_Mailbox.end());
  width = m_MailboxWidth;
  height = m_MailboxHeight;
  m_HasPending = false;
  return true;
}

bool cPresenter::TakePendingFrame(cPixelSurface& frame) {
  std::lock_guard<std::mutex> guard(m_Mutex);
  if (!m_HasPending) return false;
  if (frame.Width() != m_MailboxWidth || frame.Height() != m_MailboxHeight ||
      frame.Depth() != ePixelDepth::Argb32) {
    if (!frame.Create(m_MailboxWidth, m_MailboxHeight, ePixelDepth::Argb32)) return false;
  }
  std::memcpy(frame.Pixels32(), m_Mailbox.data(), m_Mailbox.size() * sizeof(std::uint32_t));
  m_HasPending = false;
  return true;
}

// ---------------------------------------------------------------------------
// Null presenter

bool cNullPresenter::ShowPendingFrame() {
  if (!TakePendingFrame(m_LastFrame)) return false;
  ++m_ShownCount;
  return true;
}

void cNullPresenter::OnFramePending() {
  if (m_ShowOnPresent) ShowPendingFrame();
}

bool cNullPresenter::WriteLastFrameBmp(const std::string& nativePath, std::string* error) const {
  if (m_LastFrame.Empty()) {
    if (error != nullptr) *error = "no frame has been shown";
    return false;
  }
  const std::span<const std::uint32_t> pixels(m_LastFrame.Pixels32(),
                                              static_cast<std::size_t>(m_LastFrame.Width()) * m_LastFrame.Height());
  const std::vector<std::uint8_t> bytes = EncodeBmp24(m_LastFrame.Width(), m_LastFrame.Height(), pixels);
  return WriteFileAtomically(nativePath, bytes, error);
}

// ---------------------------------------------------------------------------
// SDL presenter

struct cSdlPresenter::sImpl {
  SDL_Window* window = nullptr;
  SDL_Renderer* renderer = nullptr;
  SDL_Texture* texture = nullptr;
  bool ownsWindow = true;
  bool ownsRenderer = true;
  int textureWidth = 0;
  int textureHeight = 0;
  int frameWidth = 0;
  int frameHeight = 0;
  std::vector<std::uint32_t> pixels;
  bool hasFrame = false;

  ~sImpl() {
    if (texture != nullptr) SDL_DestroyTexture(texture);
    if (renderer != nullptr && ownsRenderer) SDL_DestroyRenderer(renderer);
    if (window != nullptr && ownsWindow) SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
  }

  bool EnsureTexture(int width, int height) {
    if (texture != nullptr && textureWidth == width && textureHeight == height) return true;
    if (texture != nullptr) SDL_DestroyTexture(texture);
    texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, width, height);
    if (texture == nullptr) return false;
    SDL_SetTextureScaleMode(texture, SDL_ScaleModeNearest);
    SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_NONE);
    textureWidth = width;
    textureHeight = height;
    return true;
  }

  bool Upload() {
    if (!EnsureTexture(frameWidth, frameHeight)) return false;
    void* bits = nullptr;
    int pitchBytes = 0;
    if (SDL_LockTexture(texture, nullptr, &bits, &pitchBytes) != 0) return false;
    const std::size_t rowBytes = static_cast<std::size_t>(frameWidth) * 4;
    for (int y = 0; y < frameHeight; ++y) {
      std::memcpy(static_cast<std::uint8_t*>(bits) + static_cast<std::ptrdiff_t>(y) * pitchBytes,
                  pixels.data() + static_cast<std::size_t>(y) * frameWidth, rowBytes);
    }
    SDL_UnlockTexture(texture);
    return true;
  }

  // The frame at the largest whole multiple that fits the output, centred
  // (FrameArea.h).
  SDL_Rect TargetRect() const {
    int outWidth = 0;
    int outHeight = 0;
    SDL_GetRendererOutputSize(renderer, &outWidth, &outHeight);
    const RECT area = FrameAreaIn(outWidth, outHeight, frameWidth, frameHeight);
    return SDL_Rect{area.left, area.top, area.right - area.left, area.bottom - area.top};
  }

  void Render() {
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    if (hasFrame && texture != nullptr) {
      const SDL_Rect target = TargetRect();
      SDL_RenderCopy(renderer, texture, nullptr, &target);
    }
    SDL_RenderPresent(renderer);
  }
};

std::unique_ptr<cSdlPresenter> cSdlPresenter::Create(const sSdlPresenterOptions& options, std::string* error) {
  auto fail = [&](const char* what) -> std::unique_ptr<cSdlPresenter> {
    if (error != nullptr) *error = std::string(what) + ": " + SDL_GetError();
    return nullptr;
  };
  if (options.width < 1 || options.height < 1) {
    if (error != nullptr) *error = "the frame size must be positive";
    return nullptr;
  }
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return fail("SDL video cannot start");
  auto impl = std::make_unique<sImpl>();  // quits the subsystem again on failure
  Uint32 windowFlags = SDL_WINDOW_SHOWN;
  if (options.resizable) windowFlags |= SDL_WINDOW_RESIZABLE;
  if (options.fullScreen) windowFlags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
  if (options.existingWindowId != 0) {
    impl->window = SDL_GetWindowFromID(options.existingWindowId);
    impl->ownsWindow = false;
    if (impl->window == nullptr) return fail("no SDL window with the given id");
    if (options.fullScreen) SDL_SetWindowFullscreen(impl->window, SDL_WINDOW_FULLSCREEN_DESKTOP);
  } else {
    impl->window = SDL_CreateWindow(options.titleUtf8.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                    options.width, options.height, windowFlags);
    if (impl->window == nullptr) return fail("the window cannot be made");
  }
  const Uint32 vsyncFlag = options.vsync ? SDL_RENDERER_PRESENTVSYNC : 0;
  // A window has one renderer: one already made for an existing window is shared.
  impl->renderer = impl->ownsWindow ? nullptr : SDL_GetRenderer(impl->window);
  if (impl->renderer != nullptr) {
    impl->ownsRenderer = false;
  } else {
    impl->renderer = SDL_CreateRenderer(impl->window, -1, SDL_RENDERER_ACCELERATED | vsyncFlag);
  }
  if (impl->renderer == nullptr) impl->renderer = SDL_CreateRenderer(impl->window, -1, SDL_RENDERER_SOFTWARE);
  if (impl->renderer == nullptr) return fail("no renderer for the window");
  impl->frameWidth = options.width;
  impl->frameHeight = options.height;
  if (!impl->EnsureTexture(options.width, options.height)) return fail("the frame texture cannot be made");
  SDL_RendererInfo info{};
  bool vsync = false;
  if (SDL_GetRendererInfo(impl->renderer, &info) == 0) vsync = (info.flags & SDL_RENDERER_PRESENTVSYNC) != 0;
  std::unique_ptr<cSdlPresenter> presenter(new cSdlPresenter(std::move(impl), options));
  presenter->m_VSync = vsync;
  presenter->m_Impl->Render();
  return presenter;
}

cSdlPresenter::cSdlPresenter(std::unique_ptr<sImpl> impl, const sSdlPresenterOptions& options)
    : m_Impl(std::move(impl)), m_FullScreen(options.fullScreen) {}

cSdlPresenter::~cSdlPresenter() = default;

bool cSdlPresenter::ShowPendingFrame() {
  int width = 0;
  int height = 0;
  if (!TakePendingFrame(m_Impl->pixels, width, height)) return false;
  m_Impl->frameWidth = width;
  m_Impl->frameHeight = height;
  m_Impl->hasFrame = m_Impl->Upload();
  m_Impl->Render();
  return m_Impl->hasFrame;
}

void cSdlPresenter::Redraw() { m_Impl->Render(); }

void cSdlPresenter::SetFullScreen(bool fullScreen) {
  if (fullScreen == m_FullScreen) return;
  if (SDL_SetWindowFullscreen(m_Impl->window, fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) == 0) {
    m_FullScreen = fullScreen;
  }
  m_Impl->Render();
}

void cSdlPresenter::SetTitle(const std::string& titleUtf8) { SDL_SetWindowTitle(m_Impl->window, titleUtf8.c_str()); }

std::uint32_t cSdlPresenter::WindowId() const { return SDL_GetWindowID(m_Impl->window); }

}  // namespace plat
