// The three forms for the driver: their frames (line counts, fixed lines, bars
// on their columns), their encoding, and their agreement with the train document.

#include <gtest/gtest.h>

#include "test_support/document_text.h"

#include <algorithm>
#include <cstddef>
#include <regex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "documents/builtin_documents.h"
#include "runtime/windows1252.h"

namespace documents {

namespace {

using Lines = std::span<const std::string_view>;

// A line as the file holds it: one byte a character, so columns are indices.
std::string bytes(std::string_view line) {
  return runtime::to_windows1252(line);
}

bool is_blank(std::string_view line) {
  return !line.empty() && line.find_first_not_of(' ') == std::string_view::npos;
}

std::vector<size_t> bar_columns(std::string_view line) {
  std::string b = bytes(line);
  std::vector<size_t> cols;
  for (size_t i = 0; i < b.size(); ++i)
    if (b[i] == '|') cols.push_back(i);
  return cols;
}

bool full_match(std::string_view s, const char* pattern) {
  return std::regex_match(std::string(s), std::regex(pattern));
}

std::string trim(std::string_view s) {
  size_t a = s.find_first_not_of(' ');
  if (a == std::string_view::npos) return "";
  size_t b = s.find_last_not_of(' ');
  return std::string(s.substr(a, b - a + 1));
}

// The train document's records of one keyword, split into fields.
std::vector<std::vector<std::string>> train_records(std::string_view keyword) {
  std::vector<std::vector<std::string>> out;
  for (std::string_view line : train_document_lines()) {
    std::vector<std::string> f = test_support::split_fields(line);
    if (f.front() == keyword) out.push_back(f);
  }
  return out;
}

std::vector<std::string> train_station_names() {
  std::vector<std::string> names;
  for (const auto& f : train_records("stazione")) names.push_back(trim(f.back()));
  return names;
}

// --- the train sheet's table -------------------------------------------------

const std::vector<size_t> kSheetBars = {1, 7, 13, 24, 30, 59, 76, 82};
const std::string_view kSheetSpacer =
    " |     |     |          |     |                            |                |     |";
constexpr size_t kBodyFirst = 16;
constexpr size_t kBodyLast = 82;

enum Cell { kLimit, kRunning, kProgressive, kFurther, kPlace, kTimes, kRecovery };

std::string cell(std::string_view row, int k) {
  std::string b = bytes(row);
  size_t from = kSheetBars[k] + 1;
  return b.substr(from, kSheetBars[k + 1] - from);
}

std::vector<std::string_view> content_rows() {
  Lines sheet = train_sheet_lines();
  std::vector<std::string_view> rows;
  for (size_t i = kBodyFirst; i <= kBodyLast; ++i)
    if (sheet[i] != kSheetSpacer) rows.push_back(sheet[i]);
  return rows;
}

// --- counts and encoding of all three forms --------------------------------

struct FormShape {
  const char* name;
  Lines lines;
  size_t line_count;
  size_t empty_count;
  size_t blank_count;
};

std::vector<FormShape> form_shapes() {
  return {
      {"train sheet", train_sheet_lines(), 85, 4, 0},
      {"slowdown order", slowdown_order_lines(), 32, 8, 0},
      {"notes", notes_lines(), 364, 47, 25},
  };
}

TEST(Forms, LineAndEmptyLineCounts) {
  for (const FormShape& f : form_shapes()) {
    SCOPED_TRACE(f.name);
    EXPECT_EQ(f.lines.size(), f.line_count);
    EXPECT_EQ(static_cast<size_t>(std::count(f.lines.begin(), f.lines.end(), "")), f.empty_count);
    EXPECT_EQ(static_cast<size_t>(std::count_if(f.lines.begin(), f.lines.end(), is_blank)),
              f.blank_count);
  }
}

TEST(Forms, EveryCharacterIsOneWindows1252Byte) {
  for (const FormShape& f : form_shapes()) {
    SCOPED_TRACE(f.name);
    for (std::string_view line : f.lines) {
      std::string b = bytes(line);
      EXPECT_EQ(b.size(), test_support::char_count(line)) << line;
      EXPECT_EQ(std::count(b.begin(), b.end(), '?'), std::count(line.begin(), line.end(), '?'))
          << line;
      EXPECT_EQ(b.find("riferimento fine del file"), std::string::npos);
    }
  }
  // The notes use the accented vowels and the degree sign as single bytes.
  std::string notes;
  for (std::string_view line : notes_lines()) notes += bytes(line);
  for (char c : {'\xB0', '\xE0', '\xE8', '\xE9', '\xEC', '\xF2', '\xF9'})
    EXPECT_NE(notes.find(c), std::string::npos) << static_cast<int>(static_cast<unsigned char>(c));
}

// --- train sheet --------------------------------------------------------------

TEST(TrainSheet, HeadingBoxAndSmallBoxes) {
  Lines s = train_sheet_lines();
  ASSERT_EQ(s.size(), 85u);
  EXPECT_EQ(s[2], "  " + std::string(19, '_') + std::string(47, ' ') + std::string(14, '_'));
  for (size_t i = 3; i <= 6; ++i) EXPECT_EQ(bytes(s[i]).size(), 83u) << i;
  for (size_t i = 3; i <= 5; ++i)
    EXPECT_EQ(bar_columns(s[i]), (std::vector<size_t>{1, 21, 67, 82})) << i;
  EXPECT_EQ(s[6], std::string(67, ' ') + "|" + std::string(14, '_') + "|");
  EXPECT_EQ(s[3].find("SCHEDA"), 42u);
  EXPECT_EQ(s[4].substr(1, 21), "|   TRENO n.40817   |");
  EXPECT_EQ(s[4].find("da: BORVASCO "), 41u);
  EXPECT_EQ(s[5].find("a: LESTRANO "), 42u);
  EXPECT_EQ(s[5].substr(1, 21), "|" + std::string(19, '_') + "|");
  // The right cell: the speed code and the braked mass, centred in 14.
  EXPECT_TRUE(full_match(s[4].substr(68, 14), " *V\\d{2,3} [A-Z] *"));
  EXPECT_TRUE(full_match(s[5].substr(68, 14), " *\\d{2,3}% *"));

  EXPECT_EQ(s[7], "  " + std::string(19, '_') + std::string(16, ' ') + std::string(19, '_'));
  EXPECT_EQ(s[8], " |  CLASSIFICAZIONE  |              |  MASSA BLOCCATA   |       ");
  for (size_t i = 8; i <= 10; ++i)
    EXPECT_EQ(bar_columns(s[i]), (std::vector<size_t>{1, 21, 36, 56})) << i;
  EXPECT_NE(s[9][10], ' ');
  EXPECT_EQ(trim(s[9].substr(2, 19)).size(), 1u);
  EXPECT_TRUE(full_match(s[9].substr(37, 19), " {6}\\d+T *"));
  EXPECT_EQ(s[10], " |___________________|              |___________________|");
}

TEST(TrainSheet, TableHeadingAndEdges) {
  Lines s = train_sheet_lines();
  ASSERT_EQ(s.size(), 85u);
  const std::vector<size_t> empty = {0, 1, 11, 84};
  for (size_t i = 0; i < s.size(); ++i)
    EXPECT_EQ(s[i].empty(), std::find(empty.begin(), empty.end(), i) != empty.end()) << i;
  EXPECT_EQ(s[12], "  " + std::string(80, '_'));
  EXPECT_EQ(s[13],
            " | Vel.| Vel.| Progr Km |  No |   Localita' di  Servizio   |     Orario     | Rec |");
  EXPECT_EQ(s[14],
            " | Lim.|Marc.|          |  Rs |                            |                |     |");
  EXPECT_EQ(s[15],
            " |_____|_____|__________|_____|____________________________|________________|_____|");
  EXPECT_EQ(s[83], s[15]);
}

TEST(TrainSheet, EveryTableRowKeepsItsBars) {
  Lines s = train_sheet_lines();
  ASSERT_EQ(s.size(), 85u);
  size_t longer = 0;
  for (size_t i = 13; i <= 83; ++i) {
    EXPECT_EQ(bar_columns(s[i]), kSheetBars) << i;
    std::string b = bytes(s[i]);
    ASSERT_TRUE(b.size() == 83 || b.size() == 84) << i;
    if (b.size() == 84) {
      EXPECT_EQ(b.back(), ' ') << i;
      ++longer;
    }
  }
  EXPECT_EQ(longer, 2u);
}

TEST(TrainSheet, SpacerBeforeEveryEntryAndOneThreeRowEntry) {
  Lines s = train_sheet_lines();
  ASSERT_EQ(s.size(), 85u);
  EXPECT_EQ(s[kBodyFirst], kSheetSpacer);
  EXPECT_EQ(s[kBodyLast], kSheetSpacer);
  std::vector<size_t> runs;  // lengths of the runs of content rows
  size_t spacers = 0, run = 0;
  for (size_t i = kBodyFirst; i <= kBodyLast; ++i) {
    if (s[i] == kSheetSpacer) {
      ++spacers;
      if (run) runs.push_back(run);
      run = 0;
    } else {
      ++run;
    }
  }
  EXPECT_EQ(spacers, 33u);
  EXPECT_EQ(content_rows().size(), 34u);
  for (std::string_view row : content_rows()) {
    bool filled = false;
    for (int k = kLimit; k <= kRecovery; ++k) filled = filled || !trim(cell(row, k)).empty();
    EXPECT_TRUE(filled) << row;  // a row with every cell blank must be the spacer itself
  }
  EXPECT_EQ(runs.size(), 32u);
  EXPECT_EQ(std::count(runs.begin(), runs.end(), 1), 31);
  EXPECT_EQ(std::count(runs.begin(), runs.end(), 3), 1);

  // The range change: old progressive, "------" with the place, new progressive.
  std::vector<std::string_view> rows = content_rows();
  auto middle = std::find_if(rows.begin(), rows.end(), [](std::string_view r) {
    return trim(cell(r, kProgressive)) == "------";
  });
  ASSERT_NE(middle, rows.end());
  ASSERT_TRUE(middle != rows.begin() && middle + 1 != rows.end());
  EXPECT_FALSE(trim(cell(*middle, kPlace)).empty());
  EXPECT_FALSE(trim(cell(*middle, kTimes)).empty());
  for (std::string_view edge : {*(middle - 1), *(middle + 1)}) {
    EXPECT_TRUE(full_match(cell(edge, kProgressive), " *\\d{1,2}\\.\\d{3}  ")) << edge;
    EXPECT_TRUE(trim(cell(edge, kPlace)).empty()) << edge;
  }
  double above = std::stod(cell(*(middle - 1), kProgressive));
  double below = std::stod(cell(*(middle + 1), kProgressive));
  EXPECT_GT(above, below);
}

TEST(TrainSheet, CellFormatsAndFilledCounts) {
  const char* speed = " *\\d{2,3} ";
  const char* time = "\\d{1,2}\\.\\d{2}\\+?";
  const std::string one_time = std::string(" {6}") + time + " *";
  const std::string two_times = std::string(" ") + time + " +" + time + " {1,2}";
  const std::string end_time = std::string(" +") + time + " {1,2}";
  struct Case {
    Cell cell;
    std::vector<std::string> formats;
    size_t filled;
  };
  const Case cases[] = {
      {kLimit, {speed}, 12},
      {kRunning, {speed}, 16},
      {kProgressive, {" *\\d{1,2}\\.\\d{3}  ", "  ------  "}, 26},
      {kFurther, {speed}, 13},
      {kPlace, {" [A-Z][^ ].*", " {6}[A-Za-z].*", " {3}[A-Za-z].*"}, 32},
      {kTimes, {one_time, two_times, end_time}, 21},
      {kRecovery, {" \\d\\.\\d "}, 7},
  };
  std::vector<std::string_view> rows = content_rows();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cell);
    size_t filled = 0;
    for (std::string_view row : rows) {
      std::string text = cell(row, c.cell);
      if (trim(text).empty()) continue;
      ++filled;
      bool matched = std::any_of(c.formats.begin(), c.formats.end(),
                                 [&](const std::string& f) { return full_match(text, f.c_str()); });
      EXPECT_TRUE(matched) << "[" << text << "]";
    }
    EXPECT_EQ(filled, c.filled);
  }
}

