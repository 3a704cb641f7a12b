#include "framework/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

#include "framework/qt_string.h"

String Clipboard::Text() const { return FromQString(QGuiApplication::clipboard()->text()); }

void Clipboard::SetText(const String& text) { QGuiApplication::clipboard()->setText(ToQString(text)); }
