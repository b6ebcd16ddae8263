#include "platform/TextCodec.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <cstddef>
#include <memory>

namespace plat {
namespace {

// Always "CP932": glibc's "SHIFT_JIS" turns 0x5C into the yen sign, which would
// break every path.
constexpr const char* kCp932Name = "CP932";
constexpr const char* kUtf8Name = "UTF-8";

constexpr std::string_view kCp932Replacement = "?";
constexpr std::string_view kUtf8Replacement = "\xEF\xBF\xBD";  // U+FFFD

// One converter of each direction per thread: an iconv_t keeps conversion
// state and must not be shared between threads.
class cConverter {
 public:
  cConverter(const char* to, const char* from) : m_Cd(iconv_open(to, from)) {}
  ~cConverter() {
    if (IsOpen()) iconv_close(m_Cd);
  }
  cConverter(const cConverter&) = delete;
  cConverter& operator=(const cConverter&) = delete;

  bool IsOpen() const { return m_Cd != reinterpret_cast<iconv_t>(-1); }

  // Converts as much as possible; stops at the first byte iconv refuses and
  // returns how many input bytes were consumed.
  std::size_t ConvertRun(std::string_view in, std::string& out) {
    iconv(m_Cd, nullptr, nullptr, nullptr, nullptr);
    char* inPtr = const_cast<char*>(in.data());
    std::size_t inLeft = in.size();
    while (inLeft > 0) {
      const std::size_t oldSize = out.size();
      const std::size_t room = inLeft * 4 + 16;
      out.resize(oldSize + room);
      char* outPtr = out.data() + oldSize;
      std::size_t outLeft = room;
      const std::size_t result = iconv(m_Cd, &inPtr, &inLeft, &outPtr, &outLeft);
      out.resize(oldSize + (room - outLeft));
      if (result != static_cast<std::size_t>(-1)) break;
      if (errno != E2BIG) break;  // EILSEQ or EINVAL: the caller replaces the bad bytes
    }
    return in.size() - inLeft;
  }

 private:
  iconv_t m_Cd;
};

// Length of the bad CP932 character at the front of `in`: a lead byte with a
// proper trail byte is one (unmapped) character; anything else is one stray byte.
std::size_t BadCp932Length(std::string_view in) {
  const auto lead = static_cast<unsigned char>(in[0]);
  if (in.size() >= 2 && IsCp932LeadByte(lead) && IsCp932TrailByte(static_cast<unsigned char>(in[1]))) return 2;
  return 1;
}

// Length of the bad UTF-8 sequence at the front of `in`: a lead byte with the
// continuation bytes that follow it, up to the length the lead announces. So a
// character CP932 cannot hold is skipped whole, and a cut-off sequence gives
// one replacement, not one per byte.
std::size_t BadUtf8Length(std::string_view in) {
  const auto lead = static_cast<unsigned char>(in[0]);
  std::size_t length = 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
  }
  std::size_t taken = 1;
  while (taken < length && taken < in.size() && (static_cast<unsigned char>(in[taken]) & 0xC0) == 0x80) ++taken;
  return taken;
}

std::string Convert(cConverter& converter, std::string_view in, std::string_view replacement,
                    std::size_t (*badLength)(std::string_view)) {
  std::string out;
  out.reserve(in.size() * 2);
  if (!converter.IsOpen()) {
    // Without the converter, keep ASCII and mark the rest as unreadable.
    for (char c : in) {
      if (static_cast<unsigned char>(c) < 0x80) {
        out += c;
      } else {
        out += replacement;
      }
    }
    return out;
  }
  while (!in.empty()) {
    in.remove_prefix(converter.ConvertRun(in, out));
    if (in.empty()) break;
    out += replacement;
    in.remove_prefix(badLength(in));
  }
  return out;
}

// Every character of the code page, converted once: indexed by the code
// (single bytes 0x00-0xFF, pairs lead << 8 | trail); 0 where there is none.
using tCodePointTable = std::array<char32_t, 0x10000>;

char32_t ConvertOneCharacter(cConverter& toUtf32, const char* bytes, std::size_t length) {
  std::string out;
  if (toUtf32.ConvertRun(std::string_view(bytes, length), out) != length || out.size() != 4) return 0;
  char32_t codePoint = 0;
  for (int i = 3; i >= 0; --i) codePoint = codePoint << 8 | static_cast<unsigned char>(out[static_cast<std::size_t>(i)]);
  return codePoint;
}

std::unique_ptr<tCodePointTable> BuildCodePointTable() {
  auto table = std::make_unique<tCodePointTable>();
  table->fill(0);
  cConverter toUtf32("UTF-32LE", kCp932Name);
  if (!toUtf32.IsOpen()) {
    for (char32_t c = 0; c < 0x80; ++c) (*table)[c] = c;
    return table;
  }
  for (unsigned single = 0; single <= 0xFF; ++single) {
    const auto byte = static_cast<unsigned char>(single);
    // Bytes that begin a pair, and the few that the code page leaves empty,
    // are no character on their own (some converters still map them to
    // private-use code points).
    if (IsCp932LeadByte(byte) || byte == 0x80 || byte == 0xA0 || byte >= 0xFD) continue;
    const char bytes[1] = {static_cast<char>(byte)};
    (*table)[single] = ConvertOneCharacter(toUtf32, bytes, 1);
  }
  (*table)[0] = 0;
  for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
    if (!IsCp932LeadByte(static_cast<unsigned char>(lead))) continue;
    for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
      if (!IsCp932TrailByte(static_cast<unsigned char>(trail))) continue;
      const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      (*table)[lead << 8 | trail] = ConvertOneCharacter(toUtf32, bytes, 2);
    }
  }
  return table;
}

}  // namespace

char32_t Cp932CodePoint(std::uint32_t code) {
  static const std::unique_ptr<tCodePointTable> table = BuildCodePointTable();
  if (code > 0xFFFF) return 0;
  if (code > 0xFF) {
    const auto lead = static_cast<unsigned char>(code >> 8);
    const auto trail = static_cast<unsigned char>(code);
    if (!IsCp932LeadByte(lead) || !IsCp932TrailByte(trail)) return 0;
  }
  return (*table)[code];
}

std::string Cp932ToUtf8(std::string_view cp932) {
  thread_local cConverter converter(kUtf8Name, kCp932Name);
  return Convert(converter, cp932, kUtf8Replacement, BadCp932Length);
}

std::string Utf8ToCp932(std::string_view utf8) {
  thread_local cConverter converter(kCp932Name, kUtf8Name);
  return Convert(converter, utf8, kCp932Replacement, BadUtf8Length);
}

}  // namespace plat
