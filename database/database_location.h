#pragma once

#include <QString>

namespace database {

// Holds the current database path and password: the database window's two fields.
// Every connection string is built from them at the moment of opening.
class DatabaseLocation {
public:
    virtual ~DatabaseLocation() = default;
    virtual QString path() const = 0;
    virtual QString password() const = 0;
};

// A plain holder of the two texts, for callers without a window.
class DatabaseFields : public DatabaseLocation {
public:
    DatabaseFields() = default;
    DatabaseFields(QString path, QString password) : m_path(std::move(path)), m_password(std::move(password)) {}
    QString path() const override { return m_path; }
    QString password() const override { return m_password; }
    void setPath(const QString& path) { m_path = path; }
    void setPassword(const QString& password) { m_password = password; }

private:
    QString m_path;
    QString m_password;
};

} // namespace database
