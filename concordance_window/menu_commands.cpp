#include "concordance_window/word_count_window.h"
#include "framework/checked_cast.h"

template <typename ItemClass>
ItemClass& WordCountWindow::MenuBarItem(std::string_view name) {
  return MenuItemNamed<ItemClass>(GetMenuBar(), name);
}

MenuItem& WordCountWindow::EditMenu() { return MenuBarItem<MenuItem>("EditMenu"); }
MenuItem& WordCountWindow::EditSelectAll() { return MenuBarItem<MenuItem>("EditSelectAll"); }
MenuItem& WordCountWindow::EditClear() { return MenuBarItem<MenuItem>("EditClear"); }
MenuItem& WordCountWindow::EditPaste() { return MenuBarItem<MenuItem>("EditPaste"); }
MenuItem& WordCountWindow::EditCopy() { return MenuBarItem<MenuItem>("EditCopy"); }
MenuItem& WordCountWindow::EditCut() { return MenuBarItem<MenuItem>("EditCut"); }
MenuItem& WordCountWindow::EditUndo() { return MenuBarItem<MenuItem>("EditUndo"); }
MenuItem& WordCountWindow::FileMenu() { return MenuBarItem<MenuItem>("FileMenu"); }
AppleMenuItem& WordCountWindow::AboutMenuItem() { return MenuBarItem<AppleMenuItem>("AboutMenuItem"); }
QuitMenuItem& WordCountWindow::FileQuit() { return MenuBarItem<QuitMenuItem>("FileQuit"); }
MenuItem& WordCountWindow::FileSaveAsText() { return MenuBarItem<MenuItem>("FileSaveAsText"); }
MenuItem& WordCountWindow::FileSaveAsCSV() { return MenuBarItem<MenuItem>("FileSaveAsCSV"); }
MenuItem& WordCountWindow::UntitledSeparator() { return MenuBarItem<MenuItem>("UntitledSeparator"); }
MenuItem& WordCountWindow::FileClose() { return MenuBarItem<MenuItem>("FileClose"); }
MenuItem& WordCountWindow::FileOpen() { return MenuBarItem<MenuItem>("FileOpen"); }

void WordCountWindow::AddMenuHandlers(Window& w) {
  auto& window = RuntimeCheckCast<WordCountWindow>(w);
  _AddMenuHandler("FileClose", RuntimeCreateDelegate(&WordCountWindow::_FileClose_Action, window));
  _AddMenuHandler("EditCopy", RuntimeCreateDelegate(&WordCountWindow::_EditCopy_Action, window));
  _AddMenuHandler("FileSaveAsCSV", RuntimeCreateDelegate(&WordCountWindow::_FileSaveAsCSV_Action, window));
  _AddMenuHandler("FileSaveAsText", RuntimeCreateDelegate(&WordCountWindow::_FileSaveAsText_Action, window));
}

void WordCountWindow::Event_EnableMenuItems() {
  FileSaveAsCSV().Enable();
  FileSaveAsText().Enable();
  EditCopy().Enable();
  FileClose().Enable();
}

bool WordCountWindow::_FileClose_Action() {
  Close();
  return true;
}
