// The versioned record format: golden bytes, round trips, older versions,
// strings, and damaged files of every kind.

#include "data/DataRecord.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "data/RecordTestSupport.h"
#include "support/ByteBuilder.h"
#include "support/SampleRecord.h"

namespace {

using recordtest::cTempFolder;
using testsupport::ByteBuilder;
using testsupport::cSampleNode;
using testsupport::cSamplePart;
using testsupport::cSampleRecord;
using Bytes = std::vector<std::uint8_t>;

// Two i32 and one string: the smallest record with both parts of the form.
class cPairRecord : public cDataRecord {
 public:
  void RegisterMembers(int) override {
    ClearMembers();
    RegisterInt(m_nA);
    RegisterInt(m_nB);
    RegisterString(m_strText);
  }
  std::int32_t m_nA = 0;
  std::int32_t m_nB = 0;
  std::string m_strText;
};

class cEmptyRecord : public cDataRecord {};

// Plain members registered after the string: the file still holds all plain
// members first.
class cStringFirstRecord : public cDataRecord {
 public:
  void RegisterMembers(int) override {
    ClearMembers();
    RegisterString(m_strText);
    RegisterShort(m_nValue);
  }
  std::string m_strText = "x";
  std::int16_t m_nValue = 0x1234;
};

Bytes RecordBytes(cDataRecord& record, int version = DATA_VERSION) {
  cByteWriter out(version);
  record.Write(out);
  return out.TakeBytes();
}

// A sample record with a distinct value in every member, two parts and values.
cSampleRecord FilledSample() {
  cSampleRecord r;
  r.m_bFlag = 0xFE;
  r.m_nSigned = -2;
  r.m_nShort = -300;
  r.m_nInt = 0x12345678;
  r.m_dValue = -1.25;
  r.m_Array[0] = 1;
  r.m_Array[1] = -1;
  r.m_Array[2] = 65536;
  r.m_nAdded = 1234;
  r.m_strName = "name";
  r.m_strMemo = "";
  cSamplePart part;
  part.m_nValue = 11;
  part.m_nNewer = 12;
  part.m_strLabel = "p1";
  r.m_Parts.push_back(part);
  part.m_nValue = -5;
  part.m_strLabel = "";
  r.m_Parts.push_back(part);
  r.m_Values = {3, -4};
  return r;
}

// The file the sample record above gives at 781, built by hand.
ByteBuilder FilledSampleFile() {
  using namespace testsupport;
  ByteBuilder b;
  b.U32(781).Record({U8(0xFE), I8(-2), I16(-300), I32(0x12345678), F64(-1.25), I32Array({1, -1, 65536}), I16(1234)},
                    {"name", ""});
  b.U32(2);
  b.Record({I32(11), I16(12)}, {"p1"});
  b.Record({I32(-5), I16(12)}, {""});
  b.U32(2).I32(3).I32(-4);
  return b;
}

// ---- golden bytes ----------------------------------------------------------------

TEST(RecordFormat, TwoIntsAndAStringGiveTheDocumentedBytes) {
  cPairRecord r;
  r.m_nA = 5;
  r.m_nB = -1;
  r.m_strText = "abc";
  const Bytes expected = {0x02, 0, 0, 0, 0x05, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF,
                          0x01, 0, 0, 0, 0x04, 0, 0, 0, 'a',  'b',  'c',  0};
  EXPECT_EQ(RecordBytes(r), expected);
}

TEST(RecordFormat, EveryWidthIsLittleEndianAndAFixedArrayIsOneDescriptor) {
  cSampleRecord r = FilledSample();
  EXPECT_EQ(r.MakeFileBytes(), FilledSampleFile().Bytes());
}

TEST(RecordFormat, StringsFollowAllPlainMembersWhateverTheRegistrationOrder) {
  cStringFirstRecord r;
  EXPECT_EQ(RecordBytes(r), ByteBuilder().Record({testsupport::I16(0x1234)}, {"x"}).Bytes());
}

TEST(RecordFormat, ARecordWithoutMembersIsTwoZeroWords) {
  cEmptyRecord r;
  EXPECT_EQ(RecordBytes(r), Bytes(8, 0));
}

TEST(RecordFormat, StringsAreWrittenUpToTheirFirstNulAndTheMemberIsCutToo) {
  struct Case {
    std::string text;
    Bytes stringBytes;
    std::string afterWrite;
  };
  const Case cases[] = {
      {"", {1, 0, 0, 0}, ""},
      {std::string("ab\0cd", 5), {3, 0, 0, 0, 'a', 'b', 0}, "ab"},
      {std::string("\0x", 2), {1, 0, 0, 0}, ""},
  };
  for (const Case& c : cases) {
    cPairRecord r;
    r.m_strText = c.text;
    Bytes expected = ByteBuilder().U32(2).I32(0).I32(0).U32(1).Bytes();
    expected.insert(expected.end(), c.stringBytes.begin(), c.stringBytes.end());
    EXPECT_EQ(RecordBytes(r), expected);
    EXPECT_EQ(r.m_strText, c.afterWrite);
  }
}

// ---- reading -------------------------------------------------------------------

TEST(RecordFormat, ReadsTheHandBuiltFileIntoEveryMember) {
  cSampleRecord r;
  ASSERT_TRUE(cDataRecord::LoadFromBytes(r, FilledSampleFile().Bytes()));
  cSampleRecord expected = FilledSample();
  EXPECT_EQ(r.MakeFileBytes(), expected.MakeFileBytes());
  EXPECT_EQ(r.m_nSigned, -2);
  EXPECT_EQ(r.m_nShort, -300);
  EXPECT_EQ(r.m_dValue, -1.25);
  EXPECT_EQ(r.m_Array[2], 65536);
  ASSERT_EQ(r.m_Parts.size(), 2u);
  EXPECT_EQ(r.m_Parts[1].m_nValue, -5);
  EXPECT_EQ(g_ReadVersion, 781);
}

TEST(RecordFormat, RoundTripThroughAFileOnDisk) {
  cTempFolder folder;
  cSampleRecord saved = FilledSample();
  ASSERT_TRUE(saved.SaveFile("sample.dat"));
  EXPECT_EQ(recordtest::ReadFileBytes("sample.dat"), FilledSampleFile().Bytes());

  cSampleRecord loaded;
  ASSERT_TRUE(cDataRecord::LoadFile(loaded, "sample.dat"));
  EXPECT_EQ(loaded.MakeFileBytes(), saved.MakeFileBytes());
}

TEST(RecordFormat, AnEmptyNameReadsTheFileErr) {
  cTempFolder folder;
  cPairRecord source;
  source.m_nA = 77;
  ASSERT_TRUE(source.SaveFile("err"));
  cPairRecord r;
  ASSERT_TRUE(cDataRecord::LoadFile(r, ""));
  EXPECT_EQ(r.m_nA, 77);
}

TEST(RecordFormat, AMissingFileOrAFolderFailsQuietlyAndKeepsTheRecord) {
  cTempFolder folder;
  std::filesystem::create_directories("data/folder.dat");
  for (const char* path : {"data\\missing.dat", "data\\folder.dat", "data"}) {
    SCOPED_TRACE(path);
    cPairRecord r;
    r.m_nA = 9;
    EXPECT_FALSE(cDataRecord::LoadFile(r, path));
    EXPECT_EQ(r.m_nA, 9);
  }
  EXPECT_EQ(recordtest::ReportText(), "");
}

TEST(RecordFormat, CarriageReturnsAreRemovedOnlyWhileStrippingIsOn) {
  const Bytes file = ByteBuilder().U32(781).Record({testsupport::I32(0), testsupport::I32(0)}, {"a\r\r\nb\r"}).Bytes();
  struct Case {
    bool strip;
    std::string expected;
  };
  for (const Case& c : {Case{true, "a\nb"}, Case{false, "a\r\r\nb\r"}}) {
    g_StripCR = c.strip;
    cPairRecord r;
    ASSERT_TRUE(cDataRecord::LoadFromBytes(r, file));
    EXPECT_EQ(r.m_strText, c.expected);
  }
  g_StripCR = false;
}

TEST(RecordFormat, DamagedStringLengthsReadExactlyTheirBytes) {
  struct Case {
    const char* name;
    std::uint32_t lengthWord;
    std::string bytes;
    std::string expected;
  };
  const Case cases[] = {
      {"L = 0 is empty and consumes nothing", 0, "", ""},
      {"no NUL keeps all L bytes", 3, "xyz", "xyz"},
      {"text after the NUL is dropped", 5, std::string("ab\0cd", 5), "ab"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // The strings are followed by the list and value counts, which must still
    // be read in step.
    const Bytes bytes = ByteBuilder()
                            .U32(781)
                            .U32(7).U8(1).I8(0).I16(0).I32(0).F64(0).I32(0).I32(0).I32(0).I16(0)
                            .U32(2).StrRaw(c.lengthWord, c.bytes).Str("memo2")
                            .U32(0)
                            .U32(1).I32(99)
                            .Bytes();
    cSampleRecord r;
    ASSERT_TRUE(cDataRecord::LoadFromBytes(r, bytes));
    EXPECT_EQ(r.m_strName, c.expected);
    EXPECT_EQ(r.m_strMemo, "memo2");
    ASSERT_EQ(r.m_Values.size(), 1u);
    EXPECT_EQ(r.m_Values[0], 99);
  }
}

// ---- versions --------------------------------------------------------------------

// N and M of the sample record at each version: one descriptor per registered
// member, a fixed array counting once, a dropped member counting while it exists.
TEST(RecordFormat, DescriptorCountsFollowTheVersionGates) {
  struct Case {
    int version;
    int members;
    int strings;
  };
  const Case cases[] = {{1, 7, 1},   {99, 7, 1},  {100, 6, 1}, {208, 6, 1},
                        {209, 7, 1}, {499, 7, 1}, {500, 7, 2}, {781, 7, 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    cSampleRecord r;
    EXPECT_EQ(r.CountMembers(c.version), c.members);
    EXPECT_EQ(r.CountStrings(c.version), c.strings);
  }
  cSamplePart part;
  EXPECT_EQ(part.CountMembers(299), 1);
  EXPECT_EQ(part.CountMembers(781), 2);
  cPairRecord pair;
  EXPECT_EQ(pair.CountMembers(781), 2);
  EXPECT_EQ(pair.CountStrings(781), 1);
}

// A file written at an older version and read back: members the file lacks keep
// what the record held before (a root record) or the class default (list
// elements); the next write is a current-version file.
TEST(RecordFormat, OlderVersionsKeepDefaultsForNewerMembers) {
  struct Case {
    int version;
    bool hasAdded;
    bool hasMemo;
    bool partHasNewer;
  };
  const Case cases[] = {{50, false, false, false}, {208, false, false, false}, {209, true, false, false},
                        {300, true, false, true},  {500, true, true, true},     {781, true, true, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    cSampleRecord written = FilledSample();
    const Bytes file = written.MakeFileBytes(c.version);
    EXPECT_EQ(file[0] | (file[1] << 8), c.version);

    cSampleRecord r;  // defaults: added 42, memo "memo", parts' newer 3
    ASSERT_TRUE(cDataRecord::LoadFromBytes(r, file));
    EXPECT_EQ(g_ReadVersion, c.version);
    EXPECT_EQ(r.m_nInt, written.m_nInt);
    EXPECT_EQ(r.m_dValue, written.m_dValue);
    EXPECT_EQ(r.m_strName, written.m_strName);
    EXPECT_EQ(r.m_nAdded, c.hasAdded ? 1234 : 42);
    EXPECT_EQ(r.m_strMemo, c.hasMemo ? "" : "memo");
    ASSERT_EQ(r.m_Parts.size(), 2u);
    EXPECT_EQ(r.m_Parts[0].m_nNewer, c.partHasNewer ? 12 : 3);
    EXPECT_EQ(r.m_Parts[0].m_strLabel, "p1");

    // After the read the record is registered at the current version again.
    EXPECT_EQ(static_cast<int>(r.MemberDescs().size()), r.CountMembers(DATA_VERSION));
    const Bytes rewritten = r.MakeFileBytes();
    EXPECT_EQ(rewritten[0] | (rewritten[1] << 8), DATA_VERSION);
  }
}

TEST(RecordFormat, ADroppedMemberIsReadButGoesNowhere) {
  using namespace testsupport;
  const Bytes file = ByteBuilder()
                         .U32(50)
                         .Record({U8(1), I8(2), I16(3), I32(0x7777), I32(4), F64(5), I32Array({6, 7, 8})}, {"n"})
                         .U32(0)
                         .U32(0)
                         .Bytes();
  cSampleRecord r;
  ASSERT_TRUE(cDataRecord::LoadFromBytes(r, file));
  EXPECT_EQ(r.m_nShort, 3);
  EXPECT_EQ(r.m_nInt, 4);
  EXPECT_EQ(r.m_dValue, 5.0);
  EXPECT_EQ(r.m_Array[2], 8);

  // Written back at its own version, the dropped member is zeros.
  const Bytes rewritten = r.MakeFileBytes(50);
  const Bytes expected = ByteBuilder()
                             .U32(50)
                             .Record({U8(1), I8(2), I16(3), I32(0), I32(4), F64(5), I32Array({6, 7, 8})}, {"n"})
                             .U32(0)
                             .U32(0)
                             .Bytes();
  EXPECT_EQ(rewritten, expected);
}

TEST(RecordFormat, FewerMembersThanRegisteredReadsTheFirstOnes) {
  cPairRecord r;
  r.m_nB = 55;
  r.m_strText = "keep";
  ASSERT_TRUE(cDataRecord::LoadFromBytes(r, ByteBuilder().U32(781).U32(1).I32(8).U32(0).Bytes()));
  EXPECT_EQ(r.m_nA, 8);
  EXPECT_EQ(r.m_nB, 55);
  EXPECT_EQ(r.m_strText, "keep");
}

// ---- refused files ---------------------------------------------------------------

// Every refused file leaves the record exactly as it was. A file whose version
// word itself is refused leaves the version of the last good file in force.
class RefusedFile : public ::testing::Test {
 protected:
  void ExpectRefused(const Bytes& file, const char* reportWord = nullptr) {
    cSampleRecord r = FilledSample();
    const Bytes before = r.MakeFileBytes();
    g_ReadVersion = 123;
    EXPECT_FALSE(cDataRecord::LoadFromBytes(r, file));
    EXPECT_EQ(r.MakeFileBytes(), before);
    const bool versionWordAccepted =
        file.size() >= 4 && file[0] == 0x0D && file[1] == 0x03 && file[2] == 0 && file[3] == 0;
    EXPECT_EQ(g_ReadVersion, versionWordAccepted ? 781 : 123);
    const std::string report = recordtest::ReportText();
    EXPECT_NE(report.find("Load "), std::string::npos) << "no report line";
    if (reportWord != nullptr) {
      EXPECT_NE(report.find(reportWord), std::string::npos) << report;
    }
  }
  cTempFolder m_Folder;
};

TEST_F(RefusedFile, VersionsOutsideTheKnownRange) {
  for (std::uint32_t version : {0u, 782u, 0xFFFFFFFFu, 0x80000000u}) {
    SCOPED_TRACE(version);
    ByteBuilder file = FilledSampleFile();
    Bytes bytes = file.Bytes();
    std::memcpy(bytes.data(), &version, 4);
    ExpectRefused(bytes, "data version");
  }
}

TEST_F(RefusedFile, FilesShorterThanTheVersionWord) {
  for (std::size_t size = 0; size < 4; ++size) {
    SCOPED_TRACE(size);
    ExpectRefused(Bytes(size, 0x0D), "version word");
  }
}

TEST_F(RefusedFile, HugeCountsWithFewBytesLeft) {
  using namespace testsupport;
  const Bytes header =
      ByteBuilder()
          .U32(781)
          .Record({U8(0), I8(0), I16(0), I32(0), F64(0), I32Array({0, 0, 0}), I16(0)}, {"a", "b"})
          .Bytes();
  struct Case {
    const char* name;
    Bytes file;
  };
  const Case cases[] = {
      {"member count", ByteBuilder().U32(781).U32(0xFFFFFFFF).Bytes()},
      {"string count", ByteBuilder().U32(781).U32(0).U32(0x7FFFFFFF).Bytes()},
      {"string length", ByteBuilder().U32(781).U32(0).U32(1).U32(0xFFFFFFF0).Raw("abc").Bytes()},
      {"record list count", ByteBuilder().Raw(header).U32(0xFFFFFFFF).U32(0).Bytes()},
      {"record list count just too big", ByteBuilder().Raw(header).U32(2).U32(0).U32(0).U32(0).Bytes()},
      {"value list count", ByteBuilder().Raw(header).U32(0).U32(0x40000000).I32(1).Bytes()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ExpectRefused(c.file);
  }
}

// The format has no tags, so members or strings beyond what the class knows
// cannot be placed: such a file is refused, never read into the first member.
TEST_F(RefusedFile, MoreMembersOrStringsThanTheClassHas) {
  using namespace testsupport;
  ExpectRefused(ByteBuilder()
                    .U32(781)
                    .Record({U8(9), I8(9), I16(9), I32(9), F64(9), I32Array({9, 9, 9}), I16(9), I32(9)}, {"a", "b"})
                    .U32(0)
                    .U32(0)
                    .Bytes(),
                "members");
  ExpectRefused(ByteBuilder()
                    .U32(781)
                    .Record({U8(9), I8(9), I16(9), I32(9), F64(9), I32Array({9, 9, 9}), I16(9)}, {"a", "b", "c"})
                    .U32(0)
                    .U32(0)
                    .Bytes(),
                "strings");
}

// A valid file cut at every byte offset is refused cleanly.
TEST_F(RefusedFile, EveryTruncationOfAValidFile) {
  const Bytes whole = FilledSampleFile().Bytes();
  for (std::size_t size = 0; size < whole.size(); ++size) {
    SCOPED_TRACE(size);
    ExpectRefused(Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size)));
  }
}

TEST_F(RefusedFile, ATruncatedFileOnDiskLeavesTheRecordUnchanged) {
  const Bytes whole = FilledSampleFile().Bytes();
  recordtest::WriteFileBytes("cut.dat", Bytes(whole.begin(), whole.end() - 3));
  cSampleRecord r;
  r.m_nInt = 5;
  EXPECT_FALSE(cDataRecord::LoadFile(r, "cut.dat"));
  EXPECT_EQ(r.m_nInt, 5);
  EXPECT_NE(recordtest::ReportText().find("cut.dat"), std::string::npos);
}

// ---- nesting ---------------------------------------------------------------------

Bytes NestedNodes(int depth) {
  // Each level: N=1, value, M=0, then a list of one child; the innermost has an
  // empty list.
  ByteBuilder b;
  b.U32(781);
  for (int i = 0; i < depth; ++i) b.U32(1).I32(i).U32(0).U32(1);
  b.U32(1).I32(depth).U32(0).U32(0);
  return b.Bytes();
}

TEST(RecordNesting, ReasonableDepthsReadAndExcessiveOnesAreRefused) {
  cTempFolder folder;
  cSampleNode shallow;
  ASSERT_TRUE(cDataRecord::LoadFromBytes(shallow, NestedNodes(20)));
  const cSampleNode* node = &shallow;
  int depth = 0;
  while (!node->m_Children.empty()) {
    node = &node->m_Children[0];
    ++depth;
  }
  EXPECT_EQ(depth, 20);
  EXPECT_EQ(node->m_nValue, 20);

  cSampleNode deep;
  EXPECT_FALSE(cDataRecord::LoadFromBytes(deep, NestedNodes(100000)));
  EXPECT_TRUE(deep.m_Children.empty());
  EXPECT_NE(recordtest::ReportText().find("nested"), std::string::npos);
}

// ---- copies, clear ---------------------------------------------------------------

// Descriptors point into the record that registered them; a copy must never
// read or write through the original's descriptors.
TEST(RecordCopies, ACopyWritesItsOwnValuesEvenAfterTheOriginalIsGone) {
  Bytes copyBytes;
  cSampleRecord copy;
  {
    cSampleRecord original = FilledSample();
    original.MakeFileBytes();  // leaves its descriptors registered
    copy = original;
    cSampleRecord constructed(original);
    constructed.m_nInt = 99;
    EXPECT_EQ(original.m_nInt, 0x12345678);
    EXPECT_NE(constructed.MakeFileBytes(), original.MakeFileBytes());
  }
  copy.m_nInt = -7;
  cSampleRecord expected = FilledSample();
  expected.m_nInt = -7;
  EXPECT_EQ(copy.MakeFileBytes(), expected.MakeFileBytes());
}

TEST(RecordCopies, ClearZeroesRegisteredMembersAndCopyFromCopiesThem) {
  cSampleRecord source = FilledSample();
  cSampleRecord target;
  target.CopyFrom(source);
  EXPECT_EQ(target.m_nInt, source.m_nInt);
  EXPECT_EQ(target.m_Array[1], -1);
  EXPECT_EQ(target.m_nAdded, 1234);
  EXPECT_EQ(target.m_strName, "name");
  EXPECT_TRUE(target.m_Parts.empty());  // lists are the class's own business

  target.Clear();
  EXPECT_EQ(target.m_bFlag, 0);
  EXPECT_EQ(target.m_dValue, 0.0);
  EXPECT_EQ(target.m_Array[2], 0);
  EXPECT_EQ(target.m_strMemo, "");

  cPairRecord other;
  other.m_nA = 3;
  target.CopyFrom(other);  // another class: nothing copied
  EXPECT_EQ(target.m_nInt, 0);
}

TEST(RecordCopies, RemoveCRCleansEveryRegisteredString) {
  cSampleRecord r;
  r.m_strName = "\ra\r";
  r.m_strMemo = "b\r\r";
  r.CountMembers(DATA_VERSION);
  r.RemoveCR();
  EXPECT_EQ(r.m_strName, "a");
  EXPECT_EQ(r.m_strMemo, "b");
}

// ---- saving ----------------------------------------------------------------------

TEST(RecordSave, AFailedSaveIsReported) {
  cTempFolder folder;
  cPairRecord r;
  EXPECT_FALSE(r.SaveFile("no_such_folder\\x.dat"));
  EXPECT_NE(recordtest::ReportText().find("x.dat"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists("no_such_folder"));
}

// ---- the reader ------------------------------------------------------------------

TEST(ByteReader, ReadsLittleEndianAndStopsAtTheEnd) {
  const Bytes bytes = ByteBuilder().U16(0xBEEF).I32(-2).F64(0.5).U8(7).Bytes();
  cByteReader in(bytes);
  EXPECT_EQ(in.ReadU16(), 0xBEEF);
  EXPECT_EQ(in.ReadI32(), -2);
  EXPECT_EQ(in.ReadF64(), 0.5);
  EXPECT_FALSE(in.Failed());
  EXPECT_EQ(in.ReadU32(), 0u);  // one byte left: refused whole
  EXPECT_TRUE(in.Failed());
  EXPECT_EQ(in.FailOffset(), 14u);
  EXPECT_EQ(in.ReadU8(), 0);  // sticky: even the byte that is there
  EXPECT_EQ(in.Position(), 14u);
}

TEST(ByteReader, CountsAreBoundedByTheBytesLeft) {
  const Bytes bytes = ByteBuilder().U32(3).U32(0).U32(0).U32(0).Bytes();
  {
    cByteReader in(bytes);
    EXPECT_EQ(in.ReadCount(4), 3u);
    EXPECT_FALSE(in.Failed());
  }
  {
    cByteReader in(bytes);
    EXPECT_EQ(in.ReadCount(5), 0u);
    EXPECT_TRUE(in.Failed());
  }
}

}  // namespace
