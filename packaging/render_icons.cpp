// Writes the program's icon as the PNG files of the hicolor icon theme:
//   tarnwick_render_icons FOLDER   ->   FOLDER/<size>x<size>/apps/tarnwick.png
// The icon is drawn on a 32-pixel grid; larger sizes repeat its pixels by a whole factor
// so the edges stay sharp, other sizes are scaled smoothly from the next whole multiple.

#include "windows/window_icons.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QTextStream>

namespace {

constexpr int kSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

QImage iconAt(const QImage& drawn, int side) {
    const int factor = std::max(1, (side + gui::kWindowIconSide - 1) / gui::kWindowIconSide);
    const QImage sharp = drawn.scaled(drawn.size() * factor, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    if (sharp.width() == side)
        return sharp;
    return sharp.scaled(side, side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace

int main(int argc, char* argv[]) {
    // A build step: no screen is needed to draw into an image.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        QTextStream(stderr) << "usage: tarnwick_render_icons FOLDER\n";
        return 2;
    }
    const QDir output(QString::fromLocal8Bit(argv[1]));
    const QSize side(gui::kWindowIconSide, gui::kWindowIconSide);
    const QImage drawn = gui::applicationIcon().pixmap(side).toImage().convertToFormat(QImage::Format_ARGB32);
    for (const int size : kSizes) {
        const QString folder = QStringLiteral("%1x%1/apps").arg(size);
        const QString path = output.filePath(folder + QStringLiteral("/tarnwick.png"));
        if (!output.mkpath(folder) || !iconAt(drawn, size).save(path, "PNG")) {
            QTextStream(stderr) << "could not write " << path << '\n';
            return 1;
        }
    }
    return 0;
}
