#pragma once

#include "cli/arguments.h"
#include "import/reading_rules.h"

#include <QString>

#include <optional>

namespace cli {

// The reading rules that --text-qualifier and --encoding choose; without them the
// window's literal rules. nullopt, with `refusal` saying why, for a value that cannot be
// used: it is refused before anything is opened.
std::optional<importer::ReadingRules> readingRulesFrom(const Arguments& arguments, QString* refusal);

} // namespace cli
