#include "SampleSystemIni.h"

#include <fstream>

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
  const std::filesystem::path path = workingFolder / "System.ini";
  std::error_code ec;
  std::filesystem::create_directories(workingFolder, ec);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  const std::string text = MakeSystemIni();
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.close();
  if (!out) {
    error = "cannot write " + path.string();
    return false;
  }
  return true;
}

}  // namespace samplegame
