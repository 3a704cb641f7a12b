#include "framework/show_url.h"

#include <QDesktopServices>
#include <QUrl>

#include "framework/dialogs.h"
#include "framework/qt_string.h"

void ShowURL(const String& address) {
  if (!QDesktopServices::openUrl(QUrl(ToQString(address)))) {
    MsgBox(String("The page ") + address + String(" could not be opened in a web browser."));
  }
}
