#include "database/dataaccess/provider.h"

namespace dataaccess {

void ProviderRegistry::add(std::string_view name, std::shared_ptr<Provider> provider) {
    m_providers[asciiLower(name)] = std::move(provider);
}

Provider* ProviderRegistry::find(std::string_view name) const {
    const auto found = m_providers.find(asciiLower(name));
    return found == m_providers.end() ? nullptr : found->second.get();
}

} // namespace dataaccess
