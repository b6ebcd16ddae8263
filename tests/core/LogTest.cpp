#include "core/Log.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <memory>
#include <regex>
#include <string>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

#include "CoreTestSupport.h"
#include "platform/Clock.h"

namespace {

using coretest::ReadLines;
using coretest::ReadWholeFile;
using coretest::WriteWholeFile;

class LogTest : public coretest::cCoreFixture {};

std::string Repeat(const std::string& piece, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

TEST_F(LogTest, SwitchedOffLogWritesNothingButFatalStillClosesAndReports) {
  LogInit(0, "EC_Game.txt");
  StartReport();

  EXPECT_FALSE(LogWrite("line"));
  EXPECT_FALSE(LogPuts("line"));
  EXPECT_FALSE(LogPrintf("%d", 1));
  LogFatal(m_Window, "scene died: %s", "bad step");

  EXPECT_FALSE(std::filesystem::exists(DebugLogFile()));
  EXPECT_EQ(TakePosted(WM_CLOSE), 1);
  // With the debug log off the reason would otherwise be lost.
  EXPECT_EQ(ReadLines(ReportFile()), std::vector<std::string>{"scene died: bad step"});
}

TEST_F(LogTest, FatalWithNullWindowPostsNothing) {
  LogInit(1, "EC_Game.txt");
  LogFatal(nullptr, "x");
  EXPECT_EQ(TakePosted(WM_CLOSE), 0);
  EXPECT_EQ(ReadLines(DebugLogFile()), std::vector<std::string>{"x"});
}

TEST_F(LogTest, FirstLineOfRunReplacesOldFileLaterLinesAppend) {
  WriteWholeFile(DebugLogFile(), "left by an earlier run\n");
  LogInit(1, "EC_Game.txt");
  // Switching on alone does not touch the file.
  EXPECT_EQ(ReadWholeFile(DebugLogFile()), "left by an earlier run\n");

  EXPECT_TRUE(LogWrite("first"));
  EXPECT_TRUE(LogPrintf("second %d", 2));
  EXPECT_TRUE(LogPuts("third"));

  EXPECT_EQ(ReadWholeFile(DebugLogFile()), "first\nsecond 2\nthird\n");
}

TEST_F(LogTest, DebugLogInMissingFolderDropsLinesAndLaterLinesDoNotTruncate) {
  LogInit(1, "missing\\EC_Game.txt");
  EXPECT_FALSE(LogWrite("dropped"));
  std::filesystem::create_directory(m_Folder.Path() / "missing");
  WriteWholeFile(m_Folder.Path() / "missing" / "EC_Game.txt", "kept\n");
  EXPECT_TRUE(LogWrite("appended"));
  EXPECT_EQ(ReadWholeFile(m_Folder.Path() / "missing" / "EC_Game.txt"), "kept\nappended\n");
}

TEST_F(LogTest, PercentInTextIsWrittenOnce) {
  const std::string text = "100% %d %s %n";
  struct Case {
    const char* name;
    bool (*write)(const std::string&);
    bool toReport;
    bool toDebugLog;
    bool showsBox;
  };
  const Case cases[] = {
      {"LogWrite", [](const std::string& t) { return LogWrite(t); }, false, true, false},
      {"LogPrintf", [](const std::string& t) { return LogPrintf("%s", t.c_str()); }, false, true, false},
      {"ReportPrintf", [](const std::string& t) { return ReportPrintf("%s", t.c_str()); }, true, false, false},
      {"ReportPrintfLog", [](const std::string& t) { return ReportPrintfLog("%s", t.c_str()); }, true, true, false},
      {"ReportPrintfError", [](const std::string& t) { return ReportPrintfError("%s", t.c_str()); }, true, true,
       true},
  };
  const std::vector<std::string> none;
  const std::vector<std::string> once{text};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ResetLogsForTests();
    std::filesystem::remove(DebugLogFile());
    LogInit(1, "EC_Game.txt");
    StartReport();
    m_Boxes.clear();

    EXPECT_TRUE(c.write(text));

    EXPECT_EQ(ReadLines(ReportFile()), c.toReport ? once : none);
    EXPECT_EQ(ReadLines(DebugLogFile()), c.toDebugLog ? once : none);
    ASSERT_EQ(m_Boxes.size(), c.showsBox ? 1u : 0u);
    if (c.showsBox) {
      EXPECT_EQ(m_Boxes[0].text, text);
    }
  }
}

TEST_F(LogTest, ReportStartsEmptyAndCarriesLinesInOrder) {
  WriteWholeFile(ReportFile(), "old report\n");
  StartReport();
  EXPECT_EQ(ReadWholeFile(ReportFile()), "");
  EXPECT_TRUE(ReportPrintf("App : ver %s", "781"));
  EXPECT_TRUE(ReportPrintf("OS : %s", "Linux"));
  EXPECT_EQ(ReadLines(ReportFile()), (std::vector<std::string>{"App : ver 781", "OS : Linux"}));
  EXPECT_EQ(ReportPath(), ReportProgramPath());
}

TEST_F(LogTest, ReportThatCannotBeCreatedIsRefusedAndKeepsNothing) {
  StartReport();
  EXPECT_FALSE(ReportInit(plat::CurrentDirectory() + "\\no such folder\\Report_Game.txt"));
  EXPECT_EQ(ReportPath(), "");
  // The earlier report is not written to any more.
  EXPECT_FALSE(ReportPrintf("lost"));
  EXPECT_EQ(ReadWholeFile(ReportFile()), "");
}

TEST_F(LogTest, ReportThatCannotBeOpenedWritesNothingAnywhere) {
  LogInit(1, "EC_Game.txt");
  StartReport();
  std::filesystem::remove(ReportFile());

  EXPECT_FALSE(ReportPrintf("a"));
  EXPECT_FALSE(ReportPrintfLog("b"));
  EXPECT_FALSE(ReportPrintfError("c"));

  EXPECT_FALSE(std::filesystem::exists(ReportFile()));
  EXPECT_FALSE(std::filesystem::exists(DebugLogFile()));
  EXPECT_TRUE(m_Boxes.empty());
}

// A line is in the file as soon as its call returns: a process that ends
// without any clean-up of its own (no stream flushed at exit) loses none.
TEST_F(LogTest, ReportLineIsInTheFileWhenTheProcessEndsAtOnce) {
  StartReport();
  ASSERT_TRUE(ReportPrintf("before"));
  std::fflush(nullptr);  // nothing of the parent's buffers goes out twice
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const bool written = ReportPrintf("LoadImage Err %s", "bmp\\Character2.bmp") &&
                         ReportPrintfLog("LoadImage Err %s", "bmp\\Character3.bmp");
    ::_exit(written ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(child, ::waitpid(child, &status, 0));
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_EQ(ReadLines(ReportFile()), (std::vector<std::string>{"before", "LoadImage Err bmp\\Character2.bmp",
                                                               "LoadImage Err bmp\\Character3.bmp"}));
}

// Between lines the report may be replaced or started again; each line goes
// to the file the report's path names when it is written.
TEST_F(LogTest, ReportLinesFollowTheFileThePathNames) {
  StartReport();
  ASSERT_TRUE(ReportPrintf("first report"));
  std::filesystem::remove(ReportFile());
  WriteWholeFile(ReportFile(), "put in its place\n");
  EXPECT_TRUE(ReportPrintf("after the swap"));
  EXPECT_EQ(ReadLines(ReportFile()), (std::vector<std::string>{"put in its place", "after the swap"}));

  // Started again: the file is emptied and the lines go on from its start.
  ASSERT_TRUE(ReportInit(ReportProgramPath()));
  EXPECT_EQ(ReadWholeFile(ReportFile()), "");
  EXPECT_TRUE(ReportPrintf("second report"));
  EXPECT_EQ(ReadLines(ReportFile()), std::vector<std::string>{"second report"});
}

TEST_F(LogTest, ReportBeforeInitIsRefused) {
  EXPECT_FALSE(ReportPrintf("a"));
  EXPECT_FALSE(ReportPrintfLog("b"));
}

TEST_F(LogTest, LongReportTextsAreCutOnCharacterBoundary) {
  LogInit(1, "EC_Game.txt");
  StartReport();
  const std::string kanji = "表";  // 95 5C: the trail byte looks like a backslash
  ASSERT_EQ(kanji.size(), 2u);

  struct Case {
    std::string text;
    std::size_t expectedLength;
  };
  const Case cases[] = {
      {std::string(1023, 'a'), 1023},
      {std::string(1024, 'a'), 1023},
      {std::string(5000, 'a'), 1023},
      {std::string(1021, 'a') + kanji, 1023},          // fits exactly
      {std::string(1022, 'a') + kanji, 1022},          // the pair would straddle the limit
      {std::string(1022, 'a') + kanji + "tail", 1022},
      {"a" + Repeat(kanji, 600), 1023},  // odd start: every pair is shifted by one byte
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.size());
    std::filesystem::remove(DebugLogFile());
    ResetLogsForTests();
    LogInit(1, "EC_Game.txt");
    StartReport();
    EXPECT_TRUE(ReportPrintfLog("%s", c.text.c_str()));
    const auto lines = ReadLines(ReportFile());
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], c.text.substr(0, c.expectedLength));
    EXPECT_EQ(ReadLines(DebugLogFile()), lines);
  }
}

