#pragma once
// The 8-bit DirectDraw mode's colour sets: the blend table that mixes two
// palette colours, and the palette set chosen in the options.
//
// At 8 bits per pixel a pixel is a palette index, so a mix of two colours
// cannot be computed: it is looked up. g_BlendTable is a 256 x 256 square of
// palette indices; entry a * 256 + b shows the mix of the colours of indices
// a and b (translucency looks up [destination * 256 + source], the tint
// [pixel * 256 + tint colour]). The game ships the tables as
// "bmp\hbt\hbtNN.dat", NN the two-digit number of the palette set: exactly
// 65536 bytes, no header, byte k being entry k. Only 8-bit DirectDraw reads
// them.

#include <array>
#include <cstdint>
#include <span>
#include <string>

using DDBLENDTABLE = std::array<std::uint8_t, 65536>;

// All zeros until a palette set is loaded.
extern DDBLENDTABLE g_BlendTable;

// The palette index showing the mix of indices a and b.
inline std::uint8_t BlendIndex(const DDBLENDTABLE& table, std::uint32_t a, std::uint32_t b) {
  return table[((a & 0xFFu) << 8) | (b & 0xFFu)];
}

// Reads a blend-table file into `table`. Under Direct3D it reads nothing and
// returns true. A file that cannot be opened returns false and leaves the
// table as it was. Otherwise the first 65536 bytes of the file (all of a
// shorter one) replace the table's first entries, the rest stay as they were,
// and the result is true.
bool LoadBlendTable(DDBLENDTABLE& table, const std::string& path);
// The bytes of such a file into the table, as LoadBlendTable does once they
// are read: at most 65536, a shorter run filling only its own length.
void TakeBlendTableBytes(DDBLENDTABLE& table, std::span<const std::uint8_t> bytes);

// Applies palette set n (8-bit DirectDraw only; anywhere else it does
// nothing and returns 1): loads "bmp\hbt\hbtNN.dat" into g_BlendTable, reloads
// the game palette from the palette bitmap, and then
//   n below 12  turns entries 16 to 207 by n blocks of 16 (entry 16 takes
//               entry 16 + 16n), so the twelve colour ramps trade places;
//   n of 12 on  fills each of the twelve blocks of 16 entries from 16 to 207
//               with the block that starts at entry (n - 11) * 16;
// g_PaletteWork becomes the palette and the display shows entries 0 to 254.
// A table that cannot be read shows "%s の読み込みに失敗！" and returns 0
// with the palette left alone; a palette bitmap that cannot be read returns
// 0 after the table was loaded.
int LoadHbtPalette(int n);
