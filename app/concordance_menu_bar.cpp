#include "app/concordance_menu_bar.h"

#include <optional>
#include <span>

#include "framework/application.h"
#include "framework/class_registry.h"

std::unique_ptr<class ConcordanceMenuBar> _implicitInstance;

namespace {

enum class ItemKind { Plain, Quit, About };

struct MenuRow {
  ItemKind kind;
  const char* name;
  const char* text;
  std::optional<const char*> shortcut;  // nullopt: never set (separators)
};

constexpr MenuRow kFileMenu[] = {
    {ItemKind::Plain, "FileMenu", "&File", ""},
    {ItemKind::Plain, "FileOpen", "Open", "Cmd+O"},
    {ItemKind::Plain, "FileClose", "Close", "Cmd+W"},
    {ItemKind::Plain, "UntitledSeparator", "-", std::nullopt},
    {ItemKind::Plain, "FileSaveAsCSV", "Save As CSV", ""},
    {ItemKind::Plain, "FileSaveAsText", "Save As Text", ""},
    {ItemKind::Quit, "FileQuit", "&Quit", "Cmd+Q"},
    {ItemKind::About, "AboutMenuItem", "About Varnholt Concordance", ""},
};

constexpr MenuRow kEditMenu[] = {
    {ItemKind::Plain, "EditMenu", "&Edit", ""},
    {ItemKind::Plain, "EditUndo", "&Undo", "Cmd+Z"},
    {ItemKind::Plain, "", "-", std::nullopt},
    {ItemKind::Plain, "EditCut", "Cu&t", "Cmd+X"},
    {ItemKind::Plain, "EditCopy", "&Copy", "Cmd+C"},
    {ItemKind::Plain, "EditPaste", "&Paste", "Cmd+V"},
    {ItemKind::Plain, "EditClear", "&Delete", ""},
    {ItemKind::Plain, "", "-", std::nullopt},
    {ItemKind::Plain, "EditSelectAll", "Select &All", "Cmd+A"},
};

std::unique_ptr<MenuItem> NewItem(ItemKind kind) {
  switch (kind) {
    case ItemKind::Quit: return std::make_unique<QuitMenuItem>();
    case ItemKind::About: return std::make_unique<AppleMenuItem>();
    case ItemKind::Plain: break;
  }
  return std::make_unique<MenuItem>();
}

// The first row is the menu itself, appended to the bar; every later row is appended to
// the menu, found again by name each time.
void BuildMenu(MenuBar& bar, std::span<const MenuRow> rows) {
  const char* menuName = rows.front().name;
  for (const MenuRow& row : rows) {
    std::unique_ptr<MenuItem> item = NewItem(row.kind);
    item->SetName(row.name);
    item->SetAutoEnable(true);
    item->SetText(row.text);
    if (row.shortcut) item->SetKeyboardShortcut(*row.shortcut);
    if (&row == &rows.front()) bar.Append(std::move(item));
    else bar.Child(menuName)->Append(std::move(item));
  }
}

}  // namespace

void ConcordanceMenuBar::RegisterClass() {
  ClassRegistration<class ConcordanceMenuBar>("ConcordanceMenuBar.ConcordanceMenuBar", "MenuBar")
      .Publish("Untitled0", &ConcordanceMenuBar::Untitled0)
      .Publish("Untitled1", &ConcordanceMenuBar::Untitled1)
      .Publish("Constructor", &ConcordanceMenuBar::Constructor)
      .Register();
}

void ConcordanceMenuBar::Constructor() {
  Untitled0();
  Untitled1();
}

void ConcordanceMenuBar::Untitled0() { BuildMenu(*this, kFileMenu); }
void ConcordanceMenuBar::Untitled1() { BuildMenu(*this, kEditMenu); }

class ConcordanceMenuBar& ConcordanceMenuBar() {
  if (!_implicitInstance) {
    auto menuBar = RuntimeNewObject<class ConcordanceMenuBar>();
    menuBar->Constructor();
    // Kept only once it is complete, so a failed build starts afresh next time.
    _implicitInstance = std::move(menuBar);
  }
  return *_implicitInstance;
}
