#include "framework/text_output_stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <system_error>
#include <utility>
#include <vector>

#include "framework/exceptions.h"

namespace {

constexpr size_t kFlushSize = size_t{1} << 20;

int32_t writesUntilFailure = 0;
int injectedError = ENOSPC;
int injectedRenameError = 0;

ssize_t WriteSome(int descriptor, const char* bytes, size_t count) {
  if (writesUntilFailure > 0 && --writesUntilFailure == 0) {
    errno = injectedError;
    return -1;
  }
  return ::write(descriptor, bytes, count);
}

int Rename(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (const int error = std::exchange(injectedRenameError, 0); error != 0) {
    errno = error;
    return -1;
  }
  return ::rename(from.c_str(), to.c_str());
}

mode_t DefaultMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

void TextOutputStream::FailWriteForTesting(int32_t count, int errorNumber) {
  writesUntilFailure = count;
  injectedError = errorNumber;
}

void TextOutputStream::FailRenameForTesting(int errorNumber) { injectedRenameError = errorNumber; }

std::unique_ptr<TextOutputStream> TextOutputStream::Create(const FolderItem& file) {
  std::error_code error;
  std::filesystem::path target = std::filesystem::absolute(file.NativePath(), error).lexically_normal();
  if (error) target = file.NativePath();
  // Write through a symbolic link to the file it names rather than replacing the link.
  if (std::filesystem::is_symlink(target, error)) {
    const std::filesystem::path resolved = std::filesystem::weakly_canonical(target, error);
    if (!error) target = resolved;
  }
  const auto fail = [&target](const std::string& reason, int errorNumber) {
    throw IOException("Could not create " + Quoted(target.native()) + ": " + reason + ".", errorNumber);
  };
  if (target.filename().empty()) fail("the path names no file", EINVAL);
  mode_t mode = DefaultMode();
  struct stat status;
  if (::stat(target.c_str(), &status) == 0) {
    if (S_ISDIR(status.st_mode)) fail("it is a folder", EISDIR);
    if (!S_ISREG(status.st_mode)) fail("it is not a regular file", EINVAL);
    if (::access(target.c_str(), W_OK) != 0) fail(std::strerror(errno), errno);
    mode = status.st_mode & 07777;
  }
  std::string temporaryName(1, '.');
  temporaryName += target.filename().native();
  temporaryName += ".XXXXXX";
  const std::filesystem::path temporaryPattern = target.parent_path() / temporaryName;
  std::vector<char> name(temporaryPattern.native().begin(), temporaryPattern.native().end());
  name.push_back('\0');
  const int descriptor = ::mkostemp(name.data(), O_CLOEXEC);
  if (descriptor < 0) fail(std::strerror(errno), errno);
  ::fchmod(descriptor, mode);
  return std::unique_ptr<TextOutputStream>(new TextOutputStream(target, name.data(), descriptor));
}

TextOutputStream::TextOutputStream(std::filesystem::path target, std::filesystem::path temporary, int fileDescriptor)
    : target_(std::move(target)), temporary_(std::move(temporary)), fileDescriptor_(fileDescriptor) {}

TextOutputStream::~TextOutputStream() { Abandon(); }

void TextOutputStream::Abandon() noexcept {
  if (fileDescriptor_ < 0) return;
  ::close(fileDescriptor_);
  fileDescriptor_ = -1;
  ::unlink(temporary_.c_str());
  buffer_.clear();
}

void TextOutputStream::Fail(const std::string& action, int errorNumber) {
  Abandon();
  if (lastErrorCode_ == 0) lastErrorCode_ = errorNumber;
  if (!useIOExceptions_) return;
  throw IOException(
      "Could not " + action + " " + Quoted(target_.native()) + ": " + std::strerror(errorNumber) + ".", errorNumber);
}

bool TextOutputStream::CheckOpen() const {
  if (fileDescriptor_ >= 0) return true;
  // After a failure that was only recorded, the rest of the writes are dropped.
  if (!useIOExceptions_ && WriteError()) return false;
  throw IOException("Could not write " + Quoted(target_.native()) + ": the stream is closed.", EBADF);
}

void TextOutputStream::WriteUtf8(std::string_view bytes) {
  if (!CheckOpen()) return;
  buffer_.append(bytes);
  if (buffer_.size() >= kFlushSize) Flush();
}

void TextOutputStream::WriteLine(const String& text) {
  if (!CheckOpen()) return;
  text.AppendUtf8To(buffer_);
  delimiter_.AppendUtf8To(buffer_);
  if (buffer_.size() >= kFlushSize) Flush();
}

void TextOutputStream::Flush() {
  size_t done = 0;
  while (done < buffer_.size()) {
    const ssize_t wrote = WriteSome(fileDescriptor_, buffer_.data() + done, buffer_.size() - done);
    if (wrote < 0) {
      if (errno == EINTR) continue;
      return Fail("write", errno);
    }
    if (wrote == 0) return Fail("write", EIO);
    done += static_cast<size_t>(wrote);
  }
  buffer_.clear();
}

void TextOutputStream::Close() {
  if (!CheckOpen()) return;
  Flush();
  if (fileDescriptor_ < 0) return;  // the flush failed, and said so as the stream is set to
  if (::fsync(fileDescriptor_) != 0) return Fail("save", errno);
  const int descriptor = std::exchange(fileDescriptor_, -1);
  int error = 0;
  if (::close(descriptor) != 0) error = errno;
  else if (Rename(temporary_, target_) != 0) error = errno;
  if (error != 0) {
    ::unlink(temporary_.c_str());
    return Fail("save", error);
  }
  // Make the rename itself durable; a failure here loses nothing that was asked for.
  const std::filesystem::path folder = target_.parent_path().empty() ? "." : target_.parent_path();
  const int folderDescriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folderDescriptor >= 0) {
    ::fsync(folderDescriptor);
    ::close(folderDescriptor);
  }
}
