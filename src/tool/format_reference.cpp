#include "tool/format_reference.h"

#include <cctype>
#include <ostream>

#include "runtime/windows1252.h"
#include "tool/svg_drawing.h"

namespace tool {

namespace {

// ---- Words shared by the manual page and the HTML page.

struct prose_section {
  const char* title;
  std::vector<const char*> paragraphs;
};

const std::vector<prose_section>& general_sections() {
  static const std::vector<prose_section> sections = {
      {"The two documents",
       {"A scenario is written as two text documents: the line description, NAME_linea.txt, "
        "which lays out the route metre by metre (its length, kilometre numbering, curves, "
        "gradients, mountain stretches and line-side boards), and the train document, "
        "NAME_NUMBER-.txt, which gives the train's values and places the speed limits, "
        "stations, signals and speed restrictions along the same route. scenario-tool compile "
        "turns the pair into the three files the simulator loads: NAME_linea.dat (the plan of "
        "the line), NAME_NUMBER.sim (the scenario table) and NAME_NUMBER.dat (the track grid).",
        "Both documents are Windows-1252 text (an accented letter is one byte; a document "
        "saved as UTF-8 holds two for it, and the compile reads both), with CR LF or LF at the end "
        "of each line. Each line holds one record: a keyword field, then the record's fields, "
        "all separated by commas."}},
      {"Fields",
       {"Blanks before a field are skipped. A number is a whole number, with a leading minus "
        "sign when negative: no decimal point, no decimal comma (\"12,5\" is two fields, 12 and "
        "5) and no thousands separator. An empty number field (two commas with only blanks "
        "between them) reads as 0. A text field runs to the next comma or the end of the line; "
        "one that begins with a double quote runs to the closing quote.",
        "Fields are separated by commas, not by tabs or blanks alone: \"pendenza 700 4\" is one "
        "keyword field. The compile reads fields one after another, not lines: a record with "
        "too few fields on its line takes the missing ones from the next line, which then goes "
        "wrong. scenario-tool check warns of both."}},
      {"Keywords and sections",
       {"A record is recognised when its keyword field contains the record's keyword anywhere, "
        "mostly without regard to case (the entries below say how each keyword is matched). A "
        "keyword field that matches no record is skipped without a word by the compile; "
        "scenario-tool check reports it, with the keyword it probably meant.",
        "Each document begins with \"[generale]\". In the line description, the general header "
        "follows it, up to the next section header (any field holding \"[\" and \"]\"); then the "
        "records, in any order, under any section headers. In the train document every record "
        "after \"[generale]\" is read. The built-in documents group records under section "
        "headers such as \"[curve]\" or \"[segnali]\" and end with \"[fine]\"; these headers "
        "are for people, except \"[generale]\". Keep \"[fine]\" as the last line: the compile "
        "never looks at the very last field of a document."}},
      {"Positions",
       {"Every position is in metres from the route's start. The route is cut into cells of "
        "50 m, the track grid: a point object (a signal, a board, a station) takes the cell of "
        "its position, and most objects need a cell of their own, so two of them cannot stand "
        "within the same 50 m. A stretch (a gradient, a mountain, a speed limit, an adhesion "
        "value) begins in the cell of its start and holds up to the next one. Write positions "
        "as multiples of 50; stations and the kilometric ranges must be.",
        "The grid runs 7000 m past the route's end (for a route of L metres it has "
        "round((L + 7000) / 50) + 1 cells). A record whose position lies beyond the last cell "
        "(precisely: (position + 100) / 50 greater than the last cell's number; for a station "
        "position + 800) ends the reading of its document with error 15."}},
      {"Kilometres",
       {"The line's own kilometres, shown on boards, in the train sheet and in scenario-tool's "
        "drawings, count down along the route in up to three kilometric ranges of the general "
        "header. A range starts at a route metre and has a reference: inside it, the line "
        "kilometre of route metre p is the reference minus p, written as kilometres + metres "
        "(89 750 - 2 000 = 87 750 m is km 87+750). The range that starts last along the route "
        "holds from its start on."}},
      {"Faults",
       {"The compile stops at the first fault it finds and reports its number (see "
        "scenario-tool(1)); scenario-tool check reports every record the compile would refuse "
        "and warns of what it accepts without a word. Each message names the file, line and "
        "column of the record."}},
  };
  return sections;
}

// The small route of the README's "Your first route" (a test holds the two
// to each other), which compiles without a message.
constexpr const char* example_line =
    "[generale]\n"
    "lunghezza percorso,    12000\n"
    "progressiva chilometrica uno,    0,    12500,    1\n"
    "progressiva chilometrica due,    0,    0,    0\n"
    "progressiva chilometrica tre,    0,    0,    0\n"
    "sfondo uno,    1\n"
    "sfondo due,    0\n"
    "sfondo tre,    0\n"
    "ripetizione segnali 4 codici,    0,    0\n"
    "[curve]\n"
    "curvad2,  2000,  400\n"
    "curvas3,  6000,  300\n"
    "[pendenze]\n"
    "pendenza,   0,    0\n"
    "pendenza,  1500,   5\n"
    "pendenza,  7000,   -3\n"
    "[cartelli]\n"
    "cartello_indicatore,  5950, (CASTAGNETO)\n"
    "[fine]\n";

constexpr const char* example_train =
    "[generale]\n"
    "numero vetture,    4\n"
    "percentuale massa frenata,    110\n"
    "sabbia,    1\n"
    "orologio,    7   30   0\n"
    "[aderenze]\n"
    "aderenza,   0,    8\n"
    "[vel_limite]\n"
    "velocita,       0,    60\n"
    "velocita,    1000,    100\n"
    "velocita,   11000,    60\n"
    "[stazioni]\n"
    "stazione,      50, 12,  400,  1, 0, 0,  3,1,0,  2,0,1,   30,   7,30, 0, VALMORA\n"
    "stazione,   11500,  6,  400,  1, 0, 0,  2,1,0,  2,1,0,    1,   7,41, 0, CASTELPINO\n"
    "[segnali]\n"
    "segnale,    1850,   1, 2, 0,  0, 0,    0,  0,0,0, 0\n"
    "segnale,    9950,   1, 3, 0,  0, 0,    1,  0,0,0, 0\n"
    "segnale,   11150,   2, 4, 2,  1, 0,    2,  3,1,0, 0\n"
    "[fine]\n";

// The written form of a record: its keyword and its fields' names.
std::string form_of_record(const reference_record& r) {
  std::string s = r.keyword;
  for (const reference_field& f : r.fields) s += ", " + f.name;
  return s;
}

// ---- Manual page.

// Text for roff: a backslash and a leading dot or quote must not be read as
// requests; a minus sign is a minus.
std::string roff(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\\')
      out += "\\e";
    else if (c == '-')
      out += "\\-";
    else if ((c == '.' || c == '\'') && (i == 0 || text[i - 1] == '\n'))
      out += std::string("\\&") + c;
    else
      out += c;
  }
  return out;
}

void man_example(std::ostream& out, const char* title, const char* text) {
  out << ".PP\n" << roff(title) << "\n.PP\n.nf\n.RS\n" << roff(text) << ".RE\n.fi\n";
}

void man_record(std::ostream& out, const reference_record& r) {
  out << ".SS " << roff(r.keyword) << "\n"
      << roff(r.summary) << ". " << roff(r.meaning) << "\n"
      << ".PP\nWritten\n.RS\n.B " << roff(form_of_record(r)) << "\n.RE\n"
      << ".PP\nRecognised when " << roff(r.matching) << "; in the " << roff(r.document)
      << (r.section.empty() ? "" : ", under ") << roff(r.section) << ".\n";
  std::vector<reference_field> all = r.keyword_parts;
  all.insert(all.end(), r.fields.begin(), r.fields.end());
  for (const reference_field& f : all) {
    out << ".TP\n.B " << roff(f.name) << "\n";
    std::string text = f.meaning;
    if (!f.unit.empty()) text = "(" + f.unit + ") " + text;
    out << roff(text) << "\n";
    if (!f.storage.empty()) out << ".br\nRead as " << roff(f.storage) << ".\n";
    if (!f.range.empty()) out << ".br\nAccepted: " << roff(f.range) << "\n";
    if (!f.codes.empty()) {
      out << ".RS\n";
      for (const reference_code& c : f.codes)
        out << ".TP 6\n.B " << roff(c.value) << "\n" << roff(c.meaning) << "\n";
      out << ".RE\n";
    }
  }
}

// ---- HTML page.

std::string html(std::string_view text) {
  return markup_text(text);
}

std::string anchor(std::string_view keyword) {
  std::string a = "record-";
  for (const char c : keyword) a += (c == ' ' || c == '_') ? '-' : c;
  return a;
}

void html_record(std::ostream& out, const reference_record& r) {
  out << "<section id=\"" << anchor(r.keyword) << "\">\n<h3><code>" << html(r.keyword)
      << "</code> &mdash; " << html(r.summary) << "</h3>\n<p>" << html(r.meaning) << "</p>\n"
      << "<pre>" << html(form_of_record(r)) << "</pre>\n"
      << "<p class=\"where\">Recognised when " << html(r.matching) << "; in the "
      << html(r.document) << (r.section.empty() ? "" : ", under ") << html(r.section) << ".</p>\n";
  if (!r.fields.empty() || !r.keyword_parts.empty()) {
    out << "<table>\n<tr><th>#</th><th>field</th><th>unit</th><th>accepted</th>"
           "<th>meaning</th></tr>\n";
    int n = 1;
    std::vector<reference_field> all = r.keyword_parts;
    all.insert(all.end(), r.fields.begin(), r.fields.end());
    for (const reference_field& f : all) {
      const bool in_keyword = &f - all.data() < static_cast<std::ptrdiff_t>(r.keyword_parts.size());
      out << "<tr><td>" << (in_keyword ? std::string("kw") : std::to_string(n++))
          << "</td><td><code>" << html(f.name) << "</code></td><td>" << html(f.unit) << "</td><td>"
          << html(f.range)
          << (f.storage.empty() ? "" : "<br><small>read as " + html(f.storage) + "</small>")
          << "</td><td>" << html(f.meaning);
      if (!f.codes.empty()) {
        out << "<dl>";
        for (const reference_code& c : f.codes)
          out << "<dt>" << html(c.value) << "</dt><dd>" << html(c.meaning) << "</dd>";
        out << "</dl>";
      }
      out << "</td></tr>\n";
    }
    out << "</table>\n";
  }
  out << "</section>\n";
}

constexpr const char* html_style =
    "body{font-family:system-ui,sans-serif;max-width:60em;margin:2em auto;padding:0 1em;"
    "line-height:1.45;color:#1d1d1f;background:#fff}"
    "code,pre{font-family:ui-monospace,Consolas,monospace}"
    "pre{background:#f4f4f6;padding:.6em .8em;overflow-x:auto}"
    "table{border-collapse:collapse;width:100%;margin:.5em 0 1.5em}"
    "th,td{border:1px solid #ccc;padding:.3em .5em;text-align:left;vertical-align:top}"
    "th{background:#eef}dl{margin:.3em 0}dt{font-weight:bold;float:left;clear:left;"
    "width:3em}dd{margin-left:3.5em}.where{color:#555}"
    "nav a{margin-right:.8em;white-space:nowrap}"
    "@media (prefers-color-scheme:dark){body{background:#18181b;color:#e4e4e7}"
    "pre{background:#27272a}th{background:#2e2e48}th,td{border-color:#444}"
    ".where{color:#aaa}a{color:#8ab4f8}}";

}  // namespace