TEST_F(LogTest, ReportPrintfIsNotLimited) {
  StartReport();
  const std::string text(20000, 'x');
  EXPECT_TRUE(ReportPrintf("%s", text.c_str()));
  EXPECT_EQ(ReadLines(ReportFile()), std::vector<std::string>{text});
}

class ReportErrorBoxTest : public coretest::cCoreFixture {
 protected:
  void OnBox() override {
    m_ReportWhileBoxOpen = ReadWholeFile(ReportFile());
    // Another thread must be able to write the report while the box is open.
    // Shared with the writer, which outlives this call if the lock was held.
    auto done = std::make_shared<std::atomic<bool>>(false);
    std::thread writer([done] {
      ReportPrintf("from another thread");
      *done = true;
    });
    for (int i = 0; i < 2000 && !*done; ++i) plat::SleepRaw(1);
    m_OtherThreadWrote = done->load();
    if (m_OtherThreadWrote) {
      writer.join();
    } else {
      writer.detach();
    }
  }
  std::string m_ReportWhileBoxOpen;
  bool m_OtherThreadWrote = false;
};

TEST_F(ReportErrorBoxTest, BoxAppearsAfterReportIsWrittenAndReleased) {
  StartReport();
  EXPECT_TRUE(ReportPrintfError("%s の読み込みに失敗…", "data\\System.dat"));
  ASSERT_EQ(m_Boxes.size(), 1u);
  EXPECT_EQ(m_Boxes[0].caption, "エラー");
  EXPECT_EQ(m_Boxes[0].type, MB_OK);
  EXPECT_EQ(m_Boxes[0].text, "data\\System.dat の読み込みに失敗…");
  EXPECT_EQ(m_ReportWhileBoxOpen, "data\\System.dat の読み込みに失敗…\n");
  EXPECT_TRUE(m_OtherThreadWrote);
}

