#include "platform/FileBytes.h"

#include <filesystem>
#include <fstream>

#include "platform/PathResolver.h"

namespace plat {

eReadFile ReadFileBytes(std::string_view programPath, std::uintmax_t maxBytes, std::vector<std::uint8_t>& bytes) {
  bytes.clear();
  const std::string native = NativePath(programPath);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(native, ec)) return eReadFile::Missing;
  const std::uintmax_t size = std::filesystem::file_size(native, ec);
  if (ec) return eReadFile::Failed;
  if (size > maxBytes) return eReadFile::TooLarge;
  std::ifstream in(native, std::ios::binary);
  if (!in) return eReadFile::Failed;
  std::vector<std::uint8_t> read(static_cast<std::size_t>(size));
  if (size > 0 && !in.read(reinterpret_cast<char*>(read.data()), static_cast<std::streamsize>(size))) {
    return eReadFile::Failed;
  }
  bytes = std::move(read);
  return eReadFile::Read;
}

}  // namespace plat
