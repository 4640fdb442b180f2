#ifdef _WIN32

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>

#include "run/failures.h"
#include "run/folder.h"
#include "run/platform.h"
#include "sources/cp1252.h"

namespace scenario {

// Paths cross the portable code as UTF-8 and meet the system only as UTF-16.
// A lone surrogate, legal in a Windows file name, travels as its three-byte
// form, so that no folder name is lost on the way.
std::string to_utf8(std::wstring_view wide) {
  std::string out;
  out.reserve(wide.size());
  for (std::size_t i = 0; i < wide.size(); ++i) {
    char32_t cp = wide[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (wide[i + 1] - 0xDC00);
      ++i;
    }
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

// The inverse of to_utf8; a malformed sequence becomes U+FFFD.
std::wstring to_wide(std::string_view utf8) {
  std::wstring out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    unsigned char b = static_cast<unsigned char>(utf8[i]);
    std::size_t len = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 0;
    char32_t cp = len == 1 ? b : len == 2 ? (b & 0x1F) : len == 3 ? (b & 0x0F) : (b & 0x07);
    bool ok = len != 0 && i + len <= utf8.size();
    for (std::size_t k = 1; ok && k < len; ++k) {
      unsigned char c = static_cast<unsigned char>(utf8[i + k]);
      ok = (c & 0xC0) == 0x80;
      cp = (cp << 6) | (c & 0x3F);
    }
    ok = ok && !(len == 2 && cp < 0x80) && !(len == 3 && cp < 0x800) && !(len == 4 && (cp < 0x10000 || cp > 0x10FFFF));
    if (!ok) {
      out += wchar_t{0xFFFD};
      ++i;
      continue;
    }
    if (cp >= 0x10000) {
      out += static_cast<wchar_t>(0xD800 + ((cp - 0x10000) >> 10));
      out += static_cast<wchar_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      out += static_cast<wchar_t>(cp);
    }
    i += len;
  }
  return out;
}

namespace {

// The system's text for an error code, without its closing line break.
std::string reason(DWORD code) {
  wchar_t* text = nullptr;
  DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring wide = n != 0 && text ? std::wstring(text, n) : std::wstring();
  if (text) LocalFree(text);
  while (!wide.empty() && (wide.back() == L'\r' || wide.back() == L'\n' || wide.back() == L' ')) wide.pop_back();
  if (wide.empty()) return "system error " + std::to_string(code);
  return to_utf8(wide);
}

bool headless() {
  const char* value = std::getenv("SCENARIO_HEADLESS");
  return value && *value && std::string_view(value) != "0";
}

// One line on standard error. A program built for the window system has no
// console of its own: when standard error was not handed over, the line
// goes to the console the program was started from, if there is one.
void write_error_line(const std::string& text) {
  HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
  if (err == nullptr || err == INVALID_HANDLE_VALUE) {
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
    err = CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (err == INVALID_HANDLE_VALUE) return;
  }
  DWORD mode = 0;
  DWORD written = 0;
  if (GetConsoleMode(err, &mode)) {
    std::wstring line = to_wide(text) + L"\r\n";
    WriteConsoleW(err, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  } else {
    std::string line = text + "\n";
    WriteFile(err, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  }
}

// Milliseconds to keep the window up before the work starts
// (SCENARIO_HOLD_WINDOW_MS, for screenshots and window tests); 0 when unset
// or not a plain number, at most a minute.
DWORD hold_milliseconds() {
  const char* value = std::getenv("SCENARIO_HOLD_WINDOW_MS");
  if (!value || !*value) return 0;
  DWORD ms = 0;
  for (const char* p = value; *p; ++p) {
    if (*p < '0' || *p > '9') return 0;
    ms = ms * 10 + static_cast<DWORD>(*p - '0');
    if (ms > 60000) return 60000;
  }
  return ms;
}

constexpr wchar_t kProgramTitle[] = L"scenario";
constexpr wchar_t kFormClass[] = L"ScenarioForm1";
constexpr DWORD kFormStyle = WS_OVERLAPPEDWINDOW;
constexpr int kClientWidth = 280;
constexpr int kClientHeight = 179;

}  // namespace

char path_separator() { return '\\'; }

std::string join_path(const std::string& folder, const std::string& name) {
  if (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) return folder + name;
  return folder + path_separator() + name;
}

std::string executable_folder() {
  std::wstring module(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, module.data(), static_cast<DWORD>(module.size()));
    if (n == 0) throw RunFailure("cannot find the folder of the executable: " + reason(GetLastError()));
    if (n < module.size()) {
      module.resize(n);
      break;
    }
    if (module.size() >= 32768) throw RunFailure("cannot find the folder of the executable: path too long");
    module.resize(module.size() * 2);
  }
  std::size_t cut = module.find_last_of(L"\\/");
  if (cut == std::wstring::npos) throw RunFailure("cannot find the folder of the executable: " + to_utf8(module));
  // A drive root keeps its separator: "C:" alone names the drive's current
  // folder, not its root.
  std::wstring folder = module.substr(0, cut);
  if (!folder.empty() && folder.back() == L':') folder = module.substr(0, cut + 1);
  return to_utf8(folder);
}

// The Form1 window and the font of its label.
struct PleaseWait::Shown {
  HWND form = nullptr;
  HFONT font = nullptr;
};

PleaseWait::PleaseWait() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW form_class{};
  form_class.cbSize = sizeof form_class;
  form_class.lpfnWndProc = DefWindowProcW;
  form_class.hInstance = instance;
  form_class.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
  form_class.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  form_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  form_class.lpszClassName = kFormClass;
  if (!RegisterClassExW(&form_class) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return;

  RECT frame{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&frame, kFormStyle, FALSE, 0);
  HWND form = CreateWindowExW(0, kFormClass, L"Form1", kFormStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                              frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
  // No window system (no display): the run goes on without the window.
  if (!form) return;
  shown_ = std::make_unique<Shown>();
  shown_->form = form;

  // 24 points at the screen's resolution: 32 pixels at 96 dots per inch.
  HDC screen = GetDC(nullptr);
  int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  shown_->font = CreateFontW(-MulDiv(24, dpi, 72), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                             L"MS Sans Serif");
  HWND label = CreateWindowExW(0, L"STATIC", L"Attendere", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 64, 64,
                               177, 53, form, nullptr, instance, nullptr);
  if (label && shown_->font) SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(shown_->font), FALSE);

  // Shown modelessly and painted once, frame and label included; no message
  // is processed after this, the work starts at once.
  ShowWindow(form, SW_SHOWNORMAL);
  RedrawWindow(form, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  GdiFlush();

  if (DWORD ms = hold_milliseconds()) Sleep(ms);
}

PleaseWait::~PleaseWait() {
  if (!shown_) return;
  DestroyWindow(shown_->form);
  if (shown_->font) DeleteObject(shown_->font);
}

void show_error_message(const std::string& text) {
  if (!headless()) {
    std::wstring wide = to_wide(text);
    if (MessageBoxW(nullptr, wide.c_str(), kProgramTitle, MB_OK | MB_SETFOREGROUND) != 0) return;
  }
  // Headless, or no box could be shown: the message must still be seen.
  write_error_line(text);
}

namespace {

class DiskFolder : public Folder {
 public:
  explicit DiskFolder(std::string path) : path_(std::move(path)) {}

  bool exists(const std::string& name) const override {
    return GetFileAttributesW(to_wide(full(name)).c_str()) != INVALID_FILE_ATTRIBUTES;
  }

  std::optional<std::string> read(const std::string& name) const override {
    HANDLE file = CreateFileW(to_wide(full(name)).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string bytes;
    char buffer[65536];
    DWORD n = 0;
    bool ok;
    while ((ok = ReadFile(file, buffer, sizeof buffer, &n, nullptr)) && n > 0) bytes.append(buffer, n);
    CloseHandle(file);
    if (!ok) return std::nullopt;
    return bytes;
  }

  void remove(const std::string& name) override {
    std::string path = full(name);
    if (DeleteFileW(to_wide(path).c_str())) return;
    DWORD error = GetLastError();
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
      throw RunFailure("cannot delete '" + path + "': " + reason(error));
  }

  // Raw bytes through the system, never a text-mode stream, which would
  // turn every LF of a CR LF into a second CR LF.
  void write(const std::string& name, std::string_view bytes) override {
    std::string path = full(name);
    // CREATE_ALWAYS truncates: no byte of an earlier, longer file survives.
    HANDLE file = CreateFileW(to_wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw RunFailure("cannot create '" + path + "': " + reason(GetLastError()));
    DWORD error = ERROR_SUCCESS;
    while (!bytes.empty() && error == ERROR_SUCCESS) {
      DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
      DWORD written = 0;
      if (!WriteFile(file, bytes.data(), chunk, &written, nullptr)) {
        error = GetLastError();
      } else if (written == 0) {
        error = ERROR_WRITE_FAULT;
      }
      bytes.remove_prefix(written);
    }
    if (!CloseHandle(file) && error == ERROR_SUCCESS) error = GetLastError();
    if (error != ERROR_SUCCESS) {
      // A file cut short (a full disk) would pass for a finished one.
      DeleteFileW(to_wide(path).c_str());
      throw RunFailure("cannot write '" + path + "': " + reason(error));
    }
  }

 private:
  // Names are Windows-1252 bytes; the path carries them as Unicode.
  std::string full(const std::string& name) const { return join_path(path_, cp1252_to_utf8(name)); }

  std::string path_;
};

}  // namespace

std::unique_ptr<Folder> make_disk_folder(std::string path) {
  return std::make_unique<DiskFolder>(std::move(path));
}

}  // namespace scenario

#endif  // _WIN32
