#include "framework/dialogs.h"

#include <QApplication>
#include <QCursor>
#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

#include "framework/file_type.h"
#include "framework/native.h"
#include "framework/qt_string.h"

namespace {

QStringList NameFilters(const String& filter) {
  QStringList filters;
  for (const std::string& nameFilter : DialogNameFilters(filter)) filters << QString::fromStdString(nameFilter);
  return filters;
}

std::unique_ptr<FolderItem> ChosenFile(QFileDialog& dialog) {
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return nullptr;
  const QByteArray path = QFile::encodeName(dialog.selectedFiles().constFirst());
  return std::make_unique<FolderItem>(std::filesystem::path(path.toStdString()));
}

}  // namespace

std::unique_ptr<FolderItem> GetOpenFolderItem(const String& filter) {
  QFileDialog dialog(QApplication::activeWindow(), QObject::tr("Open"));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilters(NameFilters(filter));
  return ChosenFile(dialog);
}

std::unique_ptr<FolderItem> GetSaveFolderItem(const String& filter, const String& defaultName) {
  QFileDialog dialog(QApplication::activeWindow(), QObject::tr("Save As"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilters(NameFilters(filter));
  dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
  dialog.selectFile(ToQString(defaultName));
  return ChosenFile(dialog);
}

void MsgBox(const String& text) {
  QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), ToQString(text), QMessageBox::Ok,
                  QApplication::activeWindow());
  box.setTextFormat(Qt::PlainText);
  // A message in the middle of a long command waits for the user, not the other way round:
  // show the normal cursor over it, and the busy one again afterwards.
  const bool busy = QApplication::overrideCursor() != nullptr;
  if (busy) QApplication::setOverrideCursor(Qt::ArrowCursor);
  box.exec();
  if (busy) QApplication::restoreOverrideCursor();
}
