#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

#include "run/errore.h"
#include "run/failures.h"
#include "run/file_names.h"
#include "run/folder.h"
#include "run/form_load.h"
#include "run/platform.h"
#include "sources/line_data.h"
#include "sources/text_file.h"
#include "sources/train_data.h"
#include "test_support.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#endif

namespace scenario {
namespace {

namespace fs = std::filesystem;
using testing::read_file;
using testing::sha256_hex;
using testing::TempDir;

const RunNames kNames{kRouteName, kTrainName};

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// ---- Form_Load on a folder in memory ----

TEST(FormLoad, SetsTheNamesAndWritesTheSources) {
  MemoryFolder folder;
  Form1 form(folder);
  form.Form_Load();
  EXPECT_EQ(form.names().route_name, "Orvale_Tresca");
  EXPECT_EQ(form.names().train_name, "IC 417");
  EXPECT_EQ(form.names().train_file(), "Orvale_Tresca_IC 417-.txt");
  EXPECT_FALSE(folder.files().empty());
  // The compile reads the two sources back and deletes them; whatever is
  // still there must be exactly what the writers produce.
  if (auto line = folder.read(kNames.line_file())) {
    EXPECT_EQ(*line, render_lines(line_file_entries()));
  }
  if (auto train = folder.read(kNames.train_file())) {
    EXPECT_EQ(*train, render_lines(train_file_entries()));
  }
}

TEST(FormLoad, AFailedWriteStopsTheRunAndKeepsFinishedFiles) {
  {
    MemoryFolder folder;
    folder.fail_writes_to(kNames.line_file());
    Form1 form(folder);
    EXPECT_THROW(form.Form_Load(), RunFailure);
    EXPECT_FALSE(folder.exists(kNames.train_file())) << "a step after the failing one ran";
  }
  {
    MemoryFolder folder;
    folder.fail_writes_to(kNames.train_file());
    Form1 form(folder);
    try {
      form.Form_Load();
      FAIL() << "no failure";
    } catch (const RunFailure& e) {
      EXPECT_TRUE(contains(e.what(), kNames.train_file())) << e.what();
    }
    EXPECT_EQ(folder.read(kNames.line_file()), render_lines(line_file_entries()));
  }
}

// ---- errore ----

TEST(ErroreDeathTest, PrintsTheCodeOnOneLineAndExitsWithStatusOne) {
  EXPECT_EXIT(errore("1250"), ::testing::ExitedWithCode(1), "^ Errore n\\. 1250\n$");
  EXPECT_EXIT(errore("1251"), ::testing::ExitedWithCode(1), "^ Errore n\\. 1251\n$");
}

// POSIX paths, errno texts and fork/exec from here on; the Windows
// counterparts are in windows_*_test.cpp.
#ifndef _WIN32

// ---- the folder on disk ----

TEST(DiskFolder, JoinPathNeverDoublesTheSeparator) {
  EXPECT_EQ(join_path("/opt/sim", "Orvale_Tresca_linea.txt"), "/opt/sim/Orvale_Tresca_linea.txt");
  EXPECT_EQ(join_path("/", "Orvale_Tresca_linea.txt"), "/Orvale_Tresca_linea.txt");
  EXPECT_EQ(join_path("/opt/sim/", "a b.txt"), "/opt/sim/a b.txt");
}

TEST(DiskFolder, WritesFromEmptyReadsAndRemoves) {
  TempDir dir;
  auto folder = make_disk_folder(dir.path().string());
  const std::string name = "Orvale_Tresca_IC 417-.txt";
  testing::write_file(dir / name, std::string(10000, 'Z'));
  folder->write(name, "ab\r\n");
  EXPECT_EQ(read_file(dir / name), std::optional<std::string>("ab\r\n"));
  EXPECT_TRUE(folder->exists(name));
  EXPECT_EQ(folder->read(name), std::optional<std::string>("ab\r\n"));
  folder->remove(name);
  EXPECT_FALSE(fs::exists(dir / name));
  EXPECT_NO_THROW(folder->remove(name));
  EXPECT_EQ(folder->read(name), std::nullopt);
  // A Windows-1252 name becomes a UTF-8 path.
  folder->write("citt\xE0.txt", "x");
  EXPECT_TRUE(fs::exists(dir / "citt\xC3\xA0.txt"));
}

TEST(DiskFolder, AFileThatCannotBeWrittenIsNamedWithTheReason) {
  TempDir dir;
  auto folder = make_disk_folder(dir.path().string());
  fs::create_directory(dir / "taken.txt");
  try {
    folder->write("taken.txt", "x");
    FAIL() << "wrote over a directory";
  } catch (const RunFailure& e) {
    EXPECT_TRUE(contains(e.what(), (dir / "taken.txt").string())) << e.what();
    EXPECT_TRUE(contains(e.what(), std::strerror(EISDIR))) << e.what();
  }
  EXPECT_TRUE(fs::is_directory(dir / "taken.txt"));
}

TEST(DiskFolder, AFullDiskIsAFailure) {
  // The kernel's always-full device (character device 1, 7), made in a folder
  // of the test's own where the machine has no /dev/full; that needs root.
  TempDir own;
  fs::path folder = "/dev";
  if (access("/dev/full", W_OK) != 0) {
    folder = own.path();
    if (mknod((folder / "full").c_str(), S_IFCHR | 0666, makedev(1, 7)) != 0)
      GTEST_SKIP() << "no writable /dev/full, and making one needs root: " << std::strerror(errno);
  }
  auto dev = make_disk_folder(folder.string());
  try {
    dev->write("full", "some bytes\r\n");
    FAIL() << "a write to a full disk succeeded";
  } catch (const RunFailure& e) {
    EXPECT_TRUE(contains(e.what(), (folder / "full").string())) << e.what();
    EXPECT_TRUE(contains(e.what(), std::strerror(ENOSPC))) << e.what();
  }
}

// ---- the real program, copied into a folder of its own ----

class ProgramRun : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directory(root_ / "program folder");
    fs::create_directory(root_ / "work");
    fs::copy_file(SCENARIO_EXE, exe());
    fs::permissions(exe(), fs::perms::owner_all);
  }
  fs::path folder() const { return root_ / "program folder"; }
  fs::path exe() const { return folder() / "scenario"; }
  fs::path work() const { return root_ / "work"; }
  testing::ProcessResult run(bool stderr_is_terminal = false) const {
    return testing::run_program(exe(), work(), stderr_is_terminal);
  }

