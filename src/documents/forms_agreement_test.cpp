// The driver's forms read against the two source documents: every place of
// the train sheet stands where the documents put it, every speed change at its
// "velocita" record, every booked time can be run at the sheet's running
// speeds, and the notes give every station its kilometre.

#include <gtest/gtest.h>

#include "test_support/document_text.h"

#include <algorithm>
#include <cstddef>
#include <optional>
#include <regex>
#include <string>
#include <string_view>
#include <vector>

#include "documents/builtin_documents.h"
#include "model/line_kilometre.h"

namespace documents {

namespace {

using Lines = std::span<const std::string_view>;

std::string trim(std::string_view s) {
  size_t a = s.find_first_not_of(' ');
  if (a == std::string_view::npos) return "";
  size_t b = s.find_last_not_of(' ');
  return std::string(s.substr(a, b - a + 1));
}

std::string upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

std::string last_word(const std::string& s) {
  std::string t = trim(s);
  size_t at = t.find_last_of(" .");
  return at == std::string::npos ? t : t.substr(at + 1);
}

// Records of a document whose keyword field begins with `keyword`, split
// into fields.
std::vector<std::vector<std::string>> records(Lines doc, std::string_view keyword) {
  std::vector<std::vector<std::string>> out;
  for (std::string_view line : doc) {
    std::vector<std::string> f = test_support::split_fields(line);
    if (f.front().starts_with(keyword)) out.push_back(f);
  }
  return out;
}

// --- the two source documents ----------------------------------------------

struct Range {
  int start;
  int reference;
};

struct Station {
  std::string name;
  int position;
  int length;
  int zone_end;
  int minutes;  // time of day in minutes, 0 when none is booked
};

struct Signal {
  int position;
  int kind;  // 1 distant, 2 main
  int hold;  // seconds
};

struct Limit {
  int position;
  int speed;
};

struct Board {
  int position;
  std::string text;
};

struct Documents {
  std::vector<Range> ranges;                         // in use, by start
  std::vector<model::kilometric_range> line_ranges;  // the same, for the line's kilometre
  std::vector<Station> stations;
  std::vector<Signal> signals;
  std::vector<Limit> limits;
  std::vector<Board> boards;

  Documents() {
    for (const auto& f : records(line_document_lines(), "progressiva chilometrica"))
      if (std::stoi(f.at(3)) == 1) ranges.push_back({std::stoi(f.at(1)), std::stoi(f.at(2))});
    std::sort(ranges.begin(), ranges.end(),
              [](const Range& a, const Range& b) { return a.start < b.start; });
    std::vector<model::written_range> written;
    for (const Range& r : ranges) written.push_back({r.start, r.reference, 1});
    line_ranges = model::kilometric_ranges(written);
    for (const auto& f : records(train_document_lines(), "stazione")) {
      int p = std::stoi(f.at(1)), type = std::stoi(f.at(2)), length = std::stoi(f.at(3));
      int end = p + length / 2 + (std::stoi(f.at(6)) != 0 ? 50 : 0);
      if (type == 5 || type == 6) end = p + 150;
      if (type == 7 || type == 8) end = p + length;
      stations.push_back(
          {trim(f.back()), p, length, end, std::stoi(f.at(14)) * 60 + std::stoi(f.at(15))});
    }
    for (const auto& f : records(train_document_lines(), "segnale"))
      signals.push_back({std::stoi(f.at(1)), std::stoi(f.at(2)), std::stoi(f.at(11))});
    for (const auto& f : records(train_document_lines(), "velocita"))
      limits.push_back({std::stoi(f.at(1)), std::stoi(f.at(2))});
    for (const auto& f : records(line_document_lines(), "cartello_indicatore"))
      boards.push_back({std::stoi(f.at(1)), trim(f.at(2))});
  }

  // The range in force at route metre p: the last one that starts at or before it.
  size_t range_at(int p) const {
    size_t k = 0;
    for (size_t i = 0; i < ranges.size(); ++i)
      if (ranges[i].start <= p) k = i;
    return k;
  }

  // The kilometric mark of route metre p, in metres, by the model's one
  // formula.
  int km(int p) const { return static_cast<int>(model::line_metre(line_ranges, p)); }

