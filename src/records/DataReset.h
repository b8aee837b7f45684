#pragma once

#include "app/Services.h"

#include <QString>
#include <functional>

class QWidget;

namespace tillora {

// Puts the program back to a new database: the open database is first copied
// to a backup file the user chooses and checked, then replaced by the template,
// and the program restarts on it.
class DataReset {
public:
    DataReset(Services services, std::function<void()> restart);

    void run(QWidget* owner);

    // A consistent copy of the open database at target, checked to open with the
    // password; written beside target and renamed into place.
    static bool backUp(Database& db, const QString& target);

private:
    Services m_services;
    std::function<void()> m_restart;
};

} // namespace tillora
