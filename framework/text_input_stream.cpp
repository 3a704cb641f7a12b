#include "framework/text_input_stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "framework/exceptions.h"

namespace {

std::string Quoted(const FolderItem& file) {
  std::string quoted(1, '"');
  file.AbsolutePath().AppendUtf8To(quoted);
  quoted += '"';
  return quoted;
}

}  // namespace

std::unique_ptr<TextInputStream> TextInputStream::Open(const FolderItem& file) {
  // O_NONBLOCK so that a FIFO cannot make open() wait for a writer; it is refused below anyway.
  const int descriptor = ::open(file.NativePath().c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (descriptor < 0) {
    const int error = errno;
    throw IOException("Could not open " + Quoted(file) + ": " + std::strerror(error) + ".", error);
  }
  struct stat status;
  if (::fstat(descriptor, &status) != 0) {
    const int error = errno;
    ::close(descriptor);
    throw IOException("Could not open " + Quoted(file) + ": " + std::strerror(error) + ".", error);
  }
  if (!S_ISREG(status.st_mode)) {
    ::close(descriptor);
    const char* what = S_ISDIR(status.st_mode) ? "it is a folder" : "it is not a regular file";
    throw IOException("Could not open " + Quoted(file) + ": " + what + ".", S_ISDIR(status.st_mode) ? EISDIR : EINVAL);
  }
  const int flags = ::fcntl(descriptor, F_GETFL);
  if (flags >= 0) ::fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK);
  ::posix_fadvise(descriptor, 0, 0, POSIX_FADV_SEQUENTIAL);
  return std::unique_ptr<TextInputStream>(new TextInputStream(descriptor, Quoted(file)));
}

TextInputStream::~TextInputStream() {
  if (fileDescriptor_ >= 0) ::close(fileDescriptor_);
}

ssize_t TextInputStream::ReadSome(void* buffer, size_t size) { return ::read(fileDescriptor_, buffer, size); }

void TextInputStream::Close() {
  if (fileDescriptor_ >= 0) ::close(fileDescriptor_);
  fileDescriptor_ = -1;
  atEnd_ = true;
}

ssize_t TextInputStream::ReadUninterrupted(void* buffer, size_t size) {
  ssize_t got;
  do {
    got = ReadSome(buffer, size);
  } while (got < 0 && errno == EINTR);
  return got;
}

void TextInputStream::ThrowReadError(int errorNumber) const {
  throw IOException("Could not read " + description_ + ": " + std::strerror(errorNumber) + ".", errorNumber);
}

size_t TextInputStream::ReadBlock(char* buffer, size_t size) {
  if (fileDescriptor_ < 0) throw IOException("Could not read " + description_ + ": the stream is closed.", EBADF);
  size_t copied = 0;
  while (copied < size) {
    if (atEnd_) break;
    const ssize_t got = ReadUninterrupted(buffer + copied, size - copied);
    if (got < 0) {
      atEnd_ = true;
      ThrowReadError(errno != 0 ? errno : EIO);
    }
    if (got == 0) {
      atEnd_ = true;
      break;
    }
    copied += static_cast<size_t>(got);
  }
  return copied;
}

int64_t TextInputStream::SizeHint() const {
  struct stat status;
  if (fileDescriptor_ < 0 || ::fstat(fileDescriptor_, &status) != 0 || !S_ISREG(status.st_mode)) return -1;
  return static_cast<int64_t>(status.st_size);
}