  // The route metre whose mark is `mark`, if some range in use gives it.
  std::optional<int> position_of_mark(int mark) const {
    for (size_t i = 0; i < ranges.size(); ++i) {
      int p = ranges[i].reference - mark;
      if (p >= ranges[i].start && range_at(p) == i) return p;
    }
    return std::nullopt;
  }

  const Station* station(const std::string& name) const {
    for (const Station& s : stations)
      if (s.name == name) return &s;
    return nullptr;
  }

  int limit_at(int p) const {
    int speed = 0;
    for (const Limit& l : limits)
      if (l.position <= p) speed = l.speed;
    return speed;
  }
};

// "89.700" or "Km 86+050" as a kilometric mark in metres.
std::optional<int> mark_of(const std::string& text) {
  std::smatch m;
  static const std::regex progressive(R"((\d{1,2})\.(\d{3}))");
  static const std::regex kilometre(R"([Kk]m (\d{1,2})\+(\d{3}))");
  if (std::regex_match(text, m, progressive) || std::regex_search(text, m, kilometre))
    return std::stoi(m[1].str()) * 1000 + std::stoi(m[2].str());
  return std::nullopt;
}

// --- the train sheet's table ---------------------------------------------------

constexpr size_t kBars[] = {1, 7, 13, 24, 30, 59, 76, 82};
constexpr std::string_view kSpacer =
    " |     |     |          |     |                            |                |     |";

struct Row {
  std::optional<int> limit, running;
  std::string progressive;
  std::string place;       // as it stands in its cell, leading spaces included
  std::vector<int> times;  // minutes of the day, arrival before departure
  double recovery = 0;
  std::optional<int> position;  // route metre, where the documents give it
  const Station* station = nullptr;
  bool range_edge = false;  // the rows above and below a range change

  bool is_reference() const { return place.starts_with("   ") && !trim(place).empty(); }
  std::string name() const { return trim(place); }
};

std::string cell(std::string_view row, size_t k) {
  return std::string(row.substr(kBars[k] + 1, kBars[k + 1] - kBars[k] - 1));
}

std::optional<int> speed(const std::string& text) {
  std::string t = trim(text);
  if (t.empty()) return std::nullopt;
  return std::stoi(t);
}

int minutes_of(const std::string& time) {
  size_t dot = time.find('.');
  return std::stoi(time.substr(0, dot)) * 60 + std::stoi(time.substr(dot + 1, 2));
}

std::vector<Row> sheet_rows(const Documents& d) {
  Lines sheet = train_sheet_lines();
  std::vector<Row> rows;
  for (size_t i = 16; i <= 82; ++i) {
    if (sheet[i] == kSpacer) continue;
    Row r;
    r.limit = speed(cell(sheet[i], 0));
    r.running = speed(cell(sheet[i], 1));
    r.progressive = trim(cell(sheet[i], 2));
    r.place = cell(sheet[i], 4);
    std::string times = cell(sheet[i], 5);
    static const std::regex time(R"(\d{1,2}\.\d{2}\+?)");
    for (auto it = std::sregex_iterator(times.begin(), times.end(), time);
         it != std::sregex_iterator(); ++it)
      r.times.push_back(minutes_of(it->str()));
    std::string recovery = trim(cell(sheet[i], 6));
    if (!recovery.empty()) r.recovery = std::stod(recovery);
    r.station = d.station(r.name());
    if (r.station) {
      r.position = r.station->position;
    } else if (r.name().empty()) {
      r.range_edge = true;
    } else if (auto mark = mark_of(r.progressive.empty() ? r.name() : r.progressive)) {
      r.position = d.position_of_mark(*mark);
    }
    rows.push_back(r);
  }
  return rows;
}

// The sheet's rows with every limit row placed at its "velocita" record, in
// order; the first record, which starts behind the train, goes with the origin.
struct PlacedSheet {
  Documents d;
  std::vector<Row> rows = sheet_rows(d);
  std::vector<Row*> limit_rows;

