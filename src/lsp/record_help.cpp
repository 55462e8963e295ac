#include "lsp/record_help.h"

namespace {

constexpr field_help route_length[] = {
    {"length", "m", "the route's length; the track grid runs on 7000 m past it (at most 1000000)"}};
constexpr field_help kilometric_range[] = {
    {"start", "m",
     "the route metre where the range's kilometre numbering begins (a multiple of 50)", true},
    {"reference", "m", "the line kilometre, in metres, that the range counts from"},
    {"in use", "", "1 when the range applies, 0 (with zero values) when it does not"}};
constexpr field_help background[] = {{"value", "", "the background switch, 0 or 1"}};
constexpr field_help signal_repetition[] = {
    {"start", "m", "where the stretch with signal repetition begins (a multiple of 50)", true},
    {"end", "m", "where it ends (a multiple of 50); 0 for no such stretch", true}};
constexpr field_help gradient[] = {
    {"start", "m", "where the gradient begins; it holds up to the next gradient", true},
    {"gradient", "per mille", "the signed gradient, rising positive"}};
constexpr field_help curve[] = {
    {"start", "m", "where the curve begins; side (s/d) and class (1 to 6) are in the keyword",
     true},
    {"length", "m", "the curve's length"}};
constexpr field_help mountain[] = {{"start", "m", "where the mountain stretch begins", true},
                                   {"end", "m", "where it ends", true},
                                   {"type", "", "the mountain zone type (2 or 12)"}};
constexpr field_help speed_board[] = {
    {"position", "m", "where the board stands; it takes the cell of its own", true},
    {"speed a, side s", "km/h", "first speed shown for side \"s\""},
    {"speed b, side s", "km/h", "second speed shown for side \"s\""},
    {"speed c, side s", "km/h", "third speed shown for side \"s\""},
    {"stripes, side s", "", "stripe count for side \"s\""},
    {"speed a, side d", "km/h", "first speed shown for side \"d\" (empty reads as 0)"},
    {"speed b, side d", "km/h", "second speed shown for side \"d\" (empty reads as 0)"},
    {"speed c, side d", "km/h", "third speed shown for side \"d\" (empty reads as 0)"},
    {"stripes, side d", "", "stripe count for side \"d\""}};
constexpr field_help text_board[] = {
    {"position", "m", "where the board stands; it takes the cell of its own", true},
    {"text", "", "the board's text: up to three groups in parentheses, 16 characters each"}};
constexpr field_help braked_mass[] = {{"percentage", "%", "the train's braked-mass percentage"}};
constexpr field_help car_count[] = {{"cars", "", "the number of cars of the train"}};
constexpr field_help speed_limit[] = {
    {"position", "m", "where the line speed begins; it holds up to the next speed limit", true},
    {"speed", "km/h", "the line speed, kept in steps of 5 km/h"}};
constexpr field_help adhesion[] = {
    {"position", "m", "where the adhesion value begins; it holds up to the next one", true},
    {"value", "", "the adhesion value (one byte)"}};
constexpr field_help clock[] = {{"hour", "h", "the clock at the start of the run: hours"},
                                {"minute", "min", "minutes (separated by blanks, not commas)"},
                                {"second", "s", "seconds"}};
constexpr field_help sand[] = {{"sand", "", "the sand the train carries"}};
constexpr field_help signal[] = {
    {"position", "m", "where the signal stands; it takes the cell of its own", true},
    {"sx", "", "the arrangement of the left group (2: the last value is a time)"},
    {"s1", "", "first aspect of the left group"},
    {"s2", "", "second aspect of the left group"},
    {"s3", "", "third aspect of the left group"},
    {"rapp", "", "the signal's relation to the next one"},
    {"dx", "", "the arrangement of the right group"},
    {"d1", "", "first aspect of the right group"},
    {"d2", "", "second aspect of the right group"},
    {"d3", "", "third aspect of the right group"},
    {"tempo", "s", "the signal's time, used when sx is 2"}};
constexpr field_help restriction[] = {
    {"start", "m", "where the speed restriction begins; its warning board stands 1200 m before",
     true},
    {"speed", "km/h", "the speed allowed inside the restriction"},
    {"length", "m", "the restriction's length; its end board stands at start + length"},
    {"f_tt", "", "the end board's flag"},
    {"f_ta", "", "1 for four countdown boards before the warning board"},
    {"d_v", "km/h", "a second speed, shown when not 0"}};
constexpr field_help abbattimento[] = {
    {"position", "m", "where the marked cell lies (its stretch cell)", true},
    {"value", "", "the value the cell carries"}};
constexpr field_help station[] = {
    {"position", "m", "the station's middle (a multiple of 50)", true},
    {"type", "", "the station type: 5-6 and 7-8 lay their zone differently, 25 and above no cell"},
    {"length", "m", "the station's length (a multiple of 100); it sets the zone"},
    {"field 4", "", "a value kept with the station"},
    {"field 5", "", "a value kept with the station (0 when the station is shorter than 600 m)"},
    {"zone extension", "", "1 moves the zone's end on by 50 m"},
    {"field 7", "", "a value kept with the station"},
    {"field 8", "", "a value kept with the station"},
    {"field 9", "", "a value kept with the station"},
    {"field 10", "", "a value kept with the station"},
    {"field 11", "", "a value kept with the station"},
    {"field 12", "", "a value kept with the station"},
    {"field 13", "", "a value kept with the station"},
    {"hour", "h", "the timetable time: hours"},
    {"minute", "min", "minutes"},
    {"second", "s", "seconds"},
    {"name", "", "the station's name, up to the end of the line (no comma)"}};

}  // namespace

std::span<const field_help> fields_of(record_kind kind) {
  switch (kind) {
    case record_kind::route_length:
      return route_length;
    case record_kind::range_three:
    case record_kind::range_two:
    case record_kind::range_one:
      return kilometric_range;
    case record_kind::background_one:
    case record_kind::background_two:
    case record_kind::background_three:
      return background;
    case record_kind::signal_repetition:
      return signal_repetition;
    case record_kind::gradient:
      return gradient;
    case record_kind::curve:
      return curve;
    case record_kind::mountain:
      return mountain;
    case record_kind::speed_board:
      return speed_board;
    case record_kind::text_board:
      return text_board;
    case record_kind::braked_mass:
      return braked_mass;
    case record_kind::car_count:
      return car_count;
    case record_kind::speed_limit:
      return speed_limit;
    case record_kind::adhesion:
      return adhesion;
    case record_kind::clock:
      return clock;
    case record_kind::sand:
      return sand;
    case record_kind::signal:
      return signal;
    case record_kind::restriction:
      return restriction;
    case record_kind::abbattimento:
      return abbattimento;
    case record_kind::station:
      return station;
  }
  return {};
}
