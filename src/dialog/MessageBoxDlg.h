#pragma once
// Message boxes drawn inside the main window: the text, line by line, over
// the buttons of the box's type (OK; OK and Cancel; Yes and No), the first
// of them the default. The answer is the button pressed (IDOK, IDCANCEL,
// IDYES, IDNO). Closing the box answers as Escape does: OK for a box with
// only OK, Cancel where there is one, No for a Yes/No question.
//
// Any thread may ask for a box once InstallDialogMessageBoxes has run: a box
// asked for on another thread is sent to the main thread, which shows it, and
// the asking thread waits for the answer. When the main thread can no longer
// serve it (it is shutting down), the box is shown outside the window.

#include <string>

#include "dialog/Dlg.h"

// The box's template: its texts and buttons, laid out for the dialog font.
struct sMessageBoxLayout {
  sDlgTemplate dialogTemplate;
  std::vector<std::string> lines;
};

class cMessageBoxDlg : private sMessageBoxLayout, public cDlg {
 public:
  cMessageBoxDlg(cWnd* owner, const std::string& text, const std::string& caption, UINT type);

  void OnCreate(WPARAM wParam, LPARAM lParam) override;
  void OnCommand(WPARAM wParam, LPARAM lParam) override;
  LRESULT WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

 protected:
  void OnScriptAnswer(const plat::sDialogInput& answer) override;

 private:
  int CloseAnswer() const;
  UINT m_nType = 0;
};

// Shows a box on the main thread and returns the button pressed.
int DialogMessageBox(cWnd* owner, const std::string& text, const std::string& caption, UINT type);

// From now on every box of the player (plat::MessageBox) is drawn inside the
// owner's window. Call on the main thread once the window exists; Remove
// before it goes.
void InstallDialogMessageBoxes(cWnd* owner);
void RemoveDialogMessageBoxes();
