#include "platform/WindowHost.h"

#include <array>
#include <mutex>
#include <unordered_map>

namespace plat {
namespace {

constexpr int kMetricCount = 64;

struct sScreenMetrics {
  std::array<int, kMetricCount> values{};
  RECT desktop;
  RECT workArea;
};

sScreenMetrics DefaultMetrics() {
  sScreenMetrics metrics;
  metrics.values[SM_CXSCREEN] = 1024;
  metrics.values[SM_CYSCREEN] = 768;
  metrics.values[SM_CXFULLSCREEN] = 1024;
  metrics.values[SM_CYFULLSCREEN] = 768;
  // Scroll bars are drawn by our own controls at this width.
  metrics.values[SM_CXVSCROLL] = 16;
  metrics.values[SM_CYHSCROLL] = 16;
  metrics.desktop = RECT{0, 0, 1024, 768};
  metrics.workArea = RECT{0, 0, 1024, 768};
  return metrics;
}

std::mutex g_HostMutex;
sScreenMetrics g_Metrics = DefaultMetrics();
std::unordered_map<HWND, cWindowHost*> g_Hosts;

}  // namespace

void AttachWindowHost(HWND window, cWindowHost* host) {
  std::lock_guard<std::mutex> lock(g_HostMutex);
  if (host == nullptr) {
    g_Hosts.erase(window);
  } else {
    g_Hosts[window] = host;
  }
}

cWindowHost* FindWindowHost(HWND window) {
  if (window == nullptr) return nullptr;
  std::lock_guard<std::mutex> lock(g_HostMutex);
  const auto found = g_Hosts.find(window);
  return found != g_Hosts.end() ? found->second : nullptr;
}

int GetSystemMetrics(int index) {
  if (index < 0 || index >= kMetricCount) return 0;
  std::lock_guard<std::mutex> lock(g_HostMutex);
  return g_Metrics.values[static_cast<std::size_t>(index)];
}

void SetSystemMetric(int index, int value) {
  if (index < 0 || index >= kMetricCount) return;
  std::lock_guard<std::mutex> lock(g_HostMutex);
  g_Metrics.values[static_cast<std::size_t>(index)] = value;
}

RECT GetDesktopRect() {
  std::lock_guard<std::mutex> lock(g_HostMutex);
  return g_Metrics.desktop;
}

RECT GetWorkArea() {
  std::lock_guard<std::mutex> lock(g_HostMutex);
  return g_Metrics.workArea;
}

void SetDesktopRects(const RECT& desktop, const RECT& workArea) {
  std::lock_guard<std::mutex> lock(g_HostMutex);
  g_Metrics.desktop = desktop;
  g_Metrics.workArea = workArea;
  g_Metrics.values[SM_CXSCREEN] = desktop.right - desktop.left;
  g_Metrics.values[SM_CYSCREEN] = desktop.bottom - desktop.top;
  g_Metrics.values[SM_CXFULLSCREEN] = workArea.right - workArea.left;
  g_Metrics.values[SM_CYFULLSCREEN] = workArea.bottom - workArea.top;
}

void ResetScreenMetrics() {
  std::lock_guard<std::mutex> lock(g_HostMutex);
  g_Metrics = DefaultMetrics();
}

}  // namespace plat
