#pragma once

#include <QString>

namespace tillora {

// In-memory copies of the print switches and distances of the configuration
// record, loaded when the sales window opens and kept equal to the record by the
// controls that change them.
struct PrintOptions {
    bool printUnitPrice = false;
    bool showPrintedNotice = false;
    bool askReprint = false;
    bool printLogo = false;
    int paperMargin = 0;
    int printOffset = 0;
};

// The program-wide state that windows are given: who is logged in and the
// in-memory settings.
struct Session {
    QString currentUser;
    QString currentRole;
    PrintOptions printOptions;
    bool saveSalesRecords = false;
    int orderNumberMode = 0;

    static QString administratorRole() { return QStringLiteral("管理员"); }
    static QString ordinaryRole() { return QStringLiteral("普通用户"); }
    // Any role text but exactly "管理员" counts as an ordinary user.
    bool isAdministrator() const { return currentRole == administratorRole(); }
};

} // namespace tillora
