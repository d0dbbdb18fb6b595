#include "platform/db/TDatabase.h"

#include "platform/db/EDatabaseError.h"
#include "platform/db/Session.h"
#include "platform/db/TDataSet.h"

#include <algorithm>

TDatabase::TDatabase(TComponent* AOwner) : TComponent(AOwner) { db::Session::Default().AddDatabase(this); }

TDatabase::~TDatabase() {
    for (TDataSet* ds : std::vector<TDataSet*>(m_dataSets)) ds->Close();
    db::Session::Default().RemoveDatabase(this);
}

void TDatabase::CheckInactive() const {
    if (Connected()) db::database_error("Cannot perform this operation on a connected database", this);
}

void TDatabase::SetDatabaseName(const AnsiString& value) {
    if (value == m_databaseName) return;
    CheckInactive();
    if (!value.empty() && db::Session::Default().FindDatabase(value))
        db::database_error("Duplicate database name '" + value + "'", this);
    m_databaseName = value;
}

void TDatabase::SetDriverName(const AnsiString& value) {
    if (value == m_driverName) return;
    CheckInactive();
    m_driverName = value;
}

void TDatabase::SetParams(const std::vector<AnsiString>& value) {
    if (value == m_params) return;
    CheckInactive();
    m_params = value;
}

void TDatabase::SetConnected(bool value) {
    if (Loading()) {
        m_streamedConnected = value;
        return;
    }
    if (value == Connected()) return;
    if (value) {
        if (m_databaseName.empty()) db::database_error("Missing DatabaseName property", this);
        m_connection = db::Session::Default().Connect({m_databaseName, m_driverName, m_params});
    } else {
        for (TDataSet* ds : std::vector<TDataSet*>(m_dataSets)) ds->Close();
        m_connection.reset();
    }
}

db::Connection& TDatabase::Connection() {
    SetConnected(true);
    return *m_connection;
}

void TDatabase::Loaded() {
    TComponent::Loaded();
    if (m_streamedConnected) SetConnected(true);
}

void TDatabase::AttachDataSet(TDataSet* dataset) {
    if (std::find(m_dataSets.begin(), m_dataSets.end(), dataset) == m_dataSets.end()) m_dataSets.push_back(dataset);
}

void TDatabase::DetachDataSet(TDataSet* dataset) {
    m_dataSets.erase(std::remove(m_dataSets.begin(), m_dataSets.end(), dataset), m_dataSets.end());
}
