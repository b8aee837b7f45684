#pragma once

#include "store/Database.h"
#include "support/Printers.h"

#include <QString>
#include <QTemporaryDir>

namespace tillora::test {

// A fresh temporary data directory, optionally holding a new HH.mdb.
class DataDir {
public:
    enum class Content { Empty, NewDatabase };
    explicit DataDir(Content content = Content::NewDatabase);

    QString path() const { return m_dir.path(); }
    QString databasePath() const;
    // A second connection to HH.mdb, to check what the program stored.
    void openSecondConnection(Database& db) const;

private:
    QTemporaryDir m_dir;
};

} // namespace tillora::test
