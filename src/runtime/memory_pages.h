#pragma once
// Fresh memory that is about to be written whole.

#include <cstddef>

namespace runtime {

// Asks the system to give the pages wholly inside `bytes` bytes at `block`
// their memory now, in one call, rather than one fault at a time as each is
// first written; the bytes are left as they are. Only a hint: where the
// system has no such call (Windows, a Linux before 5.14), or refuses, the
// pages come as before. A block of a megabyte is 256 faults, which on some
// virtual machines cost more than writing the block.
void populate_pages(char* block, size_t bytes);

}  // namespace runtime
