#include "model/scenario_table.h"

namespace model {

bool entry_in_use(const scenario_entry& e) {
  return e.b0 || e.l4 || e.l8 || e.l12 || e.b16 || !e.text.empty() || e.w24 || e.w26 || e.w28 ||
         e.w30 || e.w32 || e.b34 || e.b35 || e.b36 || e.b37 || e.l40;
}

}  // namespace model
