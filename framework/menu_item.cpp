#include "framework/menu_item.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include <utility>

#include "framework/application.h"
#include "framework/dispatch.h"
#include "framework/qt_string.h"
#include "framework/unhandled_exception.h"
#include "framework/window.h"

MenuItem::MenuItem() : action_(new QAction()) {
  action_->setShortcutContext(Qt::WindowShortcut);
  QObject::connect(action_, &QAction::triggered, [this] { DispatchMenuCommand(*this); });
}

MenuItem::~MenuItem() {
  children_.clear();
  menu_.reset();
  delete action_;
}

void MenuItem::SetText(const String& text) {
  text_ = text;
  const QString shown = ToQString(text);
  action_->setSeparator(shown == "-");
  // Some styles draw a separator's text as a heading: a separator shows no text.
  action_->setText(action_->isSeparator() ? QString() : shown);
  if (menu_) menu_->setTitle(shown);
}

void MenuItem::SetKeyboardShortcut(const String& shortcut) {
  shortcut_ = shortcut;
  shortcutSet_ = true;
  QString keys = ToQString(shortcut);
  // The command key of the shortcut texts is Ctrl on this platform.
  keys.replace("Cmd+", "Ctrl+", Qt::CaseInsensitive);
  action_->setShortcut(QKeySequence(keys, QKeySequence::PortableText));
}

namespace {
std::function<void(const MenuItem&)> enableObserver;
}  // namespace

void MenuItem::Enable() {
  if (enableObserver) enableObserver(*this);
  action_->setEnabled(true);
}

void MenuItem::ObserveEnableForTesting(std::function<void(const MenuItem&)> observer) {
  enableObserver = std::move(observer);
}

void MenuItem::Disable() { action_->setEnabled(false); }
bool MenuItem::Enabled() const { return action_->isEnabled(); }
bool MenuItem::IsSeparator() const { return action_->isSeparator(); }

QMenu& MenuItem::EnsureMenu() {
  if (!menu_) {
    menu_ = std::make_unique<QMenu>(ToQString(text_));
    QObject::connect(menu_.get(), &QMenu::aboutToShow, [] { RunMenuEnablingPass(); });
  }
  return *menu_;
}

void MenuItem::Append(std::unique_ptr<MenuItem> item) {
  if (dynamic_cast<MenuBar*>(this) == nullptr) EnsureMenu().addAction(item->action_);
  children_.push_back(std::move(item));
}

MenuItem* MenuItem::Child(std::string_view name) const {
  for (const auto& child : children_) {
    if (child->Name() == String(name)) return child.get();
  }
  return nullptr;
}

MenuItem* MenuItem::_Lookup(std::string_view name) const {
  const String wanted(name);
  for (const auto& child : children_) {
    if (child->Name() == wanted) return child.get();
    if (MenuItem* found = child->_Lookup(name)) return found;
  }
  return nullptr;
}

bool QuitMenuItem::DefaultAction() {
  RuntimeQuit();
  return true;
}

namespace {

const MenuHandler* HandlerFor(const MenuHandlers& handlers, const MenuItem& item) {
  const std::string name = item.Name().ToUtf8();
  return name.empty() ? nullptr : handlers.Find(name);
}

bool RunHandler(const MenuHandler& handler) {
  try {
    return handler();
  } catch (...) {
    _UnhandledException(std::current_exception());
    return true;  // the command was taken; nobody else should run it now
  }
}

}  // namespace

void RunMenuEnablingPass() {
  Application* application = _GetAppObject();
  Window* window = RuntimeActiveWindow();
  MenuBar* menuBar = application != nullptr ? application->GetMenuBar() : nullptr;
  if (menuBar == nullptr && window != nullptr) menuBar = window->GetMenuBar();
  if (menuBar == nullptr) return;
  DispatchScope scope;
  menuBar->ForEachItem([&](MenuItem& item) {
    const bool isMenu = item.NativeMenu() != nullptr;
    const bool served = (application != nullptr && HandlerFor(application->RegisteredMenuHandlers(), item)) ||
                        (window != nullptr && HandlerFor(window->RegisteredMenuHandlers(), item));
    const bool enabled = isMenu || dynamic_cast<QuitMenuItem*>(&item) != nullptr || (item.AutoEnable() && served);
    if (enabled) item.Enable();
    else item.Disable();
  });
  try {
    if (application != nullptr) RuntimeRaiseEvent(*application, "EnableMenuItems");
    if (window != nullptr) RuntimeRaiseEvent(*window, "EnableMenuItems");
  } catch (...) {
    _UnhandledException(std::current_exception());
  }
}

bool DispatchMenuCommand(MenuItem& item) {
  DispatchScope scope;
  if (Window* window = RuntimeActiveWindow()) {
    if (const MenuHandler* handler = HandlerFor(window->RegisteredMenuHandlers(), item)) {
      if (RunHandler(*handler)) return true;
    }
  }
  if (Application* application = _GetAppObject()) {
    if (const MenuHandler* handler = HandlerFor(application->RegisteredMenuHandlers(), item)) {
      if (RunHandler(*handler)) return true;
    }
  }
  return RuntimeDispatch([&] { return item.DefaultAction(); }, true);
}

bool ChooseMenuItem(MenuItem& item) {
  RunMenuEnablingPass();
  if (!item.Enabled() || item.IsSeparator() || item.NativeMenu() != nullptr) return false;
  return DispatchMenuCommand(item);
}

void MenuBar::ShowIn(QMainWindow& window) {
  QMenuBar* bar = window.menuBar();
  bar->setNativeMenuBar(false);
  for (int32_t index = 0; index < Count(); ++index) {
    MenuItem& menu = Item(index);
    if (menu.NativeMenu() != nullptr) bar->addMenu(menu.NativeMenu());
    else bar->addAction(menu.NativeAction());
  }
}

void MenuBar::AddShortcutsTo(QWidget& window) {
  ForEachItem([&](MenuItem& item) {
    if (item.NativeMenu() == nullptr && !item.IsSeparator() && !item.NativeAction()->shortcut().isEmpty()) {
      window.addAction(item.NativeAction());
    }
  });
}

namespace {

// Shortcuts never open a menu, so the enabling pass must run before the toolkit decides
// whether a shortcut's action is enabled: once per real chord, for its first receiver.
class ShortcutEnablingFilter : public QObject {
 public:
  static constexpr const char* kObjectName = "ShortcutEnablingFilter";
  explicit ShortcutEnablingFilter(QObject* parent) : QObject(parent) { setObjectName(kObjectName); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::ShortcutOverride) return false;
    auto* keyEvent = static_cast<QKeyEvent*>(event);
    const int key = keyEvent->key();
    if (key == Qt::Key_Control || key == Qt::Key_Shift || key == Qt::Key_Alt || key == Qt::Key_Meta) return false;
    const bool chord = (keyEvent->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0 ||
                       (key >= Qt::Key_F1 && key <= Qt::Key_F35);
    if (!chord) return false;
    QWidget* firstReceiver = QApplication::focusWidget();
    if (firstReceiver == nullptr) firstReceiver = QApplication::activeWindow();
    if (watched == firstReceiver) RunMenuEnablingPass();
    return false;
  }
};

}  // namespace

void InstallShortcutEnablingFilter() {
  QCoreApplication* toolkit = QCoreApplication::instance();
  // Found by name: without Q_OBJECT a typed findChild would match any child of the application.
  if (toolkit->findChild<QObject*>(ShortcutEnablingFilter::kObjectName, Qt::FindDirectChildrenOnly) != nullptr) return;
  toolkit->installEventFilter(new ShortcutEnablingFilter(toolkit));
}