  PlacedSheet() {
    for (Row& r : rows)
      if (r.limit) limit_rows.push_back(&r);
    if (limit_rows.size() != d.limits.size()) return;
    for (size_t i = 1; i < limit_rows.size(); ++i) {
      if (!limit_rows[i]->position) limit_rows[i]->position = d.limits[i].position;
    }
  }
};

TEST(FormsAgreement, EveryProgressiveIsTheMarkOfItsPlace) {
  PlacedSheet s;
  ASSERT_GE(s.d.ranges.size(), 2u);
  size_t stations = 0, edges = 0;
  for (size_t i = 0; i < s.rows.size(); ++i) {
    const Row& r = s.rows[i];
    SCOPED_TRACE(r.place);
    if (r.range_edge) {
      // Above: the old numbering at the station of the middle row; below: the new.
      ++edges;
      bool above = i + 1 < s.rows.size() && s.rows[i + 1].progressive == "------";
      const Row& middle = above ? s.rows[i + 1] : s.rows.at(i - 1);
      ASSERT_NE(middle.station, nullptr);
      int p = middle.station->position;
      size_t range = s.d.range_at(p);
      ASSERT_GT(range, 0u);
      if (!above) {
        EXPECT_EQ(middle.progressive, "------");
      }
      EXPECT_EQ(mark_of(r.progressive), s.d.ranges[above ? range - 1 : range].reference - p);
      EXPECT_EQ(p, s.d.ranges[range].start);  // the new numbering starts there
      continue;
    }
    if (r.station) {
      ++stations;
      if (r.progressive == "------") continue;
      EXPECT_EQ(mark_of(r.progressive), s.d.km(r.station->position));
    }
    if (!r.progressive.empty() || mark_of(r.name())) {
      EXPECT_TRUE(r.position.has_value()) << "a mark no range of the line gives";
    }
  }
  EXPECT_EQ(stations, s.d.stations.size());
  EXPECT_EQ(edges, 2u);

  // Along the sheet the places follow the route.
  std::optional<int> last;
  for (const Row& r : s.rows) {
    if (!r.position) continue;
    if (last) {
      EXPECT_GT(*r.position, *last) << r.place;
    }
    last = r.position;
  }
}

TEST(FormsAgreement, EverySpeedChangeStandsAtItsRecord) {
  PlacedSheet s;
  ASSERT_EQ(s.limit_rows.size(), s.d.limits.size());
  ASSERT_FALSE(s.d.limits.empty());
  EXPECT_EQ(s.d.limits.front().position, 0);
  EXPECT_EQ(s.limit_rows.front(), &s.rows.front());  // the origin carries the first limit
  for (size_t i = 0; i < s.limit_rows.size(); ++i) {
    const Row& r = *s.limit_rows[i];
    SCOPED_TRACE(r.place);
    EXPECT_EQ(*r.limit, s.d.limits[i].speed);
    ASSERT_TRUE(r.position.has_value());
    if (i == 0) {
      EXPECT_EQ(s.d.limit_at(*r.position), s.d.limits[0].speed);
    } else {
      EXPECT_EQ(*r.position, s.d.limits[i].position) << "km " << s.d.km(s.d.limits[i].position);
    }
  }
  // A place without a mark of its own cannot be put in order by the driver
  // unless a board stands there: every running-speed change has a position.
  for (const Row& r : s.rows)
    if (r.running) {
      EXPECT_TRUE(r.position.has_value()) << r.place;
    }
}

TEST(FormsAgreement, ReferencePointsAreWhereTheDocumentsPutThem) {
  PlacedSheet s;
  const Station* last_station = nullptr;
  size_t references = 0;
  for (const Row& r : s.rows) {
    if (r.station) last_station = r.station;
    if (!r.position || r.station) continue;
    const int p = *r.position;
    const std::string name = r.name();
    SCOPED_TRACE(name);
    auto board_before = [&](const std::string& text, int within) {
      return std::any_of(s.d.boards.begin(), s.d.boards.end(), [&](const Board& b) {
        return b.text.find(text) != std::string::npos && b.position <= p &&
               p - b.position <= within;
      });
    };
    auto signal_at = [&](int kind) {
      return std::any_of(s.d.signals.begin(), s.d.signals.end(),
                         [&](const Signal& g) { return g.position == p && g.kind == kind; });
    };
    std::smatch m;
    if (std::regex_match(name, m, std::regex("Posto di Blocco (.+)"))) {
      EXPECT_TRUE(signal_at(2));
      EXPECT_TRUE(board_before("(POSTO)(DI BLOCCO)(" + upper(m[1].str()) + ")", 500));
    } else if (std::regex_match(name, m, std::regex("(Raccordo|Bivio) (.+)"))) {
      EXPECT_TRUE(board_before("(" + upper(m[1].str()) + ")(" + upper(m[2].str()) + ")", 500));
    } else {
      ASSERT_TRUE(r.is_reference()) << "a service location the documents do not know";
      ++references;
      if (name.starts_with("Km ")) {
        EXPECT_EQ(mark_of(name), s.d.km(p));
      } else if (name.starts_with("Cavalcavia")) {
        EXPECT_TRUE(board_before("(CAVALCAVIA)", 100));  // its board stands just before
      } else if (name.starts_with("Segnale protez. ")) {
        // The main signal of the next station, the last before it.
        EXPECT_TRUE(signal_at(2));
        auto next = std::find_if(s.d.stations.begin(), s.d.stations.end(),
                                 [&](const Station& st) { return st.position > p; });
        ASSERT_NE(next, s.d.stations.end());
        EXPECT_EQ(upper(last_word(name)), last_word(next->name));
        EXPECT_TRUE(std::none_of(s.d.signals.begin(), s.d.signals.end(), [&](const Signal& g) {
          return g.position > p && g.position < next->position;
        }));
      } else if (name.starts_with("Usc. deviatoi ")) {
        // The points past the station just left: beyond its zone, just past
        // its departure signal where it has one.
        ASSERT_NE(last_station, nullptr);
        EXPECT_EQ(upper(last_word(name)), last_word(last_station->name));
        EXPECT_GT(p, last_station->zone_end);
        std::optional<int> departure;
        for (const Signal& g : s.d.signals)
          if (g.position > last_station->position && g.position < p) departure = g.position;
        if (departure) {
          EXPECT_LE(p - *departure, 100);
        } else {
          EXPECT_LE(p - last_station->zone_end, 500);
        }
      } else {
        ADD_FAILURE() << "not a kind of speed reference point";
      }
    }
  }
  for (const Row& r : s.rows)
    if (r.is_reference()) {
      EXPECT_TRUE(r.position.has_value()) << r.place;
    }
  EXPECT_GE(references, 1u);
}

// The running speed in force along the route, from the sheet, never above the
// limit of the train document; the least time from a to b at that speed.
struct RunningProfile {
  std::vector<std::pair<int, int>> changes;  // position, running speed
  const Documents& d;

