// File-system faults met by the real program: an output folder that is
// read-only, a disk that fills up, an output name of the compiler taken by a
// directory. Each must end the run with one line on standard error naming
// the file, exit status 2, every file finished before the fault complete, and
// no partial file left behind.
//
// A read-only folder and a full disk cannot be made with permissions when the
// tests run as root, so the program runs from a copy inside a small tmpfs
// mounted in a private mount namespace (unshare -m); where that is not
// permitted the tests are skipped. POSIX only: the Windows program's file
// failures are tested in windows_program_test.cpp.
#ifndef _WIN32

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "run/file_names.h"
#include "test_support.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;
using testing::read_file;
using testing::TempDir;

const RunNames kNames{kRouteName, kTrainName};

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// A path in single quotes, as the program's messages name files. Built by
// appending: GCC 12 warns (-Wrestrict) on "'" + std::string + "'".
std::string quoted(const std::string& path) {
  std::string q(1, '\'');
  q += path;
  q += '\'';
  return q;
}

// The sizes of the embedded run's files, by name; empty when not available.
std::map<std::string, std::uintmax_t> expected_sizes() {
  std::map<std::string, std::uintmax_t> sizes;
  auto text = read_file(fs::path(SCENARIO_GOLDEN_DIR) / "embedded.sizes");
  if (!text) return sizes;
  std::istringstream lines(*text);
  std::string line;
  while (std::getline(lines, line)) {
    std::size_t blank = line.find(' ');
    if (blank != std::string::npos) sizes[line.substr(blank + 1)] = std::stoull(line.substr(0, blank));
  }
  return sizes;
}

std::uintmax_t pages(std::uintmax_t bytes) {
  const auto page = static_cast<std::uintmax_t>(sysconf(_SC_PAGESIZE));
  return (bytes + page - 1) / page;
}

// What a run left: its exit status, its two outputs, and a copy of the
// folder of the program as the run left it.
struct FaultRun {
  int exit_status = -1;
  std::string out;
  std::string err;
  std::string folder;    // the program's folder as the program saw it
  fs::path files;        // the copy of that folder
  std::string problem;   // why the run could not be set up; empty when it ran
};

// Runs a copy of the program from a tmpfs of `size_bytes` bytes, made
// read-only after the copy when asked. The mount lives in a private mount
// namespace and vanishes with it, so the folder is copied out first.
FaultRun run_in_tmpfs(const TempDir& dir, std::uintmax_t size_bytes, bool read_only) {
  const fs::path mount_point = dir / "mnt";
  const fs::path out = dir / "out";
  fs::create_directories(mount_point);
  fs::create_directories(out / "files");
  testing::write_file(dir / "run.sh",
                      "set -u\n"
                      "mount -t tmpfs -o size=\"$4\" none \"$1\" || exit 90\n"
                      "cp \"$3\" \"$1/scenario\" || exit 91\n"
                      "if [ \"$5\" = 1 ]; then mount -o remount,ro \"$1\" || exit 92; fi\n"
                      "cd /\n"
                      "\"$1/scenario\" >\"$2/stdout\" 2>\"$2/stderr\" </dev/null\n"
                      "echo $? >\"$2/status\"\n"
                      "cp -a \"$1/.\" \"$2/files/\" || exit 93\n");
  const std::string command = "unshare -m sh '" + (dir / "run.sh").string() + "' '" + mount_point.string() + "' '" +
                              out.string() + "' '" + std::string(SCENARIO_EXE) + "' " + std::to_string(size_bytes) +
                              " " + (read_only ? "1" : "0") + " >/dev/null 2>&1";
  FaultRun run;
  const int status = std::system(command.c_str());
  if (status != 0) {
    run.problem = "setting up the tmpfs failed (" + command + " gave " + std::to_string(status) + ")";
    return run;
  }
  run.exit_status = std::stoi(read_file(out / "status").value_or("-1"));
  run.out = read_file(out / "stdout").value_or("");
  run.err = read_file(out / "stderr").value_or("");
  run.folder = mount_point.string();
  run.files = out / "files";
  return run;
}

// Whether this process may mount a tmpfs in a private mount namespace.
bool tmpfs_allowed() {
  static const bool allowed = [] {
    if (geteuid() != 0) return false;
    TempDir probe;
    const std::string command =
        "unshare -m sh -c 'mount -t tmpfs -o size=64k none \"$0\"' '" + probe.path().string() + "' >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
  }();
  return allowed;
}

// The checks every fault shares: status 2, nothing on standard output, one
// line naming the failing file and the reason; the finished files complete
// (the recorded run's bytes), the failing one and the later ones absent.
void expect_fault(const FaultRun& run, const std::string& failing, int error,
                  const std::vector<std::string>& finished, const std::vector<std::string>& absent) {
  EXPECT_EQ(run.exit_status, 2) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
  EXPECT_TRUE(run.err.ends_with("\n")) << run.err;
  EXPECT_TRUE(contains(run.err, quoted(run.folder + "/" + failing))) << run.err;
  EXPECT_TRUE(contains(run.err, std::strerror(error))) << run.err;

  auto hashes = testing::expected_hashes();
  ASSERT_TRUE(hashes);
  for (const std::string& name : finished) {
    auto bytes = read_file(run.files / name);
    ASSERT_TRUE(bytes) << name << " missing";
    EXPECT_EQ(testing::sha256_hex(*bytes), hashes->at(name)) << name << " is not complete";
  }
  EXPECT_FALSE(fs::exists(run.files / failing)) << failing << " left behind";
  for (const std::string& name : absent) EXPECT_FALSE(fs::exists(run.files / name)) << name;
}