TEST_F(LogTest, ConcurrentWritersNeverInterleaveLines) {
  LogInit(1, "EC_Game.txt");
  StartReport();
  constexpr int kLinesPerThread = 500;
  auto writer = [](char tag) {
    const std::string payload(60, tag);
    for (int i = 0; i < kLinesPerThread; ++i) {
      ReportPrintf("%c%04d %s", tag, i, payload.c_str());
      LogPrintf("%c%04d %s", tag, i, payload.c_str());
    }
  };
  std::thread a(writer, 'A');
  std::thread b(writer, 'B');
  a.join();
  b.join();

  const std::regex wellFormed("([AB])[0-9]{4} \\1{60}");
  for (const auto& file : {ReportFile(), DebugLogFile()}) {
    SCOPED_TRACE(file.string());
    const auto lines = ReadLines(file);
    ASSERT_EQ(lines.size(), 2u * kLinesPerThread);
    int perTag[2] = {0, 0};
    for (const std::string& line : lines) {
      ASSERT_TRUE(std::regex_match(line, wellFormed)) << line;
      ++perTag[line[0] - 'A'];
    }
    EXPECT_EQ(perTag[0], kLinesPerThread);
    EXPECT_EQ(perTag[1], kLinesPerThread);
  }
}

}  // namespace
