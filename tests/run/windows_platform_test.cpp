// The Windows side of the platform seam, in this process: joining paths,
// the folder on disk under names that are not ASCII, and the message box.
#ifdef _WIN32

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "run/errore.h"
#include "run/failures.h"
#include "run/folder.h"
#include "run/platform.h"
#include "run/windows_process.h"
#include "test_support.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;
using testing::slurp;

std::string utf8(const fs::path& path) {
  std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

TEST(WindowsPaths, JoinPathUsesABackslashAndNeverDoublesIt) {
  struct Case {
    std::string folder;
    std::string name;
    std::string joined;
  };
  const Case cases[] = {
      {"C:\\Simulatore", "Orvale_Tresca_linea.txt", "C:\\Simulatore\\Orvale_Tresca_linea.txt"},
      {"C:\\", "Orvale_Tresca_IC 417.sim", "C:\\Orvale_Tresca_IC 417.sim"},
      {"\\\\server\\giochi", "Orvale_Tresca_IC 417.dat", "\\\\server\\giochi\\Orvale_Tresca_IC 417.dat"},
      {"D:/giochi/", "a.txt", "D:/giochi/a.txt"},
  };
  EXPECT_EQ(path_separator(), '\\');
  for (const Case& c : cases) EXPECT_EQ(join_path(c.folder, c.name), c.joined) << c.folder;
}

// A folder whose name has a blank, a letter outside ASCII and one outside
// Windows-1252: a path that went through an ANSI call would lose it.
class WindowsDiskFolder : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directory(dir_); }

  testing::TempDir root_;
  fs::path dir_ = root_.path() / L"cartella di prova \u00e8\u03a9";
};

TEST_F(WindowsDiskFolder, WritesRawBytesFromEmptyUnderUnicodeNames) {
  auto folder = make_disk_folder(utf8(dir_));
  const std::string name = "citt\xE0 \x80.txt";  // Windows-1252: a grave, euro sign
  const fs::path on_disk = dir_ / L"citt\u00e0 \u20ac.txt";
  testing::write_file(on_disk, std::string(10000, 'Z'));

  folder->write(name, "a\r\nb\n");
  EXPECT_EQ(slurp(on_disk), "a\r\nb\n") << "line ends changed or bytes of the older file left";
  EXPECT_TRUE(folder->exists(name));
  EXPECT_EQ(folder->read(name), std::optional<std::string>("a\r\nb\n"));

  folder->remove(name);
  EXPECT_FALSE(fs::exists(on_disk));
  EXPECT_FALSE(folder->exists(name));
  EXPECT_EQ(folder->read(name), std::nullopt);
  EXPECT_NO_THROW(folder->remove(name));
}

TEST_F(WindowsDiskFolder, AFileThatCannotBeCreatedIsNamedInTheFailure) {
  auto folder = make_disk_folder(utf8(dir_));
  fs::create_directory(dir_ / L"taken.txt");
  try {
    folder->write("taken.txt", "x");
    FAIL() << "wrote over a directory";
  } catch (const RunFailure& e) {
    std::string what = e.what();
    EXPECT_NE(what.find("cannot create '" + utf8(dir_ / L"taken.txt") + "': "), std::string::npos) << what;
  }
  EXPECT_TRUE(fs::is_directory(dir_ / L"taken.txt"));

  auto missing = make_disk_folder(utf8(dir_ / L"assente"));
  EXPECT_THROW(missing->write("a.txt", "x"), RunFailure);
  EXPECT_NO_THROW(missing->remove("a.txt"));
}

// Sets or removes an environment variable for one test.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    _putenv_s(name, value);
  }
  ~ScopedVariable() { _putenv_s(name_.c_str(), old_ ? old_->c_str() : ""); }

 private:
  std::string name_;
  std::optional<std::string> old_;
};

TEST(WindowsMessageBox, ShowsTheErroreTextWithOnlyAnOkButtonAndTheProgramTitle) {
  if (!testing::window_system_available()) GTEST_SKIP() << "no window system (no display)";
  ScopedVariable boxes_wanted("SCENARIO_HEADLESS", "");

  testing::MessageBoxSeen seen;
  bool found = false;
  bool closed = false;
  std::thread clicker([&] {
    for (int i = 0; i < 1500 && !found; ++i) {
      for (HWND window : testing::windows_of(GetCurrentProcessId())) {
        if (testing::class_of(window) != L"#32770") continue;
        seen = testing::look_at_message_box(window);
        found = true;
        closed = testing::press_ok(window);
        break;
      }
      Sleep(20);
    }
  });
  show_error_message(errore_text("1250"));  // returns once OK is pressed
  clicker.join();

  ASSERT_TRUE(found);
  EXPECT_TRUE(closed);
  EXPECT_EQ(seen.title, L"scenario");
  EXPECT_EQ(seen.texts, std::vector<std::wstring>{L" Errore n. 1250"});
  EXPECT_EQ(seen.buttons, std::vector<std::wstring>{L"OK"});
  EXPECT_FALSE(seen.icon);
}

}  // namespace
}  // namespace scenario

#endif  // _WIN32
