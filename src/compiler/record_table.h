#pragma once
// The one table of the records of the two documents: for every record its
// keyword as the documents write it, how the compile recognises it, where it
// stands, what it means, and each field's name, storage, unit, accepted
// values and meaning. The compile reads every field with the width given
// here (read_record_field checks it when it is compiled), the checker counts
// fields with it, the language server's hover, completion and outline and
// the reference pages are written from it. The texts are the words that
// authors read.

#include <array>
#include <cstddef>
#include <span>
#include <string_view>

namespace compiler {

enum class record_kind {
  // The line description's general header.
  route_length,
  range_three,
  range_two,
  range_one,
  background_one,
  background_two,
  background_three,
  signal_repetition,
  // The line description's records.
  gradient,
  curve,
  mountain,
  speed_board,
  text_board,
  // The train document's records.
  braked_mass,
  car_count,
  speed_limit,
  adhesion,
  clock,
  sand,
  signal,
  restriction,
  abbattimento,
  station,
};

// Where a record is read: the line description's general header, the line
// description after it, the train document after its "[generale]".
enum class record_place { line_header, line_records, train_records };

// How a field is read: a 32-bit signed number, a 16-bit signed number, an
// 8-bit unsigned number, or a text (up to a comma or the end of the line).
// A number out of its storage's range is a run-time fault (code 25).
enum class field_storage { i32, i16, u8, text };

// How the package keeps a speed written in km/h: as written, as a count of
// 5 km/h steps in one byte (a speed limit), or as one half of a board's
// word that packs an "s" speed and the "d" speed of the same category in 5
// km/h steps (hundreds and units); the n-th "d" speed of a record pairs
// with its n-th "s" speed.
enum class speed_packing { none, steps_of_5_in_byte, board_word_s, board_word_d };

// What stretch of the route a record covers, from its first field on.
enum class record_reach {
  none,        // no place on the route (a header or train value)
  point,       // one point object in its point cell
  until_next,  // from its position up to the next record of its kind
  for_length,  // from its position for the length in its second field
  to_end,      // from its position to the metre in its second field
};

// One value of a code and what it means.
struct value_code {
  std::string_view value;
  std::string_view meaning;
};

// The values a number field keeps as written. A field kept in a narrower
// slot than it is read into keeps only the low `bits` bits of value +
// offset (bits 0: it is packed with other fields, and a value outside
// spills into them); a value outside lowest .. highest comes back as
// another one, and the checker warns of it.
struct value_fit {
  int32_t lowest = 0;
  int32_t highest = -1;  // below lowest: every value the field reads is kept
  int32_t offset = 0;
  int bits = 0;
  constexpr bool checked() const { return lowest <= highest; }
};

struct record_field {
  std::string_view name;  // as hover, snippets and the reference show it
  field_storage storage;
  std::string_view unit;     // "m", "km/h", "per mille", ... or empty
  std::string_view accepts;  // the values the compile takes, in words
  std::string_view meaning;
  std::span<const value_code> codes = {};  // for a field that is a code
  bool is_position = false;                // a metre along the route
  value_fit fit = {};
  speed_packing packing = speed_packing::none;
};

// The compile recognises a record when its keyword field contains every
// word (anywhere in it), with their case or without.
struct keyword_test {
  std::string_view word;
  std::string_view other_word;  // empty when one word suffices
  bool with_case;
};

// A value carried inside the keyword itself (a curve's side and class).
struct keyword_part {
  std::string_view name;
  std::span<const value_code> codes;
};

struct record_description {
  record_kind kind;
  record_place place;
  std::string_view keyword;  // as the built-in documents write it
  keyword_test test;
  std::string_view section;  // the section header it stands under
  std::string_view summary;  // a few words: "signal"
  std::string_view meaning;  // a paragraph for authors
  std::span<const record_field> fields;
  std::span<const keyword_part> keyword_parts = {};
  record_reach reach = record_reach::none;
  // Whether the outline of a document lists the record.
  bool in_outline = false;
};

namespace record_table_data {

using enum field_storage;

inline constexpr value_code in_use_codes[] = {
    {"1", "the range is in use"}, {"0", "the range is not in use (its start and reference 0 too)"}};

inline constexpr value_code switch_codes[] = {{"0", "off"}, {"1", "on"}};

inline constexpr record_field route_length[] = {
    {"length", i32, "m", "0 to 1000000 (above: code 1; negative: code 105)",
     "the route's length. The track grid runs on 7000 m past it, one cell per 50 m, and the line "
     "plan has a point for every metre of it"}};

inline constexpr record_field kilometric_range[] = {
    {"start",
     i32,
     "m",
     "a multiple of 50 (else code 2)",
     "the route metre where the range's kilometre numbering begins; it holds up to the start of "
     "the next range",
     {},
     true},
    {"reference", i32, "m", "a multiple of 50 (else code 2)",
     "the line kilometre, in metres, that the numbering counts down from: route metre p inside "
     "the range is at line kilometre reference - p (the compile stores it 100 m higher)"},
    {"in use", i32, "", "1 or 0", "whether the range applies", in_use_codes}};

inline constexpr record_field background[] = {
    {"value", i32, "", "0 or 1 in the built-in line",
     "a background (scenery) switch, kept for the simulator", switch_codes}};

inline constexpr value_code repetition_codes[] = {{"4", "four-code signal repetition"},
                                                  {"9", "nine-code signal repetition"}};
inline constexpr keyword_part repetition_parts[] = {{"code count", repetition_codes}};

inline constexpr record_field signal_repetition[] = {
    {"start",
     i32,
     "m",
     "a multiple of 50 (else code 3)",
     "where the stretch with signal repetition in the cab begins",
     {},
     true},
    {"end",
     i32,
     "m",
     "a multiple of 50 (else code 4); 0 for no such stretch",
     "where the stretch ends; an end of 0 means the line has no signal repetition",
     {},
     true}};

inline constexpr record_field gradient[] = {
    {"start",
     i32,
     "m",
     "any metre inside the grid (ascending, one cell apart)",
     "where the gradient begins; it holds up to the next gradient record",
     {},
     true},
    {"gradient",
     i32,
     "per mille",
     "-100 to 155 (kept as gradient + 100 in one byte)",
     "the signed gradient, rising (in the running direction) positive",
     {},
     false,
     {-100, 155, 100, 8}}};

inline constexpr value_code curve_sides[] = {
    {"s", "the curve turns left (anticlockwise on the plan)"},
    {"d", "the curve turns right (clockwise on the plan)"}};
inline constexpr value_code curve_classes[] = {
    {"1", "radius 10000 m (0.0001 rad per metre)"}, {"2", "radius 5000 m (0.0002 rad per metre)"},
    {"3", "radius 2500 m (0.0004 rad per metre)"},  {"4", "radius 1000 m (0.001 rad per metre)"},
    {"5", "radius 500 m (0.002 rad per metre)"},    {"6", "radius 333 m (0.003 rad per metre)"}};
inline constexpr keyword_part curve_parts[] = {{"side", curve_sides}, {"class", curve_classes}};

inline constexpr record_field curve[] = {
    {"start",
     i32,
     "m",
     "any metre inside the grid (curves must not overlap)",
     "where the curve begins; its side (s or d) and class (1 to 6) are written in the keyword",
     {},
     true},
    {"length", i32, "m", "0 or more; a curve past the plan's end is bent up to there",
     "the curve's length along the route"}};

inline constexpr value_code mountain_types[] = {
    {"2", "a tunnel (the built-in line gives every tunnel this type)"},
    {"12", "a tunnel with a marker cell every fourth cell (type 2 with markers)"},
    {"above 10", "that type less 10, with a marker cell every fourth free cell"},
    {"3",
     "stored in place of the type for a stretch that begins 150 m or less after the "
     "previous one ends"}};

inline constexpr record_field mountain[] = {
    {"start",
     i32,
     "m",
     "any metre inside the grid; at most 80 mountains (else code 106)",
     "where the mountain stretch (a tunnel) begins",
     {},
     true},
    {"end",
     i32,
     "m",
     "above the start; the stretch is laid on the cells that exist",
     "where it ends",
     {},
     true},
    {"type",
     i32,
     "",
     "a type from 0 to 255; above 10 also lays marker cells",
     "the mountain type kept in every cell of the stretch",
     mountain_types,
     false,
     {0, 255, 0, 8}}};

inline constexpr record_field speed_board[] = {
    {"position",
     i32,
     "m",
     "0 or more (else code 109), on a free cell (else code 21)",
     "where the board stands; it takes its point cell",
     {},
     true},
    {"speed A, s",
     i32,
     "km/h",
     "a multiple of 5; each word 20 x s + d / 5 fits 16 bits (else "
     "code 108)",
     "category A speed of the board's first group",
     {},
     false,
     {},
     speed_packing::board_word_s},
    {"speed B, s",
     i32,
     "km/h",
     "a multiple of 5",
     "category B speed of the first group",
     {},
     false,
     {},
     speed_packing::board_word_s},
    {"speed C, s",
     i32,
     "km/h",
     "a multiple of 5",
     "category C speed of the first group",
     {},
     false,
     {},
     speed_packing::board_word_s},
    {"stripes, s", i32, "", "0 to 9", "the stripe count of the first group"},
    {"speed A, d",
     i32,
     "km/h",
     "a multiple of 5; empty reads as 0",
     "category A speed of the second group (the built-in line gives here the speed over a "
     "station's points, and leaves it empty where there is none)",
     {},
     false,
     {},
     speed_packing::board_word_d},
    {"speed B, d",
     i32,
     "km/h",
     "a multiple of 5; empty reads as 0",
     "category B speed of the second group",
     {},
     false,
     {},
     speed_packing::board_word_d},
    {"speed C, d",
     i32,
     "km/h",
     "a multiple of 5; empty reads as 0",
     "category C speed of the second group",
     {},
     false,
     {},
     speed_packing::board_word_d},
    {"stripes, d", i32, "", "0 to 9", "the stripe count of the second group"}};

inline constexpr record_field text_board[] = {
    {"position",
     i32,
     "m",
     "0 or more (else code 109), on a free cell (else code 6)",
     "where the board stands; it takes its point cell",
     {},
     true},
    {"text", text, "",
     "up to three lines in parentheses of 16 characters each, 54 in all; no comma",
     "the board's text, each line in parentheses: \"(PASSAGGIO)(A LIVELLO)(KM 86+550)\""}};

inline constexpr record_field braked_mass[] = {
    {"percentage", i32, "%", "a whole number", "the train's braked-mass percentage"}};

inline constexpr record_field car_count[] = {
    {"cars", i32, "", "a whole number", "the number of cars of the train"}};

inline constexpr record_field speed_limit[] = {
    {"position",
     i32,
     "m",
     "any metre inside the grid (ascending, one cell apart)",
     "where the line speed begins; it holds up to the next speed limit",
     {},
     true},
    {"speed",
     i32,
     "km/h",
     "0 to 1277 (kept in steps of 5 km/h in one byte)",
     "the line's speed limit",
     {},
     false,
     {},
     speed_packing::steps_of_5_in_byte}};

inline constexpr record_field adhesion[] = {
    {"position",
     i32,
     "m",
     "any metre inside the grid (ascending, one cell apart)",
     "where the adhesion value begins; it holds up to the next one",
     {},
     true},
    {"value",
     i32,
     "",
     "0 to 255 (only the low 8 bits are kept)",
     "the adhesion between wheel and rail (8 over the whole built-in line)",
     {},
     false,
     {0, 255, 0, 8}}};

inline constexpr record_field clock[] = {
    {"hour", i16, "h", "-32768 to 32767", "the in-game clock when the run begins: hours"},
    {"minute", i16, "min", "-32768 to 32767",
     "minutes; the three values are separated by blanks, not commas"},
    {"second", i16, "s", "-32768 to 32767", "seconds"}};

inline constexpr record_field sand[] = {{"sand", i16, "", "-32768 to 32767",
                                         "whether the train can sand the rails: 1 it can, 0 not",
                                         switch_codes}};

inline constexpr value_code signal_kinds[] = {
    {"1", "a distant signal (the built-in line's 14 distant signals)"},
    {"2", "a main signal, which can hold the train (its last field is the hold)"},
    {"0", "no such group"}};

inline constexpr value_code first_aspects[] = {
    {"2", "the distant signal of a block post or a level crossing"},
    {"3", "the distant signal of a station, or a block or protection signal"},
    {"4", "a station's home signal"},
    {"5", "a station's departure signal"}};

inline constexpr record_field signal[] = {
    {"position",
     i32,
     "m",
     "0 or more (else code 109), on a free cell (else code 16)",
     "where the signal stands; it takes its point cell and marks the cells 100, 200, 300 and "
     "400 m before it",
     {},
     true},
    {"sx",
     i32,
     "",
     "0 to 2",
     "the kind of the signal's first (left-hand) group; kept with dx and rapp in one word "
     "(rapp x 10 + sx x 3 + dx)",
     signal_kinds,
     false,
     {0, 2, 0, 0}},
    {"s1",
     i32,
     "",
     "0 to 9 (kept as s1 x 10 + d1)",
     "the first aspect code of the first group; the built-in line uses 2 to 5",
     first_aspects,
     false,
     {0, 3275, 0, 0}},
    {"s2",
     i32,
     "",
     "0 to 9 (kept as s2 x 10 + d2)",
     "the second aspect code of the first group (0 to 6 in the built-in line: 6 on the "
     "protection signals of level crossings, 1 to 5 on home signals)",
     {},
     false,
     {0, 3275, 0, 0}},
    {"s3",
     i32,
     "",
     "0 to 9 (kept as s3 x 10 + d3)",
     "the third aspect code of the first group (0 or 1 in the built-in line)",
     {},
     false,
     {0, 3275, 0, 0}},
    {"rapp",
     i32,
     "",
     "0 to 3276",
     "the signal's relation code, kept in the tens of the arrangement word (0 on every signal "
     "of the built-in line)",
     {},
     false,
     {0, 3276, 0, 0}},
    {"dx",
     i32,
     "",
     "0 to 2",
     "the kind of the second (right-hand) group; 0 for none (0 to 2 in the built-in line)",
     {},
     false,
     {0, 2, 0, 0}},
    {"d1",
     i32,
     "",
     "0 to 9",
     "the first aspect code of the second group (0, 2 or 3)",
     {},
     false,
     {0, 9, 0, 0}},
    {"d2",
     i32,
     "",
     "0 to 9",
     "the second aspect code of the second group (0 or 1)",
     {},
     false,
     {0, 9, 0, 0}},
    {"d3",
     i32,
     "",
     "0 to 9",
     "the third aspect code of the second group (0 or 1)",
     {},
     false,
     {0, 9, 0, 0}},
    {"tempo", i32, "s", "0 or 101 to 255 (1 to 100 are raised to 101; only 8 bits are kept)",
     "the hold: how long a main signal (sx 2) keeps the train waiting, as at a crossing station "
     "(125 to 215 in the built-in line); ignored for other signals"}};

inline constexpr value_code countdown_codes[] = {
    {"0", "no countdown boards"},
    {"1", "four countdown boards before the warning board (only after the first 1500 m)"}};

inline constexpr record_field restriction[] = {
    {"start",
     i32,
     "m",
     "0 or more (else code 109), on a free cell (else code 18)",
     "where the speed restriction begins; its warning board stands 1200 m before (after the "
     "first 1500 m of the route)",
     {},
     true},
    {"speed", i32, "km/h", "-32768 to 32767; below 110 lays markers inside the restriction",
     "the speed allowed inside the restriction"},
    {"length", i32, "m", "the end cell free (else code 19) and inside the grid (else code 110)",
     "the restriction's length; its end board stands at start + length"},
    {"f_tt", i32, "", "-32768 to 32767",
     "a flag kept on the start and the end board for the simulator"},
    {"f_ta", i32, "", "0 or not 0; the four cells free (else code 20)",
     "whether four countdown boards stand before the warning board", countdown_codes},
    {"d_v", i32, "km/h", "-32768 to 32767", "a second speed, kept on every board when not 0"}};

inline constexpr record_field abbattimento[] = {
    {"position",
     i32,
     "m",
     "0 or more (else code 109), on a free cell (else code 7)",
     "where the marked cell lies (its stretch cell, the cell that begins at this metre)",
     {},
     true},
    {"value", i32, "", "above 0 for an approach marker",
     "above 0: an approach marker carrying this value (the approach-marker pass lowers it to "
     "180); 0 or less: a plain marked cell"}};

inline constexpr value_code station_types[] = {
    {"5, 6",
     "a terminus: the zone runs from position - length to position + 150; station cell, no "
     "approach marks (6: Lestrano in the built-in line)"},
    {"7, 8", "the zone runs from position - length to position + length; station cell and marks"},
    {"1 to 24 (others)",
     "the zone is centred on the position; station cell and marks (12: a stop this train makes, "
     "22: a station it passes without stopping)"},
    {"25 and above",
     "the zone only, no cell: a place this train does not serve (25, 27, 28 in the built-in "
     "line)"}};

inline constexpr record_field station[] = {
    {"position",
     i32,
     "m",
     "a multiple of 50 (else code 8); zones at least 350 m apart (else code 22)",
     "the station's middle along the route (for a terminus, its end)",
     {},
     true},
    {"type", u8, "", "0 to 255", "the station type; it decides the zone and the cell",
     station_types},
    {"length", i32, "m", "a multiple of 100 (else code 9)",
     "the station's length; it sets the zone and is not kept"},
    {"master", u8, "", "0 to 255",
     "kept with the station (byte 16): 1 at the stations with a station master, 0 at plain "
     "stops in the built-in line"},
    {"long-station switch", u8, "", "0 to 255; stored 0 below 600 m and for the first station",
     "kept with the station (byte 37): a switch that only stations of 600 m or more keep (0 in "
     "the built-in line)"},
    {"zone extension", u8, "", "0 to 255; stored 0 for types 5 to 8 and the first station",
     "not 0: the zone's end (and the station cell) move on by 50 m; the built-in line sets it "
     "at the crossing stations where the train waits"},
    {"tracks", i16, "", "-32768 to 32767",
     "kept with the station (word 24): the number of tracks (1 at a stop, 2 to 4 at stations in "
     "the built-in line)"},
    {"signals", i16, "", "-32768 to 32767",
     "kept with the station (word 26): 1 at the stations with their own signals or a station "
     "master, 0 at plain stops in the built-in line"},
    {"halt", u8, "", "0 to 255",
     "kept with the station (byte 34): 1 at a halt this train serves that has no station "
     "master, 0 elsewhere in the built-in line"},
    {"platforms", i16, "", "-32768 to 32767",
     "kept with the station (word 28): the platforms the train can use (0 where it does not "
     "stop, 1 to 3 in the built-in line)"},
    {"loop", i16, "", "-32768 to 32767",
     "kept with the station (word 30): 1 at a station with a passing loop, 0 elsewhere in the "
     "built-in line"},
    {"crossing", i16, "", "-32768 to 32767",
     "kept with the station (word 32): 1 where the train waits to cross another train or "
     "starts, 0 elsewhere in the built-in line"},
    {"stop seconds", u8, "s", "0 to 255",
     "kept with the station (byte 35): the stop the train makes there (30 at the timed stops, 1 "
     "at the request stop and the terminus, 0 where it does not stop in the built-in line)"},
    {"hour", i32, "h", "a time of day whose seconds fit 32 bits",
     "the timetable time (the departure, or the arrival at the terminus): hours; 0:00:00 for "
     "none"},
    {"minute", i32, "min", "", "minutes"},
    {"second", i32, "s", "", "seconds"},
    {"name", text, "", "up to 27 characters shown; no comma",
     "the station's name, after one blank up to the end of the line"}};

inline constexpr record_description records[] = {
    {record_kind::route_length,
     record_place::line_header,
     "lunghezza percorso",
     {"lunghezza", "percorso", false},
     "[generale]",
     "route length",
     "The length of the route in metres. It sizes the track grid and the line plan; a second "
     "route-length record sizes them anew, empty.",
     route_length},
    {record_kind::range_three,
     record_place::line_header,
     "progressiva chilometrica tre",
     {"progressiva", "tre", true},
     "[generale]",
     "kilometric range",
     "The third of up to three stretches of the route with a kilometre numbering of their own, "
     "as the line-side posts and the boards count. The compile puts the three in order of their "
     "start.",
     kilometric_range},
    {record_kind::range_two,
     record_place::line_header,
     "progressiva chilometrica due",
     {"progressiva", "due", true},
     "[generale]",
     "kilometric range",
     "The second kilometric range (see \"progressiva chilometrica uno\").",
     kilometric_range},
    {record_kind::range_one,
     record_place::line_header,
     "progressiva chilometrica uno",
     {"progressiva", "uno", true},
     "[generale]",
     "kilometric range",
     "The first kilometric range: from its start on, route metre p is line kilometre "
     "reference - p, up to the start of the next range in use. Before the first range, route "
     "metres are counted.",
     kilometric_range},
    {record_kind::background_one,
     record_place::line_header,
     "sfondo uno",
     {"sfondo", "uno", true},
     "[generale]",
     "background",
     "The first background switch of the scenery, kept for the simulator.",
     background},
    {record_kind::background_two,
     record_place::line_header,
     "sfondo due",
     {"sfondo", "due", true},
     "[generale]",
     "background",
     "The second background switch of the scenery, kept for the simulator.",
     background},
    {record_kind::background_three,
     record_place::line_header,
     "sfondo tre",
     {"sfondo", "tre", true},
     "[generale]",
     "background",
     "The third background switch of the scenery, kept for the simulator.",
     background},
    {record_kind::signal_repetition,
     record_place::line_header,
     "ripetizione segnali 4 codici",
     {"ripetizione", "segnali", true},
     "[generale]",
     "signal repetition",
     "The stretch where the cab repeats the signals, and how many codes it uses: the digit 4 or "
     "9 written in the keyword (neither: code 5).",
     signal_repetition,
     repetition_parts},
    {record_kind::gradient,
     record_place::line_records,
     "pendenza",
     {"pendenza", "", false},
     "[pendenze]",
     "gradient",
     "A gradient of the track, in force from its start to the next gradient record; the last "
     "one runs to the end of the grid.",
     gradient,
     {},
     record_reach::until_next},
    {record_kind::curve,
     record_place::line_records,
     "curva",
     {"curva", "", false},
     "[curve]",
     "curve",
     "A curve of the line plan: the keyword is \"curva\", the side (s or d) and the class (1 to "
     "6), as in \"curvad3\". Curves bend the plan the simulator draws; they are not kept in "
     "the track grid.",
     curve,
     curve_parts,
     record_reach::for_length},
    {record_kind::mountain,
     record_place::line_records,
     "montagna",
     {"montagna", "", false},
     "[montagne]",
     "mountain",
     "A mountain stretch, such as a tunnel: its type is kept in every cell from start to end, "
     "and a type above 10 also lays a marker cell every fourth cell.",
     mountain,
     {},
     record_reach::to_end},
    {record_kind::speed_board,
     record_place::line_records,
     "indicatori_vmax",
     {"indicatori_v", "", false},
     "[cartelli]",
     "maximum-speed board",
     "A maximum-speed board: three speeds (categories A, B, C) and a stripe count for each of "
     "its two groups, \"s\" and \"d\".",
     speed_board,
     {},
     record_reach::point,
     true},
    {record_kind::text_board,
     record_place::line_records,
     "cartello_indicatore",
     {"indicat", "cartello", false},
     "[indicazioni]",
     "text board",
     "A line-side board with a text, such as a level crossing or a bridge with its kilometre. "
     "Each board takes an entry of the scenario table, from entry 80 down (at most 81 boards).",
     text_board,
     {},
     record_reach::point,
     true},
    {record_kind::braked_mass,
     record_place::train_records,
     "percentuale massa frenata",
     {"frenata", "massa", false},
     "[generale]",
     "braked mass",
     "The train's braked-mass percentage.",
     braked_mass},
    {record_kind::car_count,
     record_place::train_records,
     "numero vetture",
     {"vetture", "", false},
     "[generale]",
     "car count",
     "The number of cars of the train.",
     car_count},
    {record_kind::speed_limit,
     record_place::train_records,
     "velocita",
     {"velocit", "", false},
     "[vel_limite]",
     "speed limit",
     "The line's speed limit for this train, in force from its position to the next speed "
     "limit; the last one runs to the end of the grid.",
     speed_limit,
     {},
     record_reach::until_next},
    {record_kind::adhesion,
     record_place::train_records,
     "aderenza",
     {"aderenza", "", false},
     "[aderenze]",
     "adhesion",
     "The adhesion between wheel and rail, in force from its position to the next adhesion "
     "record.",
     adhesion,
     {},
     record_reach::until_next},
    {record_kind::clock,
     record_place::train_records,
     "orologio",
     {"orologio", "", false},
     "[generale]",
     "clock",
     "The in-game time of day when the run begins; its three values are separated by blanks.",
     clock},
    {record_kind::sand,
     record_place::train_records,
     "sabbia",
     {"sabbia", "", false},
     "[generale]",
     "sand",
     "Whether the train carries sand for the rails.",
     sand},
    {record_kind::signal,
     record_place::train_records,
     "segnale",
     {"segnale", "", false},
     "[segnali]",
     "signal",
     "A line-side signal: its kind and aspect codes for each of its two groups, and for a main "
     "signal the time it holds the train.",
     signal,
     {},
     record_reach::point,
     true},
    {record_kind::restriction,
     record_place::train_records,
     "rallentamento",
     {"rallentamento", "", false},
     "[rallentamenti]",
     "speed restriction",
     "A temporary speed restriction: a start board, an end board, a warning board 1200 m "
     "before the start and, when asked, four countdown boards before the warning board. "
     "Approach markers are laid around it after both documents are read.",
     restriction,
     {},
     record_reach::point,
     true},
    {record_kind::abbattimento,
     record_place::train_records,
     "abbattimento",
     {"abbattimento", "", false},
     "[rallentamenti]",
     "\"abbattimento\" cell",
     "A single marked cell: an approach marker with a value of its own, or a plain mark.",
     abbattimento,
     {},
     record_reach::point},
    {record_kind::station,
     record_place::train_records,
     "stazione",
     {"stazione", "", false},
     "[stazioni]",
     "station",
     "A station or stop, in running order: it takes the next entry of the scenario table (from "
     "entry 1 up), a zone around its position, and, for types below 25, a station cell at the "
     "zone's end with approach marks before it.",
     station,
     {},
     record_reach::point,
     true},
};

}  // namespace record_table_data

// Every record, in the order in which the readers offer a keyword field to
// the tests of each place.
inline constexpr std::span<const record_description> all_records() {
  return record_table_data::records;
}

inline constexpr const record_description& record_of(record_kind kind) {
  return record_table_data::records[static_cast<size_t>(kind)];
}

inline constexpr const record_field& field_of(record_kind kind, size_t index) {
  return record_of(kind).fields[index];
}

// "line description" or "train document".
constexpr std::string_view document_name_of(record_place place) {
  return place == record_place::train_records ? "train document" : "line description";
}

// Whether a keyword field is one of this record's. A field may match more
// than one record; each of them then reads its values in turn.
bool keyword_matches(record_kind kind, std::string_view field);

static_assert(
    [] {
      for (size_t i = 0; i < std::size(record_table_data::records); ++i)
        if (static_cast<size_t>(record_table_data::records[i].kind) != i) return false;
      return true;
    }(),
    "the record table lists the records in the order of record_kind");

}  // namespace compiler
