#include "platform/PixelSurface.h"

#include <cstdint>
#include <mutex>
#include <new>
#include <utility>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace plat {

namespace {

void SetUpPixelHeap() {
#if defined(__GLIBC__)
  // glibc maps blocks above its mmap threshold on their own and unmaps them
  // when freed, and trims the freed top of the heap: either way a surface of
  // the next scene faults in every page again. Blocks up to the largest
  // threshold glibc takes (32 MiB) come from the heap instead, and the heap
  // keeps what is freed up to a generous size. Larger surfaces still map.
  static std::once_flag once;
  std::call_once(once, [] {
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 512 * 1024 * 1024);
  });
#endif
}

}  // namespace

void* AllocateZeroedPixels(std::size_t count, std::size_t size) {
  SetUpPixelHeap();
  return std::calloc(count, size);
}

void* AllocateUnsetPixels(std::size_t count, std::size_t size) {
  SetUpPixelHeap();
  if (size != 0 && count > SIZE_MAX / size) return nullptr;
  return std::malloc(count * size);
}

cPixelSurface::cPixelSurface(cPixelSurface&& other) noexcept
    : m_Width(std::exchange(other.m_Width, 0)),
      m_Height(std::exchange(other.m_Height, 0)),
      m_Depth(other.m_Depth),
      m_Pixels32(std::move(other.m_Pixels32)),
      m_Pixels8(std::move(other.m_Pixels8)) {
  other.m_Pixels32.clear();
  other.m_Pixels8.clear();
}

cPixelSurface& cPixelSurface::operator=(cPixelSurface&& other) noexcept {
  if (this != &other) {
    m_Width = std::exchange(other.m_Width, 0);
    m_Height = std::exchange(other.m_Height, 0);
    m_Depth = other.m_Depth;
    m_Pixels32 = std::move(other.m_Pixels32);
    m_Pixels8 = std::move(other.m_Pixels8);
    other.m_Pixels32.clear();
    other.m_Pixels8.clear();
  }
  return *this;
}

bool cPixelSurface::Create(int width, int height, ePixelDepth depth) {
  return CreateStorage(width, height, depth, ePixelInit::Zeroed);
}

bool cPixelSurface::CreateUnset(int width, int height, ePixelDepth depth) {
  return CreateStorage(width, height, depth, ePixelInit::Unset);
}

bool cPixelSurface::CreateStorage(int width, int height, ePixelDepth depth, ePixelInit init) {
  if (width < 1 || height < 1 || width > kMaxSurfaceSide || height > kMaxSurfaceSide) return false;
  const std::int64_t count = std::int64_t{width} * height;
  if (count > kMaxSurfacePixels) return false;
  if (depth != ePixelDepth::Argb32 && depth != ePixelDepth::Indexed8) return false;
  try {
    PixelStore<std::uint32_t> pixels32{cPixelAllocator<std::uint32_t>(init)};
    PixelStore<std::uint8_t> pixels8{cPixelAllocator<std::uint8_t>(init)};
    if (depth == ePixelDepth::Argb32) {
      pixels32.resize(static_cast<std::size_t>(count));
    } else {
      pixels8.resize(static_cast<std::size_t>(count));
    }
    m_Pixels32 = std::move(pixels32);
    m_Pixels8 = std::move(pixels8);
  } catch (const std::bad_alloc&) {
    return false;
  }
  m_Width = width;
  m_Height = height;
  m_Depth = depth;
  return true;
}

void cPixelSurface::Release() {
  m_Width = 0;
  m_Height = 0;
  m_Pixels32 = {};
  m_Pixels8 = {};
}

cPixelSurface cPixelSurface::Clone() const {
  cPixelSurface copy;
  copy.m_Width = m_Width;
  copy.m_Height = m_Height;
  copy.m_Depth = m_Depth;
  copy.m_Pixels32 = m_Pixels32;
  copy.m_Pixels8 = m_Pixels8;
  return copy;
}

sPixelLock cPixelSurface::Lock() {
  sPixelLock lock;
  lock.depth = m_Depth;
  lock.width = m_Width;
  lock.height = m_Height;
  lock.pitch = m_Width;
  if (!Empty()) {
    lock.bits = m_Depth == ePixelDepth::Argb32 ? static_cast<void*>(m_Pixels32.data())
                                               : static_cast<void*>(m_Pixels8.data());
  }
  return lock;
}

sPixelLock cPixelSurface::Lock() const { return const_cast<cPixelSurface*>(this)->Lock(); }

std::uint32_t cPixelSurface::GetPixel(int x, int y) const {
  if (!Contains(x, y)) return 0;
  const std::size_t at = static_cast<std::size_t>(y) * m_Width + x;
  return m_Depth == ePixelDepth::Argb32 ? m_Pixels32[at] : m_Pixels8[at];
}

void cPixelSurface::SetPixel(int x, int y, std::uint32_t value) {
  if (!Contains(x, y)) return;
  const std::size_t at = static_cast<std::size_t>(y) * m_Width + x;
  if (m_Depth == ePixelDepth::Argb32) {
    m_Pixels32[at] = value;
  } else {
    m_Pixels8[at] = static_cast<std::uint8_t>(value);
  }
}

}  // namespace plat
