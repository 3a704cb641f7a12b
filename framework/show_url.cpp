#include "framework/show_url.h"

#include <QDesktopServices>
#include <QUrl>

#include "framework/qt_string.h"

void ShowURL(const String& address) {
  // openUrl returns at once; with no browser it only warns, which is all we want.
  QDesktopServices::openUrl(QUrl(ToQString(address)));
}
