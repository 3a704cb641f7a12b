#pragma once
// Helpers shared by the core and GUI tests: a fresh folder per test (removed with everything in it
// afterwards), file helpers, and a text stream whose reads can be cut short or made to fail.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>

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

  // Names of everything in the folder, so that tests can see that no temporary file is left.
  std::size_t EntryCount() const {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(path_), {}));
  }

 private:
  std::filesystem::path path_;
};

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
