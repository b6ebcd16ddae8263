#pragma once
// The in-process message core: every thread that takes part has its own queue,
// windows are handles owned by the thread that created them, and messages reach
// them either posted (queued, the sender goes on) or sent (the sender blocks
// until the owner's procedure has answered).
//
// A send is served by its owner in every wait it makes: GetMessage, PeekMessage,
// WaitMessage, Sleep and ServeSends. When the owner can no longer serve it (its
// queue is gone, or it refuses sends because it is shutting down), the send
// answers 0 at once, so no thread hangs on a partner that has left.
//
// Threads pause and stop cooperatively: a suspension request is honoured at the
// thread's next checkpoint (Sleep, GetMessage, WaitMessage, Checkpoint), and a
// thread is asked to stop by posting WM_QUIT to its queue.

#include <cstdint>

#include "platform/WinTypes.h"

namespace plat {

using ThreadId = std::uint32_t;  // 0 is never a valid id

// ---- threads and their queues -------------------------------------------

// The calling thread's id; the first call gives the thread an id and a queue.
ThreadId CurrentThreadId();

// Gives the calling thread a queue if it has none (the first message call does
// it too). Returns the thread's id.
ThreadId CreateThreadQueue();

// The calling thread leaves the message core: its queue is dropped, sends
// waiting on it answer 0, later posts to it fail, its windows are destroyed.
void DestroyThreadQueue();

// True while the thread has a queue.
bool ThreadHasQueue(ThreadId thread);

// Designates the main (window) thread; by default the first thread that calls
// into the message core is not assumed to be anything in particular.
void SetMainThread(ThreadId thread);
ThreadId MainThreadId();

// From now on, sends to windows of `thread` answer 0 at once, and those already
// waiting are released with 0. Used when the main thread starts shutting down.
void RefuseSends(ThreadId thread);

// ---- windows ------------------------------------------------------------

// Creates a window handle owned by the calling thread; messages for it are
// handed to `proc`. `userData` travels with the handle.
HWND CreateWindowHandle(WNDPROC proc, void* userData = nullptr);

// Destroys a handle; later posts to it fail and sends to it answer 0.
void DestroyWindowHandle(HWND window);

bool IsWindow(HWND window);
void* GetWindowUserData(HWND window);
void SetWindowUserData(HWND window, void* userData);
ThreadId GetWindowThreadId(HWND window);  // 0 for an unknown handle

// ---- messages -----------------------------------------------------------

// Queues a message for the window's owner thread; false for a null or unknown
// handle or an owner without a queue.
bool PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Queues a window-less message for a thread; false when it has no queue.
bool PostThreadMessage(ThreadId thread, UINT message, WPARAM wParam, LPARAM lParam);

// Posts WM_QUIT with the exit code (as wParam) to the calling thread.
void PostQuitMessage(int exitCode);

// Calls the window's procedure on its owner thread and returns its answer: at
// once when the caller owns the window, otherwise through the owner's queue
// while the caller waits (serving sends to its own windows meanwhile). Answers
// 0 when the window is unknown or its owner cannot serve it any more.
LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Serves pending sends, then looks for a posted message of the calling thread
// that matches the filter (null window: any; min = max = 0: any message).
// With PM_REMOVE the message is taken off the queue. False when none is there.
bool PeekMessage(MSG* msg, HWND filter, UINT min, UINT max, UINT removeFlag);

// Waits (serving sends) until a matching posted message arrives and takes it.
// Returns 0 for WM_QUIT, otherwise 1.
int GetMessage(MSG* msg, HWND filter, UINT min, UINT max);

// Calls the procedure of msg->hwnd with the message; 0 for window-less messages.
LRESULT DispatchMessage(const MSG* msg);

// Waits up to `timeoutMs` (on the real clock) for a posted message or a send,
// serving sends. True when a posted message is waiting.
bool WaitMessage(std::uint32_t timeoutMs);

// Serves every send waiting for the calling thread. Returns how many it served.
int ServeSends();

// ---- cooperative suspension ---------------------------------------------

// Asks a thread to pause at its next checkpoint; counts like the old suspend
// count. Returns false when the thread is unknown.
bool RequestSuspend(ThreadId thread);

// Undoes one RequestSuspend. Returns false when the thread is unknown.
bool RequestResume(ThreadId thread);

// Pauses the calling thread while it is suspended; serves sends meanwhile.
void Checkpoint();

// A checkpoint, serving sends, then sleeping `ms` on the process clock.
void Sleep(std::uint32_t ms);

// Forgets every queue, window and refusal (tests only).
void ResetMessageCoreForTests();

}  // namespace plat
