#include "core/ProcessFlags.h"

std::atomic<int> g_LaunchedByEditor{0};
std::atomic<int> g_AppActive{0};
int g_TestPlay = 0;
