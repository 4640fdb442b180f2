// Whole processes, timed from the start to the end of each:
// - the one-shot run: the program, copied into a fresh folder, run there;
// - a plain copy of the six files it leaves into a fresh folder, by cp;
// the medians of several runs of each, interleaved, and their ratio. Then
// the peak memory of a compile of generated lines, each in a child process
// of its own (this program, started again with --compile LENGTH).
//   scenario_process_bench PATH_TO_SCENARIO [RUNS]
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/scenario_generator.h"
#include "compiler/compiler.h"
#include "run/file_names.h"
#include "run/folder.h"

namespace scenario::bench {
namespace {

namespace fs = std::filesystem;

struct Finished {
  double seconds = 0;
  int status = -1;
  long peak_kib = 0;  // ru_maxrss
};

// Starts `argv[0]` with `argv` in `dir` and waits for it.
Finished run_process(const std::vector<std::string>& argv, const fs::path& dir) {
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  const std::string where = dir.string();
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    // Nothing on a terminal: "Attendere" would be timed too.
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    if (chdir(where.c_str()) != 0) _exit(126);
    execvp(args[0], args.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  while (wait4(pid, &status, 0, &usage) < 0) {
  }
  Finished f;
  f.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  f.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  f.peak_kib = usage.ru_maxrss;
  return f;
}

fs::path fresh_folder(const fs::path& under) {
  std::string pattern = (under / "run-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  return pattern;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// The six files a run leaves beside the program.
std::vector<std::string> output_names() {
  const RunNames n{kRouteName, kTrainName};
  return {n.notes_document(),  n.slowdown_order(), n.train_sheet(),
          n.track_plan_file(), n.parameter_file(), n.grid_file()};
}

int compare_processes(const fs::path& program, int runs) {
  const fs::path work = fresh_folder(fs::temp_directory_path());
  // One run to make the files that the copies copy.
  const fs::path source = fresh_folder(work);
  fs::copy_file(program, source / "scenario");
  if (run_process({(source / "scenario").string()}, source).status != 0)
    throw std::runtime_error("the program failed in " + source.string());
  std::vector<std::string> cp = {"cp"};
  for (const std::string& name : output_names()) {
    if (!fs::exists(source / name)) throw std::runtime_error("the run left no " + name);
    cp.push_back((source / name).string());
  }

  std::vector<double> one_shot, copy;
  for (int i = 0; i < runs; ++i) {
    const fs::path run_dir = fresh_folder(work);
    fs::copy_file(program, run_dir / "scenario");
    Finished r = run_process({(run_dir / "scenario").string()}, run_dir);
    if (r.status != 0) throw std::runtime_error("the program ended with status " + std::to_string(r.status));
    one_shot.push_back(r.seconds);
    fs::remove_all(run_dir);

    const fs::path copy_dir = fresh_folder(work);
    std::vector<std::string> argv = cp;
    argv.push_back(copy_dir.string());
    Finished c = run_process(argv, copy_dir);
    if (c.status != 0) throw std::runtime_error("cp ended with status " + std::to_string(c.status));
    copy.push_back(c.seconds);
    fs::remove_all(copy_dir);
  }
  fs::remove_all(work);

  const double run_ms = median(one_shot) * 1000, copy_ms = median(copy) * 1000;
  std::printf("whole process, median of %d runs each (2 shared cores: expect noise)\n", runs);
  std::printf("  one-shot run          %8.2f ms  (fastest %.2f)\n", run_ms,
              *std::min_element(one_shot.begin(), one_shot.end()) * 1000);
  std::printf("  cp of its six files   %8.2f ms  (fastest %.2f)\n", copy_ms,
              *std::min_element(copy.begin(), copy.end()) * 1000);
  std::printf("  ratio                 %8.2f     (target <= 1.5)\n", run_ms / copy_ms);
  return 0;
}

// The child: a compile of a generated line on disk, as the program does it.
int compile_once(std::int32_t length) {
  const fs::path dir = fresh_folder(fs::temp_directory_path());
  {
    GeneratedScenario s = generate_scenario(length);
    auto folder = make_disk_folder(dir.string());
    const RunNames names{kRouteName, kTrainName};
    folder->write(names.line_file(), s.line_file);
    folder->write(names.train_file(), s.train_file);
    s = {};
    Compiler compiler(*folder);
    std::int32_t full = 1;
    compiler.memorizza_percorso(full);
    if (!compiler.recorded_codes.empty()) return 3;
  }
  fs::remove_all(dir);
  return 0;
}

int peak_memory(const char* self) {
  std::printf("peak memory of a compile on disk, one child process each\n");
  for (std::int32_t length : {155000, 500000, 1000000}) {
    Finished f = run_process({self, "--compile", std::to_string(length)}, fs::current_path());
    if (f.status != 0) throw std::runtime_error("the compile child ended with status " + std::to_string(f.status));
    std::printf("  %7d m   %7.1f MiB  in %6.1f ms%s\n", length, f.peak_kib / 1024.0, f.seconds * 1000,
                length == 1000000 ? "  (target < 64 MiB)" : "");
  }
  return 0;
}

}  // namespace
}  // namespace scenario::bench

int main(int argc, char** argv) {
  using namespace scenario::bench;
  try {
    if (argc == 3 && std::string(argv[1]) == "--compile") return compile_once(std::stoi(argv[2]));
    if (argc < 2 || argc > 3) {
      std::fprintf(stderr, "usage: %s PATH_TO_SCENARIO [RUNS]\n", argv[0]);
      return 2;
    }
    const int runs = argc == 3 ? std::stoi(argv[2]) : 21;
    compare_processes(argv[1], runs);
    std::printf("\n");
    return peak_memory(fs::absolute(argv[0]).c_str());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s: %s\n", argv[0], e.what());
    return 1;
  }
}
