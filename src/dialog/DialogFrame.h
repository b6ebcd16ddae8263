#pragma once
// The picture of the open dialogs: the frame that was in the window when the
// first of them opened, with every open dialog drawn over it, outermost first.

#include "platform/PixelSurface.h"

// Takes the window's last frame as the background (a grey frame when there is
// none).
void CaptureDialogBackground();
// The background with the open dialogs over it. False when no background was
// taken.
bool ComposeDialogFrame(plat::cPixelSurface& frame);
// Composes and shows it through the runtime; without open dialogs the
// background alone comes back.
void ShowDialogFrame();
