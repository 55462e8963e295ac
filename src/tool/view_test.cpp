// The pieces behind render's picture and view's page: the plan read as a
// stream, the line's kilometres, restrictions in the speed profile, labels
// that keep their kilometre figures, the origins of objects, and the page.

#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "compiler/compile.h"
#include "documents/builtin_documents.h"
#include "model/file_names.h"
#include "model/package_format.h"
#include "model/package_reader.h"
#include "run/generator.h"
#include "runtime/windows1252.h"
#include "test_support/memory_disk.h"
#include "test_support/scenario_fixture.h"
#include "tool/compile_command.h"
#include "tool/html_view.h"
#include "tool/package_commands.h"
#include "tool/package_differences.h"
#include "tool/package_summary.h"
#include "tool/svg_drawing.h"

namespace tool {

namespace {

bool has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

std::string join_lines(std::span<const std::string_view> lines) {
  std::string text;
  for (std::string_view line : lines) text.append(line).append("\r\n");
  return text;
}

struct built_in {
  test_support::memory_disk disk;
  model::package rows, traced;
  std::string plan_bytes;
  built_in() {
    std::ostringstream out, err;
    run::run_generator(disk, test_support::test_directory, out, err);
    model::package_error error;
    EXPECT_TRUE(model::read_package(disk, test_support::test_directory,
                                    test_support::test_identity(), &rows, &error))
        << error.message;
    EXPECT_TRUE(model::read_package(disk, test_support::test_directory,
                                    test_support::test_identity(), &traced, &error,
                                    model::plan_reading::trace))
        << error.message;
    plan_bytes = disk.files[model::path_in(test_support::test_directory, rows.plan_file)];
  }
};

// The plan fed in parts of any size decodes as the whole file does, and the
// trace made as it streams is the trace of the rows.
TEST(PlanStream, PartsOfAnySizeDecodeAsTheWholeFile) {
  built_in b;
  EXPECT_TRUE(b.traced.plan.row0.empty());
  const model::plan_trace whole = model::trace_plan(b.rows.plan);
  EXPECT_EQ(b.traced.trace.metre, whole.metre);
  EXPECT_EQ(b.traced.trace.east, whole.east);
  EXPECT_EQ(b.traced.trace.north, whole.north);
  EXPECT_LE(whole.size(), static_cast<size_t>(model::plan_trace_samples) + 1);
  EXPECT_EQ(whole.metre.back(), b.rows.plan.row0.size() - 3);  // the last valued metre
  EXPECT_EQ(draw_package(b.rows), draw_package(b.traced));

  const int32_t route = route_length(b.rows.table);
  const std::string& bytes = b.plan_bytes;
  // Damaged files give the same message whole or in parts.
  const std::string cases[] = {
      bytes,
      bytes.substr(0, bytes.size() - 1),
      bytes.substr(0, bytes.size() - 5),
      bytes + "\x05",
      bytes + std::string("\x00\x00", 2),
      std::string("\x07\x00", 2) + bytes.substr(2),
      bytes.substr(0, 6) + std::string("\x05\x00\x00\x00\x00\x00\x00\x00\xF0\x7F", 10) +
          bytes.substr(16),
  };
  for (size_t k = 0; k < std::size(cases); ++k) {
    model::plan_rows expected;
    std::string whole_error;
    const bool whole_ok = model::decode_line_plan(cases[k], "plan", route, &expected, &whole_error);
    EXPECT_EQ(whole_ok, k == 0) << k << whole_error;
    for (size_t part : {size_t{1}, size_t{3}, size_t{7}, size_t{65536}}) {
      size_t elements = 0;
      model::line_plan_decoder decoder(
          "plan", route,
          [&](size_t, std::span<const model::plan_element> run) { elements += run.size(); });
      for (size_t at = 0; at < cases[k].size(); at += part)
        if (!decoder.feed(std::string_view(cases[k]).substr(at, part))) break;
      std::string error;
      EXPECT_EQ(decoder.finish(&error), whole_ok) << k << " part " << part;
      EXPECT_EQ(error, whole_error) << k << " part " << part;
      if (whole_ok) {
        EXPECT_EQ(elements, 2 * expected.row0.size());
      }
    }
  }
}

TEST(LineKilometres, RouteMetresReadAsTheBoardsQuoteThem) {
  built_in b;
  const std::vector<model::kilometric_range> ranges = model::kilometric_ranges(b.rows.table);
  ASSERT_EQ(ranges.size(), 2u);
  struct {
    int64_t metre;
    const char* mark;
  } cases[] = {
      {3200, "86+550"},                      // "(PASSAGGIO)(A LIVELLO)(KM 86+550)" stands at 3200 m
      {41400, "48+350"},                     // the old numbering up to the second range
      {44050, "44+450"},                     // the new one after it
      {85700, "2+800"},  {89500, "-1+000"},  // past the line's zero
  };
  for (const auto& c : cases)
    EXPECT_EQ(model::kilometre_mark(model::line_metre(ranges, c.metre)), c.mark) << c.metre;
  EXPECT_EQ(model::line_metre({}, 1234), 1234);  // no range: route metres

  const std::string svg = draw_package(b.rows);
  // The axis says where the numbering changes.
  EXPECT_TRUE(has(svg, ">48+300 | 47+050</text>")) << "range change";
  EXPECT_TRUE(has(svg, "line kilometre (from the kilometric ranges)"));
}

// Every board's label keeps its kilometre figure whole, however short the
// rest of it is made; the whole text is in its title.
TEST(SvgDrawing, BoardLabelsNeverCutAKilometreFigure) {
  built_in b;
  const std::string svg = draw_package(b.rows);
  const std::regex label("rotate\\(-90\\)\" font-size=\"9\" fill=\"#566573\"[^>]*>([^<]*)</text>");
  int boards = 0;
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), label); it != std::sregex_iterator();
       ++it) {
    ++boards;
    const std::string text = (*it)[1];
    if (has(text, "KM")) {
      EXPECT_TRUE(std::regex_search(text, std::regex("KM \\d+\\+\\d{3}$"))) << text;
    }
    EXPECT_LE(text.size(), 40u) << text;
  }
  EXPECT_EQ(boards, 55);
  EXPECT_TRUE(has(svg, "PASSAGGIO \u00B7 A LIVELLO \u00B7 KM 86+550 (3200 m)</title>"));
  EXPECT_TRUE(has(svg, "viewBox=\"0 0 1600 1000\" width=\"100%\" height=\"100%\""));
}

