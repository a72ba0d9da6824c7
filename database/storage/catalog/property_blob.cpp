// Property blobs (MSysObjects.LvProp), Jet 4 and ACE.
//
//   offset  size  meaning
//   0       4     "MR2\0"
//   4       ...   chunks: u32 length (including these 6 bytes), u16 kind, body
//   kind 0x80:    property names, each u16 byte length + UTF-16LE
//   kind 0x00/01: values of the object / of one column: u32 length of the name part,
//                 u16 byte length + UTF-16LE name; then entries: u16 length (inclusive),
//                 u8 DDL flag, u8 type code, u16 index into the names, u16 value length, value

#include "database/storage/catalog/property_blob.h"

#include "database/storage/format/text_codec.h"

#include <cstring>

namespace storage {

PropertyBlob parsePropertyBlob(Bytes blob) {
    PropertyBlob result;
    if (blob.size() < 4 || std::memcmp(blob.data(), "MR2\0", 4) != 0)
        return result;
    std::vector<std::string> names;
    std::size_t offset = 4;
    while (fits(blob, offset, 6)) {
        const uint32_t chunkLength = readU32(blob, offset);
        const uint16_t kind = readU16(blob, offset + 4);
        if (chunkLength < 6 || !fits(blob, offset, chunkLength))
            break;
        const Bytes body = blob.subspan(offset + 6, chunkLength - 6);
        offset += chunkLength;
        if (kind == 0x80) {
            std::size_t at = 0;
            while (fits(body, at, 2)) {
                const uint16_t length = readU16(body, at);
                if (!fits(body, at + 2, length))
                    break;
                names.push_back(utf16leToUtf8(body.subspan(at + 2, length)));
                at += 2 + length;
            }
            continue;
        }
        if (kind != 0x00 && kind != 0x01)
            continue;
        const uint32_t namePart = readU32(body, 0);
        const uint16_t nameLength = readU16(body, 4);
        if (namePart < 6 || !fits(body, 0, namePart) || !fits(body, 6, nameLength))
            continue;
        auto& properties = result[utf16leToUtf8(body.subspan(6, nameLength))];
        std::size_t at = namePart;
        while (fits(body, at, 8)) {
            const uint16_t entryLength = readU16(body, at);
            const uint16_t valueLength = readU16(body, at + 6);
            if (entryLength < 8 || !fits(body, at, entryLength) || valueLength > entryLength - 8)
                break;
            const uint16_t nameIndex = readU16(body, at + 4);
            if (nameIndex < names.size()) {
                const Bytes value = body.subspan(at + 8, valueLength);
                properties[names[nameIndex]] = {readU8(body, at + 3), std::vector<uint8_t>(value.begin(), value.end())};
            }
            at += entryLength;
        }
    }
    return result;
}

} // namespace storage
