#pragma once
// Frame timing on the process's millisecond clock (plat::TimeGetTime): a
// per-frame stopwatch, the frames-per-second counter, an every-n-th-call tick
// and the two frame gates, one for each drawing back end. The callers wait for
// a gate by sleeping 1 ms and asking again.
//
// The state is process-wide and unlocked: the game thread calls these, or the
// pause and ranking threads while the game thread waits for them, never two
// at once. Every comparison of clock readings is wrap-safe, so nothing stalls
// when the 32-bit clock wraps after 49.7 days.

#include <cstdint>

// Frame start = now; returns now. Called first in every frame.
std::uint32_t TimerStart();

// With `update`, stores and returns now minus the frame start; without, the
// value stored last.
std::uint32_t TimerElapsed(int update);

// Mode 0 resets the tick counter (false); mode 2 tells whether it is 0; any
// other mode counts one and answers true when the count reaches n (and starts
// over). Counting with n 60 once per frame gives true once a second.
bool FrameSkip(int mode, int n);

// With `update`, counts this frame; once more than 999 ms have passed since
// the counting window opened, the call that notices it publishes the count
// (itself not counted) and opens the next window. Returns the value published
// last. The first window counts its opening call, so at one call every 16 ms
// it publishes 63, and later windows 62.
std::uint32_t FpsCount(int update);

// The DirectDraw gate: false while now is before the next due time; otherwise
// the next due time becomes now + 1000 / fps in whole milliseconds (16 at 60),
// and true. fps 0 (or less) always passes.
bool FrameLimiter(int fps);

// The Direct3D gate without vertical sync: frame k of the current second is
// due at the second's start + k * 1000 / fps ms (fractions kept, so 16.67 ms
// apart at 60). When the last frame of a second passes, the next second starts
// at that moment, so the frame after it is due at once. Passes always when the
// Direct3D back end is not running or fps is 0 (or less). The two trailing
// values are accepted for the callers that pass them and not used.
bool D3DFramePacing(int fps, int = 0, int = 0);

// Forgets all the timing state above, as at process start (tests only).
void ResetFrameTimingForTests();
