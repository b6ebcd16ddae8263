#pragma once
// Draws open dialogs over a frame: the window of each dialog (its caption bar
// when it has one) and its widgets, in the look of ordinary dialogs. Text is
// drawn with the proportional Gothic face the templates ask for (12 pixels);
// when no font can be opened, boxes stand for the characters.

#include "platform/PixelSurface.h"
#include "platform/WidgetForm.h"

struct sPaintedDialog {
  const plat::cWidgetForm* form = nullptr;
  int x = 0;  // the dialog window's top-left in the frame (its caption bar first)
  int y = 0;
  bool caption = false;
  bool showCaret = true;
};

// Draws the dialog onto a 32-bit frame.
void PaintDialog(plat::cPixelSurface& frame, const sPaintedDialog& dialog);

// The width in pixels of a CP932 text in the dialog font.
int DialogTextWidth(const std::string& textCp932);
