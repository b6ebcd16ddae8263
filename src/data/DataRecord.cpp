#include "data/DataRecord.h"

#include <cstring>
#include <iterator>
#include <typeinfo>

#include "core/AtomicFile.h"
#include "core/Log.h"
#include "core/SafeAccess.h"
#include "core/StringUtil.h"
#include "platform/FileBytes.h"

int g_ReadVersion = DATA_VERSION;
bool g_StripCR = false;
std::uint8_t g_DiscardValue[kDiscardValueSize] = {};

// ---- cByteReader -----------------------------------------------------------------

cByteReader::cByteReader(std::span<const std::uint8_t> bytes, int nVersion) : m_Bytes(bytes), m_nVersion(nVersion) {}

void cByteReader::Reset(std::span<const std::uint8_t> bytes) {
  m_Owned.clear();
  m_Bytes = bytes;
  m_nPos = 0;
  m_nDepth = 0;
  m_bFailed = false;
  m_nFailOffset = 0;
  m_strFailReason.clear();
}

void cByteReader::Reset(std::vector<std::uint8_t>&& bytes) {
  Reset(std::span<const std::uint8_t>());
  m_Owned = std::move(bytes);
  m_Bytes = m_Owned;
}

void cByteReader::Fail(std::string_view reason) {
  if (m_bFailed) return;
  m_bFailed = true;
  m_nFailOffset = m_nPos;
  m_strFailReason.assign(reason);
}

bool cByteReader::Take(void* out, std::size_t n) {
  if (m_bFailed) return false;
  if (n > Remaining()) {
    Fail("the file ends before the data it announces");
    return false;
  }
  if (n > 0) std::memcpy(out, m_Bytes.data() + m_nPos, n);
  m_nPos += n;
  return true;
}

std::uint8_t cByteReader::ReadU8() {
  std::uint8_t b = 0;
  return Take(&b, 1) ? b : 0;
}

std::int8_t cByteReader::ReadI8() { return static_cast<std::int8_t>(ReadU8()); }

std::uint16_t cByteReader::ReadU16() {
  std::uint8_t b[2];
  if (!Take(b, 2)) return 0;
  return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
}

std::int16_t cByteReader::ReadI16() { return static_cast<std::int16_t>(ReadU16()); }