class FileSystemFault : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!tmpfs_allowed())
      GTEST_SKIP() << "mounting a tmpfs in a private mount namespace (unshare -m, mount -t tmpfs) is not "
                      "permitted here: it needs root and a kernel that allows it";
    sizes_ = expected_sizes();
    ASSERT_FALSE(sizes_.empty()) << "no golden sizes in " << SCENARIO_GOLDEN_DIR;
    program_pages_ = pages(fs::file_size(SCENARIO_EXE));
  }

  // Pages taken by the files of the run, by name.
  std::uintmax_t pages_of(std::initializer_list<std::string> names) const {
    std::uintmax_t n = 0;
    for (const std::string& name : names) n += pages(sizes_.at(name));
    return n;
  }
  static std::uintmax_t bytes(std::uintmax_t pages) {
    return pages * static_cast<std::uintmax_t>(sysconf(_SC_PAGESIZE));
  }

  std::map<std::string, std::uintmax_t> sizes_;
  std::uintmax_t program_pages_ = 0;
  TempDir dir_;
};

TEST_F(FileSystemFault, AReadOnlyFolderStopsTheRunAtItsFirstFile) {
  FaultRun run = run_in_tmpfs(dir_, bytes(program_pages_ + 64), /*read_only=*/true);
  ASSERT_EQ(run.problem, "");
  expect_fault(run, kNames.line_file(), EROFS, {}, {kNames.train_file(), kNames.grid_file()});
  EXPECT_TRUE(contains(run.err, "cannot create")) << run.err;
}

// The disk fills while a binary file is written: the two sources are read
// and deleted by then, so the room they took is free again.
TEST_F(FileSystemFault, AFullDiskStopsTheRunAtTheFileThatDoesNotFit) {
  const std::vector<std::string> documents = {kNames.notes_document(), kNames.slowdown_order(),
                                              kNames.train_sheet()};
  const std::uintmax_t document_pages =
      pages_of({kNames.notes_document(), kNames.slowdown_order(), kNames.train_sheet()});
  const std::uintmax_t source_pages = pages_of({kNames.line_file(), kNames.train_file()});
  struct Case {
    std::string failing;
    std::uintmax_t room;  // pages beside the program
    std::vector<std::string> finished;
    std::vector<std::string> absent;
  };
  const Case cases[] = {
      // Room for the sources and documents, not for the 3 MB track plan.
      {kNames.track_plan_file(),
       source_pages + document_pages + 64,
       documents,
       {kNames.line_file(), kNames.train_file(), kNames.parameter_file(), kNames.grid_file()}},
      // Room for all but half the grid file.
      {kNames.grid_file(),
       document_pages + pages_of({kNames.track_plan_file(), kNames.parameter_file()}) +
           pages_of({kNames.grid_file()}) / 2,
       {kNames.notes_document(), kNames.slowdown_order(), kNames.train_sheet(), kNames.track_plan_file(),
        kNames.parameter_file()},
       {kNames.line_file(), kNames.train_file()}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.failing);
    TempDir dir;
    FaultRun run = run_in_tmpfs(dir, bytes(program_pages_ + c.room), /*read_only=*/false);
    ASSERT_EQ(run.problem, "");
    expect_fault(run, c.failing, ENOSPC, c.finished, c.absent);
  }
}

// A directory named as one of the compiler's files (the run control tests
// cover the sources): the compile stops there, the files before it stay.
TEST(CompilerOutputFault, ADirectoryInThePlaceOfTheParameterFile) {
  ASSERT_TRUE(testing::expected_hashes()) << "no golden hashes in " << SCENARIO_GOLDEN_DIR;
  TempDir dir;
  const fs::path folder = dir / "program";
  fs::create_directories(folder / kNames.parameter_file());
  fs::copy_file(SCENARIO_EXE, folder / "scenario");
  testing::ProcessResult result = testing::run_program(folder / "scenario", dir.path());

  EXPECT_EQ(result.exit_status, 2) << result.err;
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
  EXPECT_TRUE(contains(result.err, quoted((folder / kNames.parameter_file()).string()))) << result.err;
  EXPECT_TRUE(contains(result.err, std::strerror(EISDIR))) << result.err;
  EXPECT_TRUE(fs::is_directory(folder / kNames.parameter_file()));
  auto hashes = testing::expected_hashes();
  EXPECT_EQ(testing::sha256_hex(read_file(folder / kNames.track_plan_file()).value_or("")),
            hashes->at(kNames.track_plan_file()));
  EXPECT_FALSE(fs::exists(folder / kNames.grid_file()));
}

}  // namespace
}  // namespace scenario

#endif  // _WIN32
