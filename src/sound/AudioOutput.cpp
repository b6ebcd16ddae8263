#include "sound/AudioOutput.h"

#include <mutex>
#include <string>

#include "core/Log.h"

namespace {

std::mutex g_OutputMutex;
std::shared_ptr<plat::cAudioDevice> g_Output;
AudioDeviceFactory g_Factory;

std::shared_ptr<plat::cAudioDevice> OpenSdlOrNullDevice() {
  std::string error;
  std::shared_ptr<plat::cAudioDevice> device = plat::cSdlAudioDevice::Open(&error);
  if (device) return device;
  ReportPrintfLog("sound: %s; sound effects and music stay silent", error.c_str());
  return std::make_shared<plat::cNullAudioDevice>();
}

}  // namespace

std::shared_ptr<plat::cAudioDevice> OpenAudioOutput() {
  std::lock_guard<std::mutex> lock(g_OutputMutex);
  if (!g_Output) g_Output = g_Factory ? g_Factory() : OpenSdlOrNullDevice();
  if (!g_Output) g_Output = std::make_shared<plat::cNullAudioDevice>();
  return g_Output;
}

std::shared_ptr<plat::cAudioDevice> CurrentAudioOutput() {
  std::lock_guard<std::mutex> lock(g_OutputMutex);
  return g_Output;
}

void CloseAudioOutput() {
  std::shared_ptr<plat::cAudioDevice> closing;
  {
    std::lock_guard<std::mutex> lock(g_OutputMutex);
    closing.swap(g_Output);
  }
  // An SDL device closes here, outside the lock, when nobody else holds it.
}

void SetAudioDeviceFactory(AudioDeviceFactory factory) {
  std::lock_guard<std::mutex> lock(g_OutputMutex);
  g_Factory = std::move(factory);
}
