#include "tools/documents/model.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <map>

#include "sources/slowdown_form.h"

namespace scenario::tool {
namespace {

// Station kinds from 25 up get no stop mark in the grid: no place the train
// stops at or runs through, such as the "Nome Stazione" placeholder.
constexpr int kFirstPlaceholderKind = 25;
constexpr Seconds kDay = 86400;
// Metres: the longest line and the 7000 m beyond it, with room to spare.
constexpr std::int64_t kLongestRun = 1100000;

bool is_digits(const std::string& s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
}

std::string trimmed(const std::string& s) {
  const std::size_t first = s.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

std::vector<std::string> words_of(const std::string& s) {
  std::vector<std::string> words;
  std::string word;
  for (char c : s) {
    if (c == ' ') {
      if (!word.empty()) words.push_back(word);
      word.clear();
    } else {
      word += c;
    }
  }
  if (!word.empty()) words.push_back(word);
  return words;
}

// The slots from 1 up that a station record filled: a station always leaves
// a number in its slot, a direction board (from slot 80 down) only its text.
std::vector<Station> stations_of(const Compiler& c, int& placeholders) {
  std::vector<Station> stations;
  placeholders = 0;
  for (int slot = 1; slot < kFirstBoardSlot; ++slot) {
    const ParameterRecord& r = c.parameters[static_cast<std::size_t>(slot)];
    ParameterRecord numbers = r;
    numbers.text.clear();
    if (numbers == ParameterRecord{}) break;
    if (r.kind >= kFirstPlaceholderKind) {
      ++placeholders;
      continue;
    }
    Station s;
    s.name = r.text;
    s.kind = r.kind;
    s.position = r.at_m;
    s.area_start = r.start_m;
    s.area_end = r.end_m;
    // A record's time of 0:00:00 is the train file's "no time".
    if (r.time_s != 0) s.time_s = r.time_s;
    stations.push_back(std::move(s));
  }
  std::stable_sort(stations.begin(), stations.end(),
                   [](const Station& a, const Station& b) { return a.position < b.position; });
  return stations;
}

// The changes of the limit in position order: of two records at one
// position the later one holds, and a record that keeps the limit in force
// is no change.
std::vector<SpeedChange> speed_changes(std::vector<SpeedChange> records) {
  std::stable_sort(records.begin(), records.end(),
                   [](const SpeedChange& a, const SpeedChange& b) { return a.position < b.position; });
  std::vector<SpeedChange> changes;
  for (const SpeedChange& r : records) {
    if (!changes.empty() && changes.back().position == r.position) changes.pop_back();
    if (!changes.empty() && changes.back().speed == r.speed) continue;
    changes.push_back(r);
  }
  return changes;
}

struct StationTimes {
  std::optional<Seconds> arrival, departure, passing;
};

// The timetable of the stations: the train file's times where it has them,
// the rest from the running-time calculation.
std::vector<StationTimes> station_times(const std::vector<Station>& stations, const SpeedProfile& profile,
                                        const RunningModel& run, std::optional<Seconds> clock) {
  const std::size_t n = stations.size();
  std::vector<StationTimes> times(n);
  if (n == 0) return times;

  // The train file's times, each on or after the one before: a time earlier
  // than the previous one is on the next day.
  std::vector<std::optional<Seconds>> known(n);
  Seconds previous = 0;
  bool any = false;
  for (std::size_t i = 0; i < n; ++i) {
    if (!stations[i].time_s) continue;
    Seconds t = *stations[i].time_s;
    while (any && t < previous) t += kDay;
    known[i] = t;
    previous = t;
    any = true;
  }
  // With no time at any station the run starts when the scenario's clock does.
  if (!any && clock) known[0] = *clock;
  std::vector<std::size_t> anchors;
  for (std::size_t i = 0; i < n; ++i)
    if (known[i]) anchors.push_back(i);

  const std::size_t last = n - 1;
  auto is_end = [&](std::size_t i) { return i == last && n > 1; };
  auto run_of = [&](std::size_t a, std::size_t b) -> std::optional<std::vector<double>> {
    const std::int64_t metres = static_cast<std::int64_t>(stations[b].position) - stations[a].position;
    // A run longer than any line comes of a station record far outside it.
    if (profile.empty() || metres <= 0 || metres > kLongestRun) return std::nullopt;
    return running_times(profile, stations[a].position, stations[b].position, run);
  };
  auto at = [&](const std::vector<double>& t, std::size_t a, std::size_t i) {
    return t[static_cast<std::size_t>(stations[i].position - stations[a].position)];
  };
  // The passing times between a and b: the running times, stretched or
  // squeezed to the time the timetable gives the run.
  auto fill_between = [&](std::size_t a, std::size_t b, Seconds start, const std::vector<double>& t, double scale) {
    for (std::size_t i = a + 1; i < b; ++i) times[i].passing = start + at(t, a, i) * scale;
  };

  for (std::size_t k = 0; k < anchors.size(); ++k) {
    const std::size_t b = anchors[k];
    if (is_end(b))
      times[b].arrival = known[b];
    else
      times[b].departure = known[b];
  }

  // Between two stations with times: the arrival at the second is its
  // departure less the dwell, unless the run needs more of the dwell (or
  // all of it: the timetable is then too tight).
  for (std::size_t k = 0; k + 1 < anchors.size(); ++k) {
    const std::size_t a = anchors[k], b = anchors[k + 1];
    const Seconds start = *known[a];
    const auto t = run_of(a, b);
    const Seconds running = t ? t->back() : 0;
    if (!is_end(b)) {
      const Seconds earliest = start + running;
      times[b].arrival = std::min(*known[b], std::max(*known[b] - kDwellSeconds, earliest));
    }
    const Seconds given = *times[b].arrival - start;
    if (t && b > a + 1) fill_between(a, b, start, *t, running > 0 && given > 0 ? given / running : 1.0);
  }

  if (anchors.empty()) return times;
  // Before the first station with a time: back from it at running time.
  if (const std::size_t f = anchors.front(); f > 0) {
    const Seconds reached = is_end(f) ? *known[f] : *known[f] - kDwellSeconds;
    if (!is_end(f)) times[f].arrival = reached;
    if (const auto t = run_of(0, f)) {
      const Seconds start = reached - t->back();
      times[0].departure = start;
      fill_between(0, f, start, *t, 1.0);
    }
  }
  // After the last one: on at running time to the end of the run.
  if (const std::size_t l = anchors.back(); l < last) {
    if (const auto t = run_of(l, last)) {
      const Seconds start = *known[l];
      times[last].arrival = start + t->back();
      fill_between(l, last, start, *t, 1.0);
    }
  }
  // The origin departs and the destination arrives: nothing else there.
  times[0].arrival.reset();
  times[0].passing.reset();
  if (n > 1) {
    times[last].departure.reset();
    times[last].passing.reset();
  }
  return times;
}

std::string slowdown_stations(const std::vector<Station>& stations, std::int32_t x, std::int32_t length) {
  const std::int64_t end = static_cast<std::int64_t>(x) + std::max<std::int32_t>(length, 0);
  for (const Station& s : stations)
    if (s.area_start <= end && x <= s.area_end) return s.name;
  const Station* before = nullptr;
  const Station* after = nullptr;
  for (const Station& s : stations) {
    if (s.position <= x) before = &s;
    if (s.position >= end && !after) after = &s;
  }
  if (before && after) {
    std::string both = before->name + " - " + after->name;
    // The cell's first character is a blank.
    if (both.size() < kStationsWidth) return both;
    return abbreviated_name(before->name) + " - " + abbreviated_name(after->name);
  }
  if (before) return before->name;
  if (after) return after->name;
  return {};
}

}  // namespace

std::string cp1252_upper(const std::string& text) {
  std::string out = text;
  for (char& ch : out) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c >= 'a' && c <= 'z')
      ch = static_cast<char>(c - 32);
    else if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
      ch = static_cast<char>(c - 32);
    else if (c == 0x9A || c == 0x9C || c == 0x9E)
      ch = static_cast<char>(c - 16);
    else if (c == 0xFF)
      ch = static_cast<char>(0x9F);
  }
  return out;
}

