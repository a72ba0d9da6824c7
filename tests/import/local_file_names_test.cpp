#include "import/local_file_names.h"

#include <QList>

#include <gtest/gtest.h>

namespace {

// Every byte string comes back as it went in; UTF-8 names read as their characters.
TEST(LocalFileNames, EveryByteStringRoundTripsAndUtf8StaysReadable) {
    const QList<QByteArray> names{
        "plain.txt",
        "caf\xc3\xa9.txt",  // UTF-8
        "caf\xe9.txt",      // Latin-1
        "\xf0\x90\x82\x80", // U+10080: its low surrogate lies among the kept bytes
        "\xed\xb2\x80",     // an encoded surrogate is no UTF-8
        "\xc0\xaf",         // nor is an overlong form
        "\xe2\x82",         // nor a sequence cut short
        QByteArray("\x80\xff\x00z", 4),
    };
    for (const QByteArray& bytes : names) {
        SCOPED_TRACE(bytes.toHex().toStdString());
        const QString name = importer::decodeLocalFileName(bytes);
        EXPECT_EQ(importer::encodeLocalFileName(name), bytes);
    }
    EXPECT_EQ(importer::decodeLocalFileName("caf\xc3\xa9.txt"), QString::fromUtf8("caf\xc3\xa9.txt"));
    EXPECT_FALSE(importer::holdsRawBytes(importer::decodeLocalFileName("\xf0\x90\x82\x80")));
    EXPECT_TRUE(importer::holdsRawBytes(importer::decodeLocalFileName("caf\xe9.txt")));
    EXPECT_EQ(importer::displayLocalFileName(importer::decodeLocalFileName("caf\xe9.txt")),
              QString::fromUtf16(u"caf\u00e9.txt"));
}

} // namespace
