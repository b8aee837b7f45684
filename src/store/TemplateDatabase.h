#pragma once

#include <QString>

namespace tillora {

// Writes a new database (schema, default rows, logo) to path. It is built in a
// temporary file beside path and renamed into place, so a failed write never
// leaves half a database; an existing file at path is replaced only on success.
bool writeTemplateDatabase(const QString& path);

} // namespace tillora
