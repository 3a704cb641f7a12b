#pragma once
// Conversions between the program's strings and the toolkit's.

#include <QString>

#include "framework/string.h"

QString ToQString(const String& text);
String FromQString(const QString& text);
