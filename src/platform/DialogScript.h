#pragma once
// Scripted answers for the dialogs drawn inside the main window: what a person
// would type and click, queued by tests and by the headless runner. A modal
// dialog takes one entry per pass of its loop, before looking at real input.
//
// Entries are either input (a key, a release, committed text, an input
// method's composition, a click at a point of the dialog) or an answer that
// the dialog turns into the buttons a person would press:
//   Ok, Yes          the default / "Yes" button (Start in the start-up dialog)
//   No               the "No" button (Cancel in the start-up dialog)
//   Cancel           the dialog is closed as by its close box
//   Text             an edit's text replaced by this one (UTF-8), then OK
//   File             a file dialog answers with this program path
//
// Script-only mode (headless runs): when the queue is empty, a dialog does not
// wait for a person who is not there: it answers with its default button (a
// file dialog is cancelled), and a message box takes the answer it takes
// without a display (MessageBox.h).
//
// Any thread may queue entries; dialogs take them on the main thread.

#include <string>

namespace plat {

enum class eDialogInput { Key, KeyUp, Text, Composition, Click, DoubleClick, Answer };
enum class eDialogAnswer { Ok, Yes, No, Cancel, Text, File };

struct sDialogInput {
  eDialogInput kind = eDialogInput::Key;
  int key = 0;           // Key, KeyUp: the virtual-key code
  bool shift = false;    // Key: Shift held
  std::string text;      // Text, Composition, Answer Text: UTF-8; Answer File: the program path
  int x = 0;             // Click: a point of the dialog's client area
  int y = 0;
  eDialogAnswer answer = eDialogAnswer::Ok;

  static sDialogInput KeyPress(int virtualKey, bool shift = false);
  static sDialogInput Typed(std::string utf8);
  static sDialogInput Composing(std::string utf8);
  static sDialogInput ClickAt(int x, int y, bool doubleClick = false);
  static sDialogInput Answer(eDialogAnswer answer, std::string text = {});
};

void PushDialogInput(sDialogInput input);
// Takes the oldest entry; false when the queue is empty.
bool TakeDialogInput(sDialogInput* input);
bool HasDialogInput();
// Empties the queue and leaves script-only mode.
void ClearDialogScript();

void SetDialogScriptOnly(bool on);
bool IsDialogScriptOnly();

}  // namespace plat
