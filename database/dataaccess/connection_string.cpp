#include "database/dataaccess/connection_string.h"

#include <algorithm>

namespace dataaccess {

namespace {

constexpr std::string_view kPasswordKeyword = "jet oledb:database password";

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// Finds the first ";JET OLEDB:Database Password=" (any case, blanks allowed around the
// keyword): where the clause starts and where the password starts.
bool findPasswordClause(std::string_view text, std::size_t& clauseStart, std::size_t& valueStart) {
    const std::string lowered = asciiLower(text);
    for (std::size_t semicolon = lowered.find(';'); semicolon != std::string::npos;
         semicolon = lowered.find(';', semicolon + 1)) {
        std::size_t at = semicolon + 1;
        while (at < lowered.size() && isBlank(lowered[at]))
            ++at;
        if (lowered.compare(at, kPasswordKeyword.size(), kPasswordKeyword) != 0)
            continue;
        at += kPasswordKeyword.size();
        while (at < lowered.size() && isBlank(lowered[at]))
            ++at;
        if (at < lowered.size() && lowered[at] == '=') {
            clauseStart = semicolon;
            valueStart = at + 1;
            return true;
        }
    }
    return false;
}

std::string_view trim(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// A value enclosed in matching quotes loses them; there are no escapes inside.
std::string_view unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

void setOther(ConnectionProperties& properties, std::string key, std::string value) {
    auto found = std::find_if(properties.others.begin(), properties.others.end(),
                              [&](const auto& entry) { return entry.first == key; });
    if (found != properties.others.end())
        found->second = std::move(value);
    else
        properties.others.emplace_back(std::move(key), std::move(value));
}

} // namespace

std::string asciiLower(std::string_view text) {
    std::string lowered(text);
    for (char& c : lowered)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return lowered;
}

ConnectionProperties parseConnectionString(std::string_view text) {
    ConnectionProperties properties;
    bool providerSeen = false;

    std::string_view rest = text;
    std::size_t clauseStart = 0;
    std::size_t valueStart = 0;
    if (findPasswordClause(text, clauseStart, valueStart)) {
        properties.databasePassword = std::string(text.substr(valueStart));
        rest = text.substr(0, clauseStart);
    }

    while (!rest.empty()) {
        const std::size_t end = std::min(rest.find(';'), rest.size());
        std::string_view piece = rest.substr(0, end);
        const std::size_t equals = piece.find('=');
        const std::string key = asciiLower(trim(piece.substr(0, equals)));
        if (key == "data source" && equals != std::string_view::npos) {
            // The path may hold ";": it takes everything up to the password clause.
            properties.dataSource = std::string(unquote(trim(rest.substr(equals + 1))));
            break;
        }
        if (equals != std::string_view::npos && !key.empty()) {
            const std::string value(unquote(trim(piece.substr(equals + 1))));
            if (key == "provider") {
                if (!providerSeen)
                    properties.provider = value;
                providerSeen = true;
            } else if (key == "jet oledb:database password") {
                properties.databasePassword = value;
            } else {
                setOther(properties, key, value);
            }
        }
        rest.remove_prefix(std::min(end + 1, rest.size()));
    }
    return properties;
}

} // namespace dataaccess
