#include "framework/qt_string.h"

QString ToQString(const String& text) {
  uint64_t scratch;
  if (const char* ascii = text.AsciiBytes(scratch)) return QString::fromLatin1(ascii, text.Length());
  const std::string bytes = text.ToUtf8();
  return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

String FromQString(const QString& text) {
  const QByteArray bytes = text.toUtf8();
  return String::FromUtf8(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}
