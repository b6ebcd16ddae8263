#pragma once
// cDataRecord: the base of every persistent record, and the versioned record
// format shared by every data file.
//
// A data file is a u32 data version followed by one root record (some files
// append further values). A record in a file is:
//   u32 N, then for each of the N registered plain members its width x count
//   bytes (little-endian values, no padding, no tags);
//   u32 M, then for each of the M registered strings a u32 L = length + 1 and,
//   when L > 1, L bytes (the text and its NUL); an empty string is the u32 1;
//   then whatever lists and sub-records the record class appends.
// A record class says, for a given data version, which members exist and in
// which order they are stored (RegisterMembers). Files of older versions are
// read with the member set of their own version, so members introduced later
// keep the values they held before the read; the class's Read then applies its
// upgrade steps. Files are written in the writer's version, DATA_VERSION unless
// a test asks for an older one.
//
// Reading never trusts the file: every value goes through cByteReader, which
// refuses to read past the end and never allocates more than the bytes left.
// Once anything is wrong the reader is "failed", every further read yields 0,
// and the load as a whole fails. cDataRecord::LoadFile reads into a copy of the
// record and assigns it back only when the whole file read cleanly, so a failed
// load leaves the record exactly as it was.
//
// Writing a record class (the pattern every record follows):
//
//   class cThing : public cDataRecord {
//    public:
//     cThing() { Reset(); }
//     void Reset() { Clear(); m_nSpeed = 10; }         // class defaults start with Clear
//     void RegisterMembers(int nVersion) override {
//       ClearMembers();
//       RegisterInt(m_nSpeed);
//       if (nVersion >= 209) RegisterShort(m_nNewer);  // introduced at version 209
//       RegisterByte(m_Flags);                         // a fixed array: one descriptor
//       RegisterString(m_strName);
//     }
//     bool Read(cByteReader& in) override {
//       if (!cDataRecord::Read(in)) return false;
//       ReadRecordList(in, m_Parts);                   // appended data
//       if (in.Version() < 300) m_nSpeed *= 2;         // upgrade steps
//       return !in.Failed();
//     }
//     void Write(cByteWriter& out) override {
//       cDataRecord::Write(out);
//       WriteRecordList(out, m_Parts);
//     }
//     std::int32_t m_nSpeed = 0; std::int16_t m_nNewer = 0; std::uint8_t m_Flags[4] = {};
//     std::string m_strName; cSafeVector<cPart> m_Parts;
//   };
//
// Record classes are copyable; the base's copy and assignment copy no
// descriptors (they are a cache, rebuilt at the start of every operation), so
// the compiler's copy of a derived class is the record copy.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "core/SafeVector.h"

// The current data version: written first in every data file, used to
// register the members of every fresh record, part of the stage-file and
// replay-file extensions.
inline constexpr int DATA_VERSION = 781;

// The oldest data version a file may carry (a version word of 0 or a negative
// one is damage, not an old file).
inline constexpr int kOldestDataVersion = 1;

// Lists inside lists (commands hold flows, which hold commands...) nest at most
// this deep in a file; deeper nesting is refused instead of exhausting the stack.
inline constexpr int kMaxRecordNesting = 64;

// The version word of the data file most recently opened for reading. Set only
// when a file's version word was accepted (1..DATA_VERSION); a refused or short
// file leaves it as it was. Record code reads the version of the file at hand
// from its reader (cByteReader::Version), which is the same value; this global
// is for code that asks after the file is closed (the replay's key mode).
extern int g_ReadVersion;

// When set, every string read from a data file has its CR bytes (0x0D) removed.
// Start-up sets it before any data file is read; nothing clears it.
extern bool g_StripCR;

// Stands for a member the current version no longer has: a record registers it,
// for the older versions only, with RegisterDiscard. Reading skips the member's
// bytes and writing an older version writes zeros, so the storage itself is
// never read or written.
inline constexpr std::size_t kDiscardValueSize = 64;
extern std::uint8_t g_DiscardValue[kDiscardValueSize];

// ---- bounded reader ------------------------------------------------------

