#include "platform/BmpDecoder.h"

#include <bit>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <limits>

#include "platform/PathResolver.h"

namespace plat {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kCompressionRgb = 0;
constexpr std::uint32_t kCompressionRle8 = 1;
constexpr std::uint32_t kCompressionRle4 = 2;
constexpr std::uint32_t kCompressionBitfields = 3;
constexpr std::int64_t kMaxBmpFileBytes = std::int64_t{256} * 1024 * 1024;

std::uint16_t ReadU16(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}
std::uint32_t ReadU32(std::span<const std::uint8_t> b, std::size_t at) {
  return std::uint32_t{b[at]} | std::uint32_t{b[at + 1]} << 8 | std::uint32_t{b[at + 2]} << 16 |
         std::uint32_t{b[at + 3]} << 24;
}
std::int32_t ReadI32(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::int32_t>(ReadU32(b, at));
}

// Everything the headers say, checked against the file.
struct sLayout {
  std::int64_t width = 0;
  std::int64_t height = 0;  // positive
  bool topDown = false;
  int bitsPerPixel = 0;
  std::uint32_t compression = kCompressionRgb;
  std::size_t pixelOffset = 0;
  std::size_t pixelBytes = 0;  // bytes available from pixelOffset
  std::uint32_t masks[3] = {0, 0, 0};
  std::vector<sPaletteEntry> palette;
};

// One colour channel taken out with a mask and scaled to 0..255.
struct sMaskChannel {
  std::uint32_t mask = 0;
  int shift = 0;
  std::uint32_t max = 0;

  explicit sMaskChannel(std::uint32_t m) : mask(m) {
    if (m != 0) {
      shift = std::countr_zero(m);
      max = m >> shift;
    }
  }
  std::uint32_t Extract(std::uint32_t pixel) const {
    if (max == 0) return 0;
    const std::uint64_t value = (pixel & mask) >> shift;
    return static_cast<std::uint32_t>((value * 255 + max / 2) / max);
  }
};

class cBmpReader {
 public:
  cBmpReader(std::span<const std::uint8_t> file, std::string* error) : m_File(file), m_Error(error) {}

  bool Decode(sBmpImage& out) {
    sLayout layout;
    if (!ReadHeaders(layout)) return false;
    sBmpImage image;
    image.width = static_cast<int>(layout.width);
    image.height = static_cast<int>(layout.height);
    image.bitsPerPixel = layout.bitsPerPixel;
    image.topDown = layout.topDown;
    image.palette = layout.palette;
    const std::size_t count = static_cast<std::size_t>(layout.width * layout.height);
    const bool rle = layout.compression == kCompressionRle8 || layout.compression == kCompressionRle4;
    try {
      // Every pixel of the planes is written below, but for the pixels an RLE
      // file skips, which keep index 0.
      image.rgb = BmpPlane<std::uint32_t>(count, cPixelAllocator<std::uint32_t>(ePixelInit::Unset));
      if (layout.bitsPerPixel <= 8) {
        image.indices = BmpPlane<std::uint8_t>(
            count, cPixelAllocator<std::uint8_t>(rle ? ePixelInit::Zeroed : ePixelInit::Unset));
      }
    } catch (const std::bad_alloc&) {
      return Fail("not enough memory for the picture");
    }
    bool ok = false;
    if (rle) {
      ok = DecodeRle(layout, image);
    } else {
      ok = DecodeRows(layout, image);
    }
    if (!ok) return false;
    if (layout.bitsPerPixel <= 8) ResolveIndices(image);
    out = std::move(image);
    return true;
  }

 private:
  bool Fail(const std::string& reason) {
    if (m_Error != nullptr) *m_Error = reason;
    return false;
  }