TEST(TrainSheet, PlacesSpeedsAndProgressives) {
  std::vector<std::string_view> rows = content_rows();
  size_t services = 0, references = 0, speed_rows = 0, equal = 0, lower = 0, alone = 0;
  std::vector<double> progressives;
  for (std::string_view row : rows) {
    std::string place = cell(row, kPlace);
    if (full_match(place, " [^ ].*")) ++services;
    if (full_match(place, " {3,6}[^ ].*")) ++references;
    std::string limit = trim(cell(row, kLimit)), further = trim(cell(row, kFurther));
    if (!limit.empty() || !trim(cell(row, kRunning)).empty() || !further.empty()) ++speed_rows;
    if (!further.empty()) {
      if (further == limit)
        ++equal;
      else if (limit.empty())
        ++alone;
      else if (std::stoi(further) < std::stoi(limit))
        ++lower;
    }
    std::string p = trim(cell(row, kProgressive));
    if (!p.empty() && p != "------") progressives.push_back(std::stod(p));
  }
  EXPECT_EQ(services, 22u);
  EXPECT_EQ(references, 10u);
  EXPECT_EQ(speed_rows, 18u);
  EXPECT_EQ(equal, 11u);
  EXPECT_EQ(lower, 1u);
  EXPECT_EQ(alone, 1u);
  // The kilometric marks count down towards the destination.
  EXPECT_TRUE(std::is_sorted(progressives.rbegin(), progressives.rend()));
  EXPECT_EQ(std::adjacent_find(progressives.begin(), progressives.end()), progressives.end());
  ASSERT_FALSE(progressives.empty());
  EXPECT_EQ(progressives.back(), 0.0);
}