// Reads little-endian values from a byte span (or from bytes it owns). Never
// reads past the end: a read that does not fit marks the reader failed, keeps
// the reason and the offset, and yields 0 (or ""); every read after a failure
// also yields 0. The data version of the file being read travels with it.
class cByteReader {
 public:
  cByteReader() = default;
  explicit cByteReader(std::span<const std::uint8_t> bytes, int nVersion = DATA_VERSION);
  cByteReader(const cByteReader&) = delete;
  cByteReader& operator=(const cByteReader&) = delete;

  // Reads from `bytes` (not copied: they must outlive the reader) / from bytes
  // the reader keeps. Clears the failed state and the position.
  void Reset(std::span<const std::uint8_t> bytes);
  void Reset(std::vector<std::uint8_t>&& bytes);

  int Version() const { return m_nVersion; }
  void SetVersion(int nVersion) { m_nVersion = nVersion; }

  bool Failed() const { return m_bFailed; }
  // Marks the reader failed. The first reason is kept, with the offset at which
  // it happened; later reasons are ignored.
  void Fail(std::string_view reason);
  const std::string& FailReason() const { return m_strFailReason; }
  std::size_t FailOffset() const { return m_nFailOffset; }

  std::size_t Position() const { return m_nPos; }
  std::size_t Remaining() const { return m_Bytes.size() - m_nPos; }
  std::size_t Size() const { return m_Bytes.size(); }

  std::uint8_t ReadU8();
  std::int8_t ReadI8();
  std::uint16_t ReadU16();
  std::int16_t ReadI16();
  std::uint32_t ReadU32();
  std::int32_t ReadI32();
  double ReadF64();
  // Copies n bytes, or fails (and copies nothing) when fewer are left.
  bool ReadBytes(void* out, std::size_t n);
  bool Skip(std::size_t n);

  // One counted string (u32 L = length + 1, then L bytes when L > 1): the text
  // before the first NUL of those L bytes. L of 0 gives "" and consumes nothing
  // more; L bytes without a NUL give all L bytes. L beyond the bytes left fails.
  std::string ReadString();

  // A u32 element count, refused (failed, 0) when `count` elements of at least
  // `minElementBytes` bytes each could not fit in the bytes left. Use it for
  // every count read from a file before anything is sized by it.
  std::uint32_t ReadCount(std::size_t minElementBytes);

  // Nesting guard for lists of records: Enter fails the reader beyond
  // kMaxRecordNesting levels. Every Enter is paired with a Leave.
  bool EnterNested();
  void LeaveNested() { --m_nDepth; }

 private:
  bool Take(void* out, std::size_t n);

  std::vector<std::uint8_t> m_Owned;
  std::span<const std::uint8_t> m_Bytes;
  std::size_t m_nPos = 0;
  int m_nVersion = DATA_VERSION;
  int m_nDepth = 0;
  bool m_bFailed = false;
  std::size_t m_nFailOffset = 0;
  std::string m_strFailReason;
};

// ---- writer ----------------------------------------------------------------

// Appends little-endian values to a byte buffer. The version is the data
// version the records are written in: DATA_VERSION for every file the player
// writes; tests write older versions to produce the files readers upgrade from.
class cByteWriter {
 public:
  explicit cByteWriter(int nVersion = DATA_VERSION) : m_nVersion(nVersion) {}

  int Version() const { return m_nVersion; }

  void WriteU8(std::uint8_t value);
  void WriteI8(std::int8_t value);
  void WriteU16(std::uint16_t value);
  void WriteI16(std::int16_t value);
  void WriteU32(std::uint32_t value);
  void WriteI32(std::int32_t value);
  void WriteF64(double value);
  void WriteBytes(const void* data, std::size_t n);
  // One counted string: the text up to its first NUL, as u32 length + 1 and,
  // unless empty, the text and a NUL.
  void WriteString(std::string_view text);

  const std::vector<std::uint8_t>& Bytes() const { return m_Bytes; }
  std::vector<std::uint8_t> TakeBytes() { return std::move(m_Bytes); }

