// scenario-tool inspect and render: the report, the JSON document, the SVG
// drawing and the two commands' exit statuses.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <memory>
#include <sstream>
#include <vector>

#include "model/package_reader.h"
#include "run/exit_status.h"
#include "run/generator.h"
#include "runtime/replace_files.h"
#include "test_support/scenario_fixture.h"
#include "tool/inspect_report.h"
#include "tool/json_writer.h"
#include "tool/package_commands.h"
#include "tool/package_summary.h"
#include "tool/svg_drawing.h"

namespace tool {

namespace {

// A syntax check of one JSON document: values, strings with their escapes
// (no raw control character), numbers and balanced brackets.
struct json_checker {
  std::string_view s;
  size_t i = 0;

  void blanks() {
    while (i < s.size() && (s[i] == ' ' || s[i] == '\n' || s[i] == '\r' || s[i] == '\t')) ++i;
  }
  bool eat(char c) {
    blanks();
    if (i < s.size() && s[i] == c) return ++i, true;
    return false;
  }
  bool string() {
    if (!eat('"')) return false;
    while (i < s.size() && s[i] != '"') {
      const unsigned char c = static_cast<unsigned char>(s[i++]);
      if (c < 0x20) return false;
      if (c != '\\') continue;
      if (i >= s.size()) return false;
      const char e = s[i++];
      if (e == 'u') {
        for (int k = 0; k < 4; ++k, ++i)
          if (i >= s.size() || !std::isxdigit(static_cast<unsigned char>(s[i]))) return false;
      } else if (std::string_view("\"\\/bfnrt").find(e) == std::string_view::npos) {
        return false;
      }
    }
    return eat('"');
  }
  bool digits() {
    const size_t from = i;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i;
    return i > from;
  }
  bool number() {
    blanks();
    if (i < s.size() && s[i] == '-') ++i;
    if (!digits()) return false;
    if (i < s.size() && s[i] == '.' && (++i, !digits())) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
      ++i;
      if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
      if (!digits()) return false;
    }
    return true;
  }
  bool word(std::string_view w) {
    blanks();
    if (s.substr(i, w.size()) != w) return false;
    i += w.size();
    return true;
  }
  bool value() {
    blanks();
    if (i >= s.size()) return false;
    switch (s[i]) {
      case '{':
        ++i;
        if (eat('}')) return true;
        do {
          if (!string() || !eat(':') || !value()) return false;
        } while (eat(','));
        return eat('}');
      case '[':
        ++i;
        if (eat(']')) return true;
        do {
          if (!value()) return false;
        } while (eat(','));
        return eat(']');
      case '"':
        return string();
      case 't':
        return word("true");
      case 'f':
        return word("false");
      case 'n':
        return word("null");
      default:
        return number();
    }
  }
  bool document() {
    if (!value()) return false;
    blanks();
    return i == s.size();
  }
};

bool valid_json(std::string_view s) {
  return json_checker{s}.document();
}

bool eat_char(std::string_view s, size_t& i, char c) {
  if (i < s.size() && s[i] == c) return ++i, true;
  return false;
}

// A check of XML well-formedness as the drawing needs it: one root, every
// tag closed in order, attribute values quoted, no '<' in a text or a value
// and '&' only as the start of an entity.
bool well_formed_xml(std::string_view s, std::string* why) {
  size_t i = 0;
  auto fail = [&](const std::string& what) {
    *why = what + " at byte " + std::to_string(i);
    return false;
  };
  auto entity_ok = [&](size_t at) {
    for (std::string_view e : {"&amp;", "&lt;", "&gt;", "&quot;", "&apos;"})
      if (s.substr(at, e.size()) == e) return true;
    return false;
  };
  auto name = [&] {
    const size_t from = i;
    while (i < s.size() && (std::isalnum(static_cast<unsigned char>(s[i])) || s[i] == '-' ||
                            s[i] == ':' || s[i] == '_'))
      ++i;
    return std::string(s.substr(from, i - from));
  };
  auto blanks = [&] {
    while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
  };
  if (s.substr(0, 5) == "<?xml") i = s.find("?>") + 2;
  std::vector<std::string> open;
  int roots = 0;
  while (i < s.size()) {
    if (s[i] != '<') {
      if (s[i] == '&' && !entity_ok(i)) return fail("a raw '&'");
      if (open.empty() && !std::isspace(static_cast<unsigned char>(s[i])))
        return fail("text outside the root");
      ++i;
      continue;
    }
    ++i;
    if (i < s.size() && s[i] == '/') {
      ++i;
      const std::string n = name();
      if (open.empty() || open.back() != n) return fail("</" + n + "> closes nothing open");
      open.pop_back();
      if (!eat_char(s, i, '>')) return fail("an unended closing tag");
      continue;
    }
    const std::string n = name();
    if (n.empty()) return fail("a '<' that starts no tag");
    if (open.empty()) ++roots;
    for (;;) {
      blanks();
      if (i >= s.size()) return fail("an unended tag");
      if (s[i] == '>') {
        ++i;
        open.push_back(n);
        break;
      }
      if (s.substr(i, 2) == "/>") {
        i += 2;
        break;
      }
      if (name().empty() || !eat_char(s, i, '=') || !eat_char(s, i, '"'))
        return fail("an attribute of <" + n + "> without a quoted value");
      while (i < s.size() && s[i] != '"') {
        if (s[i] == '<') return fail("a '<' in an attribute");
        if (s[i] == '&' && !entity_ok(i)) return fail("a raw '&' in an attribute");
        ++i;
      }
      if (!eat_char(s, i, '"')) return fail("an unended attribute");
    }
  }
  if (!open.empty()) return fail("<" + open.back() + "> is never closed");
  if (roots != 1) return fail(std::to_string(roots) + " root elements");
  return true;
}

// Reads the package a compile left on its memory disk.
model::package read_back(test_support::built_package& c) {
  model::package p;
  model::package_error error;
  EXPECT_TRUE(model::read_package(c.disk, test_support::test_directory,
                                  test_support::test_identity(), &p, &error))
      << error.message;
  return p;
}

struct built_in {
  test_support::memory_disk disk;
  model::package p;
  built_in() {
    std::ostringstream out, err;
    run::run_generator(disk, test_support::test_directory, out, err);
    model::package_error error;
    EXPECT_TRUE(model::read_package(disk, test_support::test_directory,
                                    test_support::test_identity(), &p, &error))
        << error.message;
  }
};

// A scenario with a restriction, markers and a station whose name needs
// escaping in JSON and XML.
std::unique_ptr<test_support::built_package> restriction_scenario() {
  return test_support::build_package_from(
      test_support::line_description(9000,
                                     "pendenza,  0,  3\n"
                                     "curvad4,  1000,  500\n"
                                     "montagna,  2500,  3100,  12\n"
                                     "cartello_indicatore,  2600,   (1\xB0 VIADOTTO)(A & B <C>)\n"),
      test_support::train_document(
          "velocita,  0,  60\n"
          "stazione,  500, 12,  400,  1, 0, 0,  3,1,0,  2,0,1,   30,   9, 5, 0, "
          "SANT'ANNA & \"DUE\"\n"
          "segnale,  3300,  2, 4, 1, 0, 0, 1, 2, 0, 0, 125\n"
          "rallentamento,  5000, 60, 1000, 2, 1, 5\n"
          "abbattimento,  7000,  80\n"
          "abbattimento,  7500,  0\n"));
}

bool has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(InspectReport, TheBuiltInScenarioAsText) {
  built_in b;
  std::ostringstream out;
  write_inspection_text(out, b.p);
  const std::string text = out.str();
  for (const char* line : {
           "  route length        89500 m (grid cells 0 .. 1930, plan metres 0 .. 96500)\n",
           "  braked mass         118 %\n",
           "  signal repetition   79000 m to 88900 m, 4 codes\n",
           "  clock               09:02:30\n",
           "  stamps              610 in entry 85, 5121 in cell 1 (as expected)\n",
           "  check codes         33468 in entry 85, 2382 in cell 1 (match the names)\n",
           "     81      41450        88600     1\n",
           "Stations (18)\n",
           "      1  BORVASCO         12        50     -150 ..    250  09:05:00     1   0   0   3  "
           " 1 "
           "  0   2   0   1  30\n",
           "Board texts (55)\n",
           "     60    670    33450  \"(1\u00B0 VIADOTTO)(ARSINO)(M 180)\"\n",
           "     38     1850  signal                     sx 1  dx 0  s 2/0/0  d 0/0/0  rapp 0  "
           "time "
           "0\n",
           "     14      650  speed board                s 60/70/75 km/h  d 30/30/30 km/h  stripes "
           "0/1\n",
           "    212    10650  station                    entry 3  name \"SAN DALMIO\"\n",
           "     36     1750  -                      31\n",
           "      33500 ..   35700 m    -10 per mille\n",
           "      96400 ..   96550 m      - (not set)\n",
           "      31300 ..   31850 m  type 2\n",
           "       3700 ..   19900 m     90 km/h\n",
           "  values              96499 metres, 0 .. 96498\n",
       })
    EXPECT_TRUE(has(text, line)) << line;
  EXPECT_FALSE(has(text, "\n\n\n"));
  for (size_t at = text.find(" \n"); at != std::string::npos; at = text.find(" \n", at + 1))
    ADD_FAILURE() << "trailing blank: " << text.substr(text.rfind('\n', at) + 1, 80);
}

TEST(InspectReport, RestrictionsMarkersAndMismatchedCodes) {
  auto c = restriction_scenario();
  ASSERT_EQ(c->code(), 0);
  model::package p = read_back(*c);
  p.grid[1].w4 = 7;
  p.table[model::entry_line].w24 = 0;
  std::ostringstream out;
  write_inspection_text(out, p);
  const std::string text = out.str();
  for (const char* line : {
           "     77     3800  restriction warning        speed 60 km/h  d_v 5\n",
           "     76     3800  countdown                  count 1  d_v 1\n",
           "    101     5000  restriction start          speed 60 km/h  d_v 5  f_tt 2\n",
           "    121     6000  restriction end            speed 60 km/h  d_v 5  f_tt 2\n",
           "    140     7000  approach marker            value 80\n",
           "    150     7500  plain marker\n",
           "     66     3300  approach marker            value 180\n",
           "     96     4800  approach marker            value 180\n",
           "     57     2850  mountain marker\n",
           "  stamps              0 in entry 85, 5121 in cell 1 (expected 610 and 5121)\n",
           "in cell 1 (the names give 33468 and 2382)\n",
           "\"SANT'ANNA & \"DUE\"\"",
       })
    EXPECT_TRUE(has(text, line)) << line << text;
}

TEST(InspectReport, TheJsonDocumentParsesAndEscapesItsTexts) {
  EXPECT_TRUE(valid_json("{\"a\": [1, -2.5e+3, true, null, \"x\\u0001\"]}"));
  for (const char* bad : {"{\"a\": 1", "[1,]", "\"raw\x01\"", "{\"a\" 1}", "[1] 2", "\"\\q\""})
    EXPECT_FALSE(valid_json(bad)) << bad;

  built_in b;
  const std::string json = inspection_json(b.p);
  EXPECT_TRUE(valid_json(json));
  for (const char* part :
       {"\"route_length_m\": 89500", "\"match\": true", "\"name\": \"SAN DALMIO\"",
        "\"time\": \"09:05:00\"", "\"text\": \"(1\u00B0 VIADOTTO)(ARSINO)(M 180)\"",
        "\"object\": \"speed board\"", "\"s_kmh\": [60, 70, 75]", "\"per_mille\": -10",
        "\"per_mille\": null"})
    EXPECT_TRUE(has(json, part)) << part;

  auto c = restriction_scenario();
  model::package p = read_back(*c);
  p.table[80].text = "tab\there \\ \x01 end";
  const std::string escaped = inspection_json(p);
  EXPECT_TRUE(valid_json(escaped)) << escaped;
  EXPECT_TRUE(has(escaped, "\"name\": \"SANT'ANNA & \\\"DUE\\\"\""));
  EXPECT_TRUE(has(escaped, "\"text\": \"tab\\there \\\\ \\u0001 end\""));
  EXPECT_EQ(json_string("\x1F\"\r\n"), "\"\\u001f\\\"\\r\\n\"");
}

TEST(SvgDrawing, IsOneWellFormedSelfContainedDocument) {
  std::string why;
  EXPECT_TRUE(well_formed_xml("<svg><g a=\"1\"/><text>A &amp; B</text></svg>", &why)) << why;
  for (const char* bad : {"<svg><g></svg>", "<svg>A & B</svg>", "<svg a=1/>", "<svg/><svg/>",
                          "<svg a=\"<\"/>", "<svg>"})
    EXPECT_FALSE(well_formed_xml(bad, &why)) << bad;

  built_in b;
  auto c = restriction_scenario();
  model::package tricky = read_back(*c);
  tricky.table[80].text = "(A & B)(<C> \x01 \"D\")";
  model::package empty_plan = tricky;
  for (auto* row : {&empty_plan.plan.row0, &empty_plan.plan.row1})
    for (model::plan_element& e : *row) e.tag = model::plan_tag_empty;

  for (const model::package* p : {&b.p, &tricky, &empty_plan}) {
    const std::string svg = draw_package(*p);
    EXPECT_TRUE(well_formed_xml(svg, &why)) << why;
    EXPECT_TRUE(has(svg, "viewBox=\"0 0 "));
    EXPECT_EQ(svg.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg ", 0), 0u);
    for (const char* never : {"href", "<script", "url(", "<image", "@import"})
      EXPECT_FALSE(has(svg, never)) << never;
  }
  const std::string svg = draw_package(b.p);
  for (const char* part :
       {">Borvasco_Lestrano \u2014 train 40817</text>", ">SAN DALMIO</text>",
        ">LESTRANO 10:49</text>", ">Gradient (per mille)</text>", ">Speed limit (km/h)</text>",
        ">signal, sx 2</text>", "mountain type 2, 31300 .. 31850 m"})
    EXPECT_TRUE(has(svg, part)) << part;
  const std::string escaped = draw_package(tricky);
  EXPECT_TRUE(has(escaped, "A &amp; B \u00B7 &lt;C&gt; ? &quot;D&quot;"));
  EXPECT_TRUE(has(escaped, "SANT&apos;ANNA &amp; &quot;DUE&quot;"));
  EXPECT_TRUE(has(draw_package(empty_plan), "the plan holds no trace"));
}

// A plan valued at the given metres only, one (east, north) point each.
model::plan_rows plan_of(size_t metres,
                         const std::vector<std::pair<size_t, std::pair<double, double>>>& points) {
  model::plan_rows plan;
  plan.row0.assign(metres, {});
  plan.row1.assign(metres, {});
  for (const auto& [m, point] : points) {
    plan.row0[m] = {model::plan_tag_double, point.first};
    plan.row1[m] = {model::plan_tag_double, point.second};
  }
  return plan;
}

// The longest run of digits in `text`: a number printed with "%f" from a
// huge value runs to hundreds.
size_t longest_digit_run(const std::string& text) {
  size_t longest = 0, run = 0;
  for (char c : text) {
    run = std::isdigit(static_cast<unsigned char>(c)) ? run + 1 : 0;
    longest = std::max(longest, run);
  }
  return longest;
}

// Values no compiler writes but a damaged or hostile package holds: they
// print as what they are, in short, and never reach the drawing.
TEST(InspectReport, PlanValuesThatAreNotFiniteOrHugePrintAsSuch) {
  built_in b;
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct {
    const char* what;
    std::vector<std::pair<size_t, std::pair<double, double>>> points;
    std::vector<std::string> text_parts, json_parts;
  } cases[] = {
      {"a huge value",
       {{0, {0, 0}}, {1, {1, 0}}, {2, {-1.5e154, 0}}, {3, {2, 0}}},
       {"  east (row 0)        -1.5e+154 .. 2.0 m\n", "  length              3e+154 m along"},
       {"\"east_min_m\": -1.5e+154", "\"not_finite_metres\": 0"}},
      {"steps whose products overflow",
       {{0, {0, 0}}, {1, {1e200, 1e200}}, {2, {0, 2e200}}},
       {"  turning             net -90.0 degrees (clockwise positive), total 90.0 degrees\n"},
       {"\"net_turning_deg\": -90"}},
      {"a NaN and infinities among finite values",
       {{0, {0, 0}}, {1, {nan, 0}}, {2, {1, 0}}, {3, {inf, -inf}}, {4, {2, 0}}},
       {"  values              5 metres, 0 .. 4\n",
        "  not finite          2 metres, the first at 1 (left out below)\n",
        "  east (row 0)        0.0 .. 2.0 m\n", "  length              2.0 m along the trace\n"},
       {"\"not_finite_metres\": 2", "\"first_not_finite_metre\": 1", "\"east_max_m\": 2,"}},
      {"nothing finite",
       {{0, {nan, 0}}, {5, {0, inf}}},
       {"  not finite          2 metres, the first at 0 (left out below)\n"},
       {"\"east_min_m\": null", "\"length_m\": 0"}},
      {"a step longer than a double holds",
       {{0, {-1e308, 0}}, {1, {1e308, 0}}, {2, {1e308, 1e308}}},
       {"  east (row 0)        -1e+308 .. 1e+308 m\n", "  length              inf m along"},
       {"\"length_m\": null", "\"east_max_m\": 1e+308"}},
  };
  for (const auto& c : cases) {
    model::package p = b.p;
    p.plan = plan_of(p.plan.row0.size(), c.points);
    std::ostringstream out;
    write_inspection_text(out, p);
    const std::string text = out.str();
    for (const std::string& part : c.text_parts) EXPECT_TRUE(has(text, part)) << c.what << part;
    EXPECT_FALSE(has(text, "nan")) << c.what;
    EXPECT_LT(longest_digit_run(text), 20u) << c.what;

    const std::string json = inspection_json(p);
    EXPECT_TRUE(valid_json(json)) << c.what;
    for (const std::string& part : c.json_parts) EXPECT_TRUE(has(json, part)) << c.what << part;

    const std::string svg = draw_package(p);
    std::string why;
    EXPECT_TRUE(well_formed_xml(svg, &why)) << c.what << why;
    for (const char* never : {"nan", "inf", "e+"}) EXPECT_FALSE(has(svg, never)) << c.what << never;
    EXPECT_LT(longest_digit_run(svg), 12u) << c.what;
  }
}

// A long plan valued at a few metres only: each sample of the trace finds
// its point without walking the plan back, and points found twice are drawn
// once.
TEST(SvgDrawing, ASparsePlanIsDrawnFromTheFewPointsItHolds) {
  built_in b;
  model::package p = b.p;
  const size_t metres = 1000001;
  p.plan = plan_of(metres, {{0, {0, 0}}, {1, {0, 1}}, {metres - 1, {500, 800}}});
  const std::string svg = draw_package(p);
  std::string why;
  EXPECT_TRUE(well_formed_xml(svg, &why)) << why;
  const size_t trace = svg.find("stroke=\"#1f4e79\" stroke-width=\"3\"");
  ASSERT_NE(trace, std::string::npos);
  const std::string route =
      svg.substr(svg.rfind("<path d=\"", trace), trace - svg.rfind("<path d=\"", trace));
  EXPECT_LE(std::count(route.begin(), route.end(), 'L'), 2) << route;
  const plan_geometry g = measure_plan(p.plan);
  EXPECT_EQ(g.valued, 3);
  EXPECT_EQ(g.last_valued, 1000000);
}

TEST(InspectReport, ControlCharactersInTextsAreShownEscaped) {
  built_in b;
  model::package p = b.p;
  p.identity.line_name = "Line\x1b[2J";
  p.directory = "/dir\a";
  p.table[model::entry_line].text = std::string(
      "A\x1b]0;t\aB\0C\x7f"
      "D",
      12);
  const int station = station_entries(p).front();
  p.table[static_cast<size_t>(station)].text = "\x1b[31mRED";

  std::ostringstream out;
  write_inspection_text(out, p);
  const std::string text = out.str();
  for (char c : text) {
    const unsigned char u = static_cast<unsigned char>(c);
    EXPECT_TRUE(u >= 0x20 ? u != 0x7F : c == '\n') << "raw byte " << int{u};
  }
  for (const char* part : {"Line\\x1b[2J, train 40817 (/dir\\x07)\n",
                           "\"A\\x1b]0;t\\x07B\\x00C\\x7fD\" (entry 85)", "\\x1b[31mRED  "})
    EXPECT_TRUE(has(text, part)) << part;

  // Bytes that are not UTF-8 (a lone 0x9B is a terminal's CSI) and C1
  // controls, from names given on the command line.
  EXPECT_EQ(runtime::printable("\x9b"
                               "31m \xc2\x9b \xc3\xa9 \xe2\x80\x94 \xed\xa0\x80"),
            "\\x9b31m \\u009b \xc3\xa9 \xe2\x80\x94 \\xed\\xa0\\x80");
  EXPECT_EQ(json_string("\x7f \xc2\x85 \xff \xc3\xa9"), "\"\\u007f \\u0085 \\ufffd \xc3\xa9\"");
  const std::string json = inspection_json(p);
  EXPECT_TRUE(valid_json(json));
  EXPECT_TRUE(has(json, "\"line_name\": \"A\\u001b]0;t\\u0007B\\u0000C\\u007fD\""));
}

// The commands on a memory disk holding the built-in package.
struct command_run {
  std::ostringstream out, err;
  int status = -1;

  void run(runtime::disk& d, std::vector<std::string> args) {
    args.insert(args.begin(), "scenario-tool");
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    out.str("");
    err.str("");
    const std::string command = args[1];
    const int argc = static_cast<int>(argv.size());
    status = command == "inspect" ? inspect_command(argc, argv.data(), d, out, err)
             : command == "view"  ? view_command(argc, argv.data(), d, out, err)
                                  : render_command(argc, argv.data(), d, out, err);
  }
};

TEST(PackageCommands, ExitStatusesAndMessages) {
  built_in b;
  for (const char* name : {"_linea.dat", "_40817.dat"})
    b.disk.files[std::string("/other/Borvasco_Lestrano") + name] =
        b.disk.files[std::string(test_support::test_directory) + "/Borvasco_Lestrano" + name];
  b.disk.files["/other/Borvasco_Lestrano_40817.sim"] = "short";
  const std::string dir = test_support::test_directory;
  struct {
    std::vector<std::string> args;
    int status;
    std::string out_part;
    std::string err_part;
  } cases[] = {
      {{"inspect", dir}, 0, "Stations (18)", ""},
      {{"inspect", dir, "--json"}, 0, "\"route_length_m\": 89500", ""},
      {{"inspect", "--help"}, 0, "usage: scenario-tool inspect DIR", ""},
      {{"render", "-h"}, 0, "usage: scenario-tool render DIR -o FILE.svg", ""},
      {{"view", "-h"}, 0, "usage: scenario-tool view DIR -o FILE.html", ""},
      {{"view", dir}, 2, "", "no output file given (-o FILE.html)"},
      {{"view", dir, "-o", "/v.html", "--line", "/l.txt"}, 2, "", "--line and --train go together"},
      {{"view", dir, "-o", "/v.html", "--line", "/l.txt", "--train", "/t.txt"},
       5,
       "",
       "cannot read /l.txt"},
      {{"view", "/other", "-o", "/v.html"}, 6, "", "entry 0 starts at byte 0"},
      {{"inspect"}, 2, "", "no package directory given"},
      {{"inspect", dir, dir}, 2, "", "more than one directory"},
      {{"inspect", dir, "--csv"}, 2, "", "unknown option --csv"},
      {{"inspect", dir, "--line-name"}, 2, "", "option --line-name needs a value"},
      {{"render", dir}, 2, "", "no output file given (-o FILE.svg)"},
      {{"render", "-o", "/out.svg"}, 2, "", "no package directory given"},
      {{"inspect", dir, "--train-number", "4/0"}, 2, "", "must be file names"},
      {{"inspect", ""}, 2, "", "an empty argument"},
      {{"inspect", dir, "--train-number", "\x01"}, 2, "", "must be file names"},
      {{"inspect", dir, "--line-name", "A\x1b[2J"}, 2, "", "must be file names"},
      {{"inspect", dir, "--line-name", ""}, 2, "", "option --line-name has an empty value"},
      {{"inspect", dir, "--line-name", "A", "--line-name", "B"},
       2,
       "",
       "option --line-name is given twice"},
      {{"render", dir, "-o", "/a.svg", "--output", "/b.svg"}, 2, "", "name the same file"},
      {{"inspect", dir, "--train-number", "99"},
       5,
       "",
       "/scenario holds no scenario package of that line and train"},
      {{"inspect", dir, "--line-name", "Borvasco_Lestrano", "--train-number", "99"},
       5,
       "",
       "cannot read " + model::path_in(test_support::test_directory, "Borvasco_Lestrano_99.sim") +
           ": No such file or directory"},
      {{"render", "/nowhere", "-o", "/out.svg"}, 5, "", "/nowhere: No such file or directory"},
      {{"inspect", "/other"},
       6,
       "",
       "scenario-tool: Borvasco_Lestrano_40817.sim: entry 0 starts at byte 0 but the file ends "
       "after 5 bytes of its 16-byte head\n"},
  };
  for (const auto& k : cases) {
    command_run r;
    r.run(b.disk, k.args);
    EXPECT_EQ(r.status, k.status) << k.args.back() << r.err.str();
    EXPECT_TRUE(has(r.out.str(), k.out_part)) << k.args.back() << r.out.str();
    EXPECT_TRUE(has(r.err.str(), k.err_part)) << k.args.back() << r.err.str();
    if (k.status == 0) {
      EXPECT_EQ(r.err.str(), "");
    }
  }
}

TEST(PackageCommands, RenderReplacesTheFileWholeOrLeavesItAlone) {
  built_in b;
  b.disk.files["/out.svg"] = "old drawing";
  command_run r;
  r.run(b.disk, {"render", test_support::test_directory, "-o", "/out.svg"});
  ASSERT_EQ(r.status, 0) << r.err.str();
  EXPECT_EQ(b.disk.files["/out.svg"], draw_package(b.p));
  const std::string temporary = runtime::temporary_name("/out.svg");
  EXPECT_FALSE(b.disk.exists(temporary));

  b.disk.files["/out.svg"] = "old drawing";
  const auto before = b.disk.files;
  for (const char* op : {"create", "write", "close", "rename"}) {
    test_support::memory_disk d = b.disk;
    d.failures.push_back(
        {op, op == std::string("rename") ? "/out.svg" : temporary, "Input/output error"});
    r.run(d, {"render", test_support::test_directory, "--output", "/out.svg"});
    EXPECT_EQ(r.status, 5) << op;
    EXPECT_EQ(r.err.str(), "scenario-tool: cannot write /out.svg: Input/output error\n") << op;
    EXPECT_EQ(d.files, before) << op;
  }
}

}  // namespace

namespace {

// A package whose replacement a killed run left unfinished may be a mix of
// old and new files: inspect and render refuse it, naming the journal, and
// change nothing.
TEST(PackageCommands, AnInterruptedReplacementIsNotDecoded) {
  built_in b;
  b.disk.files[runtime::journal_path(test_support::test_directory)] = "garbage";
  const auto before = b.disk.files;
  for (std::vector<std::string> args :
       {std::vector<std::string>{"inspect", test_support::test_directory},
        std::vector<std::string>{"render", test_support::test_directory, "-o", "/out.svg"}}) {
    command_run r;
    r.run(b.disk, args);
    EXPECT_EQ(r.status, 5) << args[0];
    EXPECT_NE(r.err.str().find(runtime::journal_path(test_support::test_directory)),
              std::string::npos)
        << r.err.str();
    EXPECT_EQ(r.out.str(), "") << args[0];
    EXPECT_TRUE(b.disk.files == before) << args[0];
  }
}

}  // namespace

}  // namespace tool