void split_train_name(const std::string& name, std::string& category, std::string& number) {
  const std::string t = trimmed(name);
  const std::size_t blank = t.find_last_of(' ');
  if (blank != std::string::npos && is_digits(t.substr(blank + 1))) {
    category = trimmed(t.substr(0, blank));
    number = t.substr(blank + 1);
    return;
  }
  std::size_t digits = t.size();
  while (digits > 0 && std::isdigit(static_cast<unsigned char>(t[digits - 1])) != 0) --digits;
  category = trimmed(t.substr(0, digits));
  number = t.substr(digits);
}

std::string abbreviated_name(const std::string& name) {
  const std::string upper = cp1252_upper(trimmed(name));
  if (upper.size() <= kAbbreviatedWidth) return upper;
  const std::vector<std::string> words = words_of(upper);
  for (std::size_t letters : {2, 1}) {
    std::string out = words.front();
    for (std::size_t i = 1; i < words.size(); ++i)
      out.append(" ").append(words[i].size() <= letters ? words[i] : words[i].substr(0, letters).append("."));
    if (out.size() <= kAbbreviatedWidth && words.size() > 1) return out;
  }
  // A long first word gives way to the initials of the others ("CASTELV. C.").
  std::string initials;
  for (std::size_t i = 1; i < words.size(); ++i) initials.append(" ").append(words[i].substr(0, 1)).append(".");
  if (words.size() > 1 && initials.size() + 3 <= kAbbreviatedWidth)
    return words.front().substr(0, kAbbreviatedWidth - initials.size() - 1) + "." + initials;
  return upper.substr(0, kAbbreviatedWidth - 1) + ".";
}

