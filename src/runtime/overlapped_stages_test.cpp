// Two stages that overlap: every block reaches the consumer once and in
// order, the producer runs on a thread of its own, and a consumer that stops
// or throws ends the producer too.

#include "runtime/overlapped_stages.h"
#include "runtime/memory_pages.h"

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <thread>
#include <vector>

namespace runtime {

namespace {

constexpr size_t block_bytes = 64;

// Produces blocks 0 .. total - 1, each holding its number, and counts them.
struct numbered_blocks {
  explicit numbered_blocks(size_t n) : total(n) {}
  size_t total;
  size_t made = 0;
  size_t throw_at = static_cast<size_t>(-1);
  std::thread::id thread;

  size_t produce(char* block) {
    thread = std::this_thread::get_id();
    if (made == throw_at) throw std::runtime_error("producer failed");
    if (made == total) return 0;
    std::memcpy(block, &made, sizeof made);
    ++made;
    return sizeof made;
  }
};

struct received {
  std::vector<size_t> numbers;
  size_t stop_at = static_cast<size_t>(-1);
  size_t throw_at = static_cast<size_t>(-1);

  bool consume(const char* block, size_t count) {
    EXPECT_EQ(count, sizeof(size_t));
    size_t n;
    std::memcpy(&n, block, sizeof n);
    if (numbers.size() == throw_at) throw std::runtime_error("consumer failed");
    numbers.push_back(n);
    return numbers.size() != stop_at;
  }
};

block_stages stages_of(numbered_blocks& p, received& c) {
  return {[&p](char* block) { return p.produce(block); },
          [&c](const char* block, size_t count) { return c.consume(block, count); }};
}

std::vector<size_t> first_numbers(size_t n) {
  std::vector<size_t> v(n);
  for (size_t i = 0; i < n; ++i) v[i] = i;
  return v;
}

TEST(OverlappedStages, EveryBlockReachesTheConsumerOnceAndInOrder) {
  for (size_t blocks : {1, 2, 3, 8}) {
    for (size_t total : {0, 1, 2, 3, 500}) {
      SCOPED_TRACE(::testing::Message() << blocks << " blocks, " << total << " produced");
      numbered_blocks p{total};
      received c;
      EXPECT_TRUE(run_overlapped(stages_of(p, c), block_bytes, blocks));
      EXPECT_EQ(c.numbers, first_numbers(total));
      // The producer works on a thread of its own as soon as two blocks let
      // it run ahead; with one it takes turns with the consumer.
      EXPECT_EQ(p.thread == std::this_thread::get_id(), blocks < 2);
    }
  }
}

TEST(OverlappedStages, AConsumerThatStopsEndsTheProducerToo) {
  for (size_t blocks : {1, 3}) {
    numbered_blocks p{1000};
    received c;
    c.stop_at = 5;
    EXPECT_FALSE(run_overlapped(stages_of(p, c), block_bytes, blocks));
    EXPECT_EQ(c.numbers, first_numbers(5));
    // The producer never runs more than its blocks ahead.
    EXPECT_LE(p.made, 5 + blocks);
  }
}

TEST(OverlappedStages, AnExceptionOfEitherStageReachesTheCaller) {
  for (size_t blocks : {1, 3}) {
    SCOPED_TRACE(blocks);
    {
      numbered_blocks p{1000};
      received c;
      c.throw_at = 4;
      EXPECT_THROW(run_overlapped(stages_of(p, c), block_bytes, blocks), std::runtime_error);
      EXPECT_EQ(c.numbers, first_numbers(4));
      EXPECT_LE(p.made, 5 + blocks);
    }
    {
      // What the producer made before it failed is still consumed.
      numbered_blocks p{1000};
      p.throw_at = 7;
      received c;
      EXPECT_THROW(run_overlapped(stages_of(p, c), block_bytes, blocks), std::runtime_error);
      EXPECT_EQ(c.numbers, first_numbers(7));
    }
  }
}

// Taking a block's pages ahead is only a hint: whatever the range (part of
// a page, a start between pages, nothing at all), the bytes stay as they
// were.
TEST(PopulatePages, LeavesEveryByteAsItWas) {
  std::vector<char> block(3 * 4096 + 100);
  for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 7 + 1);
  const struct {
    size_t offset, bytes;
  } ranges[] = {{0, block.size()}, {1, 4095}, {13, 2 * 4096 + 50}, {0, 0}, {5, 1}, {4096, 4096}};
  for (const auto& r : ranges) populate_pages(block.data() + r.offset, r.bytes);
  for (size_t i = 0; i < block.size(); ++i)
    ASSERT_EQ(block[i], static_cast<char>(i * 7 + 1)) << "byte " << i;
}

}  // namespace

}  // namespace runtime
