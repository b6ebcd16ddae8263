#include "graphics/DrawLayerServices.h"

#include "graphics/DrawContext.h"
#include "graphics/DialogMode.h"
#include "platform/SoftwareDevice.h"
#include "platform/SystemInfo.h"

namespace {

cDrawLayerServices& Services() {
  static cDrawLayerServices services;
  return services;
}

}  // namespace

cDisplayDescription cDrawLayerServices::Describe() const {
  cDisplayDescription d;
  d.started = g_DrawLayer.bInitialized != 0;
  d.windowed = g_DrawLayer.bWindowMode != 0;
  d.bitsPerPixel = g_DrawLayer.nBpp;
  if (lpDTCon) {
    d.backEnd = eDisplayBackEnd::Direct3D;
    d.versionText = "Kestrova software device";
    d.deviceName = plat::kDeviceName;
    d.driverName = "software";
    d.maxTextureWidth = lpDTCon->Caps.MaxTextureWidth;
    d.maxTextureHeight = lpDTCon->Caps.MaxTextureHeight;
    d.maxTextureBlendStages = lpDTCon->Caps.MaxTextureBlendStages;
    d.maxSimultaneousTextures = lpDTCon->Caps.MaxSimultaneousTextures;
  } else if (lpDDCon) {
    // The software device's video memory is the machine's memory.
    const plat::cMemoryInfo memory = plat::GetMemoryInfo();
    d.backEnd = eDisplayBackEnd::DirectDraw;
    d.hasVideoMemoryFigures = true;
    d.videoMemoryTotal = memory.totalPhys;
    d.videoMemoryFree = memory.availPhys;
    d.refreshRate = static_cast<std::uint32_t>(g_DrawLayer.nDisplayRefreshRate);
  }
  return d;
}

int cDrawLayerServices::MesBox(const std::string& text, const std::string& caption, unsigned type) {
  return DDMesBox(text, caption, type);
}

void InstallDrawLayerServices() { SetDisplayServices(&Services()); }

void WithdrawDrawLayerServices() {
  if (GetDisplayServices() == &Services()) SetDisplayServices(nullptr);
}