std::string_view example_line_description() {
  return example_line;
}
std::string_view example_train_document() {
  return example_train;
}

std::vector<reference_record> records_for_topic(std::string_view topic) {
  const std::string wanted = runtime::lower_text(topic);
  std::vector<reference_record> exact, partial;
  for (reference_record& r : reference_records()) {
    const std::string keyword = runtime::lower_text(r.keyword);
    if (keyword == wanted)
      exact.push_back(std::move(r));
    else if (!wanted.empty() && keyword.find(wanted) != std::string::npos)
      partial.push_back(std::move(r));
  }
  return exact.empty() ? partial : exact;
}

void write_record_help(std::ostream& out, const reference_record& r) {
  out << r.keyword << " - " << r.summary << "\n"
      << "  in the " << r.document << (r.section.empty() ? "" : ", under ") << r.section
      << "; recognised when " << r.matching << "\n\n"
      << "  " << r.meaning << "\n\n"
      << "  " << form_of_record(r) << "\n\n";
  for (const reference_field& f : r.keyword_parts) {
    out << "  in the keyword: " << f.name << "\n";
    for (const reference_code& c : f.codes)
      out << "       " << c.value << " = " << c.meaning << "\n";
  }
  int n = 1;
  for (const reference_field& f : r.fields) {
    out << "  " << n++ << ". " << f.name;
    if (!f.unit.empty()) out << " (" << f.unit << ")";
    out << ": " << f.meaning << "\n";
    if (!f.storage.empty()) out << "       read as " << f.storage << "\n";
    if (!f.range.empty()) out << "       accepted: " << f.range << "\n";
    for (const reference_code& c : f.codes)
      out << "       " << c.value << " = " << c.meaning << "\n";
  }
}

