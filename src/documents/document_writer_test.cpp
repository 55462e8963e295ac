#include "documents/document_writer.h"

#include <gtest/gtest.h>

#include <memory>

#include "test_support/memory_disk.h"

namespace documents {

namespace {

std::unique_ptr<document_lines> slots_of(std::initializer_list<std::string_view> lines) {
  auto slots = std::make_unique<document_lines>();
  std::vector<std::string_view> v(lines);
  fill_document(*slots, v);
  return slots;
}

TEST(DocumentWriter, EveryLineEndsWithCrLfAndTheMarkerIsNotWritten) {
  auto slots =
      slots_of({"[generale]", "", "cartello_indicatore,  3500,   (30\u00B0 GRADI)", "x  "});
  EXPECT_EQ(document_bytes(*slots),
            "[generale]\r\n\r\ncartello_indicatore,  3500,   (30\xB0 GRADI)\r\nx  \r\n");
  EXPECT_EQ((*slots)[4], end_marker);
}

TEST(DocumentWriter, TheMarkerEndsTheDocumentOnlyWhenTheWholeLineMatches) {
  auto slots = slots_of({"a", "riferimento fine del file ", "Riferimento fine del file",
                         "x riferimento fine del file", "riferimento fine del file", "lost"});
  EXPECT_EQ(document_bytes(*slots),
            "a\r\nriferimento fine del file \r\nRiferimento fine del file\r\n"
            "x riferimento fine del file\r\n");
}

TEST(DocumentWriter, HoldsAtMostAThousandLines) {
  std::vector<std::string> many(1200, "l");
  std::vector<std::string_view> views(many.begin(), many.end());
  auto slots = std::make_unique<document_lines>();
  fill_document(*slots, views);
  EXPECT_EQ((*slots)[1000], end_marker);
  EXPECT_EQ(document_bytes(*slots).size(), 3u * 1000);

  // A table without a marker is written up to its last slot.
  (*slots)[1000] = "last";
  EXPECT_EQ(document_bytes(*slots).size(), 3u * 1000 + 6);
}

TEST(DocumentWriter, ReplacesAnExistingFileWholeOrNotAtAll) {
  test_support::memory_disk d;
  d.files["/s/doc.txt"] = std::string(5000, 'o');
  auto slots = slots_of({"new"});
  runtime::io_failure failure;
  ASSERT_TRUE(write_document(d, "/s/doc.txt", *slots, &failure));
  EXPECT_EQ(d.files["/s/doc.txt"], "new\r\n");

  d.space_left = 2;
  auto longer = slots_of({"newer content"});
  ASSERT_FALSE(write_document(d, "/s/doc.txt", *longer, &failure));
  EXPECT_EQ(failure.path, "/s/doc.txt");
  EXPECT_EQ(runtime::describe(failure), "cannot write /s/doc.txt: No space left on device");
  EXPECT_EQ(d.files["/s/doc.txt"], "new\r\n");
  EXPECT_EQ(d.files.size(), 1u);
}

}  // namespace

}  // namespace documents
