#include "framework/qt_string.h"

QString ToQString(const String& text) {
  if (text.IsAscii()) {
    const std::string bytes = text.ToUtf8();
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
  }
  const std::string bytes = text.ToUtf8();
  return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

String FromQString(const QString& text) {
  const QByteArray bytes = text.toUtf8();
  return String::FromUtf8(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}
