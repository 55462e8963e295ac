#include "runtime/overlapped_stages.h"

#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "runtime/memory_pages.h"

namespace runtime {

namespace {

bool run_in_turns(const block_stages& stages, char* block) {
  for (;;) {
    const size_t count = stages.produce(block);
    if (count == 0) return true;
    if (!stages.consume(block, count)) return false;
  }
}

// A block for the producer. Every block is written whole, again and again,
// so its pages are taken at once.
std::unique_ptr<char[]> new_block(size_t bytes) {
  std::unique_ptr<char[]> block(new char[bytes]);
  populate_pages(block.get(), bytes);
  return block;
}

// The blocks and the counters that the two threads share, under one lock.
// Block i % blocks holds the i-th block produced; the producer fills block
// `produced` while fewer than `blocks` wait for the consumer.
struct shared_blocks {
  explicit shared_blocks(size_t block_bytes, size_t n) : counts(n) {
    for (size_t i = 0; i < n; ++i) memory.push_back(new_block(block_bytes));
  }
  char* block(size_t i) { return memory[i % memory.size()].get(); }

  std::vector<std::unique_ptr<char[]>> memory;
  std::vector<size_t> counts;
  std::mutex lock;
  std::condition_variable changed;
  size_t produced = 0;
  size_t consumed = 0;
  bool done = false;  // the producer has nothing more (or failed)
  bool stop = false;  // the consumer wants no more
  std::exception_ptr failure;
};

void produce_all(const block_stages& stages, shared_blocks& s) {
  try {
    for (;;) {
      size_t slot;
      {
        std::unique_lock<std::mutex> hold(s.lock);
        s.changed.wait(hold, [&] { return s.stop || s.produced - s.consumed < s.memory.size(); });
        if (s.stop) return;
        slot = s.produced;
      }
      // The slot is the producer's alone until it is counted as produced.
      const size_t count = stages.produce(s.block(slot));
      std::lock_guard<std::mutex> hold(s.lock);
      if (count == 0) {
        s.done = true;
      } else {
        s.counts[slot % s.memory.size()] = count;
        ++s.produced;
      }
      s.changed.notify_all();
      if (s.done) return;
    }
  } catch (...) {
    std::lock_guard<std::mutex> hold(s.lock);
    s.failure = std::current_exception();
    s.done = true;
    s.changed.notify_all();
  }
}

// Stops the producer and waits for it, however the consumer's loop is left.
struct producer_thread {
  shared_blocks& s;
  std::thread thread;
  ~producer_thread() {
    {
      std::lock_guard<std::mutex> hold(s.lock);
      s.stop = true;
    }
    s.changed.notify_all();
    thread.join();
  }
};

}  // namespace

bool run_overlapped(const block_stages& stages, size_t block_bytes, size_t blocks) {
  if (blocks < 2) {
    const std::unique_ptr<char[]> block = new_block(block_bytes);
    return run_in_turns(stages, block.get());
  }
  shared_blocks s(block_bytes, blocks);
  std::thread started;
  try {
    started = std::thread(produce_all, std::cref(stages), std::ref(s));
  } catch (const std::system_error&) {
    return run_in_turns(stages, s.block(0));
  }
  bool consumed_all = true;
  {
    producer_thread producer{s, std::move(started)};
    for (;;) {
      size_t slot;
      {
        std::unique_lock<std::mutex> hold(s.lock);
        s.changed.wait(hold, [&] { return s.produced > s.consumed || s.done; });
        if (s.produced == s.consumed) break;  // done, and every block consumed
        slot = s.consumed;
      }
      if (!stages.consume(s.block(slot), s.counts[slot % blocks])) {
        consumed_all = false;
        break;
      }
      {
        std::lock_guard<std::mutex> hold(s.lock);
        ++s.consumed;
      }
      s.changed.notify_all();
    }
  }
  if (s.failure) std::rethrow_exception(s.failure);
  return consumed_all;
}

}  // namespace runtime
