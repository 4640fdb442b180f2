// The names of every file of a run, formed from the route name and the train
// name by plain concatenation (a blank in the train name stays).
#pragma once

#include <string>

namespace scenario {

struct RunNames {
  std::string route_name;
  std::string train_name;

  std::string line_file() const { return route_name + "_linea.txt"; }
  std::string train_file() const { return route_name + "_" + train_name + "-.txt"; }
  std::string notes_document() const { return route_name + "_" + train_name + "_note.txt"; }
  std::string slowdown_order() const { return route_name + "_" + train_name + "_rallentamenti.txt"; }
  std::string train_sheet() const { return route_name + "_" + train_name + "_scheda_treno.txt"; }
  std::string track_plan_file() const { return route_name + "_linea.dat"; }
  std::string parameter_file() const { return route_name + "_" + train_name + ".sim"; }
  std::string grid_file() const { return route_name + "_" + train_name + ".dat"; }
};

// The embedded scenario's names, set by Form_Load.
inline constexpr const char* kRouteName = "Orvale_Tresca";
inline constexpr const char* kTrainName = "IC 417";

}  // namespace scenario
