#pragma once
// Where the player's frame stands in a window that shows it, and how points
// of the window meet points of the frame. The frame is shown at the largest
// whole multiple of its size that fits the window, centred, with a black
// border around it (full screen, a maximised or resized window); a window
// smaller than the frame shows it shrunk to fit, keeping its proportions.
// The presenter draws the frame there, and the window reads the mouse there:
// the player knows the mouse in the frame's coordinates only.

#include "platform/WindowHost.h"

namespace plat {

// The rectangle of a window of `width` by `height` pixels that the frame covers.
RECT FrameAreaIn(int width, int height, int frameWidth, int frameHeight);

// The frame point under a window point. True when the point lies on the
// frame; false on the border, where `frame` is still the point the frame's
// coordinates would give it there (negative left of and above the frame).
bool WindowToFrame(const RECT& area, int frameWidth, int frameHeight, POINT window, POINT* frame);

// The window point at the middle of a frame pixel.
POINT FrameToWindow(const RECT& area, int frameWidth, int frameHeight, POINT frame);

}  // namespace plat
