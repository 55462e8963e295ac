#include "model/scenario_table.h"

void clear_scenario_table(scenario_table& table) {
  for (scenario_entry& e : table) e = scenario_entry{};
}
