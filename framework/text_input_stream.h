#pragma once
// TextInputStream: reads a regular file's raw bytes in blocks, for scanners that find line
// ends themselves. It keeps no buffer of its own: each block goes straight into the
// caller's memory.

#include <sys/types.h>

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
  virtual ~TextInputStream();
  TextInputStream(const TextInputStream&) = delete;
  TextInputStream& operator=(const TextInputStream&) = delete;

  // The next raw bytes, line ends included, reading until `size` bytes are copied or the
  // file ends. Returns the count, 0 at the end. IOException on a read error.
  size_t ReadBlock(char* buffer, size_t size);
  // The file's present size, or -1 if unknown; only a hint for sizing buffers.
  int64_t SizeHint() const;
  void Close();

 protected:
  // Takes ownership of an open descriptor. For tests, which override ReadSome.
  explicit TextInputStream(int fileDescriptor, std::string description = "the file")
      : fileDescriptor_(fileDescriptor), description_(std::move(description)) {}
  // One read(2): bytes read, 0 at the end of the file, -1 with errno set on an error.
  virtual ssize_t ReadSome(void* buffer, size_t size);

 private:
  // ReadSome, tried again when a signal interrupts it.
  ssize_t ReadUninterrupted(void* buffer, size_t size);
  [[noreturn]] void ThrowReadError(int errorNumber) const;

  int fileDescriptor_;
  std::string description_;
  bool atEnd_ = false;
};
