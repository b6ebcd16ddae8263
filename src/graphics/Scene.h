#pragma once
// The scene and render-target state of the Direct3D road. Every Direct3D draw
// brackets itself: DDBeginScene (one scene per frame, closed by the frame
// end), its destination as render target, then the context's resting render
// target set back.

#include "graphics/Surface.h"

// True when a scene is open afterwards; false without a device.
bool DDBeginScene();
// Closes the open scene (with a device and an open scene only).
void DDEndScene();
// Makes the surface render target 0. A surface that is not a render target is
// refused (false, nothing logged); one without a level-0 surface fails with
// "SetRenderTarget Err %x (%s)".
bool DDSetRenderTarget(DDSURFACEDATA* lpSD);
