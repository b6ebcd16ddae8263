#pragma once
// Lets the compiler check printf-style format strings against their arguments.
#define KESTROVA_PRINTF_FORMAT(formatIndex, firstArg) __attribute__((format(printf, formatIndex, firstArg)))
