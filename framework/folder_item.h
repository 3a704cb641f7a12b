#pragma once
// FolderItem: a path in the file system (it need not exist).

#include <filesystem>

#include "framework/string.h"

class FolderItem {
 public:
  explicit FolderItem(std::filesystem::path path);
  // The last component of the path.
  String Name() const;
  // Absolute and lexically normalised, as the program's String.
  String AbsolutePath() const;
  const std::filesystem::path& NativePath() const { return path_; }

 private:
  std::filesystem::path path_;
};
