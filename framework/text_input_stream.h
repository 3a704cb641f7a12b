#pragma once
// TextInputStream: reads a regular file line by line.
//
// A line ends at LF, CRLF or a lone CR; text after the last terminator is a line of its own,
// while a terminator at the very end adds no empty line. Bytes become characters as in
// String::FromUtf8, so nothing is lost whatever the file holds. The file is read in 1 MiB
// blocks and each line becomes one String.

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

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
  virtual ~TextInputStream();
  TextInputStream(const TextInputStream&) = delete;
  TextInputStream& operator=(const TextInputStream&) = delete;

  // True once every line has been read; an empty file is at its end at once.
  bool EOF() const;
  // The next line without its terminator ("" at the end). IOException on a read error.
  String ReadLine();
  // For scanners that find line ends themselves: the next raw bytes, terminators included,
  // reading until `size` bytes are copied or the file ends. Returns the count, 0 at the end.
  // IOException on a read error.
  size_t ReadBlock(char* buffer, size_t size);
  // The file's present size, or -1 if unknown; only a hint for sizing buffers.
  int64_t SizeHint() const;
  void Close();

 protected:
  // Takes ownership of an open descriptor. For tests, which override ReadSome.
  explicit TextInputStream(int fileDescriptor, std::string description = "the file");
  // One read(2): bytes read, 0 at the end of the file, -1 with errno set on an error.
  virtual ssize_t ReadSome(void* buffer, size_t size);

 private:
  static constexpr size_t kBlockSize = size_t{1} << 16;

  // Makes at least one unread byte available; false at the end of the file. A read error is
  // kept and raised by the next ReadLine, so that EOF() itself does not throw.
  bool HasData() const;
  // ReadSome, tried again when a signal interrupts it.
  ssize_t ReadUninterrupted(void* buffer, size_t size);
  [[noreturn]] void ThrowReadError(int errorNumber) const;
  // Raises the error HasData kept; nothing more is read after it.
  [[noreturn]] void ThrowPendingError();

  int fileDescriptor_;
  std::string description_;
  std::unique_ptr<char[]> buffer_;
  mutable size_t begin_ = 0;
  mutable size_t end_ = 0;
  mutable bool atEnd_ = false;
  mutable bool skipLineFeed_ = false;  // the last line ended in CR at the end of a block
  mutable int pendingError_ = 0;
  std::string longLine_;  // the start of a line that runs past the end of a block
};
