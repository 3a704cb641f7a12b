#include "framework/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QStringList>

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>

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

// The bytes of the string as a byte array, the string emptied. A large text is copied a
// part at a time, and the string's pages already copied are handed back to the system at
// once (their contents are never read again), so the text is not held twice at the peak.
QByteArray TakeBytes(std::string&& text) {
  const std::string taken = std::move(text);
  const size_t size = taken.size();
  QByteArray bytes(static_cast<qsizetype>(size), Qt::Uninitialized);
  constexpr size_t kPart = size_t{1} << 20;
  const auto page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
  const auto source = reinterpret_cast<uintptr_t>(taken.data());
  // Only whole pages inside the string's own bytes: the allocator's records lie outside them.
  const uintptr_t firstPage = (source + page - 1) & ~(page - 1);
  for (size_t done = 0; done < size;) {
    const size_t part = std::min(kPart, size - done);
    std::memcpy(bytes.data() + done, taken.data() + done, part);
    done += part;
    const uintptr_t end = (source + done) & ~(page - 1);
    if (size >= 4 * kPart && end > firstPage) {
      madvise(reinterpret_cast<void*>(firstPage), end - firstPage, MADV_DONTNEED);
    }
  }
  return bytes;
}

}  // namespace

String Clipboard::Text() const { return FromQString(QGuiApplication::clipboard()->text()); }

void Clipboard::SetText(const String& text) {
  uint64_t scratch;
  if (const char* ascii = text.AsciiBytes(scratch)) {
    QGuiApplication::clipboard()->setMimeData(new Utf8Text(QByteArray(ascii, text.Length())));
  } else {
    SetUtf8Text(text.ToUtf8());
  }
}

void Clipboard::SetUtf8Text(std::string&& utf8) {
  QGuiApplication::clipboard()->setMimeData(new Utf8Text(TakeBytes(std::move(utf8))));
}