  bool ReadHeaders(sLayout& layout) {
    const std::size_t size = m_File.size();
    if (size < kFileHeaderSize + 4) return Fail("the file is too short for a bitmap header");
    if (m_File[0] != 'B' || m_File[1] != 'M') return Fail("not a bitmap file (no \"BM\" signature)");
    const std::uint32_t pixelOffset = ReadU32(m_File, 10);
    const std::uint32_t headerSize = ReadU32(m_File, 14);
    const bool core = headerSize == 12;
    if (!core && headerSize != 40 && headerSize != 52 && headerSize != 56 && headerSize != 108 &&
        headerSize != 124) {
      return Fail("unsupported bitmap header size " + std::to_string(headerSize));
    }
    if (kFileHeaderSize + headerSize > size) return Fail("the file ends inside the bitmap header");

    std::int64_t width = 0;
    std::int64_t height = 0;
    std::uint32_t colourCount = 0;
    if (core) {
      width = ReadU16(m_File, 18);
      height = ReadU16(m_File, 20);
      layout.bitsPerPixel = ReadU16(m_File, 24);
    } else {
      width = ReadI32(m_File, 18);
      height = ReadI32(m_File, 22);
      layout.bitsPerPixel = ReadU16(m_File, 28);
      layout.compression = ReadU32(m_File, 30);
      colourCount = ReadU32(m_File, 46);
    }
    const int bpp = layout.bitsPerPixel;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) {
      return Fail("unsupported depth of " + std::to_string(bpp) + " bits per pixel");
    }
    if (core && bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24) {
      return Fail("unsupported depth of " + std::to_string(bpp) + " bits per pixel in a core header");
    }
    if (width < 1) return Fail("bad width " + std::to_string(width));
    if (height == 0) return Fail("bad height 0");
    layout.topDown = height < 0;
    height = height < 0 ? -height : height;
    if (width > kMaxSurfaceSide || height > kMaxSurfaceSide || width * height > kMaxSurfacePixels) {
      return Fail("picture too large (" + std::to_string(width) + " x " + std::to_string(height) + ")");
    }
    layout.width = width;
    layout.height = height;

    switch (layout.compression) {
      case kCompressionRgb:
        break;
      case kCompressionRle8:
        if (bpp != 8) return Fail("RLE8 compression needs 8 bits per pixel");
        break;
      case kCompressionRle4:
        if (bpp != 4) return Fail("RLE4 compression needs 4 bits per pixel");
        break;
      case kCompressionBitfields:
        if (bpp != 16 && bpp != 32) return Fail("bit-field masks need 16 or 32 bits per pixel");
        break;
      default:
        return Fail("unsupported compression " + std::to_string(layout.compression));
    }
    const bool rle = layout.compression == kCompressionRle8 || layout.compression == kCompressionRle4;
    if (rle && layout.topDown) return Fail("a compressed bitmap cannot be stored top-down");

    std::size_t tableOffset = kFileHeaderSize + headerSize;
    if (!ReadMasks(layout, headerSize, tableOffset)) return false;

    if (bpp <= 8) {
      const std::uint32_t maxColours = 1u << bpp;
      if (colourCount > maxColours) {
        return Fail("colour count " + std::to_string(colourCount) + " too large for " + std::to_string(bpp) +
                    " bits per pixel");
      }
      if (colourCount == 0) colourCount = maxColours;
      const std::size_t entrySize = core ? 3 : 4;
      if (core && pixelOffset >= tableOffset) {
        // Core files have no colour count: the table runs up to the pixels.
        colourCount = static_cast<std::uint32_t>(
            std::min<std::size_t>(colourCount, (pixelOffset - tableOffset) / entrySize));
      }
      if (tableOffset + std::size_t{colourCount} * entrySize > size) return Fail("the file ends inside the colour table");
      layout.palette.resize(colourCount);
      for (std::uint32_t i = 0; i < colourCount; ++i) {
        const std::size_t at = tableOffset + i * entrySize;
        layout.palette[i] = sPaletteEntry{m_File[at + 2], m_File[at + 1], m_File[at], 0};
      }
    }

    if (pixelOffset < tableOffset) return Fail("the pixel data offset points into the headers");
    if (pixelOffset >= size) return Fail("the pixel data offset lies beyond the end of the file");
    layout.pixelOffset = pixelOffset;
    layout.pixelBytes = size - pixelOffset;

    if (!rle) {
      const std::int64_t pitch = ((width * bpp + 31) / 32) * 4;
      const std::int64_t lastRow = (width * bpp + 7) / 8;  // the final row may lack its padding
      const std::int64_t needed = pitch * (height - 1) + lastRow;
      if (needed > static_cast<std::int64_t>(layout.pixelBytes)) {
        return Fail("the pixel data is truncated (" + std::to_string(layout.pixelBytes) + " of " +
                    std::to_string(needed) + " bytes)");
      }
    }
    return true;
  }

