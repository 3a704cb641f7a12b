#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
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
    testing::Values(LinesCase{"", {}}, LinesCase{"a", {"a"}}, LinesCase{"a\n", {"a"}}, LinesCase{"a\nb", {"a", "b"}},
                    LinesCase{"a\nb\n", {"a", "b"}}, LinesCase{"\n\n\n", {"", "", ""}},
                    LinesCase{"a\r\nb\r\n", {"a", "b"}}, LinesCase{"a\rb\r", {"a", "b"}}, LinesCase{"a\r", {"a"}},
                    LinesCase{"\r\r\n\n", {"", "", ""}},
                    LinesCase{"one\r\ntwo\rthree\nfour", {"one", "two", "three", "four"}},
                    LinesCase{"a\0b\n\0"s, {"a\0b"s, "\0"s}},
                    LinesCase{"caf\xC3\xA9\r\nna\xEFve\n\xFF\xFE\r", {"caf\xC3\xA9", "na\xEFve", "\xFF\xFE"}},
                    LinesCase{"a line that is longer than sixteen bytes\nand another one of them too",
                              {"a line that is longer than sixteen bytes", "and another one of them too"}}));

TEST(TextInputStream, CrlfSplitAcrossTheRealBlockSizeIsOneTerminator) {
  TempFolder folder;
  // A CR as the last byte of a 64 KiB and of a 1 MiB block, its LF first in the next.
  std::string bytes(size_t{1} << 16, 'x');
  bytes[(size_t{1} << 16) - 1] = '\r';
  bytes += "\nmiddle";
  bytes.resize((size_t{1} << 20) - 1, 'y');
  bytes += "\r\nlast";
  auto stream = TextInputStream::Open(FolderItem(folder.Write("f.txt", bytes)));
  const std::vector<std::string> lines = AllLines(*stream);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], std::string((size_t{1} << 16) - 1, 'x'));
  EXPECT_EQ(lines[1].substr(0, 6), "middle");
  EXPECT_EQ(lines[2], "last");
}

TEST(TextInputStream, ReadsAHugeLineWithoutTerminatorWhole) {
  TempFolder folder;
  std::string bytes;
  while (bytes.size() < 10'000'000) bytes += "word\xC3\xA9 ";
  auto stream = TextInputStream::Open(FolderItem(folder.Write("f.txt", bytes)));
  ASSERT_FALSE(stream->EOF());
  const String line = stream->ReadLine();
  EXPECT_EQ(line.ToUtf8(), bytes);
  EXPECT_TRUE(stream->EOF());
}

TEST(TextInputStream, ReadErrorInTheMiddleRaisesAfterTheLinesBeforeIt) {
  TempFolder folder;
  const auto file = folder.Write("f.txt", "first\nsecond\nthird\n");
  ChunkedTextInputStream stream(file, 6, /*failingRead=*/3);
  EXPECT_EQ(stream.ReadLine().ToUtf8(), "first");
  try {
    while (!stream.EOF()) stream.ReadLine();
    FAIL() << "no exception";
  } catch (const IOException& error) {
    EXPECT_EQ(error.ErrorNumber(), EIO);
    EXPECT_NE(std::string(error.what()).find("Input/output error"), std::string::npos) << error.what();
  }
}

TEST(TextInputStream, ReadingAfterCloseRaises) {
  TempFolder folder;
  auto stream = TextInputStream::Open(FolderItem(folder.Write("f.txt", "a\nb\n")));
  stream->ReadLine();
  stream->Close();
  EXPECT_TRUE(stream->EOF());
  EXPECT_THROW(stream->ReadLine(), IOException);
}

TEST(TextInputStream, OpenRefusesWhatIsNotARegularFile) {
  TempFolder folder;
  const auto fifo = folder / "fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  for (const std::filesystem::path& path :
       {folder / "missing.txt", folder.Path(), fifo, std::filesystem::path("/dev/null")}) {
    try {
      TextInputStream::Open(FolderItem(path));
      ADD_FAILURE() << "opened " << path;
    } catch (const IOException& error) {
      EXPECT_NE(std::string(error.what()).find(path.filename().string()), std::string::npos) << error.what();
      if (path.filename() == "missing.txt") {
        EXPECT_EQ(error.ErrorNumber(), ENOENT);
      }
    }
  }
}

}  // namespace
