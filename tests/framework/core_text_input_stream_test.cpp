#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "core_test_support.h"
#include "framework/exceptions.h"
#include "framework/text_input_stream.h"

namespace {

// Reading itself is tested through the counting, which reads in blocks of every size.
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
