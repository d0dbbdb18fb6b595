#include "platform/db/Session.h"

#include "platform/db/EDatabaseError.h"
#include "platform/db/TDatabase.h"
#include "text/Cp1251.h"

#include <algorithm>

namespace db {

Connector engine_connector();

Session::Session() : m_connector(engine_connector()) {}

Session& Session::Default() {
    static Session session;
    return session;
}

Connector Session::SetConnector(Connector connector) {
    std::swap(connector, m_connector);
    return connector;
}

std::unique_ptr<Connection> Session::Connect(const ConnectParams& params) const {
    if (!m_connector) throw EDatabaseError("No table engine is available");
    return m_connector(params);
}

TDatabase* Session::FindDatabase(std::string_view name) const {
    if (name.empty()) return nullptr;
    for (TDatabase* d : m_databases)
        if (text::ansi_compare_text(d->DatabaseName(), name) == 0) return d;
    return nullptr;
}

void Session::AddDatabase(TDatabase* database) {
    if (std::find(m_databases.begin(), m_databases.end(), database) == m_databases.end())
        m_databases.push_back(database);
}

void Session::RemoveDatabase(TDatabase* database) {
    m_databases.erase(std::remove(m_databases.begin(), m_databases.end(), database), m_databases.end());
}

}  // namespace db
