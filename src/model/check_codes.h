#pragma once
// The two check codes stamped into the package, computed from the train
// number and the line name as entries 86 and 85 hold them: the first 25
// characters of the lower-cased train number, line name and the letters
// "aabbccddeeffgghhiillmmnnoo" (so that there are always 25).

#include <cstdint>
#include <string_view>

namespace model {

// The sum of the 25 character codes, each weighted by its position (1 to
// 25); kept in entry 85, l40.
int32_t weighted_check_code(std::string_view train_number, std::string_view line_name);
// The plain sum of the same 25 codes; kept in cell 1, w4.
int16_t plain_check_code(std::string_view train_number, std::string_view line_name);

}  // namespace model