 private:
  std::vector<std::uint8_t> m_Bytes;
  int m_nVersion;
};

// ---- member descriptors ------------------------------------------------------

// One registered plain member: `m_nCount` consecutive values of `m_nWidth`
// bytes (1 byte, 2 i16, 4 i32, 8 double) starting at `m_pAddress` inside the
// record that registered it. A fixed array is one descriptor.
struct cMemberDesc {
  void* m_pAddress = nullptr;
  std::int32_t m_nCount = 0;
  std::int8_t m_nWidth = 0;
};

// One registered string member.
struct cStringDesc {
  std::string* m_pString = nullptr;
};

template <class T, std::size_t Width>
concept cStoredInteger = std::is_integral_v<T> && !std::is_same_v<T, bool> && sizeof(T) == Width;

// ---- the record base -----------------------------------------------------------

class cDataRecord {
 public:
  cDataRecord() = default;
  cDataRecord(const cDataRecord&) {}
  cDataRecord(cDataRecord&&) noexcept {}
  // Calls PrepareCopy on the source; copies no member values (the derived
  // class's assignment does) and no descriptors (they are rebuilt when used).
  cDataRecord& operator=(const cDataRecord& other);
  cDataRecord& operator=(cDataRecord&& other) noexcept;

  // Virtual operations, in this order.
  virtual ~cDataRecord() = default;
  // A hook called on the source of an assignment; nothing in the base.
  virtual void PrepareCopy(int nVersion) const;
  // Rebuilds the descriptor lists for the given data version: ClearMembers,
  // then the plain members that exist at that version in file order, then the
  // strings. Empty in the base.
  virtual void RegisterMembers(int nVersion);
  // The record form at in.Version(): registered members, strings; record
  // classes append their own data and upgrade steps. False once the reader has
  // failed. Afterwards the record is registered at DATA_VERSION.
  virtual bool Read(cByteReader& in);
  // The record form at out.Version(). Strings are cut at their first NUL, in
  // the record too. Afterwards the record is registered at DATA_VERSION.
  virtual void Write(cByteWriter& out);

  // The plain part of the record form: u32 N then the members' bytes. An N
  // above the registered count is refused (the format has no tags, so the
  // surplus cannot be placed); an N below it reads the first N members.
  bool ReadMembers(cByteReader& in);
  void WriteMembers(cByteWriter& out);
  // The string part: u32 M then M counted strings, CR bytes removed while
  // g_StripCR is set. An M above the registered count is refused.
  bool ReadStrings(cByteReader& in);
  void WriteStrings(cByteWriter& out);

  // Registers at DATA_VERSION, zeroes every registered plain member and empties
  // every registered string. Record classes call it first when setting defaults.
  void Clear();
  // Copies every registered member and string (both registered at DATA_VERSION)
  // from a record of the same class; records of different classes copy nothing.
  void CopyFrom(cDataRecord& other);
  // Deletes every CR byte from every currently registered string.
  void RemoveCR();

  // The descriptor lists as last registered. CountMembers / CountStrings
  // register at the given version and give N / M of the record form.
  const cSafeVector<cMemberDesc>& MemberDescs() const { return m_Members; }
  const cSafeVector<cStringDesc>& StringDescs() const { return m_Strings; }
  int CountMembers(int nVersion);
  int CountStrings(int nVersion);

  // Writes the data file: u32 DATA_VERSION and the record, through the atomic
  // file writer. False, with a report line, when the file could not be written;
  // the previous file then stays as it was.
  bool SaveFile(std::string_view path);
  // The bytes of a data file of this record written in the given version.
  std::vector<std::uint8_t> MakeFileBytes(int nVersion = DATA_VERSION);

  // Reads the data file `path` into `record`: true when the whole file read
  // cleanly. A missing or unreadable file gives false without a report line
  // (callers report in their own words); a short file, a version outside
  // 1..DATA_VERSION, a record that does not match its class or data ending
  // before its counts give false with a report line. On false the record is
  // unchanged. An empty name reads the file "err".
  template <class T>
  static bool LoadFile(T& record, std::string_view path);
  // The same from bytes in memory; `name` only labels the report line.
  template <class T>
  static bool LoadFromBytes(T& record, std::span<const std::uint8_t> bytes, std::string_view name = "memory");

