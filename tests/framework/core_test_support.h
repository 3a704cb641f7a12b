#pragma once
// Helpers shared by the core and GUI tests: a fresh folder per test (removed with everything in it
// afterwards), file helpers, and a text stream whose reads can be cut short or made to fail.

#include <gtest/gtest.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "framework/text_input_stream.h"

class TempFolder {
 public:
  explicit TempFolder(const std::filesystem::path& parent = std::filesystem::temp_directory_path()) {
    std::string pattern = (parent / "concordance-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

  std::filesystem::path Write(std::string_view name, std::string_view bytes) const {
    const std::filesystem::path file = path_ / name;
    std::ofstream out(file, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("could not write " + file.string());
    return file;
  }

  // So that tests can see that no temporary file is left.
  std::size_t EntryCount() const {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(path_), {}));
  }

 private:
  std::filesystem::path path_;
};

// Permissions never bind the superuser. As the superuser, runs the current test again as the
// user nobody, from a copy of this program in a folder of that user's, and returns true: the
// test ends here, failing when that run failed. Otherwise returns false: the test goes on.
inline bool RanAsUnprivilegedUser() {
  if (geteuid() != 0) return false;
  // In the temporary folder, unless a folder above it is closed to others.
  std::filesystem::path parent = std::filesystem::temp_directory_path();
  for (std::filesystem::path above = parent; above != above.parent_path(); above = above.parent_path()) {
    struct stat status;
    if (::stat(above.c_str(), &status) != 0 || (status.st_mode & S_IXOTH) == 0) parent = "/tmp";
  }
  const TempFolder folder(parent);
  const std::filesystem::path program = folder / "test-program";
  std::filesystem::copy_file("/proc/self/exe", program);
  EXPECT_EQ(::chown(folder.Path().c_str(), 65534, 65534), 0);
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  // Folders of that user's own, and no display: it may not reach this one.
  const std::string own = folder.Path().string();
  std::vector<std::string> arguments = {"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups", "env",
                                        "HOME=" + own, "XDG_CONFIG_HOME=" + own, "XDG_CACHE_HOME=" + own,
                                        "XDG_RUNTIME_DIR=" + own, "TMPDIR=" + own, "QT_QPA_PLATFORM=offscreen",
                                        program.string(),
                                        std::string("--gtest_filter=") + test->test_suite_name() + "." + test->name()};
  std::vector<char*> pointers;
  for (std::string& argument : arguments) pointers.push_back(argument.data());
  pointers.push_back(nullptr);
  pid_t child = 0;
  int status = -1;
  if (::posix_spawnp(&child, "setpriv", nullptr, nullptr, pointers.data(), environ) == 0) ::waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the run as the user nobody failed (its output is above)";
  return true;
}

inline std::string ReadBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The file opened for reading at most `chunk` bytes at a time, failing with EIO on read
// number `failingRead` (0: never). Passed where a TextInputStream is wanted.
class ChunkedTextInputStream {
 public:
  ChunkedTextInputStream(const std::filesystem::path& file, size_t chunk, int failingRead = 0)
      : stream_(TextInputStream::Open(FolderItem(file))) {
    stream_->ReadInPiecesForTesting(chunk, failingRead);
  }
  operator TextInputStream&() { return *stream_; }  // NOLINT: stands in for the stream

 private:
  std::unique_ptr<TextInputStream> stream_;
};

// Fails the test unless `action` throws an `Exception` whose message contains `text`.
template <typename Exception, typename Action>
void ExpectThrowMentioning(Action action, const std::string& text) {
  try {
    action();
    ADD_FAILURE() << "no exception; expected one mentioning " << text;
  } catch (const Exception& error) {
    EXPECT_NE(std::string(error.what()).find(text), std::string::npos) << error.what();
  }
}
