#include "framework/text_input_stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <string_view>
#include <utility>

#include "framework/exceptions.h"

namespace {

// The first CR or LF in [p, end), or end.
const char* FindLineEnd(const char* p, const char* end) {
  while (p < end && !IsLineEndByte(static_cast<unsigned char>(*p))) ++p;
  return p;
}

}  // namespace

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
  begin_ = end_ = 0;
  pendingError_ = 0;
  readAhead_.reset();
  std::string().swap(longLine_);
}

void TextInputStream::ReadInPiecesForTesting(size_t pieceSize, int failingRead) {
  pieceSize_ = pieceSize;
  readsUntilFailure_ = failingRead;
}

void TextInputStream::CheckOpen() const {
  if (fileDescriptor_ < 0) throw IOException("Could not read " + description_ + ": the stream is closed.", EBADF);
}

void TextInputStream::ThrowReadError(int errorNumber) const {
  throw IOException("Could not read " + description_ + ": " + std::strerror(errorNumber) + ".", errorNumber);
}

void TextInputStream::ThrowPendingError() {
  const int error = std::exchange(pendingError_, 0);
  atEnd_ = true;  // the rest of the file cannot be trusted
  begin_ = end_ = 0;
  ThrowReadError(error);
}

ssize_t TextInputStream::ReadSome(char* buffer, size_t size) {
  if (readsUntilFailure_ != 0 && --readsUntilFailure_ == 0) {
    errno = EIO;
    return -1;
  }
  const size_t wanted = pieceSize_ != 0 ? std::min(size, pieceSize_) : size;
  ssize_t got;
  do {
    got = ::read(fileDescriptor_, buffer, wanted);
  } while (got < 0 && errno == EINTR);
  if (got < 0 && errno == 0) errno = EIO;
  return got;
}

bool TextInputStream::HasReadAhead() {
  for (;;) {
    if (begin_ < end_) {
      if (!skipLineFeed_) return true;
      skipLineFeed_ = false;
      if (readAhead_[begin_] == '\n') ++begin_;  // the LF of a CRLF split between two reads
      continue;
    }
    if (atEnd_) return false;
    if (pendingError_ != 0) return true;
    if (readAhead_ == nullptr) readAhead_ = std::make_unique_for_overwrite<char[]>(kReadAheadSize);
    const ssize_t got = ReadSome(readAhead_.get(), kReadAheadSize);
    if (got < 0) {
      pendingError_ = errno;
      return true;
    }
    begin_ = 0;
    end_ = static_cast<size_t>(got);
    if (got == 0) atEnd_ = true;
  }
}

bool TextInputStream::EOF() {
  if (fileDescriptor_ < 0) return true;
  return !HasReadAhead() && pendingError_ == 0;
}

String TextInputStream::ReadLine() {
  CheckOpen();
  longLine_.clear();
  const auto checkLength = [&](size_t more) {
    if (longLine_.size() + more > static_cast<size_t>(std::numeric_limits<int32_t>::max()))
      throw IOException("Could not read " + description_ + ": a line is longer than 2147483647 bytes.", EFBIG);
  };
  for (;;) {
    if (!HasReadAhead()) return String::FromUtf8(longLine_);  // text after the last terminator, or ""
    if (begin_ == end_) ThrowPendingError();
    const char* start = readAhead_.get() + begin_;
    const char* stop = readAhead_.get() + end_;
    const char* found = FindLineEnd(start, stop);
    const auto length = static_cast<size_t>(found - start);
    if (found == stop) {
      checkLength(length);
      longLine_.append(start, length);
      begin_ = end_;
      continue;
    }
    begin_ += length + 1;
    if (*found == '\r') {
      if (begin_ < end_) {
        if (readAhead_[begin_] == '\n') ++begin_;
      } else {
        skipLineFeed_ = true;
      }
    }
    if (longLine_.empty()) return String::FromUtf8(std::string_view(start, length));
    checkLength(length);
    longLine_.append(start, length);
    String line = String::FromUtf8(longLine_);
    if (longLine_.capacity() > 4 * kReadAheadSize) std::string().swap(longLine_);
    return line;
  }
}

size_t TextInputStream::ReadBlock(char* buffer, size_t size) {
  CheckOpen();
  size_t copied = 0;
  while (copied < size) {
    if (begin_ < end_ || skipLineFeed_ || pendingError_ != 0) {
      // What line reading read ahead (or the error it kept) comes first.
      if (!HasReadAhead()) break;
      if (begin_ == end_) ThrowPendingError();
      const size_t count = std::min(size - copied, end_ - begin_);
      std::memcpy(buffer + copied, readAhead_.get() + begin_, count);
      begin_ += count;
      copied += count;
      continue;
    }
    if (atEnd_) break;
    const ssize_t got = ReadSome(buffer + copied, size - copied);
    if (got < 0) {
      atEnd_ = true;
      ThrowReadError(errno);
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
