#include "qt/qt_picture.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>
#include <vector>

#include "platform/exceptions.h"
#include "platform/picture.h"

namespace qv {

namespace {

struct TCachedImage {
    const TGraphic* Graphic;
    std::string Data;
    QImage Image;
};

// Small: a sheet rarely shows more than a handful of distinct graphics.
constexpr size_t CacheSize = 16;

std::vector<TCachedImage>& Cache() {
    static std::vector<TCachedImage> cache;
    return cache;
}

QImage Decode(const TGraphic& Graphic) {
    // Metafiles hold drawing records, not pixels; replaying them is not
    // supported here, so they draw nothing.
    if (dynamic_cast<const TMetafile*>(&Graphic)) return QImage();
    const char* format = dynamic_cast<const TIcon*>(&Graphic) ? "ICO" : "BMP";
    const std::string& data = Graphic.Data();
    QImage image = QImage::fromData(reinterpret_cast<const uchar*>(data.data()), static_cast<int>(data.size()), format);
    if (image.isNull())  // another format behind a class the bytes passed the header checks of
        image = QImage::fromData(reinterpret_cast<const uchar*>(data.data()), static_cast<int>(data.size()));
    return image;
}

}  // namespace

QImage GraphicToImage(const TGraphic& Graphic) {
    if (Graphic.Empty()) return QImage();
    auto& cache = Cache();
    for (size_t i = 0; i < cache.size(); ++i) {
        if (cache[i].Graphic == &Graphic) {
            // The address may have been reused, or the image replaced.
            if (cache[i].Data == Graphic.Data()) return cache[i].Image;
            cache.erase(cache.begin() + static_cast<std::ptrdiff_t>(i));
            break;
        }
    }
    QImage image = Decode(Graphic);
    if (cache.size() >= CacheSize) cache.erase(cache.begin());
    cache.push_back({&Graphic, Graphic.Data(), image});
    return image;
}

void ClearPictureCache() { Cache().clear(); }

std::string ImageToBmpBytes(const QImage& Image) {
    if (Image.isNull()) return {};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    // 24-bit rows are what every bitmap reader accepts; transparency is lost.
    if (!Image.convertToFormat(QImage::Format_RGB888).save(&buffer, "BMP")) return {};
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

void RegisterQtPictureFormats() {
    auto loader = [](const std::string& FileName) -> std::unique_ptr<TGraphic> {
        const QString name = QString::fromStdString(FileName);
        if (!QFileInfo(name).isFile()) throw EFOpenError("Cannot open file \"" + FileName + "\"");
        QImageReader reader(name);
        const QImage image = reader.read();
        if (image.isNull())
            throw EInvalidGraphic("Cannot read picture file \"" + FileName + "\": " +
                                  reader.errorString().toStdString());
        auto bitmap = std::make_unique<TBitmap>();
        bitmap->LoadFromBytes(ImageToBmpBytes(image));
        return bitmap;
    };
    for (const char* ext : {"png", "jpg", "jpeg"}) TPicture::RegisterFileFormat(ext, loader);
}

}  // namespace qv
