#include "database/dataaccess/provider.h"

namespace dataaccess {

const ProviderRegistry& ProviderRegistry::standard() {
    static const ProviderRegistry registry = [] {
        ProviderRegistry providers;
        return providers;
    }();
    return registry;
}

} // namespace dataaccess
