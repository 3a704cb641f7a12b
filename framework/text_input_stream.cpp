#include "framework/text_input_stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "framework/exceptions.h"

std::unique_ptr<TextInputStream> TextInputStream::Open(const FolderItem& file) {
  const std::string name = Quoted(file.AbsolutePath().ToUtf8());
  // O_NONBLOCK so that a FIFO cannot make open() wait for a writer; it is refused below anyway.
  const int descriptor = ::open(file.NativePath().c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (descriptor < 0) {
    const int error = errno;
    throw IOException("Could not open " + name + ": " + std::strerror(error) + ".", error);
  }
  struct stat status;
  if (::fstat(descriptor, &status) != 0) {
    const int error = errno;
    ::close(descriptor);
    throw IOException("Could not open " + name + ": " + std::strerror(error) + ".", error);
  }
  if (!S_ISREG(status.st_mode)) {
    ::close(descriptor);
    const char* what = S_ISDIR(status.st_mode) ? "it is a folder" : "it is not a regular file";
    throw IOException("Could not open " + name + ": " + what + ".", S_ISDIR(status.st_mode) ? EISDIR : EINVAL);
  }
  const int flags = ::fcntl(descriptor, F_GETFL);
  if (flags >= 0) ::fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK);
  ::posix_fadvise(descriptor, 0, 0, POSIX_FADV_SEQUENTIAL);
  return std::unique_ptr<TextInputStream>(new TextInputStream(descriptor, name));
}

TextInputStream::~TextInputStream() {
  if (fileDescriptor_ >= 0) ::close(fileDescriptor_);
}

void TextInputStream::Close() {
  if (fileDescriptor_ >= 0) ::close(fileDescriptor_);
  fileDescriptor_ = -1;
  atEnd_ = true;
}

void TextInputStream::ReadInPiecesForTesting(size_t pieceSize, int failingRead) {
  pieceSize_ = pieceSize;
  readsUntilFailure_ = failingRead;
}

void TextInputStream::ThrowReadError(int errorNumber) const {
  throw IOException("Could not read " + description_ + ": " + std::strerror(errorNumber) + ".", errorNumber);
}

size_t TextInputStream::ReadBlock(char* buffer, size_t size) {
  if (fileDescriptor_ < 0) throw IOException("Could not read " + description_ + ": the stream is closed.", EBADF);
  size_t copied = 0;
  while (copied < size) {
    if (atEnd_) break;
    const size_t wanted = pieceSize_ != 0 ? std::min(size - copied, pieceSize_) : size - copied;
    ssize_t got;
    if (readsUntilFailure_ != 0 && --readsUntilFailure_ == 0) {
      errno = EIO;
      got = -1;
    } else {
      do {
        got = ::read(fileDescriptor_, buffer + copied, wanted);  // again when a signal interrupts it
      } while (got < 0 && errno == EINTR);
    }
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