TEST(TrainSheet, AgreesWithTheTrainDocument) {
  std::vector<std::string_view> rows = content_rows();

  // Limit speeds: the train document's "velocita" records, in order.
  std::vector<int> limits, records;
  for (std::string_view row : rows)
    if (!trim(cell(row, kLimit)).empty()) limits.push_back(std::stoi(cell(row, kLimit)));
  for (const auto& f : train_records("velocita")) records.push_back(std::stoi(f.at(2)));
  EXPECT_EQ(limits, records);

  // Stations: those of the train document, in the same order, all of them.
  std::vector<std::string> names = train_station_names();
  std::vector<std::string> on_sheet;
  for (std::string_view row : rows) {
    std::string place = trim(cell(row, kPlace));
    if (std::find(names.begin(), names.end(), place) != names.end()) on_sheet.push_back(place);
  }
  EXPECT_EQ(on_sheet, names);
  EXPECT_EQ(trim(cell(rows.front(), kPlace)), names.front());
  EXPECT_EQ(trim(cell(rows.back(), kPlace)), names.back());

  // A station with a booked time shows it as its last time (departure, or the
  // arrival at the terminus).
  for (const auto& f : train_records("stazione")) {
    int hours = std::stoi(f.at(14)), minutes = std::stoi(f.at(15));
    if (hours == 0) continue;
    std::string name = trim(f.back());
    SCOPED_TRACE(name);
    auto row = std::find_if(rows.begin(), rows.end(),
                            [&](std::string_view r) { return trim(cell(r, kPlace)) == name; });
    ASSERT_NE(row, rows.end());
    std::string times = trim(cell(*row, kTimes));
    std::string last = times.substr(times.find_last_of(' ') + 1);
    EXPECT_EQ(last,
              std::to_string(hours) + "." + (minutes < 10 ? "0" : "") + std::to_string(minutes));
  }

  // The heading names the first and last station of the train document.
  Lines s = train_sheet_lines();
  EXPECT_EQ(trim(s[4].substr(45, 22)), names.front());
  EXPECT_EQ(trim(s[5].substr(45, 22)), names.back());
}

