#include "SampleSystemIni.h"

#include <cstdint>
#include <span>

#include "platform/AtomicFile.h"

namespace samplegame {

std::string MakeSystemIni() {
  // Lines without "=" are comments; the reader needs the final "Exit".
  return "/ Start-up settings of the sample game\n"
         "Direct3D=1\n"
         "WindowMode=1\n"
         "Bpp=0\n"
         "VSync=2\n"
         "ShowFps=1\n"
         "Exit\n";
}

bool WriteSampleSystemIni(const std::filesystem::path& workingFolder, std::string& error) {
  std::error_code ec;
  std::filesystem::create_directories(workingFolder, ec);
  const std::string text = MakeSystemIni();
  const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
  return plat::WriteFileAtomically((workingFolder / "System.ini").string(), bytes, &error);
}

}  // namespace samplegame
