#include "support/temp_dir.h"
#include "windows/hand_cursor.h"
#include "windows/window_centring.h"
#include "windows/window_pointer.h"

#include <QDir>
#include <QWidget>
#include <QtEndian>

#include <gtest/gtest.h>

namespace {

TEST(WindowCentring, KeepsFractionsAndGoesNegativeWhenTooLarge) {
    EXPECT_EQ(gui::centredPosition({15360, 11520}, {6360, 11000}), QPointF(4500, 260));
    EXPECT_EQ(gui::centredPosition({1001, 500}, {100, 100}), QPointF(450.5, 200));
    EXPECT_EQ(gui::centredPosition({800, 600}, {1000, 700}), QPointF(-100, -50));
}

// A 32 by 32 cursor file with one 32-bit image and the hot spot (5, 2).
std::string cursorFile() {
    constexpr int kSide = 32;
    std::string bytes;
    auto put16 = [&](quint16 v) { bytes.append({char(v & 0xff), char(v >> 8)}); };
    auto put32 = [&](quint32 v) { put16(quint16(v & 0xffff)); put16(quint16(v >> 16)); };
    const quint32 pixels = kSide * kSide * 4;
    const quint32 mask = kSide * 4; // one bit per pixel, rows padded to 4 bytes
    const quint32 imageSize = 40 + pixels + mask;
    put16(0); put16(2); put16(1);                      // reserved, type cursor, one image
    bytes.append({char(kSide), char(kSide), 0, 0});    // width, height, colours, reserved
    put16(5); put16(2);                                // hot spot
    put32(imageSize); put32(6 + 16);                   // size and offset of the image
    put32(40); put32(kSide); put32(kSide * 2);         // BITMAPINFOHEADER, height doubled for the mask
    put16(1); put16(32); put32(0); put32(pixels); put32(0); put32(0); put32(0); put32(0);
    for (int i = 0; i < kSide * kSide; ++i)
        put32(0xff2050c0);
    bytes.append(mask, '\0');
    return bytes;
}

TEST(HandCursor, LoadsTheFileWithItsHotSpotOrNothing) {
    testsupport::TempDir dir;
    const QString folder = QString::fromStdString(dir.path().string());
    EXPECT_FALSE(gui::loadHandCursor(folder).has_value());

    testsupport::writeFile(dir.file("HAND-M.CUR"), "not a cursor");
    EXPECT_FALSE(gui::loadHandCursor(folder).has_value());

    testsupport::writeFile(dir.file("HAND-M.CUR"), cursorFile());
    const auto cursor = gui::loadHandCursor(folder);
    ASSERT_TRUE(cursor.has_value());
    EXPECT_EQ(cursor->hotSpot(), QPoint(5, 2));
    EXPECT_EQ(cursor->pixmap().size(), QSize(32, 32));

    // The name counts in any letter case, as on the platform the file comes from.
    ASSERT_TRUE(QDir(folder).rename("HAND-M.CUR", "hand-m.cur"));
    EXPECT_TRUE(gui::loadHandCursor(folder).has_value());
}

TEST(WindowPointer, StatesShowDefaultBusyAndCustomPointers) {
    QWidget window;
    gui::WindowPointer pointer(window);
    pointer.setState(importer::pointer::kCustom);
    EXPECT_EQ(window.cursor().shape(), Qt::ArrowCursor); // no picture loaded
    pointer.setCustomCursor(QCursor(Qt::PointingHandCursor));
    EXPECT_EQ(window.cursor().shape(), Qt::PointingHandCursor);
    pointer.setState(importer::pointer::kBusy);
    EXPECT_EQ(window.cursor().shape(), Qt::WaitCursor);
    pointer.setState(importer::pointer::kDefault);
    EXPECT_EQ(window.cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(pointer.state(), importer::pointer::kDefault);
}

} // namespace
