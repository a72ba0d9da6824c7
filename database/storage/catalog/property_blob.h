#pragma once

#include "database/storage/format/bytes.h"

#include <map>
#include <string>
#include <vector>

namespace storage {

struct PropertyValue {
    uint8_t typeCode = 0; // a column type code
    std::vector<uint8_t> bytes;
};

// Properties of an object and of its columns, from an MSysObjects.LvProp blob.
// Key "" holds the object's own properties, other keys are column names.
using PropertyBlob = std::map<std::string, std::map<std::string, PropertyValue>>;

// Parses what it can: a damaged blob yields the properties before the damage.
PropertyBlob parsePropertyBlob(Bytes blob);

} // namespace storage
