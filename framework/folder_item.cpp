#include "framework/folder_item.h"

#include <system_error>
#include <utility>

FolderItem::FolderItem(std::filesystem::path path) : path_(std::move(path)) {}

String FolderItem::Name() const {
  std::filesystem::path name = path_.filename();
  if (name.empty()) name = path_.parent_path().filename();  // "folder/" names the folder
  return String::FromUtf8(name.native());
}

String FolderItem::AbsolutePath() const {
  std::error_code error;
  std::filesystem::path absolute = std::filesystem::absolute(path_, error);
  if (error) absolute = path_;
  return String::FromUtf8(absolute.lexically_normal().native());
}
