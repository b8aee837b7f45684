#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <memory>
#include <optional>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace tillora {

// The fixed password of the database file.
inline constexpr const char* kDatabasePassword = "47395260";

// One row of a query result. Columns are read by name or by 1-based position;
// NULL and missing columns read as the empty text, 0 or no bytes.
class Row {
public:
    Row(std::shared_ptr<const QStringList> columns, QVariantList values);

    QString text(const QString& column) const;
    QString text(int position) const;
    qint64 integer(const QString& column) const;
    qint64 integer(int position) const;
    QByteArray bytes(const QString& column) const;
    QByteArray bytes(int position) const;
    QVariant value(const QString& column) const;
    QVariant value(int position) const;

private:
    std::shared_ptr<const QStringList> m_columns;
    QVariantList m_values;
};

using Rows = std::vector<Row>;

// One SQLCipher connection. Every value goes into a statement as a bound
// parameter; statements are prepared once and kept for reuse.
class Database {
public:
    enum class OpenMode { Existing, CreateIfMissing };

    Database();
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens and keys the file, and reads it once so that a wrong password or a
    // damaged file fails here rather than at the first query.
    bool open(const QString& path, const QString& password, OpenMode mode = OpenMode::Existing);
    void close();
    bool isOpen() const { return m_db != nullptr; }
    QString path() const { return m_path; }

    bool exec(const QString& sql, const QVariantList& params = {});
    std::optional<Rows> query(const QString& sql, const QVariantList& params = {});
    // Runs several statements without parameters (schema scripts).
    bool execScript(const QString& sql);

    qint64 lastInsertId() const;
    int changes() const;
    QString lastError() const { return m_lastError; }

    bool begin();
    bool commit();
    void rollback();

    sqlite3* handle() const { return m_db; }

private:
    sqlite3_stmt* prepare(const QString& sql);
    bool bind(sqlite3_stmt* stmt, const QVariantList& params);
    void setError(const QString& where);
    void finalizeStatements();

    sqlite3* m_db = nullptr;
    QString m_path;
    QString m_lastError;
    QHash<QString, sqlite3_stmt*> m_statements;
};

// Rolls back unless committed: one sale, one template, all or nothing.
class Transaction {
public:
    explicit Transaction(Database& db)
        : m_db(db)
        , m_active(db.begin())
    {
    }
    ~Transaction()
    {
        if (m_active)
            m_db.rollback();
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    bool isActive() const { return m_active; }
    bool commit()
    {
        if (!m_active)
            return false;
        m_active = false;
        if (m_db.commit())
            return true;
        m_db.rollback();
        return false;
    }

private:
    Database& m_db;
    bool m_active;
};

} // namespace tillora
