#include "core/RequestFlags.h"

std::atomic<int> g_NameEntryDone{0};
std::atomic<int> g_FileRequestDone{0};
std::atomic<int> g_FileRequestResult{0};
