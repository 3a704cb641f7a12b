#include "framework/window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMainWindow>
#include <QMenuBar>

#include <algorithm>

#include "framework/dispatch.h"
#include "framework/qt_string.h"

namespace {

// The toolkit window behind a framework window.
class NativeWindow : public QMainWindow {
 public:
  explicit NativeWindow(Window& owner) : owner_(owner) {}

 protected:
  void closeEvent(QCloseEvent* event) override {
    QMainWindow::closeEvent(event);
    if (event->isAccepted()) owner_.HandleClosed();
  }

 private:
  Window& owner_;
};

// The content area below the menu bar, where the controls live.
class ContentArea : public QWidget {
 public:
  explicit ContentArea(Window& owner) : owner_(owner) {}

 protected:
  void resizeEvent(QResizeEvent* event) override {
    QWidget::resizeEvent(event);
    owner_.RepositionControls();
  }

 private:
  Window& owner_;
};

struct WindowLists {
  std::vector<std::unique_ptr<Window>> open;
  std::vector<std::unique_ptr<Window>> closed;  // destroyed once no handler runs
};

WindowLists& Lists() {
  static WindowLists lists;
  return lists;
}

}  // namespace

struct Window::Native {
  explicit Native(Window& owner) : window(new ::NativeWindow(owner)), content(new ::ContentArea(owner)) {
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    window->setCentralWidget(content);
  }
  ~Native() { delete window; }

  ::NativeWindow* window;
  ::ContentArea* content;  // owned by window
  bool closeButton = true, minimizeButton = true, maximizeButton = true, resizeable = true;
  int32_t minWidth = 0, minHeight = 0, maxWidth = QWIDGETSIZE_MAX, maxHeight = QWIDGETSIZE_MAX;
};

Window::Window() : native_(std::make_unique<Native>(*this)) { native_->content->resize(0, 0); }

Window::~Window() {
  controls_.clear();
  native_.reset();
}

void Window::Constructor() {
  open_ = true;
  RuntimeRaiseEvent(*this, "Layout");
  RuntimeRaiseEvent(*this, "CreateControls");
  RuntimeRaiseEvent(*this, "AddMenuHandlers", this);
  CheckDeclaredControls();
  if (Application* application = _GetAppObject(); application != nullptr && application->GetMenuBarView() != nullptr) {
    application->GetMenuBarView()->AddShortcutsTo(*native_->window);
  } else if (menuBar_ != nullptr) {
    menuBar_->AddShortcutsTo(*native_->window);
  }
  UpdateWindowFlags();
  UpdateSizeLimits();
  if (showWhenBuilt_ && open_) native_->window->show();
}

void Window::SetTitle(const String& title) { native_->window->setWindowTitle(ToQString(title)); }

void Window::SetMenuBar(MenuBarView* menuBar) {
  menuBar_ = menuBar;
  native_->window->menuBar()->clear();
  if (menuBar != nullptr) menuBar->ShowIn(*native_->window);
}

void Window::_AddMenuHandler(std::string_view itemName, MenuHandler handler) {
  menuHandlers_.Add(itemName, std::move(handler));
}

void Window::Close() {
  if (!open_) return;
  native_->window->close();
  // A window that refused to close by the toolkit's route is still closed for us.
  if (open_) HandleClosed();
}

void Window::HandleClosed() {
  if (!open_) return;
  open_ = false;
  native_->window->hide();
  WindowLists& lists = Lists();
  auto found = std::find_if(lists.open.begin(), lists.open.end(), [&](const auto& kept) { return kept.get() == this; });
  if (found == lists.open.end()) return;
  lists.closed.push_back(std::move(*found));
  lists.open.erase(found);
  // Its widgets may be delivering the very event that closed it.
  DispatchScope::RunFromEventLoop(QCoreApplication::instance(), &ReleaseClosedWindows);
}

void ReleaseClosedWindows() {
  auto closed = std::move(Lists().closed);
  Lists().closed.clear();
  closed.clear();
}

void Window::CheckDeclaredControls() const {
  for (const RuntimeClass* runtimeClass : RuntimeClassOf(*this).Lineage()) {
    for (const DeclaredControl& declared : runtimeClass->controls) {
      const WindowControl& control = RuntimeWindowControlByName(*this, declared.name);
      const RuntimeClass* controlClass = RuntimeClassOfType(typeid(control));
      if (controlClass == nullptr || !controlClass->IsA(declared.className)) {
        throw RuntimeException("The control " + declared.name + " is a " + RuntimeClassNameOf(typeid(control)) +
                               ", not a " + declared.className);
      }
    }
  }
}

bool Window::IsVisible() const { return native_->window->isVisible(); }
int32_t Window::Width() const { return native_->content->width(); }
int32_t Window::Height() const { return native_->content->height(); }