// --- slowdown order -------------------------------------------------------------

TEST(SlowdownOrder, FrameAndBars) {
  Lines s = slowdown_order_lines();
  ASSERT_EQ(s.size(), 32u);
  const std::vector<size_t> empty = {0, 5, 7, 21, 23, 25, 27, 29};
  for (size_t i = 0; i < s.size(); ++i) {
    EXPECT_EQ(s[i].empty(), std::find(empty.begin(), empty.end(), i) != empty.end()) << i;
    if (!s[i].empty()) {
      EXPECT_NE(s[i].back(), ' ') << i;  // no trailing spaces anywhere
    }
  }
  EXPECT_EQ(s[1], std::string(31, ' ') + "Modulo M. 3");
  EXPECT_EQ(s[2], std::string(27, ' ') + "ORDINE DI RALLENTAMENTO");
  EXPECT_EQ(s[3], " " + std::string(80, '_'));
  EXPECT_EQ(s[4], "  Linea  BORVASCO - LESTRANO");
  EXPECT_EQ(s[6],
            "  Si ordina al macchinista del treno 40817  di effettuare i seguenti rallentamenti");
  EXPECT_EQ(s[8], "  " + std::string(79, '_'));
  EXPECT_EQ(s[12],
            " |___|____________________________|____________|__________|_________|____________|");
  EXPECT_EQ(s[20], s[12]);

  const std::vector<size_t> all = {1, 5, 34, 47, 58, 68, 81};
  const std::vector<size_t> merged = {1, 5, 58, 68, 81};
  for (size_t i = 9; i <= 20; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(bytes(s[i]).size(), 82u);
    if (i == 14 || i == 16) {
      EXPECT_EQ(bar_columns(s[i]), merged);
    } else if (i == 15) {
      EXPECT_EQ(bar_columns(s[i]), (std::vector<size_t>{1, 81}));
      EXPECT_EQ(s[i].find("NESSUNA      PRESCRIZIONE"), 30u);
    } else {
      EXPECT_EQ(bar_columns(s[i]), all);
    }
  }
  // Blank rows are identical to each other.
  for (size_t i : {17, 18, 19}) EXPECT_EQ(s[i], s[13]) << i;
  EXPECT_EQ(s[16], s[14]);

  // The legend: entries A, B, D, C, each after an empty line; C runs on.
  EXPECT_EQ(s[22], std::string(14, ' ') + "Prescrizioni specifiche");
  const std::pair<size_t, const char*> legend[] = {
      {24, " A - "}, {26, " B - "}, {28, " D - "}, {30, " C - "}};
  for (const auto& [line, start] : legend) EXPECT_TRUE(s[line].starts_with(start)) << line;
  EXPECT_TRUE(full_match(s[31], " {5}[a-z].*"));
}

