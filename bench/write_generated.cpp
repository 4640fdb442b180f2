// Writes a generated scenario's line and train files into a folder, under the
// embedded scenario's names, for the live preview's benchmark:
//   scenario_write_generated DIR LENGTH
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "bench/scenario_generator.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: scenario_write_generated DIR LENGTH\n";
    return 64;
  }
  const std::filesystem::path dir = argv[1];
  const auto scenario = scenario::bench::generate_scenario(std::atoi(argv[2]));
  std::filesystem::create_directories(dir);
  for (const auto& [name, bytes] : {std::pair{"Orvale_Tresca_linea.txt", &scenario.line_file},
                                    std::pair{"Orvale_Tresca_IC 417-.txt", &scenario.train_file}}) {
    std::ofstream out(dir / name, std::ios::binary | std::ios::trunc);
    out.write(bytes->data(), static_cast<std::streamsize>(bytes->size()));
    if (!out) {
      std::cerr << "cannot write " << (dir / name).string() << "\n";
      return 2;
    }
  }
  return 0;
}
