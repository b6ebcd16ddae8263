#include "core/Log.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <mutex>

#include "core/ErrorBox.h"
#include "core/StringUtil.h"
#include "platform/MessageCore.h"
#include "platform/PathResolver.h"

namespace {

// Lock order: a report write may copy its line into the debug log while it
// holds the report lock, so the debug-log lock is always taken second.
struct cDebugLogState {
  std::mutex mutex;
  std::atomic<bool> enabled{false};
  std::string fileName;
  bool firstWriteDone = false;
};

struct cReportState {
  std::mutex mutex;
  std::string path;
};

cDebugLogState& DebugLog() {
  static cDebugLogState state;
  return state;
}

cReportState& Report() {
  static cReportState state;
  return state;
}

// Opens an existing file for update at its end; null when it is missing.
std::FILE* OpenForAppend(const std::string& nativePath) {
  std::FILE* file = std::fopen(nativePath.c_str(), "r+");
  if (file != nullptr && std::fseek(file, 0, SEEK_END) != 0) {
    std::fclose(file);
    return nullptr;
  }
  return file;
}

bool WriteLine(std::FILE* file, std::string_view text) {
  if (!text.empty() && std::fwrite(text.data(), 1, text.size(), file) != text.size()) return false;
  return std::fputc('\n', file) != EOF;
}

bool WriteLineAndClose(std::FILE* file, std::string_view text) {
  const bool written = WriteLine(file, text);
  const bool closed = std::fclose(file) == 0;
  return written && closed;
}

struct cReportWrite {
  bool opened = false;
  bool written = false;
};

// Appends one line to the report; with `copyToDebugLog` the line also goes to
// the debug log, but only when the report could be opened.
cReportWrite AppendReportLine(std::string_view text, bool copyToDebugLog) {
  cReportState& report = Report();
  std::lock_guard<std::mutex> lock(report.mutex);
  cReportWrite result;
  if (report.path.empty()) return result;
  std::FILE* file = OpenForAppend(plat::NativePath(report.path));
  if (file == nullptr) return result;
  result.opened = true;
  const bool written = WriteLine(file, text);
  if (copyToDebugLog) LogWrite(text);
  const bool closed = std::fclose(file) == 0;
  result.written = written && closed;
  return result;
}

std::string FormatMessageText(const char* format, va_list args) {
  return CutAtCharBoundary(FormatStringV(format, args), kMessageTextLimit);
}

}  // namespace

void LogInit(int enabled, std::string_view fileName) {
  cDebugLogState& log = DebugLog();
  std::lock_guard<std::mutex> lock(log.mutex);
  log.fileName.assign(fileName);
  log.enabled = enabled != 0;
}

bool LogIsEnabled() { return DebugLog().enabled.load(); }

bool LogWrite(std::string_view text) {
  cDebugLogState& log = DebugLog();
  if (!log.enabled.load()) return false;
  std::lock_guard<std::mutex> lock(log.mutex);
  const std::string native = plat::NativePath(log.fileName);
  std::FILE* file = nullptr;
  if (!log.firstWriteDone) {
    // The first line of a run replaces what an earlier run left; even when the
    // file cannot be created, later lines only append.
    log.firstWriteDone = true;
    file = std::fopen(native.c_str(), "w");
  } else {
    file = OpenForAppend(native);
  }
  if (file == nullptr) return false;
  return WriteLineAndClose(file, text);
}

bool LogPuts(std::string_view text) { return LogWrite(text); }

bool LogPrintf(const char* format, ...) {
  if (!LogIsEnabled()) return false;
  va_list args;
  va_start(args, format);
  const std::string text = FormatStringV(format, args);
  va_end(args);
  return LogWrite(text);
}

void LogFatal(HWND window, const char* format, ...) {
  va_list args;
  va_start(args, format);
  const std::string text = FormatStringV(format, args);
  va_end(args);
  LogWrite(text);
  AppendReportLine(text, false);
  if (window != nullptr) plat::PostMessage(window, WM_CLOSE, 0, 0);
}

bool ReportInit(std::string_view path) {
  cReportState& report = Report();
  std::lock_guard<std::mutex> lock(report.mutex);
  report.path.clear();
  std::FILE* file = std::fopen(plat::NativePath(path).c_str(), "w");
  if (file == nullptr) return false;
  if (std::fclose(file) != 0) return false;
  report.path.assign(path);
  return true;
}

bool ReportPrintf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  const std::string text = FormatStringV(format, args);
  va_end(args);
  return AppendReportLine(text, false).written;
}

bool ReportPrintfLog(const char* format, ...) {
  va_list args;
  va_start(args, format);
  const std::string text = FormatMessageText(format, args);
  va_end(args);
  return AppendReportLine(text, true).written;
}

bool ReportPrintfError(const char* format, ...) {
  va_list args;
  va_start(args, format);
  const std::string text = FormatMessageText(format, args);
  va_end(args);
  const cReportWrite result = AppendReportLine(text, true);
  if (!result.opened) return false;
  ErrorBox(text);
  return result.written;
}

std::string ReportPath() {
  cReportState& report = Report();
  std::lock_guard<std::mutex> lock(report.mutex);
  return report.path;
}

void ResetLogsForTests() {
  {
    cDebugLogState& log = DebugLog();
    std::lock_guard<std::mutex> lock(log.mutex);
    log.enabled = false;
    log.fileName.clear();
    log.firstWriteDone = false;
  }
  cReportState& report = Report();
  std::lock_guard<std::mutex> lock(report.mutex);
  report.path.clear();
}
