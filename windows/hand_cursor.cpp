#include "windows/hand_cursor.h"

#include "database/file_test.h"

#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QtEndian>

namespace gui {

namespace {

// The parts of a cursor file's header that the image reader does not give back:
//   offset 0  size 2  reserved, 0
//   offset 2  size 2  resource type, 2 for cursors (1 for icons)
//   offset 4  size 2  number of images
//   offset 6  size 16 first directory entry; its bytes 4 to 7 hold the hot spot x and y
constexpr int kHeaderSize = 6 + 16;
constexpr quint16 kCursorType = 2;

struct HotSpot {
    int x = 0;
    int y = 0;
};

std::optional<HotSpot> readHotSpot(const QByteArray& bytes) {
    if (bytes.size() < kHeaderSize)
        return std::nullopt;
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData());
    if (qFromLittleEndian<quint16>(data) != 0 || qFromLittleEndian<quint16>(data + 2) != kCursorType ||
        qFromLittleEndian<quint16>(data + 4) == 0)
        return std::nullopt;
    return HotSpot{qFromLittleEndian<quint16>(data + 10), qFromLittleEndian<quint16>(data + 12)};
}

} // namespace

std::optional<QCursor> loadCursorFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    const auto hotSpot = readHotSpot(bytes);
    if (!hotSpot)
        return std::nullopt;
    QImage image;
    if (!image.loadFromData(bytes, "CUR") || image.isNull())
        return std::nullopt;
    const int x = std::min(hotSpot->x, image.width() - 1);
    const int y = std::min(hotSpot->y, image.height() - 1);
    return QCursor(QPixmap::fromImage(image), x, y);
}

std::optional<QCursor> loadHandCursor(const ProgramFolder& programFolder) {
    const QString path = programFolder.find(kHandCursorFile);
    if (!database::FileTest(path))
        return std::nullopt;
    return loadCursorFile(path);
}

} // namespace gui