 protected:
  void ClearMembers();

  template <cStoredInteger<1> T>
  void RegisterByte(T& value) { AddMember(&value, 1, 1); }
  template <cStoredInteger<1> T>
  void RegisterByte(T* values, int count) { AddMember(values, 1, count); }
  template <cStoredInteger<1> T, std::size_t N>
  void RegisterByte(T (&values)[N]) { AddMember(values, 1, static_cast<int>(N)); }
  template <cStoredInteger<1> T, std::size_t N>
  void RegisterByte(std::array<T, N>& values) { AddMember(values.data(), 1, static_cast<int>(N)); }

  template <cStoredInteger<2> T>
  void RegisterShort(T& value) { AddMember(&value, 2, 1); }
  template <cStoredInteger<2> T>
  void RegisterShort(T* values, int count) { AddMember(values, 2, count); }
  template <cStoredInteger<2> T, std::size_t N>
  void RegisterShort(T (&values)[N]) { AddMember(values, 2, static_cast<int>(N)); }
  template <cStoredInteger<2> T, std::size_t N>
  void RegisterShort(std::array<T, N>& values) { AddMember(values.data(), 2, static_cast<int>(N)); }

  template <cStoredInteger<4> T>
  void RegisterInt(T& value) { AddMember(&value, 4, 1); }
  template <cStoredInteger<4> T>
  void RegisterInt(T* values, int count) { AddMember(values, 4, count); }
  template <cStoredInteger<4> T, std::size_t N>
  void RegisterInt(T (&values)[N]) { AddMember(values, 4, static_cast<int>(N)); }
  template <cStoredInteger<4> T, std::size_t N>
  void RegisterInt(std::array<T, N>& values) { AddMember(values.data(), 4, static_cast<int>(N)); }

  void RegisterDouble(double& value) { AddMember(&value, 8, 1); }
  void RegisterDouble(double* values, int count) { AddMember(values, 8, count); }
  template <std::size_t N>
  void RegisterDouble(double (&values)[N]) { AddMember(values, 8, static_cast<int>(N)); }
  template <std::size_t N>
  void RegisterDouble(std::array<double, N>& values) { AddMember(values.data(), 8, static_cast<int>(N)); }

  // A member an older version stored and the current one dropped: `count`
  // values of `width` bytes, skipped when read, zeros when written
  // (width x count <= 64).
  void RegisterDiscard(int width, int count = 1);

  // Appends `count` descriptors that all point at `text` (callers pass 1).
  void RegisterString(std::string& text, int count = 1);

 private:
  void AddMember(void* address, int width, int count);

  cSafeVector<cMemberDesc> m_Members;
  cSafeVector<cStringDesc> m_Strings;
};

// ---- data files --------------------------------------------------------------

// Opens a data file for reading: reads it whole into `in` and takes its version
// word (see BeginDataRead). False when there is no such regular file or it
// cannot be read (no report line), or when it is far too large for a data file
// (256 MiB) or its version word is refused (with one). An empty name reads the
// file "err".
bool OpenDataRead(std::string_view path, cByteReader& in);

// Reads the u32 version word at the reader's position: refused (false, report
// line naming `name`) when fewer than 4 bytes are left or the version is not
// within 1..DATA_VERSION; otherwise the reader's version and g_ReadVersion
// become it.
bool BeginDataRead(cByteReader& in, std::string_view name);

// Starts a data file in memory: the u32 version word of the writer's version.
void BeginDataWrite(cByteWriter& out);

// False, with a report line naming the path, once a checked container has
// failed in this process (IsFatalPending): state saved from then on could be
// corrupted and must not replace a good file. Savers of player state ask it
// first.
bool SaveIsTrusted(std::string_view path);

// Writes the bytes through the atomic file writer; false, with a report line,
// when that failed.
bool SaveDataFile(std::string_view path, const std::vector<std::uint8_t>& bytes);

