#include "model/cell_words.h"

#include "model/rounding.h"

namespace model {

bool pack_board_speeds(int32_t s_kmh, int32_t d_kmh, int16_t* out) {
  return round_to_i16(20.0 * s_kmh + d_kmh / 5.0, out);
}

bool pack_board_stripes(int32_t s, int32_t d, int16_t* out) {
  const int64_t v = static_cast<int64_t>(s) * 10 + d;
  if (v < INT16_MIN || v > INT16_MAX) return false;
  *out = static_cast<int16_t>(v);
  return true;
}

}  // namespace model
