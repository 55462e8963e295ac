#pragma once
// Every conversion of a real value to an integer rounds to the nearest
// integer, a half going to the even neighbour (1.5 -> 2, 2.5 -> 2).

#include <cstdint>

namespace model {

double round_half_even(double x);

// Rounds x and stores it in *out; false (a run-time fault) when the result
// does not fit the target.
bool round_to_i16(double x, int16_t* out);
bool round_to_u8(double x, uint8_t* out);

}  // namespace model