  TempDir root_;
};

TEST_F(ProgramRun, WritesBesideTheExecutableAndPrintsNothing) {
  auto expected = testing::expected_hashes();
  ASSERT_TRUE(expected) << "no golden hashes in " << SCENARIO_GOLDEN_DIR;
  testing::ProcessResult result = run();
  EXPECT_EQ(result.exit_status, 0) << result.err;
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "");
  // The run grows step by step: check every expected file that is there.
  int found = 0;
  for (const auto& [name, hash] : *expected) {
    EXPECT_FALSE(fs::exists(work() / name)) << name << " written into the working directory";
    if (auto bytes = read_file(folder() / name)) {
      ++found;
      EXPECT_EQ(sha256_hex(*bytes), hash) << name;
    }
  }
  EXPECT_GT(found, 0) << "nothing written beside the executable";
}

TEST_F(ProgramRun, SaysAttendereOnlyOnATerminal) {
  testing::ProcessResult result = run(/*stderr_is_terminal=*/true);
  EXPECT_EQ(result.exit_status, 0) << result.err;
  EXPECT_TRUE(contains(result.err, "Attendere")) << result.err;
  EXPECT_EQ(result.out, "");
}

// A directory squatting on an output name stops the run with status 2 and
// one line naming the file; files finished before it stay complete.
TEST_F(ProgramRun, AnOutputNameTakenByADirectory) {
  struct Case {
    std::string squatted;
    std::string finished_before;  // empty: none
    std::string finished_bytes;
    std::string never_written;  // empty: none
  };
  const Case cases[] = {
      {kNames.line_file(), "", "", kNames.train_file()},
      {kNames.train_file(), kNames.line_file(), render_lines(line_file_entries()), kNames.notes_document()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.squatted);
    for (const auto& entry : fs::directory_iterator(folder()))
      if (entry.path() != exe()) fs::remove_all(entry.path());
    fs::create_directory(folder() / c.squatted);

    testing::ProcessResult result = run();
    EXPECT_EQ(result.exit_status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    EXPECT_TRUE(result.err.ends_with("\n")) << result.err;
    EXPECT_TRUE(contains(result.err, (folder() / c.squatted).string())) << result.err;
    EXPECT_TRUE(contains(result.err, std::strerror(EISDIR))) << result.err;

    EXPECT_TRUE(fs::is_directory(folder() / c.squatted));
    if (!c.finished_before.empty()) {
      EXPECT_EQ(read_file(folder() / c.finished_before), c.finished_bytes);
    }
    if (!c.never_written.empty()) {
      EXPECT_FALSE(fs::exists(folder() / c.never_written));
    }
  }
}

#endif  // _WIN32

}  // namespace
}  // namespace scenario
