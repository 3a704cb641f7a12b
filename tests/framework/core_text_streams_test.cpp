#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "core_test_support.h"
#include "framework/exceptions.h"
#include "framework/text_input_stream.h"
#include "framework/text_output_stream.h"

namespace {

class TextOutputStreamTest : public testing::Test {
 protected:
  void TearDown() override {
    TextOutputStream::FailWriteForTesting(0);
    TextOutputStream::FailRenameForTesting(0);
  }
  TempFolder folder_;
};

// Bytes go out exactly as given, and replace an earlier file, keeping its mode, only on Close.
TEST_F(TextOutputStreamTest, WritesExactlyWhatWasGivenReplacingAnEarlierFileOnClose) {
  const auto file = folder_.Write("out.txt", "earlier");
  ASSERT_EQ(chmod(file.c_str(), 0640), 0);
  auto stream = TextOutputStream::Create(FolderItem(file));
  stream->WriteLine("cat, 2\r");
  stream->WriteUtf8("caf\xC3\xA9 ");
  stream->SetDelimiter("\r\n");
  stream->WriteLine(String::FromUtf8("caf\xE9"));  // a byte that is not UTF-8 goes out as it came in
  EXPECT_EQ(ReadBytes(file), "earlier");
  stream->Close();
  EXPECT_EQ(ReadBytes(file), "cat, 2\r\ncaf\xC3\xA9 caf\xE9\r\n");
  EXPECT_EQ(folder_.EntryCount(), 1u);
  struct stat status;
  ASSERT_EQ(stat(file.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0640u);
}

// The file is finished beside its target and renamed into place; a rename cannot cross file
// systems, so the target's own folder is used, on another file system where there is one.
TEST_F(TextOutputStreamTest, SavingThroughALinkWritesTheFileItNamesAndKeepsTheLink) {
  struct stat here, there;
  const bool otherFileSystem = ::stat(folder_.Path().c_str(), &here) == 0 && ::stat("/dev/shm", &there) == 0 &&
                               here.st_dev != there.st_dev && ::access("/dev/shm", W_OK) == 0;
  const TempFolder elsewhere(otherFileSystem ? std::filesystem::path("/dev/shm") : folder_.Path());
  const auto link = folder_ / "link.txt";
  std::filesystem::create_symlink(elsewhere / "out.txt", link);
  for (const auto& target : {elsewhere / "out.txt", link}) {  // a new file there, then over it through the link
    auto stream = TextOutputStream::Create(FolderItem(target));
    stream->WriteLine(String(target.filename().c_str()));
    EXPECT_NO_THROW(stream->Close()) << target;
  }
  EXPECT_EQ(ReadBytes(elsewhere / "out.txt"), "link.txt\n");
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(elsewhere.EntryCount(), 1u);
}

// A write that fails midway (about 10 MB: several writes), or only when Close writes the rest.
TEST_F(TextOutputStreamTest, WriteFailureLeavesTheEarlierFileAndNoTemporary) {
  for (const int lines : {100, 1}) {
    const auto file = folder_.Write("out.txt", "earlier");
    auto stream = TextOutputStream::Create(FolderItem(file));
    TextOutputStream::FailWriteForTesting(lines > 1 ? 2 : 1, ENOSPC);
    try {
      for (int i = 0; i < lines; ++i) stream->WriteLine(String(std::string(100000, 'x')));
      stream->Close();
      ADD_FAILURE() << "no exception";
    } catch (const IOException& error) {
      EXPECT_EQ(error.ErrorNumber(), ENOSPC);
      EXPECT_NE(std::string(error.what()).find("out.txt"), std::string::npos) << error.what();
    }
    EXPECT_EQ(ReadBytes(file), "earlier");
    EXPECT_EQ(folder_.EntryCount(), 1u);
    EXPECT_THROW(stream->WriteLine("more"), IOException);
  }
}

// With exceptions off the failure is kept instead: the same file is left, and the stream
// reports the first error and drops the rest.
TEST_F(TextOutputStreamTest, WithoutExceptionsAFailureIsRecordedAndNothingIsReplaced) {
  const auto file = folder_.Write("out.txt", "earlier");
  auto stream = TextOutputStream::Create(FolderItem(file));
  EXPECT_TRUE(stream->UseIOExceptions());
  stream->SetUseIOExceptions(false);
  TextOutputStream::FailWriteForTesting(1, ENOSPC);
  for (int i = 0; i < 20; ++i) EXPECT_NO_THROW(stream->WriteLine(String(std::string(100000, 'x'))));
  TextOutputStream::FailWriteForTesting(1, EIO);
  EXPECT_NO_THROW(stream->Close());
  EXPECT_TRUE(stream->WriteError());
  EXPECT_EQ(stream->LastErrorCode(), ENOSPC);
  EXPECT_EQ(ReadBytes(file), "earlier");
  EXPECT_EQ(folder_.EntryCount(), 1u);
}

// Everything is written, and only the last step, moving the file into place, fails.
TEST_F(TextOutputStreamTest, FailedRenameLeavesTheEarlierFileAndNoTemporary) {
  const auto file = folder_.Write("out.txt", "earlier");
  auto stream = TextOutputStream::Create(FolderItem(file));
  stream->WriteLine("never in place");
  TextOutputStream::FailRenameForTesting(EACCES);
  try {
    stream->Close();
    ADD_FAILURE() << "no exception";
  } catch (const IOException& error) {
    EXPECT_EQ(error.ErrorNumber(), EACCES);
    EXPECT_NE(std::string(error.what()).find("out.txt"), std::string::npos) << error.what();
  }
  EXPECT_EQ(ReadBytes(file), "earlier");
  EXPECT_EQ(folder_.EntryCount(), 1u);
}

TEST_F(TextOutputStreamTest, DestroyedWithoutCloseLeavesNothingBehind) {
  folder_.Write("out.txt", "earlier");
  for (const char* name : {"out.txt", "new.txt"}) {
    auto stream = TextOutputStream::Create(FolderItem(folder_ / name));
    stream->WriteLine("never saved");
  }
  EXPECT_EQ(ReadBytes(folder_ / "out.txt"), "earlier");
  EXPECT_EQ(folder_.EntryCount(), 1u);
}

TEST_F(TextOutputStreamTest, CreateFailsClearlyWhereNoFileCanBeMade) {
  if (RanAsUnprivilegedUser()) return;
  std::filesystem::create_directory(folder_ / "folder");
  std::filesystem::create_directory(folder_ / "locked");
  ASSERT_EQ(chmod((folder_ / "locked").c_str(), 0555), 0);
  const auto readOnly = folder_.Write("read-only.txt", "earlier");
  ASSERT_EQ(chmod(readOnly.c_str(), 0444), 0);
  for (const auto& path : {folder_ / "missing" / "out.txt", folder_ / "folder", folder_ / "locked" / "out.txt", readOnly}) {
    ExpectThrowMentioning<IOException>([&] { TextOutputStream::Create(FolderItem(path)); }, path.string());
  }
  EXPECT_EQ(ReadBytes(readOnly), "earlier");
  EXPECT_EQ(folder_.EntryCount(), 3u);
}

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