TEST(SvgDrawing, RestrictionsLowerTheSpeedProfileAndSignalsAreLabelled) {
  auto c = test_support::build_package_from(
      test_support::line_description(9000),
      test_support::train_document("velocita,  0,  100\n"
                                   "segnale,  3300,  2, 4, 1, 0, 0, 1, 2, 0, 0, 125\n"
                                   "rallentamento,  5000, 30, 1000, 2, 1, 5\n"));
  model::package p;
  model::package_error error;
  ASSERT_TRUE(model::read_package(c->disk, test_support::test_directory,
                                  test_support::test_identity(), &p, &error))
      << error.message;
  const std::vector<restriction_stretch> r = restriction_stretches(p);
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0].speed, 30);
  EXPECT_EQ(r[0].start, 5000);
  EXPECT_EQ(r[0].end, 6000);
  const std::string svg = draw_package(p);
  EXPECT_TRUE(has(svg, "speed restriction 30 km/h, 5000 .. 6000 m"));
  EXPECT_TRUE(has(svg, "font-weight=\"bold\" class=\"lbl-r\">30</text>"));
  // The signal's label: its kilometre (route metres here, with no range).
  EXPECT_TRUE(has(svg, "class=\"lbl\">3+300</text>")) << "signal label";
}

// The origins name the record that laid each cell and entry, and asking for
// them changes nothing of the compile.
TEST(CompileOrigins, EachObjectNamesItsRecord) {
  const std::string line = join_lines(documents::line_document_lines());
  const std::string train = join_lines(documents::train_document_lines());
  compiler::compile_input input;
  input.line_description = line;
  input.train_document = train;
  input.line_name = run::built_in_line_name;
  input.train_number = run::built_in_train_number;
  const compiler::compile_result plain = compiler::compile_documents(input);
  compiler::compile_origins origins;
  input.origins = &origins;
  const compiler::compile_result traced = compiler::compile_documents(input);
  ASSERT_EQ(plain.compiled.grid.size(), traced.compiled.grid.size());
  for (size_t i = 0; i < plain.compiled.grid.size(); ++i) {
    const model::track_cell& a = plain.compiled.grid[i];
    const model::track_cell& t = traced.compiled.grid[i];
    ASSERT_TRUE(a.kind == t.kind && a.w2 == t.w2 && a.b11 == t.b11 && a.b13 == t.b13) << i;
  }
  ASSERT_EQ(origins.cells.size(), plain.compiled.grid.size());

  const std::span<const std::string_view> train_lines = documents::train_document_lines();
  const std::span<const std::string_view> line_lines = documents::line_document_lines();
  int seen[16] = {};
  for (size_t i = 0; i < origins.cells.size(); ++i) {
    const model::track_cell& c = plain.compiled.grid[i];
    const compiler::record_origin& o = origins.cells[i];
    if (c.kind == model::kind_empty && c.b11 == 0) continue;
    ++seen[c.kind];
    if (c.kind == model::kind_signal) {
      ASSERT_EQ(o.document, compiler::source_document::train_document) << i;
      EXPECT_TRUE(train_lines[static_cast<size_t>(o.line - 1)].starts_with("segnale")) << i;
      EXPECT_EQ(o.column, 1);
    } else if (c.kind == model::kind_text_board || c.kind == model::kind_speed_board) {
      ASSERT_EQ(o.document, compiler::source_document::line_description) << i;
      EXPECT_TRUE(line_lines[static_cast<size_t>(o.line - 1)].starts_with(
          c.kind == model::kind_text_board ? "cartello_indicatore" : "indicatori_v"))
          << i << " " << line_lines[static_cast<size_t>(o.line - 1)];
    } else if (c.kind == model::kind_approach_marker) {
      EXPECT_EQ(o.keyword, "approach-marker pass") << i;
    }
    EXPECT_TRUE(o.line > 0 || !o.keyword.empty()) << "cell " << i << " has no origin";
  }
  EXPECT_GT(seen[model::kind_signal], 10);
  EXPECT_GT(seen[model::kind_text_board], 10);

  // A cell holds one object but may carry a mark another record laid: a
  // signal marks the cells before it whatever they hold, a station its zone.
  // The object keeps its own record and the mark has its own.
  ASSERT_EQ(origins.marks.size(), plain.compiled.grid.size());
  int boards_marked = 0, markers_marked = 0;
  for (size_t i = 0; i < origins.cells.size(); ++i) {
    const model::track_cell& c = plain.compiled.grid[i];
    if (c.b11 == 0) continue;
    const compiler::record_origin& mark = origins.marks[i];
    ASSERT_EQ(mark.document, compiler::source_document::train_document) << i;
    const std::string_view marker = train_lines[static_cast<size_t>(mark.line - 1)];
    EXPECT_TRUE(marker.starts_with("segnale") || marker.starts_with("stazione")) << i;
    const compiler::record_origin& object = origins.cells[i];
    if (c.kind == model::kind_speed_board) {
      ++boards_marked;
      EXPECT_TRUE(line_lines[static_cast<size_t>(object.line - 1)].starts_with("indicatori_v"))
          << i;
    } else if (c.kind == model::kind_mountain_marker) {
      ++markers_marked;
      ASSERT_EQ(object.document, compiler::source_document::line_description) << i;
      EXPECT_TRUE(line_lines[static_cast<size_t>(object.line - 1)].starts_with("montagna"))
          << i << ": a mountain marker names " << object.keyword;
    } else if (c.kind == model::kind_empty) {
      EXPECT_EQ(object.line, mark.line) << i;
    }
  }
  EXPECT_GT(boards_marked, 0);
  EXPECT_GT(markers_marked, 0);
  const compiler::record_origin& first_station = origins.entries[model::first_station_entry];
  EXPECT_EQ(first_station.document, compiler::source_document::train_document);
  EXPECT_TRUE(train_lines[static_cast<size_t>(first_station.line - 1)].starts_with("stazione"));
}