// One report line for a failed read: the name, the reader's reason and offset.
void ReportDataReadFailure(const cByteReader& in, std::string_view name);

// ---- record lists --------------------------------------------------------------

// A list of records: u32 n, then each element's record form. Reading builds
// each element from a fresh default element of its class (so members an older
// file lacks hold the class defaults) and reads it with its virtual Read; n is
// refused when n empty records (8 bytes each) could not fit in the bytes left,
// and elements are added one by one as they read, so nothing is allocated for
// data the file does not hold. On failure the list holds the elements read so
// far and the reader is failed.
template <class List>
bool ReadRecordList(cByteReader& in, List& list) {
  using Element = typename List::value_type;
  list.clear();
  const std::uint32_t count = in.ReadCount(8);
  if (in.Failed()) return false;
  if (!in.EnterNested()) return false;
  const Element fresh{};
  for (std::uint32_t i = 0; i < count; ++i) {
    Element element(fresh);
    if (!element.Read(in)) break;
    list.push_back(std::move(element));
  }
  in.LeaveNested();
  return !in.Failed();
}

template <class List>
void WriteRecordList(cByteWriter& out, List& list) {
  out.WriteU32(static_cast<std::uint32_t>(list.size()));
  for (auto& element : list) element.Write(out);
}

// A list of plain values: u32 n, then n little-endian values of the element
// type (1, 2, 4 or 8 bytes). n is refused when n values could not fit in the
// bytes left.
template <class List>
bool ReadValueList(cByteReader& in, List& list) {
  using Value = typename List::value_type;
  static_assert(std::is_arithmetic_v<Value> && !std::is_same_v<Value, bool>);
  list.clear();
  const std::uint32_t count = in.ReadCount(sizeof(Value));
  if (in.Failed()) return false;
  list.reserve(count);  // bounded by the bytes left
  for (std::uint32_t i = 0; i < count; ++i) {
    Value value{};
    if constexpr (std::is_same_v<Value, double>) value = in.ReadF64();
    else if constexpr (sizeof(Value) == 1) value = static_cast<Value>(in.ReadU8());
    else if constexpr (sizeof(Value) == 2) value = static_cast<Value>(in.ReadU16());
    else if constexpr (sizeof(Value) == 4) value = static_cast<Value>(in.ReadU32());
    else {
      static_assert(sizeof(Value) == 4, "8-byte integers are not part of the format");
    }
    list.push_back(value);
  }
  return !in.Failed();
}

template <class List>
void WriteValueList(cByteWriter& out, const List& list) {
  using Value = typename List::value_type;
  static_assert(std::is_arithmetic_v<Value> && !std::is_same_v<Value, bool>);
  out.WriteU32(static_cast<std::uint32_t>(list.size()));
  for (const Value& value : list) {
    if constexpr (std::is_same_v<Value, double>) out.WriteF64(value);
    else if constexpr (sizeof(Value) == 1) out.WriteU8(static_cast<std::uint8_t>(value));
    else if constexpr (sizeof(Value) == 2) out.WriteU16(static_cast<std::uint16_t>(value));
    else out.WriteU32(static_cast<std::uint32_t>(value));
  }
}

// ---- LoadFile ------------------------------------------------------------------

template <class T>
bool cDataRecord::LoadFile(T& record, std::string_view path) {
  static_assert(std::is_base_of_v<cDataRecord, T>);
  cByteReader in;
  if (!OpenDataRead(path, in)) return false;
  T loaded(record);
  if (!loaded.Read(in)) {
    ReportDataReadFailure(in, path.empty() ? std::string_view("err") : path);
    return false;
  }
  record = std::move(loaded);
  return true;
}

template <class T>
bool cDataRecord::LoadFromBytes(T& record, std::span<const std::uint8_t> bytes, std::string_view name) {
  static_assert(std::is_base_of_v<cDataRecord, T>);
  cByteReader in(bytes);
  if (!BeginDataRead(in, name)) return false;
  T loaded(record);
  if (!loaded.Read(in)) {
    ReportDataReadFailure(in, name);
    return false;
  }
  record = std::move(loaded);
  return true;
}
