#include "model/check_codes.h"

#include <string>

#include "runtime/windows1252.h"

namespace model {

namespace {

std::string code_text(std::string_view train_number, std::string_view line_name) {
  std::string text(train_number);
  text += line_name;
  return runtime::lower_text(text) + "aabbccddeeffgghhiillmmnnoo";
}

}  // namespace

int32_t weighted_check_code(std::string_view train_number, std::string_view line_name) {
  const std::string text = code_text(train_number, line_name);
  int32_t sum = 0;
  for (int i = 1; i <= 25; ++i) sum += i * static_cast<unsigned char>(text[i - 1]);
  return sum;
}

int16_t plain_check_code(std::string_view train_number, std::string_view line_name) {
  const std::string text = code_text(train_number, line_name);
  int32_t sum = 0;
  for (int i = 1; i <= 25; ++i) sum += static_cast<unsigned char>(text[i - 1]);
  return static_cast<int16_t>(sum);
}

}  // namespace model