std::uint32_t cByteReader::ReadU32() {
  std::uint8_t b[4];
  if (!Take(b, 4)) return 0;
  return static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
         (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
}

std::int32_t cByteReader::ReadI32() { return static_cast<std::int32_t>(ReadU32()); }

double cByteReader::ReadF64() {
  std::uint8_t b[8];
  if (!Take(b, 8)) return 0.0;
  std::uint64_t bits = 0;
  for (int i = 7; i >= 0; --i) bits = (bits << 8) | b[i];
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

bool cByteReader::ReadBytes(void* out, std::size_t n) { return Take(out, n); }

bool cByteReader::Skip(std::size_t n) {
  if (m_bFailed) return false;
  if (n > Remaining()) {
    Fail("the file ends before the data it announces");
    return false;
  }
  m_nPos += n;
  return true;
}

std::string cByteReader::ReadString() {
  const std::uint32_t length = ReadU32();
  if (m_bFailed || length <= 1) {
    // L = 1 is the empty string. L = 0 never comes from a writer; it is read as
    // "" with nothing after it, which keeps the reader in step with the file.
    return std::string();
  }
  if (length > Remaining()) {
    Fail("a string is longer than the rest of the file");
    return std::string();
  }
  const char* text = reinterpret_cast<const char*>(m_Bytes.data() + m_nPos);
  m_nPos += length;
  const void* nul = std::memchr(text, 0, length);
  return std::string(text, nul ? static_cast<const char*>(nul) - text : length);
}

std::uint32_t cByteReader::ReadCount(std::size_t minElementBytes) {
  const std::uint32_t count = ReadU32();
  if (m_bFailed) return 0;
  if (minElementBytes > 0 && count > Remaining() / minElementBytes) {
    Fail("a count is larger than the rest of the file can hold");
    return 0;
  }
  return count;
}

bool cByteReader::EnterNested() {
  if (m_nDepth >= kMaxRecordNesting) {
    Fail("records are nested too deeply");
    return false;
  }
  ++m_nDepth;
  return true;
}

// ---- cByteWriter -----------------------------------------------------------------

void cByteWriter::WriteU8(std::uint8_t value) { m_Bytes.push_back(value); }

void cByteWriter::WriteI8(std::int8_t value) { WriteU8(static_cast<std::uint8_t>(value)); }

void cByteWriter::WriteU16(std::uint16_t value) {
  m_Bytes.push_back(static_cast<std::uint8_t>(value));
  m_Bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

void cByteWriter::WriteI16(std::int16_t value) { WriteU16(static_cast<std::uint16_t>(value)); }

void cByteWriter::WriteU32(std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) m_Bytes.push_back(static_cast<std::uint8_t>(value >> shift));
}

void cByteWriter::WriteI32(std::int32_t value) { WriteU32(static_cast<std::uint32_t>(value)); }

void cByteWriter::WriteF64(double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  for (int shift = 0; shift < 64; shift += 8) m_Bytes.push_back(static_cast<std::uint8_t>(bits >> shift));
}

void cByteWriter::WriteBytes(const void* data, std::size_t n) {
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  m_Bytes.insert(m_Bytes.end(), bytes, bytes + n);
}

void cByteWriter::WriteString(std::string_view text) {
  const std::size_t nul = text.find('\0');
  if (nul != std::string_view::npos) text = text.substr(0, nul);
  WriteU32(static_cast<std::uint32_t>(text.size() + 1));
  if (text.empty()) return;
  WriteBytes(text.data(), text.size());
  WriteU8(0);
}

// ---- member values -----------------------------------------------------------------

namespace {

// One value of a member between memory and the file, little-endian whatever
// the host order is.
void ReadValue(cByteReader& in, std::uint8_t* address, int width) {
  switch (width) {
    case 1: {
      const std::uint8_t v = in.ReadU8();
      std::memcpy(address, &v, 1);
      break;
    }
    case 2: {
      const std::uint16_t v = in.ReadU16();
      std::memcpy(address, &v, 2);
      break;
    }
    case 4: {
      const std::uint32_t v = in.ReadU32();
      std::memcpy(address, &v, 4);
      break;
    }
    default: {
      const double v = in.ReadF64();
      std::memcpy(address, &v, 8);
      break;
    }
  }
}

void WriteValue(cByteWriter& out, const std::uint8_t* address, int width) {
  switch (width) {
    case 1:
      out.WriteU8(*address);
      break;
    case 2: {
      std::uint16_t v;
      std::memcpy(&v, address, 2);
      out.WriteU16(v);
      break;
    }
    case 4: {
      std::uint32_t v;
      std::memcpy(&v, address, 4);
      out.WriteU32(v);
      break;
    }
    default: {
      double v;
      std::memcpy(&v, address, 8);
      out.WriteF64(v);
      break;
    }
  }
}

std::size_t MemberBytes(const cMemberDesc& desc) {
  return static_cast<std::size_t>(desc.m_nWidth) * static_cast<std::size_t>(desc.m_nCount);
}

// The bytes of a dropped member are skipped on reading, so g_DiscardValue is
// never written and readers on different threads never share it.
bool IsDiscarded(const cMemberDesc& desc) { return desc.m_pAddress == static_cast<void*>(g_DiscardValue); }

void EraseCR(std::string& text) { std::erase(text, '\r'); }

}  // namespace

// ---- cDataRecord -----------------------------------------------------------------

cDataRecord& cDataRecord::operator=(const cDataRecord& other) {
  if (this != &other) other.PrepareCopy(DATA_VERSION);
  m_Members.clear();
  m_Strings.clear();
  return *this;
}

cDataRecord& cDataRecord::operator=(cDataRecord&& other) noexcept {
  if (this != &other) other.PrepareCopy(DATA_VERSION);
  m_Members.clear();
  m_Strings.clear();
  return *this;
}

void cDataRecord::PrepareCopy(int) const {}

void cDataRecord::RegisterMembers(int) { ClearMembers(); }

void cDataRecord::ClearMembers() {
  m_Members.clear();
  m_Strings.clear();
}

void cDataRecord::AddMember(void* address, int width, int count) {
  cMemberDesc desc;
  desc.m_pAddress = address;
  desc.m_nWidth = static_cast<std::int8_t>(width);
  desc.m_nCount = count < 0 ? 0 : count;
  m_Members.push_back(desc);
}

void cDataRecord::RegisterDiscard(int width, int count) {
  if (width != 1 && width != 2 && width != 4 && width != 8) width = 4;
  const int fit = static_cast<int>(kDiscardValueSize) / width;
  AddMember(g_DiscardValue, width, count > fit ? fit : count);
}

void cDataRecord::RegisterString(std::string& text, int count) {
  for (int i = 0; i < count; ++i) m_Strings.push_back(cStringDesc{&text});
}

int cDataRecord::CountMembers(int nVersion) {
  RegisterMembers(nVersion);
  return static_cast<int>(m_Members.size());
}

int cDataRecord::CountStrings(int nVersion) {
  RegisterMembers(nVersion);
  return static_cast<int>(m_Strings.size());
}

bool cDataRecord::Read(cByteReader& in) {
  RegisterMembers(in.Version());
  ReadMembers(in);
  ReadStrings(in);
  if (in.Version() != DATA_VERSION) RegisterMembers(DATA_VERSION);
  return !in.Failed();
}

void cDataRecord::Write(cByteWriter& out) {
  RegisterMembers(out.Version());
  WriteMembers(out);
  WriteStrings(out);
  if (out.Version() != DATA_VERSION) RegisterMembers(DATA_VERSION);
}

bool cDataRecord::ReadMembers(cByteReader& in) {
  const std::uint32_t count = in.ReadU32();
  if (in.Failed()) return false;
  if (count > m_Members.size()) {
    in.Fail(FormatText("a record holds %u members where its class has %d at version %d",
                       static_cast<unsigned>(count), static_cast<int>(m_Members.size()), in.Version()));
    return false;
  }
  for (std::uint32_t i = 0; i < count && !in.Failed(); ++i) {
    const cMemberDesc& desc = m_Members[static_cast<int>(i)];
    if (MemberBytes(desc) > in.Remaining()) {
      in.Fail("the file ends inside a member");
      return false;
    }
    if (IsDiscarded(desc)) {
      in.Skip(MemberBytes(desc));
      continue;
    }
    auto* address = static_cast<std::uint8_t*>(desc.m_pAddress);
    for (int k = 0; k < desc.m_nCount; ++k) ReadValue(in, address + k * desc.m_nWidth, desc.m_nWidth);
  }
  return !in.Failed();
}

void cDataRecord::WriteMembers(cByteWriter& out) {
  out.WriteU32(static_cast<std::uint32_t>(m_Members.size()));
  for (const cMemberDesc& desc : m_Members) {
    if (IsDiscarded(desc)) {
      // A dropped member, written only for older versions: zeros, whatever the
      // last file read held there.
      for (std::size_t k = 0; k < MemberBytes(desc); ++k) out.WriteU8(0);
      continue;
    }
    const auto* address = static_cast<const std::uint8_t*>(desc.m_pAddress);
    for (int k = 0; k < desc.m_nCount; ++k) WriteValue(out, address + k * desc.m_nWidth, desc.m_nWidth);
  }
}

bool cDataRecord::ReadStrings(cByteReader& in) {
  const std::uint32_t count = in.ReadU32();
  if (in.Failed()) return false;
  if (count > m_Strings.size()) {
    in.Fail(FormatText("a record holds %u strings where its class has %d at version %d",
                       static_cast<unsigned>(count), static_cast<int>(m_Strings.size()), in.Version()));
    return false;
  }
  for (std::uint32_t i = 0; i < count; ++i) {
    std::string text = in.ReadString();
    if (in.Failed()) return false;
    *m_Strings[static_cast<int>(i)].m_pString = std::move(text);
  }
  if (g_StripCR) RemoveCR();
  return true;
}

void cDataRecord::WriteStrings(cByteWriter& out) {
  out.WriteU32(static_cast<std::uint32_t>(m_Strings.size()));
  for (const cStringDesc& desc : m_Strings) {
    std::string& text = *desc.m_pString;
    FixStringLength(text);  // the member itself is cut at an embedded NUL, as it is written
    out.WriteString(text);
  }
}

void cDataRecord::Clear() {
  RegisterMembers(DATA_VERSION);
  for (const cMemberDesc& desc : m_Members) std::memset(desc.m_pAddress, 0, MemberBytes(desc));
  for (const cStringDesc& desc : m_Strings) desc.m_pString->clear();
}

void cDataRecord::CopyFrom(cDataRecord& other) {
  if (&other == this || typeid(other) != typeid(*this)) return;
  RegisterMembers(DATA_VERSION);
  other.RegisterMembers(DATA_VERSION);
  const int members = static_cast<int>(std::min(m_Members.size(), other.m_Members.size()));
  for (int i = 0; i < members; ++i) {
    const cMemberDesc& to = m_Members[i];
    const cMemberDesc& from = other.m_Members[i];
    std::memcpy(to.m_pAddress, from.m_pAddress, std::min(MemberBytes(to), MemberBytes(from)));
  }
  const int strings = static_cast<int>(std::min(m_Strings.size(), other.m_Strings.size()));
  for (int i = 0; i < strings; ++i) *m_Strings[i].m_pString = *other.m_Strings[i].m_pString;
}

void cDataRecord::RemoveCR() {
  for (const cStringDesc& desc : m_Strings) EraseCR(*desc.m_pString);
}

std::vector<std::uint8_t> cDataRecord::MakeFileBytes(int nVersion) {
  cByteWriter out(nVersion);
  BeginDataWrite(out);
  Write(out);
  return out.TakeBytes();
}

bool cDataRecord::SaveFile(std::string_view path) { return SaveDataFile(path, MakeFileBytes(DATA_VERSION)); }

// ---- data files -----------------------------------------------------------------

namespace {

// Data files are a few megabytes at most; anything far larger is not one, and
// is refused before memory is taken for it.
constexpr std::uintmax_t kMaxDataFileSize = 256u << 20;

enum class eFileRead { Read, Missing, TooLarge };

eFileRead ReadWholeFile(std::string_view path, std::vector<std::uint8_t>& bytes) {
  switch (plat::ReadFileBytes(path, kMaxDataFileSize, bytes)) {
    case plat::eReadFile::Read: return eFileRead::Read;
    case plat::eReadFile::TooLarge: return eFileRead::TooLarge;
    default: return eFileRead::Missing;
  }
}

}  // namespace

bool OpenDataRead(std::string_view path, cByteReader& in) {
  const std::string_view name = path.empty() ? std::string_view("err") : path;
  std::vector<std::uint8_t> bytes;
  switch (ReadWholeFile(name, bytes)) {
    case eFileRead::Missing:
      return false;
    case eFileRead::TooLarge:
      in.Reset(std::span<const std::uint8_t>());
      in.Fail("the file is far too large to be a data file");
      ReportDataReadFailure(in, name);
      return false;
    case eFileRead::Read:
      break;
  }
  in.Reset(std::move(bytes));
  return BeginDataRead(in, name);
}

bool BeginDataRead(cByteReader& in, std::string_view name) {
  if (in.Remaining() < 4) {
    in.Fail("the file is shorter than its version word");
    ReportDataReadFailure(in, name);
    return false;
  }
  const std::int32_t version = in.ReadI32();
  if (version < kOldestDataVersion || version > DATA_VERSION) {
    in.Fail(FormatText("data version %d is not one this player reads (%d to %d)", version, kOldestDataVersion,
                       DATA_VERSION));
    ReportDataReadFailure(in, name);
    return false;
  }
  in.SetVersion(version);
  g_ReadVersion = version;
  return true;
}

void BeginDataWrite(cByteWriter& out) { out.WriteU32(static_cast<std::uint32_t>(out.Version())); }

bool SaveIsTrusted(std::string_view path) {
  if (!IsFatalPending()) return true;
  ReportPrintfLog("Save %.*s : refused, the game state is not trusted after an error", static_cast<int>(path.size()),
                  path.data());
  return false;
}

bool SaveDataFile(std::string_view path, const std::vector<std::uint8_t>& bytes) {
  if (WriteFileAtomic(path, bytes)) return true;
  ReportPrintfLog("Save %.*s : the file could not be written", static_cast<int>(path.size()), path.data());
  return false;
}

void ReportDataReadFailure(const cByteReader& in, std::string_view name) {
  ReportPrintfLog("Load %.*s : %s (byte %zu of %zu)", static_cast<int>(name.size()), name.data(),
                  in.FailReason().empty() ? "read failed" : in.FailReason().c_str(), in.FailOffset(), in.Size());
}
