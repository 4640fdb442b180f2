// The real Windows program, copied into a folder whose name has a blank, a
// letter outside ASCII and one outside Windows-1252, and started from another
// working folder. Its files must be the Linux program's, byte for byte.
#ifdef _WIN32

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "run/file_names.h"
#include "run/windows_process.h"
#include "test_support.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;
using testing::Child;

using Files = std::map<std::wstring, std::string>;

// Every file in `folder` but `except`, by name.
Files files_in(const fs::path& folder, const std::wstring& except = L"") {
  Files files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    std::wstring name = entry.path().filename().wstring();
    if (name != except) files[name] = testing::slurp(entry.path());
  }
  return files;
}

std::string names(const Files& files) {
  std::string list;
  for (const auto& [name, bytes] : files) list += fs::path(name).string() + "; ";
  return list;
}

// A copy of scenario.exe in a folder of its own.
class ProgramCopy : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directory(folder());
    fs::create_directory(work());
    fs::copy_file(testing::test_program_folder() / L"scenario.exe", exe());
  }

  fs::path folder() const { return root_.path() / L"programma di prova \u00e8\u03a9"; }
  fs::path exe() const { return folder() / L"scenario.exe"; }
  fs::path work() const { return root_.path() / L"work"; }
  Files written() const { return files_in(folder(), L"scenario.exe"); }

  testing::TempDir root_;
};

// Runs that must leave the Linux program's files.
class WindowsProgram : public ProgramCopy {
 protected:
  void SetUp() override {
    if (reference().empty())
      GTEST_SKIP() << "no Linux reference files in " SCENARIO_REFERENCE_DIR
                      " (configure with -DSCENARIO_LINUX_EXE=...; make test-windows does)";
    ProgramCopy::SetUp();
  }

  // The files the Linux program wrote in its own run.
  static const Files& reference() {
    static const Files files = fs::is_directory(SCENARIO_REFERENCE_DIR) ? files_in(SCENARIO_REFERENCE_DIR) : Files{};
    return files;
  }

  // Byte for byte the Linux program's files; sizes only in the report.
  void expect_the_linux_files() const {
    Files mine = written();
    ASSERT_EQ(names(mine), names(reference()));
    for (const auto& [name, bytes] : reference()) {
      EXPECT_TRUE(mine[name] == bytes) << fs::path(name).string() << ": " << mine[name].size() << " bytes, Linux "
                                       << bytes.size();
    }
  }
};

TEST_F(WindowsProgram, WritesTheLinuxFilesBesideItself) {
  Child run(exe(), work(), {{L"SCENARIO_HEADLESS", L"1"}});
  EXPECT_EQ(run.wait(), 0u) << run.err();
  EXPECT_EQ(run.out(), "");
  EXPECT_EQ(run.err(), "");
  expect_the_linux_files();
  EXPECT_EQ(names(files_in(work())), "stderr; stdout; ") << "written into the working folder";
}

TEST_F(WindowsProgram, ShowsForm1BeforeTheWorkAndTakesItDownAtTheEnd) {
  if (!testing::window_system_available()) GTEST_SKIP() << "no window system (no display)";
  Child run(exe(), work(), {{L"SCENARIO_HEADLESS", L"1"}, {L"SCENARIO_HOLD_WINDOW_MS", L"2000"}});

  HWND form = testing::wait_for_window(run, L"", L"Form1");
  ASSERT_NE(form, nullptr) << "no Form1 window";
  EXPECT_TRUE(written().empty()) << "the work started before the window was up: " << names(written());
  RECT client{};
  GetClientRect(form, &client);
  EXPECT_EQ(client.right - client.left, 280);
  EXPECT_EQ(client.bottom - client.top, 179);

  int labels = 0;
  for (HWND child : testing::children_of(form)) {
    ++labels;
    EXPECT_EQ(testing::window_text(child), L"Attendere");
    EXPECT_TRUE(IsWindowVisible(child));
    RECT box{};
    GetWindowRect(child, &box);
    MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&box), 2);
    EXPECT_EQ(box.left, 64);
    EXPECT_EQ(box.top, 64);
    EXPECT_EQ(box.right - box.left, 177);
    EXPECT_EQ(box.bottom - box.top, 53);
  }
  EXPECT_EQ(labels, 1);

  EXPECT_EQ(run.wait(), 0u) << run.err();
  EXPECT_FALSE(IsWindow(form)) << "Form1 outlived the run";
  expect_the_linux_files();
}

// A directory squatting on the line file's name: the run stops there with
// exit status 2 and the message names the file, in a box or on standard error.
class WindowsProgramFailure : public ProgramCopy {
 protected:
  void SetUp() override {
    ProgramCopy::SetUp();
    fs::create_directory(folder() / names_.line_file());
  }
  std::wstring squatted() const { return (folder() / names_.line_file()).wstring(); }

  RunNames names_{kRouteName, kTrainName};
};

TEST_F(WindowsProgramFailure, ShowsTheMessageInABoxThenEndsWithStatus2) {
  if (!testing::window_system_available()) GTEST_SKIP() << "no window system (no display)";
  Child run(exe(), work(), {{L"SCENARIO_HEADLESS", L""}});

  HWND box = testing::wait_for_window(run, L"#32770", L"scenario");
  ASSERT_NE(box, nullptr) << "no message box; standard error: " << run.err();
  testing::MessageBoxSeen seen = testing::look_at_message_box(box);
  ASSERT_EQ(seen.texts.size(), 1u);
  EXPECT_NE(seen.texts[0].find(squatted()), std::wstring::npos) << fs::path(seen.texts[0]).string();
  EXPECT_EQ(seen.buttons, std::vector<std::wstring>{L"OK"});
  EXPECT_FALSE(seen.icon);
  EXPECT_TRUE(run.running()) << "the program did not wait for the box";
  EXPECT_TRUE(testing::press_ok(box));

  EXPECT_EQ(run.wait(), 2u);
  EXPECT_EQ(run.err(), "");
  EXPECT_FALSE(fs::exists(folder() / names_.train_file())) << "a step after the failing one ran";
}

TEST_F(WindowsProgramFailure, HeadlessPutsTheMessageOnStandardError) {
  Child run(exe(), work(), {{L"SCENARIO_HEADLESS", L"1"}});
  EXPECT_EQ(run.wait(), 2u);
  std::string err = run.err();
  std::u8string path = fs::path(squatted()).u8string();
  EXPECT_NE(err.find(std::string(path.begin(), path.end())), std::string::npos) << err;
  EXPECT_EQ(err.find('\n'), err.size() - 1) << "not one line: " << err;
  EXPECT_EQ(err.find('\r'), std::string::npos) << err;
  EXPECT_FALSE(fs::exists(folder() / names_.train_file()));
}

}  // namespace
}  // namespace scenario

#endif  // _WIN32