void Window::_AddControl(const String& name, std::unique_ptr<WindowControl> control) {
  if (control == nullptr) throw RuntimeException("Nil control added to a window");
  if (ControlByName(name.ToUtf8()) != nullptr) {
    throw RuntimeException("The window already has a control named " + name.ToUtf8());
  }
  control->AttachTo(*this, name);
  controls_.push_back(std::move(control));
}

WindowControl* Window::ControlByName(std::string_view name) const {
  const String wanted(name);
  for (const auto& control : controls_) {
    if (control->Name() == wanted) return control.get();
  }
  return nullptr;
}

QMainWindow* Window::NativeWindow() const { return native_->window; }
QWidget* Window::ContentArea() const { return native_->content; }

void Window::RepositionControls() {
  for (const auto& control : controls_) control->Reposition(Width(), Height());
}

void Window::UpdateWindowFlags() {
  const Native& native = *native_;
  Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint;
  if (native.closeButton) flags |= Qt::WindowCloseButtonHint;
  if (native.minimizeButton) flags |= Qt::WindowMinimizeButtonHint;
  if (native.maximizeButton && native.resizeable) flags |= Qt::WindowMaximizeButtonHint;
  const bool wasVisible = native.window->isVisible();
  native.window->setWindowFlags(flags);
  if (wasVisible) native.window->show();
}

void Window::UpdateSizeLimits() {
  Native& native = *native_;
  ::ContentArea* content = native.content;
  if (native.resizeable) {
    content->setMinimumSize(native.minWidth, native.minHeight);
    content->setMaximumSize(std::min<int32_t>(native.maxWidth, QWIDGETSIZE_MAX),
                            std::min<int32_t>(native.maxHeight, QWIDGETSIZE_MAX));
  } else {
    content->setFixedSize(content->size());
    // Fix the window too, or the window manager still lets the user resize or maximise it.
    native.window->setFixedSize(native.window->size());
  }
}

void Window::ApplyProperty(std::string_view name, const PropertyValue& value) {
  Native& native = *native_;
  const auto resizeContent = [&](int32_t width, int32_t height) {
    native.content->resize(width, height);
    const int menuHeight = menuBar_ != nullptr && native.window->menuBar()->isVisibleTo(native.window)
                               ? native.window->menuBar()->sizeHint().height()
                               : 0;
    native.window->resize(width, height + menuHeight);
  };
  if (name == "Width") resizeContent(PropertyInt32(value), Height());
  else if (name == "Height") resizeContent(Width(), PropertyInt32(value));
  else if (name == "MinWidth") native.minWidth = PropertyInt32(value);
  else if (name == "MinHeight") native.minHeight = PropertyInt32(value);
  else if (name == "MaxWidth") native.maxWidth = PropertyInt32(value);
  else if (name == "MaxHeight") native.maxHeight = PropertyInt32(value);
  else if (name == "Title") SetTitle(PropertyString(value));
  else if (name == "Visible") showWhenBuilt_ = PropertyBoolean(value);
  else if (name == "CloseButton") native.closeButton = PropertyBoolean(value);
  else if (name == "MinimizeButton") native.minimizeButton = PropertyBoolean(value);
  else if (name == "MaximizeButton") native.maximizeButton = PropertyBoolean(value);
  else if (name == "Resizeable") native.resizeable = PropertyBoolean(value);
  else if (name == "MenuBarVisible") {
    if (menuBar_ != nullptr) native.window->menuBar()->setVisible(PropertyBoolean(value));
  }
  else if (name == "HasBackColor" || name == "BackColor") {
    const auto hasBackColor = Property("HasBackColor");
    const auto backColor = Property("BackColor");
    if (hasBackColor && PropertyBoolean(*hasBackColor) && backColor) {
      const Color color = PropertyColor(*backColor);
      QPalette palette = native.content->palette();
      palette.setColor(QPalette::Window, QColor(color.red, color.green, color.blue));
      native.content->setPalette(palette);
      native.content->setAutoFillBackground(true);
    }
  }
  // Placement, Frame, Composite, FullScreen, LiveResize and MacProcID are kept without an effect.
}

std::vector<Window*> RuntimeOpenWindows() {
  std::vector<Window*> windows;
  for (const auto& window : Lists().open) windows.push_back(window.get());
  return windows;
}

Window* RuntimeWindowFor(const QWidget* widget) {
  if (widget == nullptr) return nullptr;
  for (const auto& window : Lists().open) {
    if (window->NativeWindow() == widget->window()) return window.get();
  }
  return nullptr;
}

Window* RuntimeActiveWindow() { return RuntimeWindowFor(QApplication::activeWindow()); }

WindowControl& RuntimeWindowControlByName(const Window& window, std::string_view name) {
  WindowControl* control = window.ControlByName(name);
  if (control == nullptr) throw RuntimeException("The window has no control named " + std::string(name));
  return *control;
}

Window& RuntimeConstructWindow(std::unique_ptr<Window> window) {
  Window& kept = *window;
  Lists().open.push_back(std::move(window));
  try {
    kept.Constructor();
  } catch (...) {
    kept.Close();
    throw;
  }
  return kept;
}
