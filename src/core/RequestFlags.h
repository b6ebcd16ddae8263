#pragma once
// The done and result flags of the requests other threads send to the main
// window (name entry, and opening or saving stage and replay files). A
// requester clears the done flag, sends its message and waits in 1 ms sleeps
// until the main window has set it; the result flag then tells whether a file
// was chosen. They live in core so that the world's requesters can reach them.

#include <atomic>

// Done flag of the name-entry request (message 1025).
extern std::atomic<int> g_NameEntryDone;

// Done flag of the file requests (messages 1026, 1027 and 1028).
extern std::atomic<int> g_FileRequestDone;

// Result of the file requests: 1 a file was chosen, 0 the dialog was cancelled.
extern std::atomic<int> g_FileRequestResult;