  bool ReadMasks(sLayout& layout, std::uint32_t headerSize, std::size_t& tableOffset) {
    if (layout.bitsPerPixel == 16) {
      layout.masks[0] = 0x7C00;
      layout.masks[1] = 0x03E0;
      layout.masks[2] = 0x001F;
    } else if (layout.bitsPerPixel == 32) {
      layout.masks[0] = 0x00FF0000;
      layout.masks[1] = 0x0000FF00;
      layout.masks[2] = 0x000000FF;
    }
    if (layout.compression != kCompressionBitfields) return true;
    std::size_t at = kFileHeaderSize + 40;
    if (headerSize == 40) {
      // The three masks follow the header.
      if (at + 12 > m_File.size()) return Fail("the file ends inside the bit-field masks");
      tableOffset += 12;
    }
    for (int c = 0; c < 3; ++c) layout.masks[c] = ReadU32(m_File, at + 4 * c);
    const std::uint64_t limit = layout.bitsPerPixel == 16 ? 0xFFFFu : 0xFFFFFFFFu;
    for (std::uint32_t mask : layout.masks) {
      if (mask > limit) return Fail("a bit-field mask reaches beyond the pixel");
    }
    return true;
  }

  bool DecodeRows(const sLayout& layout, sBmpImage& image) {
    const int bpp = layout.bitsPerPixel;
    const std::size_t pitch = static_cast<std::size_t>(((layout.width * bpp + 31) / 32) * 4);
    const sMaskChannel red(layout.masks[0]);
    const sMaskChannel green(layout.masks[1]);
    const sMaskChannel blue(layout.masks[2]);
    const int width = image.width;
    for (int row = 0; row < image.height; ++row) {
      const std::uint8_t* src = m_File.data() + layout.pixelOffset + static_cast<std::size_t>(row) * pitch;
      const int y = layout.topDown ? row : image.height - 1 - row;
      const std::size_t base = static_cast<std::size_t>(y) * width;
      switch (bpp) {
        case 1:
          for (int x = 0; x < width; ++x) image.indices[base + x] = (src[x >> 3] >> (7 - (x & 7))) & 1;
          break;
        case 4:
          for (int x = 0; x < width; ++x) image.indices[base + x] = (src[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF;
          break;
        case 8:
          // The colours are looked up from the indices afterwards.
          std::memcpy(&image.indices[base], src, static_cast<std::size_t>(width));
          break;
        case 16:
          for (int x = 0; x < width; ++x) {
            const std::uint32_t p = src[2 * x] | src[2 * x + 1] << 8;
            image.rgb[base + x] = red.Extract(p) << 16 | green.Extract(p) << 8 | blue.Extract(p);
          }
          break;
        case 24:
          Rgb24Row(src, &image.rgb[base], width);
          break;
        case 32:
          for (int x = 0; x < width; ++x) {
            const std::uint8_t* q = src + 4 * x;
            const std::uint32_t p = q[0] | q[1] << 8 | q[2] << 16 | std::uint32_t{q[3]} << 24;
            image.rgb[base + x] = red.Extract(p) << 16 | green.Extract(p) << 8 | blue.Extract(p);
          }
          break;
      }
    }
    return true;
  }

  // RLE8 and RLE4. Rows run bottom-up; every run, copy and skip is checked
  // against the picture and the data left. Pixels the file skips keep index 0.
  bool DecodeRle(const sLayout& layout, sBmpImage& image) {
    const bool four = layout.compression == kCompressionRle4;
    const std::uint8_t* data = m_File.data() + layout.pixelOffset;
    const std::size_t size = layout.pixelBytes;
    std::size_t at = 0;
    std::int64_t x = 0;
    std::int64_t row = 0;  // counted from the bottom
    const std::int64_t width = image.width;
    const std::int64_t height = image.height;
    auto put = [&](std::uint8_t index) {
      const std::size_t y = static_cast<std::size_t>(height - 1 - row);
      image.indices[y * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] = index;
      ++x;
    };
    while (true) {
      if (at + 2 > size) return Fail("the RLE data ends without an end-of-bitmap mark");
      const std::uint8_t count = data[at];
      const std::uint8_t value = data[at + 1];
      at += 2;
      if (count > 0) {
        if (row >= height) return Fail("an RLE run lies above the picture");
        if (x + count > width) return Fail("an RLE run runs past the end of its row");
        for (int k = 0; k < count; ++k) {
          put(four ? static_cast<std::uint8_t>((k & 1) ? value & 0xF : value >> 4) : value);
        }
        continue;
      }
      switch (value) {
        case 0:  // end of row
          x = 0;
          ++row;
          break;
        case 1:  // end of bitmap
          return true;
        case 2: {  // move right and up
          if (at + 2 > size) return Fail("the RLE data ends inside a skip");
          x += data[at];
          row += data[at + 1];
          at += 2;
          if (x > width || row > height || (row == height && x > 0)) {
            return Fail("an RLE skip moves outside the picture");
          }
          break;
        }
        default: {  // a literal run of `value` pixels, padded to a 16-bit boundary
          const std::size_t bytes = four ? (value + 1u) / 2 : value;
          const std::size_t padded = (bytes + 1) & ~std::size_t{1};
          if (at + bytes > size) return Fail("the RLE data ends inside a literal run");
          if (row >= height) return Fail("an RLE literal run lies above the picture");
          if (x + value > width) return Fail("an RLE literal run runs past the end of its row");
          for (int k = 0; k < value; ++k) {
            const std::uint8_t byte = data[at + (four ? k / 2 : k)];
            put(four ? static_cast<std::uint8_t>((k & 1) ? byte & 0xF : byte >> 4) : byte);
          }
          at = std::min(size, at + padded);
          break;
        }
      }
    }
  }

  // Blue, green, red bytes to 0x00RRGGBB. All but the last pixel are read as
  // four bytes, little-endian, whose top byte (the next pixel's blue) is
  // dropped; the last one byte by byte, as it may end the file.
  static void Rgb24Row(const std::uint8_t* __restrict src, std::uint32_t* __restrict out, int width) {
    int x = 0;
    for (; x + 1 < width; ++x) {
      std::uint32_t p;
      std::memcpy(&p, src + 3 * x, 4);
      if constexpr (std::endian::native == std::endian::big) p = __builtin_bswap32(p);
      out[x] = p & 0x00FFFFFFu;
    }
    if (x < width) {
      const std::uint8_t* p = src + 3 * x;
      out[x] = std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 | p[0];
    }
  }

  static void ResolveIndices(sBmpImage& image) {
    std::uint32_t colours[256] = {};
    for (std::size_t i = 0; i < image.palette.size() && i < 256; ++i) {
      const sPaletteEntry& e = image.palette[i];
      colours[i] = std::uint32_t{e.red} << 16 | std::uint32_t{e.green} << 8 | e.blue;
    }
    const std::uint8_t* __restrict in = image.indices.data();
    std::uint32_t* __restrict out = image.rgb.data();
    const std::size_t count = image.indices.size();
    for (std::size_t i = 0; i < count; ++i) out[i] = colours[in[i]];
  }

  std::span<const std::uint8_t> m_File;
  std::string* m_Error;
};

// ---------------------------------------------------------------------------
// Writing

void PutU16(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
  out[at] = static_cast<std::uint8_t>(v);
  out[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void PutU32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
  for (int k = 0; k < 4; ++k) out[at + k] = static_cast<std::uint8_t>(v >> (8 * k));
}

// Headers for an uncompressed file; returns the buffer sized for the pixels.
std::vector<std::uint8_t> MakeFile(int width, int height, int bpp, std::size_t colours, bool topDown,
                                   std::size_t& pitch) {
  pitch = static_cast<std::size_t>(((std::int64_t{width} * bpp + 31) / 32) * 4);
  const std::size_t offset = kFileHeaderSize + 40 + colours * 4;
  const std::size_t total = offset + pitch * static_cast<std::size_t>(height);
  std::vector<std::uint8_t> out(total, 0);
  out[0] = 'B';
  out[1] = 'M';
  PutU32(out, 2, static_cast<std::uint32_t>(total));
  PutU32(out, 10, static_cast<std::uint32_t>(offset));
  PutU32(out, 14, 40);
  PutU32(out, 18, static_cast<std::uint32_t>(width));
  PutU32(out, 22, static_cast<std::uint32_t>(topDown ? -height : height));
  PutU16(out, 26, 1);
  PutU16(out, 28, static_cast<std::uint32_t>(bpp));
  PutU32(out, 30, kCompressionRgb);
  PutU32(out, 34, static_cast<std::uint32_t>(pitch * static_cast<std::size_t>(height)));
  PutU32(out, 38, 2835);  // 72 dots per inch
  PutU32(out, 42, 2835);
  PutU32(out, 46, static_cast<std::uint32_t>(colours));
  return out;
}

bool WriterSizeOk(int width, int height, std::size_t pixels) {
  return width >= 1 && height >= 1 && width <= kMaxSurfaceSide && height <= kMaxSurfaceSide &&
         pixels == static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
}

std::size_t RowOffset(int row, int height, bool topDown, std::size_t pitch, std::size_t offset) {
  const int stored = topDown ? row : height - 1 - row;
  return offset + static_cast<std::size_t>(stored) * pitch;
}

}  // namespace

bool DecodeBmp(std::span<const std::uint8_t> file, sBmpImage& out, std::string* error) {
  return cBmpReader(file, error).Decode(out);
}

bool LoadBmpFile(std::string_view programPath, sBmpImage& out, std::string* error) {
  const std::string native = NativePath(programPath);
  std::ifstream in(native, std::ios::binary | std::ios::ate);
  if (!in) {
    if (error != nullptr) *error = "cannot open " + native;
    return false;
  }
  const std::streamoff size = in.tellg();
  if (size < 0 || size > kMaxBmpFileBytes) {
    if (error != nullptr) *error = "cannot read the size of " + native + " or it is too large";
    return false;
  }
  // Not zeroed first: the read fills it whole or the load fails.
  const std::unique_ptr<std::uint8_t[]> bytes(new std::uint8_t[static_cast<std::size_t>(size)]);
  in.seekg(0);
  if (!in.read(reinterpret_cast<char*>(bytes.get()), size) || in.gcount() != size) {
    if (error != nullptr) *error = "cannot read " + native;
    return false;
  }
  std::string reason;
  if (!DecodeBmp(std::span<const std::uint8_t>(bytes.get(), static_cast<std::size_t>(size)), out, &reason)) {
    if (error != nullptr) *error = native + ": " + reason;
    return false;
  }
  return true;
}

std::vector<std::uint8_t> EncodeBmp8(int width, int height, std::span<const std::uint8_t> indices,
                                     std::span<const sPaletteEntry> palette, bool topDown) {
  if (!WriterSizeOk(width, height, indices.size()) || palette.empty() || palette.size() > 256) return {};
  std::size_t pitch = 0;
  std::vector<std::uint8_t> out = MakeFile(width, height, 8, palette.size(), topDown, pitch);
  for (std::size_t i = 0; i < palette.size(); ++i) {
    const std::size_t at = kFileHeaderSize + 40 + i * 4;
    out[at] = palette[i].blue;
    out[at + 1] = palette[i].green;
    out[at + 2] = palette[i].red;
  }
  const std::size_t offset = ReadU32(out, 10);
  for (int row = 0; row < height; ++row) {
    std::memcpy(&out[RowOffset(row, height, topDown, pitch, offset)],
                &indices[static_cast<std::size_t>(row) * width], static_cast<std::size_t>(width));
  }
  return out;
}

std::vector<std::uint8_t> EncodeBmp24(int width, int height, std::span<const std::uint32_t> pixels, bool topDown) {
  if (!WriterSizeOk(width, height, pixels.size())) return {};
  std::size_t pitch = 0;
  std::vector<std::uint8_t> out = MakeFile(width, height, 24, 0, topDown, pitch);
  const std::size_t offset = ReadU32(out, 10);
  for (int row = 0; row < height; ++row) {
    std::uint8_t* dst = &out[RowOffset(row, height, topDown, pitch, offset)];
    for (int x = 0; x < width; ++x) {
      const std::uint32_t p = pixels[static_cast<std::size_t>(row) * width + x];
      dst[3 * x] = static_cast<std::uint8_t>(p);
      dst[3 * x + 1] = static_cast<std::uint8_t>(p >> 8);
      dst[3 * x + 2] = static_cast<std::uint8_t>(p >> 16);
    }
  }
  return out;
}

std::vector<std::uint8_t> EncodeBmp32(int width, int height, std::span<const std::uint32_t> pixels, bool topDown) {
  if (!WriterSizeOk(width, height, pixels.size())) return {};
  std::size_t pitch = 0;
  std::vector<std::uint8_t> out = MakeFile(width, height, 32, 0, topDown, pitch);
  const std::size_t offset = ReadU32(out, 10);
  for (int row = 0; row < height; ++row) {
    std::uint8_t* dst = &out[RowOffset(row, height, topDown, pitch, offset)];
    for (int x = 0; x < width; ++x) {
      PutU32(out, static_cast<std::size_t>(dst - out.data()) + 4 * static_cast<std::size_t>(x),
             pixels[static_cast<std::size_t>(row) * width + x]);
    }
  }
  return out;
}

}  // namespace plat
