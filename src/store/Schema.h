#pragma once

#include <QString>

namespace tillora {

class Database;

namespace Schema {

// Creates the seven tables, their relationship and indexes on an empty database.
bool create(Database& db);

// Adds what a database made by an older version lacks (indexes); harmless when present.
bool upgrade(Database& db);

// Fills a freshly created database with the rows every new shop starts with.
bool insertDefaultRows(Database& db);

// The remark of a new database: three lines joined by CR LF.
QString defaultRemark();

} // namespace Schema
} // namespace tillora
