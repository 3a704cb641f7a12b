#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "core_test_support.h"
#include "framework/exceptions.h"
#include "framework/text_input_stream.h"

using namespace std::string_literals;

namespace {

std::vector<std::string> AllLines(TextInputStream& stream) {
  std::vector<std::string> lines;
  while (!stream.EOF()) lines.push_back(stream.ReadLine().ToUtf8());
  return lines;
}

struct LinesCase {
  std::string bytes;
  std::vector<std::string> lines;
};

// Each case is read whole and also in chunks of 1, 2, 3 and 5 bytes, which puts every line end,
// and every CR of a CRLF, at a block boundary somewhere.
class TextInputStreamLines : public testing::TestWithParam<LinesCase> {
 protected:
  TempFolder folder_;
};

TEST_P(TextInputStreamLines, SplitsAtLfCrlfAndLoneCr) {
  const LinesCase& c = GetParam();
  const auto file = folder_.Write("input.txt", c.bytes);
  auto stream = TextInputStream::Open(FolderItem(file));
  EXPECT_EQ(AllLines(*stream), c.lines);
  for (size_t chunk : {1u, 2u, 3u, 5u}) {
    ChunkedTextInputStream chunked(file, chunk);
    EXPECT_EQ(AllLines(chunked), c.lines) << "chunk " << chunk;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Terminators, TextInputStreamLines,
    testing::Values(LinesCase{"", {}}, LinesCase{"a", {"a"}}, LinesCase{"\n\n\n", {"", "", ""}},
                    LinesCase{"a\r", {"a"}}, LinesCase{"\r\r\n\n", {"", "", ""}},
                    LinesCase{"one\r\ntwo\rthree\nfour", {"one", "two", "three", "four"}},
                    LinesCase{"a\0b\n\0"s, {"a\0b"s, "\0"s}},
                    LinesCase{"caf\xC3\xA9\r\nna\xEFve\n\xFF\xFE\r", {"caf\xC3\xA9", "na\xEFve", "\xFF\xFE"}}));

TEST(TextInputStream, OpenRefusesWhatIsNotARegularFile) {
  TempFolder folder;
  const auto fifo = folder / "fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  for (const std::filesystem::path& path :
       {folder / "missing.txt", folder.Path(), fifo, std::filesystem::path("/dev/null")}) {
    ExpectThrowMentioning<IOException>([&] { TextInputStream::Open(FolderItem(path)); }, path.filename().string());
  }
}

}  // namespace
