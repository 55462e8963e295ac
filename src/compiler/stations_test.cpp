// Station records: their table entries, zones, station cells and marks, and
// the spacing and table-room checks.

#include "compiler/stations.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support/scenario_fixture.h"

namespace compiler {

namespace {

// L = 100000: N = 2140.
constexpr int route = 100000;

struct station {
  int64_t p = 0;
  int64_t type = 12;
  int64_t length = 500;
  int64_t f4 = 0, f5 = 0, f6 = 0, f7 = 0, f8 = 0, f9 = 0, f10 = 0, f11 = 0, f12 = 0, f13 = 0;
  int64_t hour = 0, minute = 0, second = 0;
  std::string name = "ALFA";
};

// The record as the train document lays it out: sixteen numbers after
// commas, then a blank and the name up to the end of the line.
std::string stazione(const station& s) {
  std::string r = "stazione";
  for (int64_t v : {s.p, s.type, s.length, s.f4, s.f5, s.f6, s.f7, s.f8, s.f9, s.f10, s.f11, s.f12,
                    s.f13, s.hour, s.minute, s.second})
    r += ",  " + std::to_string(v);
  return r + " " + s.name + "\n";
}

std::unique_ptr<test_support::built_package> compile_stations(
    const std::vector<station>& stations, const std::string& line_records = "",
    const std::string& more_records = "") {
  std::string records = "velocita,  0,  100\n";
  for (const station& s : stations) records += stazione(s);
  records += more_records + "sabbia,  7\n";
  return test_support::build_package_from(test_support::line_description(route, line_records),
                                          test_support::train_document(records));
}

TEST(Stations, ZonesStationCellsAndMarksByType) {
  struct {
    const char* name;
    station s;
    int32_t zone_start, zone_end;
    int station_cell;  // -1: none
    bool marks;        // 81 .. 84 in the four cells before the station cell
  } cases[] = {
      {"type 12, centred", {.p = 10000, .type = 12, .length = 500}, 9750, 10250, 204, true},
      {"type 12 with field 6 set: 50 m longer",
       {.p = 10000, .type = 12, .length = 500, .f6 = 1},
       9750,
       10300,
       205,
       true},
      {"type 6: to 150 m past the station, no marks",
       {.p = 60000, .type = 6, .length = 800},
       59200,
       60150,
       1202,
       false},
      {"type 5 like type 6",
       {.p = 60000, .type = 5, .length = 800, .f6 = 1},
       59200,
       60150,
       1202,
       false},
      {"type 7: the length on both sides",
       {.p = 10000, .type = 7, .length = 300, .f6 = 1},
       9700,
       10300,
       205,
       true},
      {"type 25: the zone only", {.p = 10000, .type = 25, .length = 500}, 9750, 10250, -1, false},
      {"a first station at 100 m", {.p = 100, .type = 12, .length = 600}, -200, 400, 7, true},
  };
  for (const auto& c : cases) {
    auto r = compile_stations({c.s});
    ASSERT_EQ(r->code(), 0) << c.name;
    const model::scenario_entry& e = r->sc.table[1];
    EXPECT_EQ(e.l4, c.zone_start) << c.name;
    EXPECT_EQ(e.l8, c.zone_end) << c.name;
    EXPECT_EQ(e.l12, c.s.p) << c.name;
    EXPECT_EQ(e.b0, c.s.type) << c.name;
    int at = c.station_cell >= 0 ? c.station_cell : c.zone_end / 50 - 1;
    const model::track_cell& cell = r->cell(at);
    EXPECT_EQ(cell.kind, c.station_cell >= 0 ? model::kind_station : model::kind_empty) << c.name;
    EXPECT_EQ(cell.w2, c.station_cell >= 0 ? 1 : 0) << c.name;
    EXPECT_EQ(cell.b11, 0) << c.name;
    for (int m = 1; m <= 4; ++m)
      EXPECT_EQ(r->cell(at - m).b11, c.marks ? 80 + m : 0) << c.name << ", mark " << m;
    EXPECT_EQ(r->cell(at - 5).b11, 0) << c.name;
    EXPECT_EQ(r->cell(at + 1).kind, model::kind_empty) << c.name;
  }
}

TEST(Stations, MarksOnlyInCellsAfterCell1) {
  // Zone -50 .. 150: station cell 2, every mark would fall at or before cell 1.
  auto r = compile_stations({{.p = 50, .type = 12, .length = 200}});
  ASSERT_EQ(r->code(), 0);
  EXPECT_EQ(r->cell(2).kind, model::kind_station);
  EXPECT_EQ(r->cell(1).b11, 0);
  EXPECT_EQ(r->cell(0).b11, 0);
}

TEST(Stations, EntryFieldsAndTheValuesForcedToZero) {
  station first{.p = 10000,
                .type = 12,
                .length = 600,
                .f4 = 1,
                .f5 = 3,
                .f6 = 1,
                .f7 = 4,
                .f8 = -2,
                .f9 = 1,
                .f10 = 2,
                .f11 = 300,
                .f12 = 1,
                .f13 = 30,
                .hour = 9,
                .minute = 30,
                .second = 15,
                .name = "BORVASCO CENTRALE  "};
  station second{.p = 20000, .type = 12, .length = 600, .f5 = 3, .f6 = 1, .name = "B"};
  station short_one{.p = 30000, .type = 12, .length = 500, .f5 = 3, .f6 = 1, .name = "C"};
  station type8{.p = 40000, .type = 8, .length = 600, .f5 = 3, .f6 = 1, .name = "D"};
  station type5{.p = 50000, .type = 5, .length = 700, .f5 = 3, .f6 = 1, .name = "E"};
  auto r = compile_stations({first, second, short_one, type8, type5});
  ASSERT_EQ(r->code(), 0);
  const model::scenario_table& t = r->sc.table;
  const model::scenario_entry& e = t[1];
  EXPECT_EQ(e.b0, 12);
  EXPECT_EQ(e.l4, 9700);
  EXPECT_EQ(e.l8, 10350);  // the extension of field 6 counts before it is cleared
  EXPECT_EQ(e.l12, 10000);
  EXPECT_EQ(e.b16, 1);
  EXPECT_EQ(e.text, "BORVASCO CENTRALE  ");
  EXPECT_EQ(e.w24, 4);
  EXPECT_EQ(e.w26, -2);
  EXPECT_EQ(e.w28, 2);
  EXPECT_EQ(e.w30, 300);
  EXPECT_EQ(e.w32, 1);
  EXPECT_EQ(e.b34, 1);
  EXPECT_EQ(e.b35, 30);
  EXPECT_EQ(e.b36, 0);  // entry 1
  EXPECT_EQ(e.b37, 0);
  EXPECT_EQ(e.l40, 34215);

  struct {
    int entry;
    uint8_t b36, b37;
    int32_t zone_end;
    int station_cell;
  } later[] = {
      {2, 1, 3, 20350, 406},   // both kept
      {3, 1, 0, 30300, 605},   // shorter than 600 m: b37 cleared
      {4, 0, 3, 40600, 811},   // type 8: b36 cleared, the zone not extended
      {5, 0, 3, 50150, 1002},  // type 5 likewise
  };
  for (const auto& l : later) {
    EXPECT_EQ(t[l.entry].b36, l.b36) << l.entry;
    EXPECT_EQ(t[l.entry].b37, l.b37) << l.entry;
    EXPECT_EQ(t[l.entry].l8, l.zone_end) << l.entry;
    EXPECT_EQ(r->cell(l.station_cell).kind, model::kind_station) << l.entry;
    EXPECT_EQ(r->cell(l.station_cell).w2, l.entry) << l.entry;
  }
  EXPECT_EQ(t[6].l12, 0);
  EXPECT_EQ(t[86].w24, 7);  // the reading went on after the stations
}

TEST(Stations, AStationCellOverwritesWhatItFinds) {
  // A signal at 10150 takes cell 204; the station puts its cell there all
  // the same, and a later signal finds it taken.
  std::string signal_first =
      "velocita,  0,  100\n"
      "segnale,  10150,  1,  3,  0,  0,  0,  1,  0,  0,  0,  0\n" +
      stazione({.p = 10000, .type = 12, .length = 500}) +
      "segnale,  10150,  1,  3,  0,  0,  0,  1,  0,  0,  0,  0\n";
  auto r = test_support::build_package_from(test_support::line_description(route),
                                            test_support::train_document(signal_first));
  EXPECT_EQ(r->cell(204).kind, model::kind_station);
  EXPECT_EQ(r->cell(204).w2, 1);
  EXPECT_EQ(r->code(), 16);
  EXPECT_EQ(r->position(), 10150);
}

TEST(Stations, Faults) {
  struct {
    const char* name;
    std::vector<station> stations;
    int32_t code, position;
  } cases[] = {
      {"a position off the 50 m steps", {{.p = 10025}}, 8, 10025},
      {"a length off the 100 m steps", {{.p = 10000, .length = 250}}, 9, 10000},
      {"a station cell at cell 1", {{.p = 50, .type = 12, .length = 100}}, 24, 0},
      {"zones 300 m apart", {{.p = 10000, .length = 500}, {.p = 11000, .length = 900}}, 22, 11000},
  };
  for (const auto& c : cases) {
    auto r = compile_stations(c.stations);
    EXPECT_EQ(r->code(), c.code) << c.name;
    EXPECT_EQ(r->position(), c.position) << c.name;
    EXPECT_EQ(r->disk.files.count(test_support::test_train_path), 0u) << c.name;
    EXPECT_EQ(r->disk.files.count(test_support::test_line_path), 0u) << c.name;
    // The compile ended at the station: no later record, no tail.
    EXPECT_EQ(r->sc.table[86].w24, 1) << c.name;
    EXPECT_EQ(r->cell(10).b13, 0) << c.name;
  }
  // The second station of the 300 m case is stored, its cell laid, before
  // the spacing check.
  auto r = compile_stations({{.p = 10000, .length = 500}, {.p = 11000, .length = 900}});
  EXPECT_EQ(r->sc.table[2].l4, 10550);
  EXPECT_EQ(r->cell(228).kind, model::kind_station);
  EXPECT_EQ(r->cell(228).w2, 2);
}

TEST(Stations, ChecksThatPass) {
  struct {
    const char* name;
    std::vector<station> stations;
  } cases[] = {
      {"zones 350 m apart", {{.p = 10000, .length = 500}, {.p = 11000, .length = 800}}},
      {"type 25 cannot fail for its cell", {{.p = 0, .type = 25, .length = 0}}},
      {"the last position the range check lets in", {{.p = 106200, .type = 25, .length = 0}}},
  };
  for (const auto& c : cases) {
    auto r = compile_stations(c.stations);
    EXPECT_EQ(r->code(), 0) << c.name;
    EXPECT_EQ(r->sc.table[86].w24, 7) << c.name;
  }
}

TEST(Stations, AStationBeyondTheGridEndsTheReadingOnly) {
  // (106250 + 800) / 50 is above N = 2140.
  auto r = compile_stations({{.p = 10000}, {.p = 106250, .type = 25, .length = 0}});
  EXPECT_EQ(r->code(), 15);
  EXPECT_EQ(r->position(), 106250);
  EXPECT_EQ(r->sc.table[2].l12, 106250);
  EXPECT_EQ(r->sc.table[2].b0, 0);
  EXPECT_EQ(r->sc.table[86].w24, 1);
  EXPECT_EQ(r->cell(10).b13, 20);  // the tails ran
}

TEST(Stations, RunTimeFaults) {
  struct {
    const char* name;
    station s;
  } cases[] = {
      {"a type beyond 8 bits", {.p = 10000, .type = 300}},
      {"a 16-bit field beyond 16 bits", {.p = 10000, .f7 = 32768}},
      {"a time beyond 32 bits", {.p = 10000, .hour = 1000000}},
      {"a name longer than 65535 characters", {.p = 10000, .name = std::string(65536, 'N')}},
  };
  for (const auto& c : cases) {
    auto r = compile_stations({c.s});
    EXPECT_EQ(r->code(), 25) << c.name;
    EXPECT_EQ(r->position(), 0) << c.name;
    EXPECT_EQ(r->disk.files.count(test_support::test_train_path), 0u) << c.name;
  }
}

TEST(Stations, TheTableRoomLeftByTheBoards) {
  std::string boards;
  for (int i = 0; i < 5; ++i)
    boards += "cartello_indicatore,  " + std::to_string(90000 + 100 * i) + ",   (B)\n";
  std::vector<station> stations;
  for (int i = 0; i < 74; ++i) stations.push_back({.p = 1000 + 400 * i, .type = 25, .length = 0});

  auto fits =
      compile_stations(std::vector<station>(stations.begin(), stations.begin() + 73), boards);
  EXPECT_EQ(fits->code(), 0);
  EXPECT_EQ(fits->sc.table[73].l12, 1000 + 400 * 72);

  auto full = compile_stations(stations, boards);
  EXPECT_EQ(full->code(), 10);
  EXPECT_EQ(full->position(), 0);
  EXPECT_EQ(full->sc.table[74].l12, 1000 + 400 * 73);  // stored, then refused
  EXPECT_EQ(full->sc.table[75].text, "");
  EXPECT_EQ(full->sc.table[76].text, "(B)");
  EXPECT_EQ(full->sc.table[86].w24, 1);
  EXPECT_EQ(full->disk.files.count(test_support::test_train_path), 0u);
}

}  // namespace

}  // namespace compiler
