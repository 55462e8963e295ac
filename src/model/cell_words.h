#pragma once
// How each kind of object packs its values into the words of its cell, and
// how they unpack. Stores into a 16-bit word keep the low 16 bits of the
// value worked out, unless a packer says otherwise.
//
//   signal (1)           w2, w4, w6: the three aspects, s * 10 + d each;
//                        w8: rapp * 10 + sx * 3 + dx; b10: the time value
//   restriction (2, 3)   w2: speed; w4: d_v; w6: f_tt
//   warning board (4)    w2: speed; w4: d_v
//   countdown (5)        w2: 1 .. 4 going backwards; w4 the same with a d_v
//   speed board (6)      w2, w4, w6: round(s * 20 + d / 5), an "s" speed in
//                        the hundreds and a "d" one in the units, both in
//                        steps of 5 km/h; w8: stripes s * 10 + d
//   station cell (10)    w2: the station's scenario entry
//   approach marker (12) w2: its value
//   text board (14)      w2: the scenario entry of its text
//
// b11 marks the cells ahead of a signal (arrangement * 10 + 1 .. 4) and of a
// station (81 .. 84).

#include <cstdint>

namespace model {

// The low 16 bits of a value, as a 16-bit slot keeps it.
inline int16_t low16(int64_t v) {
  return static_cast<int16_t>(static_cast<uint16_t>(v & 0xFFFF));
}

// Signals.
struct signal_aspect {
  int32_t s;
  int32_t d;
};
struct signal_arrangement {
  int32_t rapp;
  int32_t sx;
  int32_t dx;
};
inline int16_t pack_signal_aspect(int32_t s, int32_t d) {
  return low16(static_cast<int64_t>(s) * 10 + d);
}
inline signal_aspect unpack_signal_aspect(int16_t w) {
  return {w / 10, w % 10};
}
inline int16_t pack_signal_arrangement(int32_t rapp, int32_t sx, int32_t dx) {
  return low16(static_cast<int64_t>(rapp) * 10 + static_cast<int64_t>(sx) * 3 + dx);
}
inline signal_arrangement unpack_signal_arrangement(int16_t w) {
  const int32_t side = w % 10;
  return {w / 10, side / 3, side % 3};
}
// The mark of the k-th of the four cells ahead of a signal (k = 1 nearest).
inline uint8_t signal_approach_mark(int32_t sx, int32_t dx, int k) {
  return static_cast<uint8_t>((static_cast<int64_t>(sx) * 3 + dx) * 10 + k);
}
// A signal's time value: 1 .. 100 is raised to 101.
inline int32_t signal_time(int32_t tempo) {
  return tempo >= 1 && tempo <= 100 ? 101 : tempo;
}

// The mark of the m-th of the four cells ahead of a station cell (m = 1
// nearest).
inline uint8_t station_approach_mark(int m) {
  return static_cast<uint8_t>(80 + m);
}

// Speed boards. False when the rounded word does not fit 16 bits.
bool pack_board_speeds(int32_t s_kmh, int32_t d_kmh, int16_t* out);
struct board_speeds {
  int32_t s_kmh;
  int32_t d_kmh;
};
inline board_speeds unpack_board_speeds(int16_t w) {
  return {w / 100 * 5, w % 100 * 5};
}
// Stripe counts; false when the word does not fit 16 bits.
bool pack_board_stripes(int32_t s, int32_t d, int16_t* out);
struct board_stripes {
  int32_t s;
  int32_t d;
};
inline board_stripes unpack_board_stripes(int16_t w) {
  return {w / 10, w % 10};
}

}  // namespace model
