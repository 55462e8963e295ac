#include "compiler/record_forms.h"

#include "runtime/windows1252.h"

namespace {

constexpr record_form forms[] = {
    {record_kind::route_length, record_place::line_header, "lunghezza percorso", "i",
     "route length"},
    {record_kind::range_three, record_place::line_header, "progressiva chilometrica tre", "iii",
     "kilometric range"},
    {record_kind::range_two, record_place::line_header, "progressiva chilometrica due", "iii",
     "kilometric range"},
    {record_kind::range_one, record_place::line_header, "progressiva chilometrica uno", "iii",
     "kilometric range"},
    {record_kind::background_one, record_place::line_header, "sfondo uno", "i", "background"},
    {record_kind::background_two, record_place::line_header, "sfondo due", "i", "background"},
    {record_kind::background_three, record_place::line_header, "sfondo tre", "i", "background"},
    {record_kind::signal_repetition, record_place::line_header, "ripetizione segnali 4 codici",
     "ii", "signal repetition"},
    {record_kind::gradient, record_place::line_records, "pendenza", "ii", "gradient"},
    {record_kind::curve, record_place::line_records, "curva", "ii", "curve"},
    {record_kind::mountain, record_place::line_records, "montagna", "iii", "mountain"},
    {record_kind::speed_board, record_place::line_records, "indicatori_vmax", "iiiiiiiii",
     "maximum-speed board"},
    {record_kind::text_board, record_place::line_records, "cartello_indicatore", "it",
     "text board"},
    {record_kind::braked_mass, record_place::train_records, "percentuale massa frenata", "i",
     "braked mass"},
    {record_kind::car_count, record_place::train_records, "numero vetture", "i", "car count"},
    {record_kind::speed_limit, record_place::train_records, "velocita", "ii", "speed limit"},
    {record_kind::adhesion, record_place::train_records, "aderenza", "ii", "adhesion"},
    {record_kind::clock, record_place::train_records, "orologio", "hhh", "clock"},
    {record_kind::sand, record_place::train_records, "sabbia", "h", "sand"},
    {record_kind::signal, record_place::train_records, "segnale", "iiiiiiiiiii", "signal"},
    {record_kind::restriction, record_place::train_records, "rallentamento", "iiiiii",
     "speed restriction"},
    {record_kind::abbattimento, record_place::train_records, "abbattimento", "ii",
     "\"abbattimento\" cell"},
    {record_kind::station, record_place::train_records, "stazione", "ibibbbhhbhhhbiiit", "station"},
};

}  // namespace

std::span<const record_form> all_record_forms() {
  return forms;
}

const record_form& form_of(record_kind kind) {
  return forms[static_cast<size_t>(kind)];
}

bool keyword_matches(record_kind kind, std::string_view field) {
  // The header's words are matched with their case, except the route
  // length's; every other keyword without regard to case.
  auto has = [&](std::string_view word) { return contains(field, word); };
  auto has_any_case = [&](std::string_view word) { return contains_any_case(field, word); };
  switch (kind) {
    case record_kind::route_length:
      return has_any_case("lunghezza") && has_any_case("percorso");
    case record_kind::range_three:
      return has("progressiva") && has("tre");
    case record_kind::range_two:
      return has("progressiva") && has("due");
    case record_kind::range_one:
      return has("progressiva") && has("uno");
    case record_kind::background_one:
      return has("sfondo") && has("uno");
    case record_kind::background_two:
      return has("sfondo") && has("due");
    case record_kind::background_three:
      return has("sfondo") && has("tre");
    case record_kind::signal_repetition:
      return has("ripetizione") && has("segnali");
    case record_kind::gradient:
      return has_any_case("pendenza");
    case record_kind::curve:
      return has_any_case("curva");
    case record_kind::mountain:
      return has_any_case("montagna");
    case record_kind::speed_board:
      return has_any_case("indicatori_v");
    case record_kind::text_board:
      return has_any_case("indicat") && has_any_case("cartello");
    case record_kind::braked_mass:
      return has_any_case("frenata") && has_any_case("massa");
    case record_kind::car_count:
      return has_any_case("vetture");
    case record_kind::speed_limit:
      return has_any_case("velocit");
    case record_kind::adhesion:
      return has_any_case("aderenza");
    case record_kind::clock:
      return has_any_case("orologio");
    case record_kind::sand:
      return has_any_case("sabbia");
    case record_kind::signal:
      return has_any_case("segnale");
    case record_kind::restriction:
      return has_any_case("rallentamento");
    case record_kind::abbattimento:
      return has_any_case("abbattimento");
    case record_kind::station:
      return has_any_case("stazione");
  }
  return false;
}
