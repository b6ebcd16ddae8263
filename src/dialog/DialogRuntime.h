#pragma once
// What a dialog's modal loop needs of the player around it: the window's
// events turned into messages, the frame under the dialog, a way to show a
// composed frame, and the text of the keyboard's input method. The shell fills
// it in once its window exists; until then (and in tests) every part may be
// empty: a dialog then runs on its scripted entries and draws nowhere.
//
// Main thread only.

#include <functional>
#include <string>

#include "platform/PixelSurface.h"

struct sDialogRuntime {
  // Takes the window's waiting events and posts the messages they stand for.
  std::function<void()> pumpEvents;
  // The last frame shown in the window (32-bit); false when there is none.
  std::function<bool(plat::cPixelSurface& frame)> copyLastFrame;
  // Shows a frame with the dialogs drawn over it.
  std::function<void(const plat::cPixelSurface& frame)> showFrame;
  // Turns the input method's text input on (an edit has the focus) or off.
  std::function<void(bool on)> setTextInput;
  // Takes one text event: committed text, or the composition so far
  // (composing true; an empty composition ends it). False when none waits.
  std::function<bool(std::string& utf8, bool& composing)> takeTextEvent;
  // The main window's client size in pixels (640 by 480 when empty).
  std::function<void(int& width, int& height)> clientSize;
};

void SetDialogRuntime(sDialogRuntime runtime);
sDialogRuntime& DialogRuntime();
