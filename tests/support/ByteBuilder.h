#pragma once
// Builds the bytes of data files by hand, for tests of the readers: golden
// bytes, files of older versions, and damaged files (truncated, huge counts,
// surplus members). Every value is little-endian; nothing is padded.
//
//   ByteBuilder file;
//   file.U32(781)                       // version word
//       .Record({I32(5), I32(-1)}, {"abc"})  // N, members, M, strings
//       .U32(0);                        // an appended empty list
//
// Header-only; shared by every data test.

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace testsupport {

class ByteBuilder {
 public:
  // One registered member of a record: its bytes as they stand in the file.
  struct Member {
    std::vector<std::uint8_t> bytes;
  };

  ByteBuilder& U8(std::uint8_t v) { return Push(v, 1); }
  ByteBuilder& I8(std::int8_t v) { return Push(static_cast<std::uint8_t>(v), 1); }
  ByteBuilder& U16(std::uint16_t v) { return Push(v, 2); }
  ByteBuilder& I16(std::int16_t v) { return Push(static_cast<std::uint16_t>(v), 2); }
  ByteBuilder& U32(std::uint32_t v) { return Push(v, 4); }
  ByteBuilder& I32(std::int32_t v) { return Push(static_cast<std::uint32_t>(v), 4); }
  ByteBuilder& F64(double v) {
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return Push(bits, 8);
  }
  ByteBuilder& Raw(std::initializer_list<std::uint8_t> bytes) {
    m_Bytes.insert(m_Bytes.end(), bytes.begin(), bytes.end());
    return *this;
  }
  ByteBuilder& Raw(const std::vector<std::uint8_t>& bytes) {
    m_Bytes.insert(m_Bytes.end(), bytes.begin(), bytes.end());
    return *this;
  }
  ByteBuilder& Raw(std::string_view bytes) {
    m_Bytes.insert(m_Bytes.end(), bytes.begin(), bytes.end());
    return *this;
  }
  // A counted string as the writer makes it: u32 length + 1, then the text and
  // a NUL unless the text is empty.
  ByteBuilder& Str(std::string_view text) {
    U32(static_cast<std::uint32_t>(text.size() + 1));
    if (!text.empty()) Raw(text).U8(0);
    return *this;
  }
  // A counted string with a length word of your choosing and exactly these
  // bytes after it (for damaged strings: L = 0, no NUL, L past the end).
  ByteBuilder& StrRaw(std::uint32_t lengthWord, std::string_view bytes) { return U32(lengthWord).Raw(bytes); }

  // The base record form: u32 N, the members' bytes, u32 M, the strings.
  ByteBuilder& Record(std::initializer_list<Member> members, std::initializer_list<std::string_view> strings) {
    U32(static_cast<std::uint32_t>(members.size()));
    for (const Member& m : members) Raw(m.bytes);
    U32(static_cast<std::uint32_t>(strings.size()));
    for (std::string_view s : strings) Str(s);
    return *this;
  }
  // A whole data file holding one root record: version word, then Record.
  ByteBuilder& File(std::uint32_t version, std::initializer_list<Member> members,
                    std::initializer_list<std::string_view> strings) {
    return U32(version).Record(members, strings);
  }

  const std::vector<std::uint8_t>& Bytes() const { return m_Bytes; }
  std::size_t Size() const { return m_Bytes.size(); }
  operator const std::vector<std::uint8_t>&() const { return m_Bytes; }

 private:
  ByteBuilder& Push(std::uint64_t v, int width) {
    for (int i = 0; i < width; ++i) m_Bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    return *this;
  }

  std::vector<std::uint8_t> m_Bytes;
};

// Members for ByteBuilder::Record, one descriptor each; a fixed array is one
// member holding all its values.
inline ByteBuilder::Member U8(std::uint8_t v) { return {ByteBuilder().U8(v).Bytes()}; }
inline ByteBuilder::Member I8(std::int8_t v) { return {ByteBuilder().I8(v).Bytes()}; }
inline ByteBuilder::Member I16(std::int16_t v) { return {ByteBuilder().I16(v).Bytes()}; }
inline ByteBuilder::Member I32(std::int32_t v) { return {ByteBuilder().I32(v).Bytes()}; }
inline ByteBuilder::Member F64(double v) { return {ByteBuilder().F64(v).Bytes()}; }
inline ByteBuilder::Member I32Array(std::initializer_list<std::int32_t> values) {
  ByteBuilder b;
  for (std::int32_t v : values) b.I32(v);
  return {b.Bytes()};
}
inline ByteBuilder::Member I16Array(std::initializer_list<std::int16_t> values) {
  ByteBuilder b;
  for (std::int16_t v : values) b.I16(v);
  return {b.Bytes()};
}
inline ByteBuilder::Member U8Array(std::initializer_list<std::uint8_t> values) {
  ByteBuilder b;
  for (std::uint8_t v : values) b.U8(v);
  return {b.Bytes()};
}

}  // namespace testsupport
