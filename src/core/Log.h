#pragma once
// The two plain-text files of the player: the debug log ("EC_Game.txt", behind
// a switch that is off in normal runs) and the system report
// ("Report_Game.txt", always on, created afresh at every start).
//
// Every call appends exactly one line ending in "\n" and opens, appends and
// closes the file on its own, so the files are complete even when the process
// is killed. Each file has its own lock around that open-append-close, so lines
// written by several threads at once never interleave. Texts are CP932 bytes
// written unchanged. File names are program paths (CP932, backslashes) and are
// resolved through the path resolver at each write.

#include <cstddef>
#include <string>
#include <string_view>

#include "core/PrintfFormat.h"
#include "platform/WinTypes.h"

// The longest text (in bytes) that ReportPrintfLog, ReportPrintfError and the
// formatted error boxes carry; longer texts are cut on a character boundary.
inline constexpr std::size_t kMessageTextLimit = 1023;

// ---- debug log ----------------------------------------------------------

// Stores the switch (0 off) and the file name. The file is truncated by the
// first line written in the run, not here.
void LogInit(int enabled, std::string_view fileName);

// True while the debug log is switched on.
bool LogIsEnabled();

// Appends the text verbatim as one line ("%" stays "%"). False when the log is
// off or the line could not be written.
bool LogWrite(std::string_view text);
bool LogPuts(std::string_view text);

// Appends one printf-formatted line, of any length. False when the log is off.
bool LogPrintf(const char* format, ...) KESTROVA_PRINTF_FORMAT(1, 2);

// For a step that failed beyond repair: the formatted line goes to the debug
// log (when it is on) and to the report (always, so the reason is not lost
// while the debug log is off); then WM_CLOSE is posted to `window`, whether
// the log is on or off. A null window posts nothing.
void LogFatal(HWND window, const char* format, ...) KESTROVA_PRINTF_FORMAT(2, 3);

// ---- system report ------------------------------------------------------

// Creates or truncates the report at `path` (a full program path) and keeps
// the path. False (and nothing kept) when the file cannot be created; the
// caller decides what follows.
bool ReportInit(std::string_view path);

// Appends one printf-formatted line to the report. False when the report
// cannot be opened (nothing is written) or the write fails.
bool ReportPrintf(const char* format, ...) KESTROVA_PRINTF_FORMAT(1, 2);

// As ReportPrintf, with the text cut to kMessageTextLimit bytes on a character
// boundary, and the same line handed to the debug log. When the report cannot
// be opened nothing is written anywhere.
bool ReportPrintfLog(const char* format, ...) KESTROVA_PRINTF_FORMAT(1, 2);

// As ReportPrintfLog, then the same text is shown in an error box (caption
// "エラー"). The box appears only after the report is written and closed and
// its lock released, so other threads can keep writing while it is open.
bool ReportPrintfError(const char* format, ...) KESTROVA_PRINTF_FORMAT(1, 2);

// The report's path as given to ReportInit ("" before a successful ReportInit).
std::string ReportPath();

// Forgets the switch, the file names and the first-write state (tests only).
void ResetLogsForTests();
