#include "model/check_codes.h"

#include "runtime/windows1252.h"

namespace {

// The lower-cased train number and line name, then letters that make sure
// there are always at least 25 characters. Left in current_field.
const std::string& build_code_text(run_state& st) {
  st.current_field = lower_text(st.table[entry_train].text + st.table[entry_line].text) +
                     "aabbccddeeffgghhiillmmnnoo";
  return st.current_field;
}

}  // namespace

int32_t codice_gara_st(run_state& st) {
  const std::string& text = build_code_text(st);
  int32_t sum = 0;
  for (int i = 1; i <= 25; ++i) sum += i * static_cast<unsigned char>(text[i - 1]);
  return sum;
}

int16_t codice_gara_og(run_state& st) {
  const std::string& text = build_code_text(st);
  int32_t sum = 0;
  for (int i = 1; i <= 25; ++i) sum += static_cast<unsigned char>(text[i - 1]);
  return static_cast<int16_t>(sum);
}
