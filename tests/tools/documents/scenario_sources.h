// Small scenarios written as text for the documents tests: a line file and a
// train file built from a few records, compiled in memory.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "run/folder.h"
#include "tools/documents/documents.h"

namespace scenario::tool::testing {

struct StationRecord {
  int position;
  int kind;
  int platform;
  int hours, minutes;  // 0, 0: no time
  std::string name;
};

struct SlowdownRecord {
  int x, v, l;
};

struct Sources {
  int route_length = 20000;
  std::vector<std::pair<int, int>> tunnels;  // inizio, fine
  std::vector<std::pair<int, int>> speeds = {{0, 100}};
  std::vector<StationRecord> stations;
  std::vector<SlowdownRecord> slowdowns;
  int braked_percentage = 80;
  std::string clock;  // "h, m, s" for an "orologio" record; none when empty

  std::string line_file() const {
    std::string s = "[generale]\r\nlunghezza percorso,    " + std::to_string(route_length) + "\r\n";
    for (const char* which : {"uno", "due", "tre"})
      s += std::string("progressiva chilometrica ") + which + ",    0,    0,    0\r\n";
    s += "sfondo uno,    46000\r\nsfondo due,    1\r\nsfondo tre,    0\r\n";
    s += "ripetizione segnali 9 codici,    0,    " + std::to_string(route_length) + "\r\n";
    s += "[pendenze]\r\npendenza,   0,    0\r\n[montagne]\r\n";
    for (const auto& [inizio, fine] : tunnels)
      s += "montagna,   " + std::to_string(inizio) + ",  " + std::to_string(fine) + ",  1\r\n";
    return s + "[fine]\r\n";
  }

  std::string train_file() const {
    std::string s = "[generale]\r\nnumero vetture,    5\r\npercentuale massa frenata,    " +
                    std::to_string(braked_percentage) + "\r\n";
    if (!clock.empty()) s += "orologio, " + clock + "\r\n";
    s += "[aderenze]\r\naderenza,   0,    100\r\n[vel_limite]\r\n";
    for (const auto& [p, v] : speeds) s += "velocita, " + std::to_string(p) + ", " + std::to_string(v) + "\r\n";
    s += "[stazioni]\r\n";
    for (const StationRecord& st : stations)
      s += "stazione, " + std::to_string(st.position) + ", " + std::to_string(st.kind) + ", " +
           std::to_string(st.platform) + ", 0, 0, 0, 1, 1, 0, 4, 1, 1, 0, " + std::to_string(st.hours) + ", " +
           std::to_string(st.minutes) + ", 0, " + st.name + "\r\n";
    s += "[rallentamenti]\r\n";
    for (const SlowdownRecord& r : slowdowns)
      s += "rallentamento, " + std::to_string(r.x) + ", " + std::to_string(r.v) + ", " + std::to_string(r.l) +
           ", 0, 0, 0\r\n";
    return s + "[segnali]\r\n[codici]\r\n[fine]\r\n";
  }
};

inline const RunNames kNames{"Prova", "R 2041"};

// The documents of `sources`; the fixture is expected to compile cleanly.
inline ScenarioDocuments documents_of(const Sources& sources, bool expect_clean = true) {
  MemoryFolder folder;
  folder.write(kNames.line_file(), sources.line_file());
  folder.write(kNames.train_file(), sources.train_file());
  ScenarioDocuments d = make_documents(folder, "memory", kNames);
  if (expect_clean) {
    EXPECT_TRUE(d.outcome.recorded.empty()) << "code " << d.outcome.recorded.front().code;
    EXPECT_FALSE(d.outcome.runtime_failure) << *d.outcome.runtime_failure;
  }
  return d;
}

// The text file's lines, without the end marker.
inline std::vector<std::string> lines_of(const LaidOutDocument& doc) {
  return {doc.entries.begin(), doc.entries.end() - 1};
}

}  // namespace scenario::tool::testing