void write_reference_man(std::ostream& out) {
  out << ".TH SCENARIO-DOCUMENTS 5 \"December 2026\" \"scenario-tool 1.0\" "
         "\"File Formats\"\n"
         ".SH NAME\nscenario-documents \\- the line description and train document of a "
         "train-driving scenario\n"
         ".SH DESCRIPTION\n";
  for (const prose_section& s : general_sections()) {
    out << ".SS " << roff(s.title) << "\n";
    bool first = true;
    for (const char* p : s.paragraphs) {
      if (!first) out << ".PP\n";
      out << roff(p) << "\n";
      first = false;
    }
  }
  std::string document;
  for (const reference_record& r : reference_records()) {
    if (r.document != document) {
      document = r.document;
      std::string title = "RECORDS OF THE " + document;
      for (char& c : title) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      out << ".SH " << roff(title) << "\n";
    }
    man_record(out, r);
  }
  out << ".SH EXAMPLE\nA route of 12 km from Valmora to Castelpino, with two stations and "
         "three signals. The line description, Valmora_Castelpino_linea.txt:\n";
  man_example(out, "", example_line);
  man_example(out, "The train document, Valmora_Castelpino_2101-.txt:", example_train);
  out << ".PP\nChecked and compiled with\n.PP\n.nf\n.RS\n"
         "scenario\\-tool check \\-\\-line Valmora_Castelpino_linea.txt \\e\n"
         "    \\-\\-train Valmora_Castelpino_2101\\-.txt\n"
         "scenario\\-tool compile \\-\\-line Valmora_Castelpino_linea.txt \\e\n"
         "    \\-\\-train Valmora_Castelpino_2101\\-.txt \\-\\-out package\n"
         ".RE\n.fi\n"
         ".SH SEE ALSO\n.BR scenario-tool (1)\n";
}

