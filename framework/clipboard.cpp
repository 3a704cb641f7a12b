#include "framework/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <string>

#include "framework/qt_string.h"

String Clipboard::Text() const { return FromQString(QGuiApplication::clipboard()->text()); }

void Clipboard::SetText(const String& text) {
  // Handed over as UTF-8 bytes: a list of millions of rows would take twice the memory again
  // as the toolkit's UTF-16 text.
  uint64_t scratch;
  QByteArray bytes;
  if (const char* ascii = text.AsciiBytes(scratch)) {
    bytes = QByteArray(ascii, text.Length());
  } else {
    const std::string utf8 = text.ToUtf8();
    bytes = QByteArray(utf8.data(), static_cast<qsizetype>(utf8.size()));
  }
  auto* data = new QMimeData();
  data->setData("text/plain;charset=utf-8", bytes);
  QGuiApplication::clipboard()->setMimeData(data);
}

void Clipboard::SetUtf8Text(std::string&& utf8) {
  auto* data = new QMimeData();
  data->setData("text/plain;charset=utf-8", QByteArray(utf8.data(), static_cast<qsizetype>(utf8.size())));
  utf8 = std::string();
  QGuiApplication::clipboard()->setMimeData(data);
}
