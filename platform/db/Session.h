// The session: the databases known by name and the way to reach the table
// store. TTable finds its database here by DatabaseName; a name that no
// TDatabase component carries is connected on the fly for that table alone.
#pragma once

#include "platform/db/TableAccess.h"

#include <functional>
#include <string_view>
#include <vector>

class TDatabase;

namespace db {

class Session {
public:
    // The session every component uses ("Default").
    static Session& Default();

    // Replaces the way databases are connected; returns the previous one.
    Connector SetConnector(Connector connector);
    std::unique_ptr<Connection> Connect(const ConnectParams& params) const;

    TDatabase* FindDatabase(std::string_view name) const;
    void AddDatabase(TDatabase* database);
    void RemoveDatabase(TDatabase* database);

    // Asked for a password when a table is protected; returning false gives up.
    std::function<bool(const AnsiString& table_name, AnsiString& password)> OnPassword;
    const std::vector<AnsiString>& Passwords() const { return m_passwords; }
    void AddPassword(const AnsiString& password) { m_passwords.push_back(password); }
    void RemoveAllPasswords() { m_passwords.clear(); }

private:
    Session();

    Connector m_connector;
    std::vector<TDatabase*> m_databases;
    std::vector<AnsiString> m_passwords;
};

}  // namespace db
