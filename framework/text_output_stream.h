#pragma once
// TextOutputStream: writes a text file safely. Everything goes to a temporary file beside the
// target, and only Close() puts it in the target's place, so a failure at any point leaves an
// earlier file exactly as it was and no temporary behind.

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "framework/folder_item.h"
#include "framework/string.h"

class TextOutputStream {
 public:
  // IOException when the file cannot be created: folder missing or not writable, the target a
  // folder or read-only, and so on. Never nullptr.
  static std::unique_ptr<TextOutputStream> Create(const FolderItem& file);
  // Without Close() the temporary file is removed and the target left untouched.
  ~TextOutputStream();
  TextOutputStream(const TextOutputStream&) = delete;
  TextOutputStream& operator=(const TextOutputStream&) = delete;

  // `text` and then Delimiter(), as UTF-8. IOException on any write error, unless
  // UseIOExceptions is off.
  void WriteLine(const String& text);
  // Bytes already in UTF-8, as they are.
  void WriteUtf8(std::string_view bytes);
  String Delimiter() const { return delimiter_; }  // "\n" unless set
  void SetDelimiter(const String& delimiter) { delimiter_ = delimiter; }
  // Flushes, syncs and moves the file into place. IOException if any of that fails, in which
  // case the temporary file is removed and the target is untouched.
  void Close();

  // On, as Create returns the stream: a failed write or save raises IOException. Off: the
  // failure is kept in WriteError and LastErrorCode instead, later writes are dropped, and the
  // file that was there before stays as it was all the same.
  bool UseIOExceptions() const { return useIOExceptions_; }
  void SetUseIOExceptions(bool use) { useIOExceptions_ = use; }
  bool WriteError() const { return lastErrorCode_ != 0; }
  // The errno value of the first failure, 0 while there was none.
  int32_t LastErrorCode() const { return lastErrorCode_; }

  // The `count`-th write to disk from now on (1 = the next) fails with `errorNumber`, as a full
  // disk would. 0 turns it off.
  static void FailWriteForTesting(int32_t count, int errorNumber = ENOSPC);
  // The next move of a finished file into place fails with `errorNumber`; 0 turns it off.
  static void FailRenameForTesting(int errorNumber);

 private:
  TextOutputStream(std::filesystem::path target, std::filesystem::path temporary, int fileDescriptor);
  void Flush();
  void Abandon() noexcept;
  // Abandons the file; raises unless UseIOExceptions is off.
  void Fail(const std::string& action, int errorNumber);
  // Whether the stream can take more; raises when it is closed, unless a recorded failure closed it.
  bool CheckOpen() const;

  std::filesystem::path target_;
  std::filesystem::path temporary_;
  int fileDescriptor_;
  std::string buffer_;
  String delimiter_ = "\n";
  bool useIOExceptions_ = true;
  int32_t lastErrorCode_ = 0;
};
