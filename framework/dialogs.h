#pragma once
// Modal dialogs: choosing a file to open or to save, and the message box. After each, the
// window whose command opened it is the active one again.

#include <memory>

#include "framework/folder_item.h"
#include "framework/string.h"

// A modal open dialog filtered by the registered file types named in filter
// ("text/plain;"), with "All files (*)" as the second choice. nullptr when cancelled.
std::unique_ptr<FolderItem> GetOpenFolderItem(const String& filter);
// A modal save dialog with the same filter and a proposed name. It asks before an
// existing file is replaced and adds no extension. nullptr when cancelled.
std::unique_ptr<FolderItem> GetSaveFolderItem(const String& filter, const String& defaultName);
// What a message tells the user; it decides the message box's icon.
enum class MessageKind { Information, Warning, Error };
// A modal message box with the text and an OK button; returns when it is dismissed. The
// program's messages report things that went wrong, hence the default.
void MsgBox(const String& text, MessageKind kind = MessageKind::Warning);
