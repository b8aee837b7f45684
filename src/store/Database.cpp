#include "store/Database.h"

#include <QDateTime>
#include <QFile>
#include <sqlite3.h>

namespace tillora {

Row::Row(std::shared_ptr<const QStringList> columns, QVariantList values)
    : m_columns(std::move(columns))
    , m_values(std::move(values))
{
}

QVariant Row::value(const QString& column) const
{
    const qsizetype index = m_columns->indexOf(column, Qt::CaseInsensitive);
    return index < 0 ? QVariant() : m_values.at(index);
}

QVariant Row::value(int position) const
{
    return position >= 1 && position <= m_values.size() ? m_values.at(position - 1) : QVariant();
}

static QString textOf(const QVariant& v)
{
    if (v.isNull())
        return QString();
    if (v.typeId() == QMetaType::QByteArray)
        return QString::fromUtf8(v.toByteArray());
    return v.toString();
}

QString Row::text(const QString& column) const
{
    return textOf(value(column));
}
QString Row::text(int position) const
{
    return textOf(value(position));
}
qint64 Row::integer(const QString& column) const
{
    return value(column).toLongLong();
}
qint64 Row::integer(int position) const
{
    return value(position).toLongLong();
}
QByteArray Row::bytes(const QString& column) const
{
    return value(column).toByteArray();
}

QByteArray Row::bytes(int position) const
{
    return value(position).toByteArray();
}

Database::Database() = default;

Database::~Database()
{
    close();
}

bool Database::open(const QString& path, const QString& password, OpenMode mode)
{
    close();
    m_path = path;
    const int flags = SQLITE_OPEN_READWRITE | (mode == OpenMode::CreateIfMissing ? SQLITE_OPEN_CREATE : 0);
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, flags, nullptr) != SQLITE_OK) {
        m_lastError = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
        sqlite3_close(db);
        return false;
    }
    m_db = db;
    const QByteArray key = password.toUtf8();
    const bool keyed = sqlite3_key(m_db, key.constData(), int(key.size())) == SQLITE_OK;
    // Reading the schema decrypts the first page: a wrong key or a damaged file
    // fails here. The foreign keys carry the cascade from records to their lines.
    // Every page read is decrypted: a page cache of 64 MB keeps the indexes that
    // searches scan decrypted in memory.
    if (!keyed
        || !execScript(QStringLiteral("PRAGMA cipher_page_size = 4096;"
                                      "SELECT count(*) FROM sqlite_master;"
                                      "PRAGMA foreign_keys = ON;"
                                      "PRAGMA cache_size = -65536;"))) {
        if (keyed)
            setError(QStringLiteral("open"));
        sqlite3_close(m_db);
        m_db = nullptr;
        return false;
    }
    return true;
}

void Database::finalizeStatements()
{
    for (sqlite3_stmt* stmt : std::as_const(m_statements))
        sqlite3_finalize(stmt);
    m_statements.clear();
}

void Database::close()
{
    if (!m_db)
        return;
    finalizeStatements();
    sqlite3_close(m_db);
    m_db = nullptr;
}

void Database::setError(const QString& where)
{
    m_lastError = where + QStringLiteral(": ") + (m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString());
}

sqlite3_stmt* Database::prepare(const QString& sql)
{
    if (!m_db) {
        m_lastError = QStringLiteral("database not open");
        return nullptr;
    }
    if (sqlite3_stmt* cached = m_statements.value(sql)) {
        sqlite3_reset(cached);
        sqlite3_clear_bindings(cached);
        return cached;
    }
    const QByteArray utf8 = sql.toUtf8();
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(m_db, utf8.constData(), int(utf8.size()), &stmt, nullptr) != SQLITE_OK) {
        setError(QStringLiteral("prepare"));
        sqlite3_finalize(stmt);
        return nullptr;
    }
    m_statements.insert(sql, stmt);
    return stmt;
}