TEST(ViewPage, OneSelfContainedPageWithItsDataAndOrigins) {
  built_in b;
  const std::string dir = test_support::test_directory;
  std::ostringstream out, err;
  {
    std::vector<std::string> args = {"scenario-tool", "documents", "--out", "/docs"};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    b.disk.directories.insert("/docs");
    ASSERT_EQ(documents_command(static_cast<int>(argv.size()), argv.data(), b.disk, out, err), 0)
        << err.str();
  }
  const std::string line = "/docs/Borvasco_Lestrano_linea.txt";
  const std::string train = "/docs/Borvasco_Lestrano_40817-.txt";
  std::vector<std::string> args = {"scenario-tool", "view", dir,       "-o", "/v.html",
                                   "--line",        line,   "--train", train};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  ASSERT_EQ(view_command(static_cast<int>(argv.size()), argv.data(), b.disk, out, err), 0)
      << err.str();
  EXPECT_EQ(err.str(), "");
  const std::string page = b.disk.files["/v.html"];
  EXPECT_EQ(page.rfind("<!DOCTYPE html>\n", 0), 0u);
  for (const char* never : {"src=", "href=", "https:", "@import", "url(", "<link", "fetch("})
    EXPECT_FALSE(has(page, never)) << never;
  // The one link is the export's, to a file the page itself makes.
  for (size_t at = page.find("href"); at != std::string::npos; at = page.find("href", at + 1))
    EXPECT_TRUE(
        std::string_view(page).substr(at).starts_with("href = URL.createObjectURL(blob);") ||
        std::string_view(page).substr(at).starts_with("href), 1000);"))
        << page.substr(at, 40);
  // The only address is the SVG namespace's name.
  for (size_t at = page.find("http:"); at != std::string::npos; at = page.find("http:", at + 1))
    EXPECT_EQ(page.compare(at, 26, "http://www.w3.org/2000/svg"), 0) << page.substr(at, 40);
  // Two scripts (the data and the code), each closed once.
  size_t scripts = 0;
  for (size_t at = page.find("</script>"); at != std::string::npos;
       at = page.find("</script>", at + 1))
    ++scripts;
  EXPECT_EQ(scripts, 2u);
  EXPECT_TRUE(has(page,
                  "<tr data-station=\"1\" data-metre=\"50\"><td>BORVASCO</td><td>89+700</td>"
                  "<td>09:05</td></tr>"));
  EXPECT_TRUE(std::regex_search(
      page,
      std::regex("\"kind\": \"signal\".*\"origin\": \"/docs/Borvasco_Lestrano_40817-.txt:\\d+:1 "
                 "\\(segnale\\)\"")));
  EXPECT_TRUE(has(page, "Borvasco_Lestrano_40817-.txt:") && has(page, ":1 (stazione)\""));

  // Documents of another scenario: the page still comes, without origins.
  b.disk.files[train] =
      test_support::train_document("segnale,  3300,  2, 4, 1, 0, 0, 1, 2, 0, 0, 125\n");
  std::ostringstream out2, err2;
  ASSERT_EQ(view_command(static_cast<int>(argv.size()), argv.data(), b.disk, out2, err2), 0);
  EXPECT_TRUE(has(err2.str(), "the documents do not compile into this package"));
  EXPECT_FALSE(has(b.disk.files["/v.html"], "\"origin\""));
}

