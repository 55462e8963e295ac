#pragma once
// Two stages of work that overlap: a producer fills blocks of memory on a
// thread of its own while the calling thread consumes the blocks already
// filled, in order (writes them through the disk, for instance). The time
// taken approaches the larger of the two stages rather than their sum.
//
// The consumer runs on the calling thread, so whatever it does to the disk
// happens in the same order and on the same thread as without the overlap,
// and an exception it throws reaches the caller once the producer has
// stopped. The producer must only compute: it shares nothing with the
// consumer but the blocks.

#include <cstddef>
#include <functional>

namespace runtime {

struct block_stages {
  // Fills `block` and returns a count for the consumer, 0 when there is
  // nothing more to produce (the block then goes unused).
  std::function<size_t(char* block)> produce;
  // Takes a filled block and its count; false stops both stages.
  std::function<bool(const char* block, size_t count)> consume;
};

// Runs the two stages over `blocks` blocks of `block_bytes` each, the
// producer at most `blocks` ahead of the consumer. With fewer than two
// blocks, or when the system cannot start a thread, the stages take turns
// on the calling thread. False when the consumer stopped the run. An
// exception of either stage is passed on to the caller.
bool run_overlapped(const block_stages& stages, size_t block_bytes, size_t blocks);

}  // namespace runtime
