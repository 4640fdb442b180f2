// Helpers shared by the tests: a temporary folder that cleans up after
// itself, whole-file reading and writing, running a program with its output
// captured, and SHA-256 of a byte string.
#pragma once

#ifndef _WIN32
#include <fcntl.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>
#else
#include <random>
#endif

#include <array>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>

namespace scenario::testing {

// A fresh folder under the system's temporary folder, removed with all its
// content when the object goes.
class TempDir {
 public:
  TempDir() {
#ifndef _WIN32
    std::string pattern = (std::filesystem::temp_directory_path() / "scenario-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
#else
    // No mkdtemp: random names until one is free.
    std::random_device random;
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
      auto candidate = std::filesystem::temp_directory_path() / ("scenario-test-" + std::to_string(random()));
      if (std::filesystem::create_directory(candidate)) path_ = candidate;
    }
    if (path_.empty()) throw std::runtime_error("no temporary folder");
#endif
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

inline std::optional<std::string> read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

inline void write_file(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

#ifndef _WIN32  // fork and exec; the Windows tests start programs their own way

struct ProcessResult {
  int exit_status = -1;  // 128 + signal number when the program was killed
  std::string out;
  std::string err;
};

namespace detail {

inline std::string drain(int fd) {
  std::string bytes;
  char buffer[4096];
  for (;;) {
    ssize_t n = read(fd, buffer, sizeof buffer);
    if (n > 0) {
      bytes.append(buffer, static_cast<std::size_t>(n));
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else {
      break;  // end of file, or EIO once a terminal's other side is closed
    }
  }
  return bytes;
}

}  // namespace detail

// Runs `program` with no arguments from `working_dir`. Standard output goes
// to a file and standard error to a file, or to a pseudo-terminal when
// `stderr_is_terminal` is set, so that the program sees a terminal there.
inline ProcessResult run_program(const std::filesystem::path& program, const std::filesystem::path& working_dir,
                                 bool stderr_is_terminal = false) {
  TempDir capture;
  std::string out_path = (capture / "stdout").string();
  std::string err_path = (capture / "stderr").string();
  int out_fd = open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  int err_fd = -1;
  int master = -1;
  if (stderr_is_terminal) {
    master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) throw std::runtime_error("no pseudo-terminal");
    err_fd = open(ptsname(master), O_RDWR | O_NOCTTY);
  } else {
    err_fd = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  }
  if (out_fd < 0 || err_fd < 0) throw std::runtime_error("cannot set up the output capture");

  std::string exe = program.string();
  std::string dir = working_dir.string();
  pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    if (chdir(dir.c_str()) != 0) _exit(126);
    dup2(out_fd, STDOUT_FILENO);
    dup2(err_fd, STDERR_FILENO);
    char* argv[] = {exe.data(), nullptr};
    execv(exe.c_str(), argv);
    _exit(127);
  }
  close(out_fd);
  close(err_fd);
  ProcessResult result;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  result.exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  result.out = read_file(out_path).value_or("");
  if (stderr_is_terminal) {
    result.err = detail::drain(master);
    close(master);
  } else {
    result.err = read_file(err_path).value_or("");
  }
  return result;
}

#endif  // _WIN32

// SHA-256 of `bytes` as 64 lower-case hex digits.
inline std::string sha256_hex(std::string_view bytes) {
  static constexpr std::array<std::uint32_t, 64> k = {
      0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
      0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
      0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
      0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
      0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
      0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
      0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
      0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};
  std::array<std::uint32_t, 8> h = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                    0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
  auto rotr = [](std::uint32_t x, int n) { return (x >> n) | (x << (32 - n)); };

  std::string message(bytes);
  std::uint64_t bit_length = static_cast<std::uint64_t>(bytes.size()) * 8;
  message += static_cast<char>(0x80);
  while (message.size() % 64 != 56) message += '\0';
  for (int i = 7; i >= 0; --i) message += static_cast<char>((bit_length >> (i * 8)) & 0xff);

  for (std::size_t block = 0; block < message.size(); block += 64) {
    std::array<std::uint32_t, 64> w{};
    for (int i = 0; i < 16; ++i)
      for (int b = 0; b < 4; ++b) w[i] = (w[i] << 8) | static_cast<unsigned char>(message[block + i * 4 + b]);
    for (int i = 16; i < 64; ++i) {
      std::uint32_t s0 = rotr(w[i - 15], 7) ^ rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
      std::uint32_t s1 = rotr(w[i - 2], 17) ^ rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
      w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    std::array<std::uint32_t, 8> v = h;
    for (int i = 0; i < 64; ++i) {
      std::uint32_t s1 = rotr(v[4], 6) ^ rotr(v[4], 11) ^ rotr(v[4], 25);
      std::uint32_t ch = (v[4] & v[5]) ^ (~v[4] & v[6]);
      std::uint32_t t1 = v[7] + s1 + ch + k[i] + w[i];
      std::uint32_t s0 = rotr(v[0], 2) ^ rotr(v[0], 13) ^ rotr(v[0], 22);
      std::uint32_t maj = (v[0] & v[1]) ^ (v[0] & v[2]) ^ (v[1] & v[2]);
      std::uint32_t t2 = s0 + maj;
      v = {t1 + t2, v[0], v[1], v[2], v[3] + t1, v[4], v[5], v[6]};
    }
    for (int i = 0; i < 8; ++i) h[i] += v[i];
  }

  static constexpr char hex[] = "0123456789abcdef";
  std::string out;
  for (std::uint32_t word : h)
    for (int i = 28; i >= 0; i -= 4) out += hex[(word >> i) & 0xf];
  return out;
}

// "<64 hex digits>  <name>" lines, as sha256sum writes them, by file name;
// names hold blanks.
inline std::map<std::string, std::string> parse_sha256_lines(const std::string& text) {
  std::map<std::string, std::string> hashes;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() > 66) hashes[line.substr(66)] = line.substr(0, 64);
  }
  return hashes;
}

// The SHA-256 of every file of the embedded run, by file name, from the
// goldens in the repository; nullopt only when that file cannot be read.
inline std::optional<std::map<std::string, std::string>> expected_hashes() {
  auto text = read_file(std::filesystem::path(SCENARIO_GOLDEN_DIR) / "embedded.sha256");
  if (!text) return std::nullopt;
  return parse_sha256_lines(*text);
}

}  // namespace scenario::testing