DocumentModel build_model(const Compiler& c, const SourceRecords& records, const RunningModel& run) {
  DocumentModel m;
  m.route_name = c.route_name;
  m.train_name = c.train_name;
  split_train_name(c.train_name, m.category, m.train_number);
  // 0 is what a train file without the record leaves: no value.
  if (const std::int32_t p = c.parameters[kTrainSlot].start_m; p != 0) m.braked_percentage = p;
  m.stations = stations_of(c, m.placeholder_stations);

  const std::vector<SpeedChange> changes = speed_changes(records.speed_records);
  const SpeedProfile profile(changes);
  const ParameterRecord& settings = c.parameters[kSettingsSlot];
  std::optional<Seconds> clock;
  if (settings.num_c != 0 || settings.num_d != 0 || settings.num_e != 0)
    clock = (settings.num_c * 60.0 + settings.num_d) * 60.0 + settings.num_e;
  const std::vector<StationTimes> times = station_times(m.stations, profile, run, clock);

  const bool has_run = !m.stations.empty();
  const std::int32_t first = has_run ? m.stations.front().position : 0;
  const std::int32_t last = has_run ? m.stations.back().position : 0;
  auto on_run = [&](std::int32_t p) { return !has_run || (p >= first && p <= last); };

  std::vector<DocumentRow> rows;
  for (std::size_t i = 0; i < m.stations.size(); ++i) {
    DocumentRow r;
    r.kind = RowKind::station;
    r.position = m.stations[i].position;
    r.location = m.stations[i].name;
    r.arrival = times[i].arrival;
    r.departure = times[i].departure;
    r.passing = times[i].passing;
    rows.push_back(std::move(r));
  }
  for (const SourceRecords::Tunnel& t : records.tunnels) {
    if (t.fine <= t.inizio || !on_run(t.inizio)) continue;  // marks no cell: no tunnel
    DocumentRow r;
    r.kind = RowKind::tunnel_mouth;
    r.position = t.inizio;
    r.location = "Imbocco Galleria";
    rows.push_back(std::move(r));
  }
  auto order = [](const DocumentRow& r) { return static_cast<int>(r.kind); };
  std::stable_sort(rows.begin(), rows.end(), [&](const DocumentRow& a, const DocumentRow& b) {
    return a.position != b.position ? a.position < b.position : order(a) < order(b);
  });

  // A change of the limit goes onto the row already at its position; the
  // limit in force at the origin onto the origin's row.
  std::map<std::int32_t, std::size_t> row_at;
  for (std::size_t i = rows.size(); i-- > 0;) row_at[rows[i].position] = i;  // the first row at each position
  std::vector<DocumentRow> boards;
  for (const SpeedChange& change : changes) {
    std::int32_t p = change.position;
    if (has_run && p <= first) p = first;
    if (!on_run(p)) continue;
    if (auto at = row_at.find(p); at != row_at.end()) {
      rows[at->second].speed = change.speed;
      continue;
    }
    DocumentRow r;
    r.kind = RowKind::speed_board;
    r.position = p;
    r.location = "Cartello Indicatore";
    r.speed = change.speed;
    boards.push_back(std::move(r));
  }
  rows.insert(rows.end(), std::make_move_iterator(boards.begin()), std::make_move_iterator(boards.end()));
  std::stable_sort(rows.begin(), rows.end(), [&](const DocumentRow& a, const DocumentRow& b) {
    return a.position != b.position ? a.position < b.position : order(a) < order(b);
  });
  m.rows = std::move(rows);

  std::vector<SourceRecords::Slowdown> slowdowns = records.slowdowns;
  std::stable_sort(slowdowns.begin(), slowdowns.end(),
                   [](const SourceRecords::Slowdown& a, const SourceRecords::Slowdown& b) { return a.x < b.x; });
  for (const SourceRecords::Slowdown& s : slowdowns)
    m.slowdowns.push_back({slowdown_stations(m.stations, s.x, s.l), s.x, s.v, s.l});
  return m;
}

}  // namespace scenario::tool
