// For the Windows tests: start a program with a changed environment and its
// output captured, and look at the windows it puts up.
#pragma once

#ifdef _WIN32

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace scenario::testing {

// The folder of the running test program; the build puts scenario.exe there too.
inline std::filesystem::path test_program_folder() {
  std::wstring path(32768, L'\0');
  path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
  return std::filesystem::path(path).parent_path();
}

// True when this process can make a window: there is a display.
inline bool window_system_available() {
  HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  if (!probe) return false;
  DestroyWindow(probe);
  return true;
}

inline std::string slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// A running program with standard output and error going to files in
// `capture`, which is also its working directory. Killed if still running
// when the object goes.
class Child {
 public:
  // `changes`: variables to set, an empty value removes the variable.
  Child(const std::filesystem::path& program, std::filesystem::path capture,
        const std::map<std::wstring, std::wstring>& changes = {})
      : capture_(std::move(capture)) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE out = CreateFileW((capture_ / L"stdout").c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    HANDLE err = CreateFileW((capture_ / L"stderr").c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    HANDLE in = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0,
                            nullptr);
    if (out == INVALID_HANDLE_VALUE || err == INVALID_HANDLE_VALUE || in == INVALID_HANDLE_VALUE)
      throw std::runtime_error("cannot set up the output capture");

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in;
    startup.hStdOutput = out;
    startup.hStdError = err;
    std::wstring command = L"\"" + program.wstring() + L"\"";
    std::wstring environment = environment_block(changes);
    PROCESS_INFORMATION info{};
    BOOL started = CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, TRUE, CREATE_UNICODE_ENVIRONMENT,
                                  environment.data(), capture_.c_str(), &startup, &info);
    DWORD error = GetLastError();
    CloseHandle(out);
    CloseHandle(err);
    CloseHandle(in);
    if (!started) throw std::runtime_error("CreateProcessW failed: error " + std::to_string(error));
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    id_ = info.dwProcessId;
  }
  ~Child() {
    if (running()) {
      TerminateProcess(process_, 255);
      WaitForSingleObject(process_, 10000);
    }
    CloseHandle(process_);
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  DWORD id() const { return id_; }
  bool running() const { return WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

  // The exit status, or nullopt when the program has not ended within `ms`.
  std::optional<DWORD> wait(DWORD ms = 120000) {
    if (WaitForSingleObject(process_, ms) != WAIT_OBJECT_0) return std::nullopt;
    DWORD status = 0;
    GetExitCodeProcess(process_, &status);
    return status;
  }

  std::string out() const { return slurp(capture_ / L"stdout"); }
  std::string err() const { return slurp(capture_ / L"stderr"); }

 private:
  struct NoCase {
    bool operator()(const std::wstring& a, const std::wstring& b) const {
      return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](wchar_t x, wchar_t y) {
        return std::towupper(x) < std::towupper(y);
      });
    }
  };

  // This process's environment with `changes` applied, as CreateProcessW
  // wants it: NAME=value entries, each closed by a NUL, then one more NUL.
  static std::wstring environment_block(const std::map<std::wstring, std::wstring>& changes) {
    std::map<std::wstring, std::wstring, NoCase> variables;
    wchar_t* current = GetEnvironmentStringsW();
    for (const wchar_t* entry = current; *entry; entry += wcslen(entry) + 1) {
      std::wstring text(entry);
      // Entries such as "=C:=C:\dir" start with the separator; keep them whole.
      std::size_t split = text.find(L'=', 1);
      if (split == std::wstring::npos) continue;
      variables[text.substr(0, split)] = text.substr(split + 1);
    }
    FreeEnvironmentStringsW(current);
    for (const auto& [name, value] : changes) {
      if (value.empty()) {
        variables.erase(name);
      } else {
        variables[name] = value;
      }
    }
    std::wstring block;
    for (const auto& [name, value] : variables) block += name + L"=" + value + L'\0';
    block += L'\0';
    return block;
  }

  std::filesystem::path capture_;
  HANDLE process_ = nullptr;
  DWORD id_ = 0;
};

inline std::wstring window_text(HWND window) {
  wchar_t text[512];
  int n = GetWindowTextW(window, text, 512);
  return std::wstring(text, n > 0 ? n : 0);
}

inline std::wstring class_of(HWND window) {
  wchar_t name[256];
  int n = GetClassNameW(window, name, 256);
  return std::wstring(name, n > 0 ? n : 0);
}

// The visible top-level windows of a process.
inline std::vector<HWND> windows_of(DWORD process_id) {
  struct Search {
    DWORD id;
    std::vector<HWND> found;
  } search{process_id, {}};
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == s->id && IsWindowVisible(window)) s->found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

inline std::vector<HWND> children_of(HWND parent) {
  std::vector<HWND> found;
  EnumChildWindows(
      parent,
      [](HWND window, LPARAM param) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

// The first visible top-level window of `process_id` with that class (any
// class when empty) and caption, polled for until `ms` have passed or the
// process has ended; null when none came up.
inline HWND wait_for_window(const Child& child, const std::wstring& class_name, const std::wstring& caption,
                            DWORD ms = 30000) {
  for (DWORD waited = 0; waited <= ms; waited += 20) {
    for (HWND window : windows_of(child.id()))
      if ((class_name.empty() || class_of(window) == class_name) && window_text(window) == caption) return window;
    if (!child.running()) return nullptr;
    Sleep(20);
  }
  return nullptr;
}

// What a message box shows: its title, its texts, the captions of its
// buttons, and whether it has an icon.
struct MessageBoxSeen {
  std::wstring title;
  std::vector<std::wstring> texts;
  std::vector<std::wstring> buttons;
  bool icon = false;
};

inline MessageBoxSeen look_at_message_box(HWND box) {
  MessageBoxSeen seen;
  seen.title = window_text(box);
  for (HWND child : children_of(box)) {
    if (!IsWindowVisible(child)) continue;
    std::wstring kind = class_of(child);
    if (kind == L"Button") {
      seen.buttons.push_back(window_text(child));
    } else if (kind == L"Static") {
      if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        // Wine keeps an empty icon control in every box.
        if (SendMessageW(child, STM_GETICON, 0, 0) != 0) seen.icon = true;
      } else if (!window_text(child).empty()) {
        seen.texts.push_back(window_text(child));
      }
    }
  }
  return seen;
}

// Presses the OK button of a message box until the box is gone: a press
// that comes while the box is still being set up can be lost.
inline bool press_ok(HWND box, DWORD ms = 30000) {
  for (DWORD waited = 0; waited <= ms; waited += 50) {
    if (!IsWindow(box)) return true;
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    Sleep(50);
  }
  return !IsWindow(box);
}

}  // namespace scenario::testing

#endif  // _WIN32
