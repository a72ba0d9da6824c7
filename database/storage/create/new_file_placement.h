#pragma once

#include "database/storage/status.h"

#include <cstdint>
#include <span>
#include <string>

namespace storage {

// Gives path the content `bytes`, all or nothing: the bytes are written and made
// durable under a temporary name in the same folder, which then becomes path only
// if nothing has that name yet; so a reader never finds a half-written file there,
// and an existing file is never replaced. Fails with 3044 when the folder does not
// exist, 3204 when path is taken (also by a folder), and with the system's reason
// when the folder may not be written; the temporary file is removed on failure.
Status placeNewFile(const std::string& path, std::span<const uint8_t> bytes);

} // namespace storage