  RunningProfile(const std::vector<Row>& rows, const Documents& docs) : d(docs) {
    for (const Row& r : rows)
      if (r.running && r.position) changes.emplace_back(*r.position, *r.running);
  }

  int running_at(int p) const {
    int v = 0;
    for (const auto& [at, speed] : changes)
      if (at <= p) v = speed;
    return v;
  }

  double minutes(int a, int b) const {
    std::vector<int> cuts = {a, b};
    for (const auto& c : changes) cuts.push_back(c.first);
    for (const Limit& l : d.limits) cuts.push_back(l.position);
    std::sort(cuts.begin(), cuts.end());
    double t = 0;
    for (size_t i = 0; i + 1 < cuts.size(); ++i) {
      int from = std::max(cuts[i], a), to = std::min(cuts[i + 1], b);
      if (to <= from) continue;
      int v = std::min(running_at(from), d.limit_at(from));
      EXPECT_GT(v, 0) << from;
      if (v <= 0) return 1e9;
      t += (to - from) / 1000.0 / v * 60.0;
    }
    return t;
  }
};

TEST(FormsAgreement, EveryStretchCanBeRunInItsBookedTime) {
  PlacedSheet s;
  RunningProfile running(s.rows, s.d);
  ASSERT_FALSE(running.changes.empty());
  const Row& origin = s.rows.front();
  const Row& terminus = s.rows.back();
  ASSERT_TRUE(origin.position && terminus.position);
  EXPECT_EQ(running.changes.front().first, *origin.position);

  // The sheet never books a running speed above the limit in force.
  std::vector<int> cuts;
  for (const auto& c : running.changes) cuts.push_back(c.first);
  for (const Limit& l : s.d.limits)
    if (l.position >= *origin.position) cuts.push_back(l.position);
  for (int at : cuts) EXPECT_LE(running.running_at(at), s.d.limit_at(at)) << "route metre " << at;

  const Row* from = nullptr;
  size_t stretches = 0;
  for (const Row& r : s.rows) {
    if (r.times.empty()) continue;
    ASSERT_TRUE(r.position.has_value()) << r.place;
    if (from) {
      SCOPED_TRACE(from->name() + " -> " + r.name());
      ++stretches;
      int booked = r.times.front() - from->times.back();
      double least = running.minutes(*from->position, *r.position);
      EXPECT_LE(least, booked);
      // The recovery shown for a place is slack in the time booked to reach it.
      EXPECT_LE(least + r.recovery, booked + 1e-9);
    }
    from = &r;
  }
  EXPECT_GE(stretches, s.d.stations.size() / 2);
}

TEST(FormsAgreement, StopsAndTimesAreThoseOfTheTrainDocument) {
  PlacedSheet s;
  std::vector<std::string> order;
  int last = 0;
  for (const Row& r : s.rows) {
    for (int t : r.times) {
      EXPECT_GE(t, last) << r.place;  // times never run backwards
      last = t;
    }
    if (!r.station) continue;
    const Station& st = *r.station;
    SCOPED_TRACE(st.name);
    order.push_back(st.name);
    bool end = &r == &s.rows.front() || &r == &s.rows.back();
    if (st.minutes == 0) {
      EXPECT_LE(r.times.size(), 1u);  // passed, or not timed at all
      continue;
    }
    // A booked stop: arrival and departure (one time at either end), the
    // booked time being the departure (at the terminus, the arrival).
    ASSERT_EQ(r.times.size(), end ? 1u : 2u);
    EXPECT_EQ(r.times.back(), st.minutes);
    if (end) continue;
    EXPECT_LT(r.times.front(), r.times.back());
    // A departure signal that holds the train for a crossing lets it go in
    // time: the hold fits in the stop and the recovery before it.
    for (const Signal& g : s.d.signals) {
      if (g.position <= st.position || g.hold == 0) continue;
      bool next_station_first = std::any_of(
          s.d.stations.begin(), s.d.stations.end(),
          [&](const Station& o) { return o.position > st.position && o.position < g.position; });
      if (next_station_first) break;
      EXPECT_LE(g.hold, (r.times.back() - r.times.front() + r.recovery) * 60) << g.position;
      break;
    }
  }
  std::vector<std::string> names;
  for (const Station& st : s.d.stations) names.push_back(st.name);
  EXPECT_EQ(order, names);
  ASSERT_FALSE(s.rows.front().times.empty());
  EXPECT_EQ(s.rows.front().times.back(), s.d.stations.front().minutes);
}

TEST(FormsAgreement, TheNotesGiveEveryStationItsKilometre) {
  Documents d;
  Lines n = notes_lines();
  ASSERT_EQ(n.size(), 364u);
  const std::regex heading(
      R"(  (STAZIONE DI ARRIVO: )?([A-Z][A-Z ]*[A-Z])( \( Km (\d{1,2})\+(\d{3}) \))?)");
  std::vector<std::string> seen;
  for (size_t i = 171; i < 345; ++i) {
    std::string line(n[i]);
    std::smatch m;
    if (!std::regex_match(line, m, heading) || line.starts_with("  TRATTA ")) continue;
    const Station* st = d.station(m[2].str());
    ASSERT_NE(st, nullptr) << line;
    seen.push_back(st->name);
    if (m[3].matched) {
      EXPECT_EQ(std::stoi(m[4].str()) * 1000 + std::stoi(m[5].str()), d.km(st->position)) << line;
    }
    EXPECT_EQ(m[1].matched, st == &d.stations.back()) << line;
  }
  std::vector<std::string> names;
  for (const Station& st : d.stations) names.push_back(st.name);
  EXPECT_EQ(seen, names);
}

}  // namespace

}  // namespace documents
