#pragma once
// Shared by the fuzz targets: the seed-corpus hook every target defines, and
// the generic check of a record-file loader.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "data/DataRecord.h"

// A few valid files of the target's type; fuzz_<type>_seeds writes them out as
// the starting corpus.
std::vector<std::vector<std::uint8_t>> FuzzSeeds();

namespace fuzzsupport {

// Loads the input as a data file whose root record is a T, as the player
// does (CR stripping on). Whatever the input, the load must end without a
// crash, a sanitizer report or a runaway allocation. When it succeeds, the
// record written back must read again and write the very same bytes: a loader
// that accepts a file must never produce one it cannot read.
template <class T>
int FuzzRecordFile(const std::uint8_t* data, std::size_t size) {
  g_StripCR = true;
  T record;
  if (!cDataRecord::LoadFromBytes(record, std::span<const std::uint8_t>(data, size), "fuzz")) return 0;
  const std::vector<std::uint8_t> written = record.MakeFileBytes();
  T again;
  if (!cDataRecord::LoadFromBytes(again, written, "fuzz rewrite")) __builtin_trap();
  if (again.MakeFileBytes() != written) __builtin_trap();
  return 0;
}

}  // namespace fuzzsupport
