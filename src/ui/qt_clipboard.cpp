#include "ui/qt_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <cstring>
#include <limits>
#include <memory>
#include <new>

#include "app/clipboard_images.h"

namespace {

QString MimeTypeOf(std::string_view format) {
    if (format == kItemClipboardFormat) return QString::fromLatin1(kItemsMimeType);
    return QString::fromUtf8(format.data(), static_cast<qsizetype>(format.size()));
}

bool FitsByteArray(std::size_t size) {
    return size <= static_cast<std::size_t>(std::numeric_limits<qsizetype>::max()) &&
           size <= kMaxClipboardBytes;
}

QByteArray ToByteArray(std::span<const std::uint8_t> bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<qsizetype>(bytes.size()));
}

std::span<const std::uint8_t> BytesOf(const QByteArray& array) {
    return {reinterpret_cast<const std::uint8_t*>(array.constData()),
            static_cast<std::size_t>(array.size())};
}

// A copy of bytes read from the clipboard, bounded by kMaxClipboardBytes.
bool CopyOut(const QByteArray& array, ClipboardBlock* out) {
    if (!FitsByteArray(static_cast<std::size_t>(array.size()))) return false;
    Block block = AllocateBlock(static_cast<std::size_t>(array.size()));
    if (!block) return false;
    if (!array.isEmpty())
        std::memcpy(block.get(), array.constData(), static_cast<std::size_t>(array.size()));
    out->data = std::move(block);
    out->size = static_cast<std::size_t>(array.size());
    return true;
}

// The bytes of one MIME type, or an empty array when it is missing or too big
// to be read at all.
QByteArray BoundedData(const QMimeData& mime, const QString& type) {
    if (!mime.hasFormat(type)) return {};
    QByteArray data = mime.data(type);
    if (!FitsByteArray(static_cast<std::size_t>(data.size()))) return {};
    return data;
}

}  // namespace

QtClipboard::QtClipboard(QObject* parent) : QObject(parent) {
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        connect(clipboard, &QClipboard::dataChanged, this, &QtClipboard::Changed);
}

bool QtClipboard::IsFormatAvailable(std::string_view format) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    const QMimeData* mime = clipboard ? clipboard->mimeData() : nullptr;
    if (!mime) return false;
    if (format == kDibClipboardFormat)
        return mime->hasFormat(QString::fromLatin1(kPngMimeType)) ||
               mime->hasFormat(QString::fromLatin1(kBmpMimeType));
    return mime->hasFormat(MimeTypeOf(format));
}

QMimeData* QtClipboard::MimeDataFor(std::span<const ClipboardFormatData> formats) {
    try {
        auto mime = std::make_unique<QMimeData>();
        for (const ClipboardFormatData& entry : formats) {
            if (!FitsByteArray(entry.bytes.size())) return nullptr;
            if (entry.format != kDibClipboardFormat) {
                mime->setData(MimeTypeOf(entry.format), ToByteArray(entry.bytes));
                continue;
            }
            // What other programs paste; a DIB that makes neither is not offered.
            ClipboardBlock png;
            if (PngFromPackedDib(entry.bytes, &png))
                mime->setData(QString::fromLatin1(kPngMimeType),
                              ToByteArray({png.data.get(), png.size}));
            ClipboardBlock bmp;
            if (BmpFileFromPackedDib(entry.bytes, &bmp))
                mime->setData(QString::fromLatin1(kBmpMimeType),
                              ToByteArray({bmp.data.get(), bmp.size}));
        }
        return mime.release();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

bool QtClipboard::SetData(std::span<const ClipboardFormatData> formats) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) return false;
    QMimeData* mime = MimeDataFor(formats);
    if (!mime) return false;
    clipboard->setMimeData(mime);  // takes ownership
    return true;
}

bool QtClipboard::ReadFormat(const QMimeData& mime, std::string_view format, ClipboardBlock* out) {
    if (!out) return false;
    try {
        if (format != kDibClipboardFormat) {
            const QString type = MimeTypeOf(format);
            if (!mime.hasFormat(type)) return false;
            return CopyOut(mime.data(type), out);
        }
        const QByteArray png = BoundedData(mime, QString::fromLatin1(kPngMimeType));
        if (!png.isEmpty() && PackedDibFromPng(BytesOf(png), out)) return true;
        const QByteArray bmp = BoundedData(mime, QString::fromLatin1(kBmpMimeType));
        return !bmp.isEmpty() && PackedDibFromBmpFile(BytesOf(bmp), out);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool QtClipboard::GetData(std::string_view format, ClipboardBlock* out) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    const QMimeData* mime = clipboard ? clipboard->mimeData() : nullptr;
    return mime && ReadFormat(*mime, format, out);
}
