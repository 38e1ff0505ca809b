// The system clipboard through Qt. The private item format travels under a MIME
// type of our own; the packed DIB is offered to other programs as image/png and
// image/bmp, and read back from whichever of the two another program offers
// (PNG first). What is read comes from other processes: every size is bounded
// and every image is parsed by our own checked readers.
#pragma once

#include <QObject>

#include "platform/door/clipboard.h"

class QMimeData;

// The MIME types the formats travel under.
inline constexpr char kItemsMimeType[] = "application/x-iconmill-items";
inline constexpr char kPngMimeType[] = "image/png";
inline constexpr char kBmpMimeType[] = "image/bmp";

class QtClipboard : public QObject, public Clipboard {
    Q_OBJECT

public:
    explicit QtClipboard(QObject* parent = nullptr);

    // kItemClipboardFormat: our MIME type is there. kDibClipboardFormat: image/png
    // or image/bmp is there (not yet decoded). Any other name is taken as a MIME
    // type. False without a clipboard.
    bool IsFormatAvailable(std::string_view format) override;
    // Replaces the clipboard's content. The packed DIB becomes a PNG stream and a
    // BMP file (whichever can be made; neither when it is not a picture). False
    // when there is no clipboard or the copies cannot be made.
    bool SetData(std::span<const ClipboardFormatData> formats) override;
    // Copies one format's bytes into a new block; the packed DIB is decoded from
    // image/png, else from image/bmp. False when the format is missing, larger
    // than kMaxClipboardBytes, does not decode, or memory runs out.
    bool GetData(std::string_view format, ClipboardBlock* out) override;

signals:
    // The clipboard's content changed (here or in another program): Paste's
    // enabled state may have changed.
    void Changed();

private:
    // The MIME data SetData puts on the clipboard; null when a copy cannot be made.
    static QMimeData* MimeDataFor(std::span<const ClipboardFormatData> formats);
    // Reads one format from MIME data, as GetData describes.
    static bool ReadFormat(const QMimeData& mime, std::string_view format, ClipboardBlock* out);
};
