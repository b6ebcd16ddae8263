#pragma once
// The failure path shared by cSafeVector and cSafeList, and the "fatal pending"
// flag it raises.
//
// A bad index is a defect, not a user error. The failure path writes
// "err V[%d] ( %d , %d )" (vectors) or "err L[%d] ( %d , %d )" (lists) with the
// index, the size and the element size in bytes to the debug log and to the
// report, raises the fatal-pending flag and posts WM_CLOSE to the main window.
// The caller then gets a usable element so the current frame can finish.
//
// Fatal pending: once a bad index was used, a write meant for another element
// may have landed on the element handed back instead, so the world state can
// no longer be trusted. Code that saves player state (progress, rankings,
// options, replays) asks IsFatalPending() first and refuses to save while it is
// set, so corrupted state is never written over good files. It stays set until
// the process ends.

#include <cstddef>
#include <cstdint>

enum class eSafeContainerKind { Vector, List };

void ReportSafeIndexFailure(eSafeContainerKind kind, int index, std::size_t size, std::size_t elementSize);

// The same line for a bad index that was caught before anything was read or
// written through it (a request naming a sound or a tune that does not
// exist): the request is dropped and the run goes on, so neither the
// fatal-pending flag nor a close follows.
void ReportBadIndex(eSafeContainerKind kind, int index, std::size_t size, std::size_t elementSize);

// True when `index` addresses an element of a list of `size`: indexes are
// compared unsigned, so a negative one never does.
inline bool IsInList(int index, std::size_t size) { return static_cast<std::uint32_t>(index) < size; }

// True once any checked container was indexed out of range in this process.
bool IsFatalPending();

// Clears the flag (tests only).
void ClearFatalPendingForTests();

// The process-wide fallback element of type T, handed out by failed accesses:
// value-initialised on first use (zero for plain structures, null for pointers,
// the default for records) and kept for the rest of the process, so a value
// written into it is still there at the next failed access of that type.
template <class T>
T& SafeFallbackElement() {
  static T fallback{};
  return fallback;
}