void write_reference_html(std::ostream& out) {
  out << "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
         "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
         "<title>The scenario documents: format reference</title>\n<style>"
      << html_style << "</style>\n</head>\n<body>\n<h1>The scenario documents</h1>\n<nav>";
  const std::vector<reference_record> records = reference_records();
  for (const reference_record& r : records)
    out << "<a href=\"#" << anchor(r.keyword) << "\"><code>" << html(r.keyword) << "</code></a> ";
  out << "</nav>\n";
  for (const prose_section& s : general_sections()) {
    out << "<h2>" << html(s.title) << "</h2>\n";
    for (const char* p : s.paragraphs) out << "<p>" << html(p) << "</p>\n";
  }
  std::string document;
  for (const reference_record& r : records) {
    if (r.document != document) {
      document = r.document;
      out << "<h2>Records of the " << html(document) << "</h2>\n";
    }
    html_record(out, r);
  }
  out << "<h2>Example</h2>\n<p>A route of 12 km from Valmora to Castelpino, with two stations "
         "and three signals. The line description, <code>Valmora_Castelpino_linea.txt</code>:"
         "</p>\n<pre>"
      << html(example_line)
      << "</pre>\n<p>The train document, <code>Valmora_Castelpino_2101-.txt</code>:</p>\n<pre>"
      << html(example_train) << "</pre>\n</body>\n</html>\n";
}

}  // namespace tool
