#include "graphics/DialogMode.h"

#include "core/Log.h"
#include "graphics/DrawContext.h"
#include "graphics/Scene.h"
#include "platform/MessageBox.h"

namespace {

// ShowCursor(TRUE) once.
void ShowCursorOnce() { ++g_DrawLayer.nCursorCount; }

// ShowCursor(FALSE) until the cursor's display count is negative.
void HideCursorFully() {
  while (g_DrawLayer.nCursorCount >= 0) --g_DrawLayer.nCursorCount;
}

bool SetDirect3DDialogMode(int on) {
  if (on) {
    DDEndScene();
    if (!g_DrawLayer.bDevice) {
      LogPrintf("D3D_OK != lpDevice->SetDialogBoxMode(TRUE)");
      return false;
    }
    ShowCursorOnce();
    return true;
  }
  HideCursorFully();
  return g_DrawLayer.bDevice;
}

bool SetDirectDrawDialogMode(int on) {
  if (on) {
    // FlipToGDISurface needs the DirectDraw object.
    if (!g_DrawLayer.bDirectDraw) return false;
    ShowCursorOnce();
    return true;
  }
  HideCursorFully();
  return true;
}

}  // namespace

bool DDSetDialogMode(int on) {
  if (g_DrawLayer.bWindowMode != 0) return true;
  if (lpDTCon != nullptr) return SetDirect3DDialogMode(on);
  return SetDirectDrawDialogMode(on);
}

int DDMesBox(const std::string& text, const std::string& caption, UINT type) {
  if (!DDSetDialogMode(1)) {
    LogPrintf("DDMesBox 失敗! %s, %s", text.c_str(), caption.c_str());
    return 0;
  }
  const int answer = plat::MessageBox(text, caption, type);
  DDSetDialogMode(0);
  return answer;
}