// Documents that differ from the package in one value only: the warning and
// the page say what differs, where, and both values.
TEST(ViewPage, SaysWhatDiffersWhenTheDocumentsDoNotMakeThePackage) {
  built_in b;
  compiler::compile_input input;
  // The documents as the generator writes them, in Windows-1252.
  const std::string line = runtime::to_windows1252(join_lines(documents::line_document_lines()));
  std::string train = runtime::to_windows1252(join_lines(documents::train_document_lines()));
  input.line_description = line;
  input.train_document = train;
  input.line_name = run::built_in_line_name;
  input.train_number = run::built_in_train_number;
  EXPECT_EQ(package_differences(compiler::compile_documents(input).compiled, b.rows),
            std::vector<std::string>{});

  struct {
    std::string from, to, says;
  } cases[] = {
      {"velocita,    3700,    90", "velocita,    3700,   100",
       "the line speed of 324 cells, first cell 74 (3700 m): 90 km/h in the package, 100 km/h "
       "from the documents"},
      {"PONTE ARSINO", "PONTE ARSINA",
       "1 scenario entry, first entry 9: \"PONTE ARSINO\" at 41450 m in the package, \"PONTE "
       "ARSINA\" at 41450 m from the documents"},
  };
  for (const auto& c : cases) {
    std::string changed = train;
    ASSERT_NE(changed.find(c.from), std::string::npos) << c.from;
    changed.replace(changed.find(c.from), c.from.size(), c.to);
    input.train_document = changed;
    const std::vector<std::string> differences =
        package_differences(compiler::compile_documents(input).compiled, b.rows);
    ASSERT_EQ(differences.size(), 1u) << c.to;
    EXPECT_EQ(differences[0], c.says);
    view_sources sources;
    sources.differences = differences;
    const std::string page = view_page(b.rows, sources);
    EXPECT_TRUE(has(page, "<div id=\"warning\" role=\"alert\">")) << c.to;
  }
}

}  // namespace

}  // namespace tool
