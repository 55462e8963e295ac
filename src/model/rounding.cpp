#include "model/rounding.h"

#include <cmath>

namespace model {

double round_half_even(double x) {
  double r = std::floor(x);
  double diff = x - r;
  if (diff > 0.5 || (diff == 0.5 && std::fmod(r, 2.0) != 0.0)) r += 1.0;
  return r;
}

namespace {
bool round_into(double x, double low, double high, double* r) {
  *r = round_half_even(x);
  return *r >= low && *r <= high;  // false for NaN as well
}
}  // namespace

bool round_to_i16(double x, int16_t* out) {
  double r;
  if (!round_into(x, INT16_MIN, INT16_MAX, &r)) return false;
  *out = static_cast<int16_t>(r);
  return true;
}

bool round_to_u8(double x, uint8_t* out) {
  double r;
  if (!round_into(x, 0, 255, &r)) return false;
  *out = static_cast<uint8_t>(r);
  return true;
}

}  // namespace model