TEST(SlowdownOrder, NoRestrictionMatchesTheTrainDocument) {
  EXPECT_TRUE(train_records("rallentamento").empty());
  Lines s = slowdown_order_lines();
  ASSERT_EQ(s.size(), 32u);
  EXPECT_NE(s[6].find(" 40817 "), std::string_view::npos);
  std::vector<std::string> names = train_station_names();
  EXPECT_EQ(s[4], "  Linea  " + names.front() + " - " + names.back());
}

// --- notes ---------------------------------------------------------------------

TEST(Notes, HeadingsStandOnTheirLines) {
  Lines n = notes_lines();
  ASSERT_EQ(n.size(), 364u);
  const std::pair<size_t, const char*> headings[] = {
      {0, "LINEA :  BORVASCO -- LESTRANO"},
      {2, "TRENO : 40817"},
      {7, "INTRODUZIONE"},
      {55, "LA LINEA SIMULATA"},
      {102, "  IMPRECISIONI NELLA LINEA SIMULATA"},
      {170, "LA LINEA REALE"},
      {345, " NOTE :"},
  };
  for (const auto& [line, text] : headings) EXPECT_EQ(n[line], text) << line;
  for (size_t line : {1, 3, 6, 362}) EXPECT_EQ(n[line], "") << line;
  EXPECT_FALSE(trim(n[361]).empty());
  EXPECT_FALSE(trim(n[363]).empty());

  // Other scenarios of the line: two end places and a train number, " , " between.
  EXPECT_TRUE(n[4].starts_with("SCENARI COSTRUITI : "));
  EXPECT_TRUE(full_match(n[5], " {14}[^ ].*"));
  std::string list = trim(std::string(n[4].substr(20)) + std::string(n[5].substr(14)));
  const std::regex id("(Borvasco_Lestrano|Lestrano_Borvasco)_\\d{5}");
  size_t from = 0, count = 0;
  for (;;) {
    size_t sep = list.find(" , ", from);
    std::string one = list.substr(from, sep == std::string::npos ? sep : sep - from);
    EXPECT_TRUE(std::regex_match(one, id)) << one;
    EXPECT_NE(one, "Borvasco_Lestrano_40817");
    ++count;
    if (sep == std::string::npos) break;
    from = sep + 3;
  }
  EXPECT_GE(count, 2u);

  // One to four empty or blank lines before each main heading.
  for (size_t line : {7, 55, 102, 170, 345}) {
    size_t gap = 0;
    while (n[line - 1 - gap].empty() || is_blank(n[line - 1 - gap])) ++gap;
    EXPECT_GE(gap, 1u) << line;
    EXPECT_LE(gap, 4u) << line;
  }
}