bool Database::bind(sqlite3_stmt* stmt, const QVariantList& params)
{
    if (sqlite3_bind_parameter_count(stmt) != params.size()) {
        m_lastError = QStringLiteral("wrong number of parameters");
        return false;
    }
    for (int i = 0; i < params.size(); ++i) {
        const QVariant& v = params.at(i);
        int rc = SQLITE_OK;
        if (v.isNull()) {
            rc = sqlite3_bind_null(stmt, i + 1);
        } else {
            switch (v.typeId()) {
            case QMetaType::Int:
            case QMetaType::LongLong:
            case QMetaType::UInt:
            case QMetaType::Bool:
                rc = sqlite3_bind_int64(stmt, i + 1, v.toLongLong());
                break;
            case QMetaType::Double:
                rc = sqlite3_bind_double(stmt, i + 1, v.toDouble());
                break;
            case QMetaType::QByteArray: {
                const QByteArray bytes = v.toByteArray();
                rc = sqlite3_bind_blob64(
                    stmt, i + 1, bytes.constData(), sqlite3_uint64(bytes.size()), SQLITE_TRANSIENT);
                break;
            }
            default: {
                const QByteArray utf8 = v.toString().toUtf8();
                rc = sqlite3_bind_text64(stmt, i + 1, utf8.constData(), sqlite3_uint64(utf8.size()),
                    SQLITE_TRANSIENT, SQLITE_UTF8);
            }
            }
        }
        if (rc != SQLITE_OK) {
            setError(QStringLiteral("bind"));
            return false;
        }
    }
    return true;
}

static QVariant columnValue(sqlite3_stmt* stmt, int i)
{
    switch (sqlite3_column_type(stmt, i)) {
    case SQLITE_INTEGER:
        return QVariant(qint64(sqlite3_column_int64(stmt, i)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(stmt, i));
    case SQLITE_BLOB: {
        const auto* data = static_cast<const char*>(sqlite3_column_blob(stmt, i));
        return QVariant(QByteArray(data, sqlite3_column_bytes(stmt, i)));
    }
    case SQLITE_TEXT: {
        const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
        return QVariant(QString::fromUtf8(data, sqlite3_column_bytes(stmt, i)));
    }
    default:
        return QVariant();
    }
}

std::optional<Rows> Database::query(const QString& sql, const QVariantList& params)
{
    sqlite3_stmt* stmt = prepare(sql);
    if (!stmt || !bind(stmt, params))
        return std::nullopt;
    const int count = sqlite3_column_count(stmt);
    auto columns = std::make_shared<QStringList>();
    for (int i = 0; i < count; ++i)
        columns->append(QString::fromUtf8(sqlite3_column_name(stmt, i)));
    Rows rows;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        QVariantList values;
        values.reserve(count);
        for (int i = 0; i < count; ++i)
            values.append(columnValue(stmt, i));
        rows.emplace_back(columns, std::move(values));
    }
    if (rc != SQLITE_DONE) {
        setError(QStringLiteral("query"));
        sqlite3_reset(stmt);
        return std::nullopt;
    }
    sqlite3_reset(stmt);
    return rows;
}

bool Database::exec(const QString& sql, const QVariantList& params)
{
    sqlite3_stmt* stmt = prepare(sql);
    if (!stmt || !bind(stmt, params))
        return false;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) { }
    const bool ok = rc == SQLITE_DONE;
    if (!ok)
        setError(QStringLiteral("exec"));
    sqlite3_reset(stmt);
    return ok;
}

bool Database::execScript(const QString& sql)
{
    if (!m_db)
        return false;
    char* error = nullptr;
    if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK) {
        m_lastError = QString::fromUtf8(error ? error : sqlite3_errmsg(m_db));
        sqlite3_free(error);
        return false;
    }
    return true;
}

qint64 Database::lastInsertId() const
{
    return m_db ? sqlite3_last_insert_rowid(m_db) : 0;
}
int Database::changes() const
{
    return m_db ? sqlite3_changes(m_db) : 0;
}

bool Database::begin()
{
    return exec(QStringLiteral("BEGIN IMMEDIATE"));
}
bool Database::commit()
{
    return exec(QStringLiteral("COMMIT"));
}
void Database::rollback()
{
    if (m_db && !sqlite3_get_autocommit(m_db))
        exec(QStringLiteral("ROLLBACK"));
}

} // namespace tillora
