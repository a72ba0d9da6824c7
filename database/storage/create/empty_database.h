#pragma once

#include "database/storage/open_options.h"
#include "database/storage/status.h"
#include "database/storage/table/value.h"

#include <cstdint>
#include <string>
#include <vector>

namespace storage {

// The bytes of a new, empty database, built in memory:
//   Jet 4 (16 pages), as the engine creates one without Access: header, global
//   usage map, the definitions of MSysObjects, MSysACEs, MSysQueries and
//   MSysRelationships on pages 2-5, one page of usage maps for all four, their
//   seven index roots, then the data pages of MSysObjects and MSysACEs;
//   ACE: the same four tables, each with its own map page, then MSysObjects'
//   data page, the ten ACE system tables (definition, map page, index roots each)
//   and MSysACEs' data page, as in every .accdb Access makes.
// Every object gets `created` as its dates. password: Jet 4 only, at most 20 UTF-16
// units, checked by the caller.
Result<std::vector<uint8_t>> emptyDatabaseImage(FileFormat format, const std::u16string& password, DateTime created);

} // namespace storage