TEST(Notes, LineLengthsAndIndentation) {
  Lines n = notes_lines();
  ASSERT_EQ(n.size(), 364u);
  size_t longest = 0, at_longest = 0, trailing = 0;
  for (std::string_view line : n) {
    size_t length = bytes(line).size();
    if (length > longest) {
      longest = length;
      at_longest = 0;
    }
    if (length == longest) ++at_longest;
    if (!trim(line).empty() && line.back() == ' ') ++trailing;
  }
  EXPECT_EQ(longest, 105u);
  EXPECT_GE(at_longest, 1u);
  EXPECT_GT(trailing, 100u);

  for (size_t i = 8; i < 361; ++i) {
    std::string_view line = n[i];
    if (trim(line).empty() || i == 55 || i == 102 || i == 170 || i == 345) continue;
    SCOPED_TRACE(i);
    if (i < 102) {
      EXPECT_TRUE(full_match(line, " [^ ].*"));  // one space in
    } else if (i < 345) {
      EXPECT_TRUE(full_match(line, " {8}[^ ].*") || full_match(line, "  [A-Z].*"));
    } else {
      EXPECT_TRUE(full_match(line, " {8}[^ ].*") || full_match(line, " {3,4}\\(\\*{1,2}\\) .*"));
    }
  }
}

TEST(Notes, FootnotesAreReferencedAbove) {
  Lines n = notes_lines();
  ASSERT_EQ(n.size(), 364u);
  for (const char* marker : {"(*)", "(**)"}) {
    SCOPED_TRACE(marker);
    size_t above = 0, below = 0;
    for (size_t i = 0; i < n.size(); ++i)
      if (n[i].find(marker) != std::string_view::npos) ++(i < 345 ? above : below);
    EXPECT_GE(above, 1u);
    EXPECT_EQ(below, 1u);
  }
}

TEST(Notes, RealLineSubsectionsFollowTheRoute) {
  Lines n = notes_lines();
  ASSERT_EQ(n.size(), 364u);
  std::vector<std::string> names = train_station_names();
  auto index_of = [&](const std::string& name) {
    return static_cast<long>(std::find(names.begin(), names.end(), name) - names.begin());
  };
  const std::regex station("  ([A-Z][A-Z ]*[A-Z])( \\( Km \\d{1,2}\\+\\d{3} \\))?");
  const std::regex stretch("  TRATTA ([A-Z][A-Z ]*[A-Z]) (--|-) ([A-Z][A-Z ]*[A-Z])");
  const std::string arrival = "  STAZIONE DI ARRIVO: LESTRANO ( Km 0+000 )";
  long last = -1;
  size_t stations = 0, stretches = 0;
  std::string previous;
  bool arrived = false;
  for (size_t i = 171; i < 345; ++i) {
    std::string line(n[i]);
    if (!full_match(line, "  [A-Z].*")) continue;
    SCOPED_TRACE(line);
    ASSERT_FALSE(arrived);
    std::smatch m;
    if (line == arrival) {
      arrived = true;
      EXPECT_EQ(previous, "LESTRANO");  // the last stretch ends there
      EXPECT_GT(index_of("LESTRANO"), last);
    } else if (std::regex_match(line, m, stretch)) {
      ++stretches;
      EXPECT_EQ(m[1].str(), previous);  // a stretch starts where the last station was
      long to = index_of(m[3].str());
      ASSERT_LT(to, static_cast<long>(names.size()));
      EXPECT_GT(to, last);
      previous = m[3].str();
    } else {
      ASSERT_TRUE(std::regex_match(line, m, station));
      ++stations;
      long at = index_of(m[1].str());
      ASSERT_LT(at, static_cast<long>(names.size()));
      EXPECT_GT(at, last);
      if (!previous.empty()) {
        EXPECT_EQ(m[1].str(), previous);  // where the stretch ended
      }
      last = at;
      previous = m[1].str();
    }
  }
  EXPECT_TRUE(arrived);
  EXPECT_EQ(previous, "LESTRANO");
  EXPECT_GE(stations, 2u);
  EXPECT_GE(stretches, 2u);
}

}  // namespace

}  // namespace documents
