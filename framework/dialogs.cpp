#include "framework/dialogs.h"

#include <QApplication>
#include <QCursor>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QPointer>
#include <QSpacerItem>
#include <QStringList>

#include "framework/file_type.h"
#include "framework/dispatch.h"
#include "framework/qt_string.h"

namespace {

QStringList NameFilters(const String& filter) {
  QStringList filters;
  for (const std::string& nameFilter : DialogNameFilters(filter)) filters << QString::fromStdString(nameFilter);
  return filters;
}

// The window a dialog belongs to: the one whose command is running (unless the command
// closed it), else the active one.
QWidget* OwnerWindow() {
  QWidget* window = DispatchScope::CommandWindow();
  return window != nullptr && window->isVisible() ? window : QApplication::activeWindow();
}

// Gives the activation back to the owner when the dialog is gone. Left to itself the
// window manager may activate any other window, and the next Ctrl+W would close that one.
class OwnerReactivation {
 public:
  OwnerReactivation() : owner_(OwnerWindow()) {}
  ~OwnerReactivation() {
    if (owner_ == nullptr || !owner_->isVisible()) return;
    owner_->raise();
    owner_->activateWindow();
  }
  OwnerReactivation(const OwnerReactivation&) = delete;
  OwnerReactivation& operator=(const OwnerReactivation&) = delete;
  QWidget* Owner() const { return owner_; }

 private:
  QPointer<QWidget> owner_;
};

std::unique_ptr<FolderItem> ChosenFile(QFileDialog& dialog) {
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return nullptr;
  const QByteArray path = QFile::encodeName(dialog.selectedFiles().constFirst());
  return std::make_unique<FolderItem>(std::filesystem::path(path.toStdString()));
}

}  // namespace

std::unique_ptr<FolderItem> GetOpenFolderItem(const String& filter) {
  const OwnerReactivation reactivation;
  QFileDialog dialog(reactivation.Owner(), QObject::tr("Open"));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilters(NameFilters(filter));
  return ChosenFile(dialog);
}

std::unique_ptr<FolderItem> GetSaveFolderItem(const String& filter, const String& defaultName) {
  const OwnerReactivation reactivation;
  QFileDialog dialog(reactivation.Owner(), QObject::tr("Save As"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilters(NameFilters(filter));
  dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
  dialog.selectFile(ToQString(defaultName));
  return ChosenFile(dialog);
}

void MsgBox(const String& text, MessageKind kind) {
  const OwnerReactivation reactivation;
  const QMessageBox::Icon icon = kind == MessageKind::Error     ? QMessageBox::Critical
                                 : kind == MessageKind::Warning ? QMessageBox::Warning
                                                                : QMessageBox::Information;
  QMessageBox box(icon, QApplication::applicationName(), ToQString(text), QMessageBox::Ok, reactivation.Owner());
  box.setTextFormat(Qt::PlainText);
  // Wide enough for the window manager to show the whole title next to its buttons; the
  // box sizes itself to its layout's minimum width.
  QFont titleFont = box.font();
  titleFont.setBold(true);
  const int titleWidth = QFontMetrics(titleFont).horizontalAdvance(box.windowTitle()) + 200;
  if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
    grid->addItem(new QSpacerItem(titleWidth, 0, QSizePolicy::Fixed, QSizePolicy::Minimum), grid->rowCount(), 0, 1,
                  grid->columnCount());
  }
  // A message in the middle of a long command waits for the user, not the other way round:
  // show the normal cursor over it, and the busy one again afterwards.
  const bool busy = QApplication::overrideCursor() != nullptr;
  if (busy) QApplication::setOverrideCursor(Qt::ArrowCursor);
  box.exec();
  if (busy) QApplication::restoreOverrideCursor();
}
