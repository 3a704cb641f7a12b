#pragma once
// TextInputStream: reads a regular file's raw bytes in blocks, for scanners that find line
// ends themselves. It keeps no buffer of its own: each block goes straight into the
// caller's memory.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "framework/folder_item.h"

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
  // Takes ownership of an open descriptor.
  TextInputStream(int fileDescriptor, std::string description)
      : fileDescriptor_(fileDescriptor), description_(std::move(description)) {}
  [[noreturn]] void ThrowReadError(int errorNumber) const;

  int fileDescriptor_;
  std::string description_;
  bool atEnd_ = false;
  size_t pieceSize_ = 0;  // 0: as much as asked for
  int readsUntilFailure_ = 0;  // 0: none fails
};
