#pragma once
// A picture in memory: the one kind of surface the software drawing device
// knows. Every surface of the drawing layer (back buffer, textures, work and
// fade surfaces, bitmap sheets) is one of these.
//
// Two depths exist:
//   Argb32    one std::uint32_t per pixel, 0xAARRGGBB. Textures use the alpha
//             byte; plain surfaces leave it as written (the presenter ignores it).
//   Indexed8  one byte per pixel, an index into the display palette (the 8-bit
//             mode). Only raw fills, copies and locks work at this depth.
//
// Rows are stored top row first, without padding: the pitch is the width.
// Callers still go through Pitch() so a later change of layout stays local.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <utility>
#include <vector>

namespace plat {

// calloc for pixel storage. The memory of released surfaces stays with the
// process for the next ones: a scene releases its surfaces and the next
// creates as many again, and memory handed back to the system comes back as
// fresh pages whose first touch costs far more than the drawing into them.
void* AllocateZeroedPixels(std::size_t count, std::size_t size);
// malloc from the same heap, for storage whose every element the caller
// writes before any is read.
void* AllocateUnsetPixels(std::size_t count, std::size_t size);

// What new pixel storage holds before anything is written into it.
enum class ePixelInit : std::uint8_t {
  Zeroed,  // every element 0
  Unset,   // whatever the heap held: only for storage the caller writes whole at once
};

// Pixel storage that comes zeroed from calloc and is not zeroed again: a new
// surface costs no pass over its pixels of its own, and the parts never drawn
// (a texture's padding up to a power of two) are never touched when they
// come as the system's zero pages. Storage made with ePixelInit::Unset skips
// even calloc's zeroing of reused heap memory, for the callers that fill or
// copy over every element at once; value-initialised elements are then not
// zero, so no other caller may ask for it. Copies are made as usual.
template <typename T>
struct cPixelAllocator {
  using value_type = T;
  ePixelInit init = ePixelInit::Zeroed;

  cPixelAllocator() = default;
  explicit cPixelAllocator(ePixelInit how) : init(how) {}
  template <typename U>
  cPixelAllocator(const cPixelAllocator<U>& other) : init(other.init) {}

  T* allocate(std::size_t count) {
    void* memory = init == ePixelInit::Zeroed ? AllocateZeroedPixels(count, sizeof(T))
                                              : AllocateUnsetPixels(count, sizeof(T));
    if (memory == nullptr) throw std::bad_alloc();
    return static_cast<T*>(memory);
  }
  void deallocate(T* memory, std::size_t) { std::free(memory); }
  // A value-initialised element keeps what the allocation holds (calloc's zero).
  template <typename U, typename... Args>
  void construct(U* at, Args&&... args) {
    if constexpr (sizeof...(Args) > 0) ::new (static_cast<void*>(at)) U(std::forward<Args>(args)...);
  }
  // Every block goes back through free(), so any two allocators may free each
  // other's blocks and a moved vector keeps its buffer.
  template <typename U>
  bool operator==(const cPixelAllocator<U>&) const {
    return true;
  }
};

template <typename T>
using PixelStore = std::vector<T, cPixelAllocator<T>>;

enum class ePixelDepth : std::uint8_t { Indexed8 = 8, Argb32 = 32 };

// One palette colour, laid out as the game's palettes store it.
struct sPaletteEntry {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  std::uint8_t flags = 0;
};
using DisplayPalette = std::array<sPaletteEntry, 256>;

// Largest side of any surface; larger requests are refused, not attempted.
constexpr int kMaxSurfaceSide = 16384;
// Largest surface in pixels (256 MiB at 32 bits).
constexpr std::int64_t kMaxSurfacePixels = std::int64_t{64} * 1024 * 1024;

// What a lock hands out: the first pixel of the top row, the distance between
// rows in pixels (not bytes), the depth and the size.
struct sPixelLock {
  void* bits = nullptr;
  int pitch = 0;  // pixels
  ePixelDepth depth = ePixelDepth::Argb32;
  int width = 0;
  int height = 0;

  int BitsPerPixel() const { return static_cast<int>(depth); }
  int BytesPerPixel() const { return static_cast<int>(depth) / 8; }
  std::uint32_t* Row32(int y) const { return static_cast<std::uint32_t*>(bits) + static_cast<std::ptrdiff_t>(y) * pitch; }
  std::uint8_t* Row8(int y) const { return static_cast<std::uint8_t*>(bits) + static_cast<std::ptrdiff_t>(y) * pitch; }
};

class cPixelSurface {
 public:
  cPixelSurface() = default;
  cPixelSurface(const cPixelSurface&) = delete;
  cPixelSurface& operator=(const cPixelSurface&) = delete;
  cPixelSurface(cPixelSurface&& other) noexcept;
  cPixelSurface& operator=(cPixelSurface&& other) noexcept;
  ~cPixelSurface() = default;

  // Makes a width x height surface of the depth, every pixel 0. Returns false
  // (and leaves the surface as it was) for a size below 1 or above the limits
  // above, or when memory runs out.
  bool Create(int width, int height, ePixelDepth depth);
  // The same, with pixels left as the heap held them, for a caller that
  // writes every pixel (a fill over all of it, a picture of its size copied
  // in) before anything reads one.
  bool CreateUnset(int width, int height, ePixelDepth depth);
  // Frees the pixels; the surface becomes empty (0 x 0).
  void Release();

  // An exact copy of size, depth and pixels.
  cPixelSurface Clone() const;

  bool Empty() const { return m_Width == 0; }
  int Width() const { return m_Width; }
  int Height() const { return m_Height; }
  ePixelDepth Depth() const { return m_Depth; }
  int BitsPerPixel() const { return static_cast<int>(m_Depth); }
  int Pitch() const { return m_Width; }  // pixels

  // Direct access; the lock never fails on a surface that is not empty and
  // gives bits = nullptr on an empty one. Nothing else is needed to unlock.
  sPixelLock Lock();
  sPixelLock Lock() const;  // the same, for reading (bits must not be written)

  std::uint32_t* Pixels32() { return m_Pixels32.data(); }
  const std::uint32_t* Pixels32() const { return m_Pixels32.data(); }
  std::uint8_t* Pixels8() { return m_Pixels8.data(); }
  const std::uint8_t* Pixels8() const { return m_Pixels8.data(); }

  // One pixel as its stored value (an index at 8 bits); 0 outside the surface.
  std::uint32_t GetPixel(int x, int y) const;
  // Writes one pixel (the low byte at 8 bits); nothing outside the surface.
  void SetPixel(int x, int y, std::uint32_t value);

  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < m_Width && y < m_Height; }

 private:
  int m_Width = 0;
  int m_Height = 0;
  ePixelDepth m_Depth = ePixelDepth::Argb32;
  bool CreateStorage(int width, int height, ePixelDepth depth, ePixelInit init);

  PixelStore<std::uint32_t> m_Pixels32;  // Argb32
  PixelStore<std::uint8_t> m_Pixels8;    // Indexed8
};

}  // namespace plat
