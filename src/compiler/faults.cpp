#include "compiler/faults.h"

namespace compiler {

namespace {

struct fault_entry {
  fault_code code;
  bool has_position;
  std::string_view meaning;
};

constexpr fault_entry faults[] = {
#define SCENARIO_FAULT_ENTRY(name, code, positioned, meaning) \
  {fault_code::name, positioned, meaning},
    SCENARIO_FAULT_LIST(SCENARIO_FAULT_ENTRY)
#undef SCENARIO_FAULT_ENTRY
};

constexpr fault_code codes[] = {
#define SCENARIO_FAULT_CODE(name, code, positioned, meaning) fault_code::name,
    SCENARIO_FAULT_LIST(SCENARIO_FAULT_CODE)
#undef SCENARIO_FAULT_CODE
};

const fault_entry* find(fault_code code) {
  for (const fault_entry& f : faults)
    if (f.code == code) return &f;
  return nullptr;
}

}  // namespace

std::string_view fault_meaning(fault_code code) {
  const fault_entry* f = find(code);
  return f ? f->meaning : "unknown fault";
}

bool fault_has_position(fault_code code) {
  const fault_entry* f = find(code);
  return f && f->has_position;
}

std::span<const fault_code> all_fault_codes() {
  return codes;
}

}  // namespace compiler
