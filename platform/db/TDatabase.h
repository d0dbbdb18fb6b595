// A named connection to a database of the table store. Tables whose
// DatabaseName equals this DatabaseName open through it; disconnecting
// closes them first.
#pragma once

#include "platform/classes/TComponent.h"
#include "platform/db/TableAccess.h"

#include <memory>
#include <vector>

class TDataSet;

class TDatabase : public TComponent {
public:
    explicit TDatabase(TComponent* AOwner = nullptr);
    ~TDatabase() override;

    const AnsiString& DatabaseName() const { return m_databaseName; }
    void SetDatabaseName(const AnsiString& value);
    const AnsiString& DriverName() const { return m_driverName; }
    void SetDriverName(const AnsiString& value);
    // "NAME=VALUE" lines handed to the driver.
    const std::vector<AnsiString>& Params() const { return m_params; }
    void SetParams(const std::vector<AnsiString>& value);
    bool LoginPrompt() const { return m_loginPrompt; }
    void SetLoginPrompt(bool value) { m_loginPrompt = value; }
    const AnsiString& SessionName() const { return m_sessionName; }
    void SetSessionName(const AnsiString& value) { m_sessionName = value; }

    bool Connected() const { return m_connection != nullptr; }
    // While loading only stored; applied in the loaded step.
    void SetConnected(bool value);
    void Open() { SetConnected(true); }
    void Close() { SetConnected(false); }

    // The connection, connecting first when needed.
    db::Connection& Connection();

    void AttachDataSet(TDataSet* dataset);
    void DetachDataSet(TDataSet* dataset);

    void Loaded() override;

private:
    void CheckInactive() const;

    AnsiString m_databaseName;
    AnsiString m_driverName;
    std::vector<AnsiString> m_params;
    bool m_loginPrompt = true;
    AnsiString m_sessionName;
    bool m_streamedConnected = false;
    std::unique_ptr<db::Connection> m_connection;
    std::vector<TDataSet*> m_dataSets;
};
