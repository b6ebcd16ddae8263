#include "dialog/DialogRuntime.h"

#include "dialog/DialogFrame.h"
#include "dialog/DialogPainter.h"
#include "dialog/Dlg.h"

namespace {

constexpr int kDefaultWidth = 640;
constexpr int kDefaultHeight = 480;
constexpr std::uint32_t kBackgroundGrey = 0xFFC0C0C0u;

sDialogRuntime g_Runtime;
plat::cPixelSurface g_Background;

}  // namespace

void SetDialogRuntime(sDialogRuntime runtime) { g_Runtime = std::move(runtime); }
sDialogRuntime& DialogRuntime() { return g_Runtime; }

void CaptureDialogBackground() {
  g_Background.Release();
  if (g_Runtime.copyLastFrame && g_Runtime.copyLastFrame(g_Background) &&
      g_Background.Depth() == plat::ePixelDepth::Argb32 && !g_Background.Empty()) {
    return;
  }
  int width = kDefaultWidth;
  int height = kDefaultHeight;
  if (g_Runtime.clientSize) g_Runtime.clientSize(width, height);
  g_Background.Create(width, height, plat::ePixelDepth::Argb32);
  std::uint32_t* pixels = g_Background.Pixels32();
  for (int i = 0; i < width * height; ++i) pixels[i] = kBackgroundGrey;
}

bool ComposeDialogFrame(plat::cPixelSurface& frame) {
  if (g_Background.Empty()) return false;
  frame = g_Background.Clone();
  for (const cDlg* dialog : OpenDialogs()) {
    sPaintedDialog painted;
    painted.form = &dialog->Form();
    painted.x = dialog->PositionInOwner().x;
    painted.y = dialog->PositionInOwner().y;
    painted.caption = dialog->HasCaption();
    PaintDialog(frame, painted);
  }
  return true;
}

void ShowDialogFrame() {
  if (!g_Runtime.showFrame) return;
  plat::cPixelSurface frame;
  if (ComposeDialogFrame(frame)) g_Runtime.showFrame(frame);
}
