#include "framework/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QStringList>

#include <string>
#include <string_view>
#include <utility>

#include "framework/free_memory.h"
#include "framework/qt_string.h"

namespace {

// Plain text held as UTF-8 bytes. Offered as "text/plain", which X11 clients get as
// UTF8_STRING, STRING and TEXT as well, and under the explicit UTF-8 name that Wayland
// clients and earlier versions of this program ask for. Both hand out the one shared byte
// array: no UTF-16 copy, which for millions of rows would be twice the text again.
class Utf8Text : public QMimeData {
 public:
  explicit Utf8Text(QByteArray bytes) : bytes_(std::move(bytes)) {}

  QStringList formats() const override { return {QStringLiteral("text/plain"), QStringLiteral("text/plain;charset=utf-8")}; }
  bool hasFormat(const QString& format) const override { return formats().contains(format); }
  const QByteArray& Bytes() const { return bytes_; }

 protected:
  QVariant retrieveData(const QString& format, QMetaType type) const override {
    if (!hasFormat(format)) return {};
    if (type.id() == QMetaType::QString) return QString::fromUtf8(bytes_);
    return bytes_;
  }

 private:
  // Shared, not borrowed: a transfer in parts to another program may outlive this object.
  QByteArray bytes_;
};

void Offer(QByteArray bytes) {
  QGuiApplication::clipboard()->setMimeData(new Utf8Text(std::move(bytes)));
  // The text's memory may lie inside the heap, where freeing it alone keeps it resident.
  GiveBackFreeMemory();
}

}  // namespace

String Clipboard::Text() const {
  const QClipboard* clipboard = QGuiApplication::clipboard();
  if (const auto* ours = dynamic_cast<const Utf8Text*>(clipboard->mimeData()))
    return String::FromUtf8(std::string_view(ours->Bytes().constData(), static_cast<size_t>(ours->Bytes().size())));
  return FromQString(clipboard->text());
}

void Clipboard::SetText(const String& text) {
  uint64_t scratch;
  if (const char* ascii = text.AsciiBytes(scratch)) {
    Offer(QByteArray(ascii, text.Length()));  // ASCII is its own UTF-8: one copy
    return;
  }
  SetUtf8Text(text.ToUtf8());
}

void Clipboard::SetUtf8Text(std::string&& utf8) {
  QByteArray bytes(utf8.data(), static_cast<qsizetype>(utf8.size()));
  std::string().swap(utf8);
  Offer(std::move(bytes));
}
