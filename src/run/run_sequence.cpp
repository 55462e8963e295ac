#include "run/run_sequence.h"

#include <ostream>
#include <string>

#include "compiler/approach_markers.h"
#include "compiler/memorizza_dati.h"
#include "documents/writers.h"
#include "model/package_files.h"
#include "run/fault_codes.h"

namespace {
constexpr std::string_view program_name = "scenario-gen";
}

percorso_result memorizza_percorso(run_state& st, disk& d, int32_t j) {
  percorso_result result;
  st.j = j;
  st.error_code = 0;
  clear_scenario_table(st.table);

  if (!memorizza_dati(st, d, &result.failure)) {
    result.outcome = percorso_outcome::io_failed;
    return result;
  }
  if (!st.grid_exists()) {
    result.outcome = percorso_outcome::no_grid;
    return result;
  }
  approach_marker_pass(st);
  if (int check = check_and_stamp(st); check != 0) {
    result.outcome = percorso_outcome::reserved_slot;
    result.errore_code = check;
    return result;
  }
  if (!write_package(st, d, &result.failure)) result.outcome = percorso_outcome::io_failed;
  return result;
}

void errore(std::ostream& err, std::string_view a) {
  err << " Errore n. " << a << std::endl;
}

void report_compile_fault(std::ostream& err, std::string_view program, const run_state& st) {
  err << program << ": error " << st.error_code << " at " << st.error_position
      << " m: " << describe_fault(st.error_code).meaning << std::endl;
}

int finish_run(std::ostream& err, std::string_view program, const run_state& st,
               const percorso_result& result) {
  switch (result.outcome) {
    case percorso_outcome::io_failed:
      err << program << ": " << describe(result.failure) << std::endl;
      return exit_io_failure;
    case percorso_outcome::reserved_slot:
      errore(err, std::to_string(result.errore_code));
      return exit_reserved_slot;
    case percorso_outcome::no_grid:
      report_compile_fault(err, program, st);
      err << program << ": no package written" << std::endl;
      return exit_no_package;
    case percorso_outcome::package_written:
      if (st.error_code == 0) return exit_clean;
      report_compile_fault(err, program, st);
      return exit_compile_fault;
  }
  return exit_io_failure;
}

int form_load_handler(run_state& st, disk& d, std::ostream& out, std::ostream& err) {
  st.line_name = built_in_line_name;
  st.train_number = built_in_train_number;
  out << "Attendere" << std::endl;

  io_failure failure;
  if (!dati_linea(st, d, &failure) || !dati_treno(st, d, &failure) || !dati_note(st, d, &failure) ||
      !dati_rallentamenti(st, d, &failure) || !dati_scheda(st, d, &failure)) {
    err << program_name << ": " << describe(failure) << std::endl;
    return exit_io_failure;
  }
  return finish_run(err, program_name, st, memorizza_percorso(st, d, 1));
}
