#include "core/AtomicFile.h"

#include <span>

#include "platform/AtomicFile.h"
#include "platform/PathResolver.h"

bool WriteFileAtomic(std::string_view path, const void* data, std::size_t size) {
  if (path.empty()) return false;
  const std::span<const std::uint8_t> bytes(static_cast<const std::uint8_t*>(data), size);
  return plat::WriteFileAtomically(plat::NativePath(path), bytes);
}

bool WriteFileAtomic(std::string_view path, std::string_view bytes) {
  return WriteFileAtomic(path, bytes.data(), bytes.size());
}

bool WriteFileAtomic(std::string_view path, const std::vector<std::uint8_t>& bytes) {
  return WriteFileAtomic(path, bytes.data(), bytes.size());
}
