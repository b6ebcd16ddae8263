// The versioned record format itself: a record with members of every width,
// a fixed array, version-gated and dropped members, strings, a list of records
// and a list of values; and a record nesting lists of itself.

#include "fuzz/FuzzSupport.h"
#include "support/SampleRecord.h"

using testsupport::cSampleNode;
using testsupport::cSamplePart;
using testsupport::cSampleRecord;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The first byte picks the record class, so both shapes are explored.
  if (size == 0) return 0;
  if (data[0] & 1) return fuzzsupport::FuzzRecordFile<cSampleNode>(data + 1, size - 1);
  return fuzzsupport::FuzzRecordFile<cSampleRecord>(data + 1, size - 1);
}

std::vector<std::vector<std::uint8_t>> FuzzSeeds() {
  cSampleRecord record;
  record.m_nInt = 5;
  record.m_strName = "a\r\nb";
  record.m_Array[1] = -1;
  cSamplePart part;
  part.m_strLabel = "p";
  record.m_Parts.push_back(part);
  record.m_Parts.push_back(part);
  record.m_Values = {1, 2, 3};

  cSampleNode node;
  node.m_nValue = 1;
  node.m_Children.resize(2);
  node.m_Children[0].m_Children.resize(1);

  std::vector<std::vector<std::uint8_t>> seeds;
  auto add = [&seeds](std::uint8_t selector, std::vector<std::uint8_t> file) {
    file.insert(file.begin(), selector);
    seeds.push_back(std::move(file));
  };
  for (int version : {50, 208, 300, 500, DATA_VERSION}) add(0, record.MakeFileBytes(version));
  add(1, node.MakeFileBytes());
  return seeds;
}
