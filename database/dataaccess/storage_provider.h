#pragma once

#include "database/dataaccess/provider.h"
#include "database/storage/engine/database_session.h"
#include "database/storage/open_options.h"
#include "database/storage/status.h"

namespace dataaccess {

// The Access providers on our own storage engine. The file's own header decides its
// format; the provider decides only the wording of messages and that the Jet
// provider, like Microsoft's, does not open ACE files.
class StorageProvider : public Provider {
public:
    // `layer` stands between the sessions and their files; tests put faults there.
    explicit StorageProvider(storage::Engine engine, storage::DatabaseSession::FileLayer layer = {})
        : m_engine(engine), m_layer(std::move(layer)) {}
    Status open(const ConnectionProperties& properties, int mode, std::unique_ptr<Session>& session) override;

private:
    storage::Engine m_engine;
    storage::DatabaseSession::FileLayer m_layer;
};

// The number the platform raises for an engine error: the OLE DB result code that
// Microsoft's provider maps that Jet error to.
int hresultForJetError(int jetNumber);
Error fromStorage(const storage::Error& error);

} // namespace dataaccess
