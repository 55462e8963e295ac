#pragma once
// scenario-tool compile: compiles any pair of source documents with the
// generator's own compiler, leaving the author's files untouched.

#include <iosfwd>

int compile_command(int argc, char** argv, std::ostream& out, std::ostream& err);
// scenario-tool documents: writes the five built-in documents.
int documents_command(int argc, char** argv, std::ostream& out, std::ostream& err);
