#include "framework/text_input_stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "framework/exceptions.h"

namespace {

// The first CR or LF in [p, end), or end; `nonAscii` becomes true if a byte >= 0x80 lies before it.
const char* FindLineEnd(const char* p, const char* end, bool& nonAscii) {
#if defined(__SSE2__)
  const __m128i lineFeed = _mm_set1_epi8('\n');
  const __m128i carriageReturn = _mm_set1_epi8('\r');
  unsigned highBits = 0;
  while (end - p >= 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const unsigned terminators = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, lineFeed), _mm_cmpeq_epi8(bytes, carriageReturn))));
    const unsigned high = static_cast<unsigned>(_mm_movemask_epi8(bytes));
    if (terminators != 0) {
      const unsigned before = (1u << __builtin_ctz(terminators)) - 1;
      if ((highBits | (high & before)) != 0) nonAscii = true;
      return p + __builtin_ctz(terminators);
    }
    highBits |= high;
    p += 16;
  }
  if (highBits != 0) nonAscii = true;
#endif
  for (; p < end; ++p) {
    const unsigned char c = static_cast<unsigned char>(*p);
    if (IsLineEndByte(c)) return p;
    if (c >= 0x80) nonAscii = true;
  }
  return end;
}

String MakeLine(const char* bytes, size_t count, bool nonAscii) {
  return nonAscii ? String::FromUtf8(std::string_view(bytes, count)) : String::FromAscii(bytes, count);
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

TextInputStream::TextInputStream(int fileDescriptor, std::string description)
    : fileDescriptor_(fileDescriptor), description_(std::move(description)), buffer_(new char[kBlockSize]) {}

TextInputStream::~TextInputStream() {
  if (fileDescriptor_ >= 0) ::close(fileDescriptor_);
}

ssize_t TextInputStream::ReadSome(void* buffer, size_t size) { return ::read(fileDescriptor_, buffer, size); }

void TextInputStream::Close() {
  if (fileDescriptor_ >= 0) ::close(fileDescriptor_);
  fileDescriptor_ = -1;
  atEnd_ = true;
  begin_ = end_ = 0;
  longLine_.clear();
  longLine_.shrink_to_fit();
}

bool TextInputStream::HasData() const {
  for (;;) {
    if (begin_ < end_) {
      if (!skipLineFeed_) return true;
      skipLineFeed_ = false;
      if (buffer_[begin_] == '\n') ++begin_;  // the LF of a CRLF split between two blocks
      continue;
    }
    if (atEnd_) return false;
    if (pendingError_ != 0) return true;
    const ssize_t got = const_cast<TextInputStream*>(this)->ReadUninterrupted(buffer_.get(), kBlockSize);
    if (got < 0) {
      pendingError_ = errno != 0 ? errno : EIO;
      return true;
    }
    begin_ = 0;
    end_ = static_cast<size_t>(got);
    if (got == 0) atEnd_ = true;
  }
}

bool TextInputStream::EOF() const { return !HasData() && pendingError_ == 0; }

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

void TextInputStream::ThrowPendingError() {
  const int error = std::exchange(pendingError_, 0);
  atEnd_ = true;  // the rest of the file cannot be trusted
  ThrowReadError(error);
}

size_t TextInputStream::ReadBlock(char* buffer, size_t size) {
  if (fileDescriptor_ < 0) throw IOException("Could not read " + description_ + ": the stream is closed.", EBADF);
  size_t copied = 0;
  while (copied < size) {
    if (begin_ < end_ || skipLineFeed_ || pendingError_ != 0) {
      // Bytes left over from ReadLine (or its pending error) come first.
      if (!HasData()) break;
      if (begin_ == end_) ThrowPendingError();
      const size_t count = std::min(size - copied, end_ - begin_);
      std::memcpy(buffer + copied, buffer_.get() + begin_, count);
      begin_ += count;
      copied += count;
      continue;
    }
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

String TextInputStream::ReadLine() {
  if (fileDescriptor_ < 0) throw IOException("Could not read " + description_ + ": the stream is closed.", EBADF);
  longLine_.clear();
  bool nonAscii = false;
  for (;;) {
    if (!HasData()) {
      if (pendingError_ != 0) break;
      return MakeLine(longLine_.data(), longLine_.size(), nonAscii);  // text after the last terminator
    }
    if (pendingError_ != 0 && begin_ == end_) break;
    const char* start = buffer_.get() + begin_;
    const char* stop = buffer_.get() + end_;
    const char* found = FindLineEnd(start, stop, nonAscii);
    if (found == stop) {
      if (longLine_.size() + (stop - start) > static_cast<size_t>(std::numeric_limits<int32_t>::max()))
        throw IOException("Could not read " + description_ + ": a line is longer than 2147483647 bytes.", EFBIG);
      longLine_.append(start, stop);
      begin_ = end_;
      continue;
    }
    begin_ = static_cast<size_t>(found - buffer_.get()) + 1;
    if (*found == '\r') {
      if (begin_ < end_) {
        if (buffer_[begin_] == '\n') ++begin_;
      } else {
        skipLineFeed_ = true;
      }
    }
    if (longLine_.empty()) return MakeLine(start, static_cast<size_t>(found - start), nonAscii);
    if (longLine_.size() + (found - start) > static_cast<size_t>(std::numeric_limits<int32_t>::max()))
      throw IOException("Could not read " + description_ + ": a line is longer than 2147483647 bytes.", EFBIG);
    longLine_.append(start, found);
    String line = MakeLine(longLine_.data(), longLine_.size(), nonAscii);
    if (longLine_.capacity() > kBlockSize * 4) {
      longLine_.clear();
      longLine_.shrink_to_fit();
    }
    return line;
  }
  ThrowPendingError();
}
