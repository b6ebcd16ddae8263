#pragma once
// What the core services need of the drawing layer: whether it runs, in a
// window or full screen, on which back end, and a description of the display
// for the system report; plus its message box for full screen.
//
// The drawing layer depends on the core, not the other way round, so it hands
// the core these services through this interface when it starts (DDInit) and
// withdraws them when it stops. Until then the core sees "not started".

#include <cstdint>
#include <string>

enum class eDisplayBackEnd { None, Direct3D, DirectDraw };

// The facts the report's display part prints. Fields the running back end has
// no value for stay 0 or empty, and their lines are left out.
struct cDisplayDescription {
  bool started = false;
  bool windowed = true;
  eDisplayBackEnd backEnd = eDisplayBackEnd::None;
  int bitsPerPixel = 0;

  // DirectDraw path: video memory and the monitor's refresh rate.
  bool hasVideoMemoryFigures = false;
  std::uint64_t videoMemoryTotal = 0;
  std::uint64_t videoMemoryFree = 0;
  std::uint32_t refreshRate = 0;

  // Direct3D path: what the device tells of itself.
  std::string versionText;          // the graphics stack's own version text
  std::uint64_t textureMemory = 0;  // bytes
  std::string deviceName;           // adapter or renderer name
  std::string driverName;
  std::uint16_t driverVersion[4] = {0, 0, 0, 0};
  int maxTextureWidth = 0;
  int maxTextureHeight = 0;
  int maxTextureBlendStages = 0;
  int maxSimultaneousTextures = 0;
};

class cDisplayServices {
 public:
  virtual ~cDisplayServices() = default;
  virtual cDisplayDescription Describe() const = 0;
  // The full-screen message box: the button pressed, 0 when ordinary dialogs
  // could not be made visible (then no box was shown).
  virtual int MesBox(const std::string& text, const std::string& caption, unsigned type) = 0;
};

// The installed services, or null while the drawing layer is not running.
inline cDisplayServices*& DisplayServicesSlot() {
  static cDisplayServices* services = nullptr;
  return services;
}
inline void SetDisplayServices(cDisplayServices* services) { DisplayServicesSlot() = services; }
inline cDisplayServices* GetDisplayServices() { return DisplayServicesSlot(); }
