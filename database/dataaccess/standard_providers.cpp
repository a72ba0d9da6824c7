#include "database/dataaccess/storage_provider.h"

namespace dataaccess {

const ProviderRegistry& ProviderRegistry::standard() {
    static const ProviderRegistry registry = [] {
        ProviderRegistry providers;
        providers.add("Microsoft.ACE.OLEDB.12.0", std::make_shared<StorageProvider>(storage::Engine::Ace));
        providers.add("Microsoft.Jet.OLEDB.4.0", std::make_shared<StorageProvider>(storage::Engine::Jet));
        return providers;
    }();
    return registry;
}

} // namespace dataaccess
