#pragma once
// TextInputStream: reads a regular file line by line, or in raw blocks for scanners that find
// line ends themselves.
//
// A line ends at LF, CRLF or a lone CR; text after the last terminator is a line of its own,
// while a terminator at the very end adds no empty line: the lines the counting engine counts.
// Bytes become characters as in String::FromUtf8, so nothing is lost whatever the file holds.
// Lines are read through a read-ahead buffer of 64 KiB; ReadBlock hands out what is left in
// it first and then reads straight into the caller's memory, so the two can be mixed.

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>

#include "framework/folder_item.h"
#include "framework/string.h"

// <cstdio> defines EOF as a macro, which would swallow the method of that name. Once <cstdio>
// has been included its guard keeps the macro from coming back; use
// std::char_traits<char>::eof() where the C constant is wanted.
#undef EOF

// The bytes that end a line: LF, CR, and the two together as CRLF.
constexpr bool IsLineEndByte(unsigned char c) { return c == '\n' || c == '\r'; }

class TextInputStream {
 public:
  // IOException, with the reason, when the path is missing, unreadable, or not a regular file
  // (folders, FIFOs, sockets and devices are refused without ever blocking). Never nullptr.
  static std::unique_ptr<TextInputStream> Open(const FolderItem& file);
  ~TextInputStream();
  TextInputStream(const TextInputStream&) = delete;
  TextInputStream& operator=(const TextInputStream&) = delete;

  // True once every line has been read; an empty file is at its end at once. It reads ahead
  // but never raises: a read error is kept for the next ReadLine or ReadBlock.
  bool EOF();
  // The next line without its terminator ("" at the end). IOException on a read error.
  String ReadLine();
  // The next raw bytes, line ends included, reading until `size` bytes are copied or the
  // file ends. Returns the count, 0 at the end. IOException on a read error.
  size_t ReadBlock(char* buffer, size_t size);
  // The file's present size, or -1 if unknown; only a hint for sizing buffers.
  int64_t SizeHint() const;
  void Close();

  // From now on each read from the file takes at most `pieceSize` bytes, so that line ends
  // fall on every possible block boundary, and read number `failingRead` (1 = the next; 0:
  // none) fails with EIO.
  void ReadInPiecesForTesting(size_t pieceSize, int failingRead = 0);

 private:
  static constexpr size_t kReadAheadSize = size_t{1} << 16;

  // Takes ownership of an open descriptor.
  TextInputStream(int fileDescriptor, std::string description)
      : fileDescriptor_(fileDescriptor), description_(std::move(description)) {}
  // One read from the file, again when a signal interrupts it: bytes read, 0 at the end of
  // the file, -1 with errno set on an error.
  ssize_t ReadSome(char* buffer, size_t size);
  // Makes at least one read-ahead byte available; false at the end of the file. A read error
  // is kept in pendingError_ (and true returned) rather than raised.
  bool HasReadAhead();
  [[noreturn]] void ThrowReadError(int errorNumber) const;
  // Raises the error HasReadAhead kept; nothing more is read after it.
  [[noreturn]] void ThrowPendingError();
  void CheckOpen() const;

  int fileDescriptor_;
  std::string description_;
  bool atEnd_ = false;  // the file has nothing more to read
  size_t pieceSize_ = 0;  // 0: as much as asked for
  int readsUntilFailure_ = 0;  // 0: none fails

  std::unique_ptr<char[]> readAhead_;  // made at the first line read
  size_t begin_ = 0, end_ = 0;  // the unread part of readAhead_
  bool skipLineFeed_ = false;  // the last line ended in a CR at the end of the read-ahead
  int pendingError_ = 0;
  std::string longLine_;  // the start of a line that runs past the end of the read-ahead
};
