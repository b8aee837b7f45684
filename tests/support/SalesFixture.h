#pragma once

#include "app/SalesWindow.h"
#include "support/AppHarness.h"
#include "ui_SalesWindow.h"

#include <QComboBox>
#include <QStringList>

namespace tillora::test {

// The sales window opened through the automatic login of a user.
struct OpenSales {
    void open(const QString& user = QStringLiteral("admin"))
    {
        h.configure(QStringLiteral("直接登录"), QStringLiteral("1"));
        h.configure(QStringLiteral("用户登录"), user);
        if (h.start() != -1 || !h.app->salesWindow())
            throw std::runtime_error("sales window did not open");
    }
    void addUser(const QString& name, const QString& role)
    {
        Database db;
        h.dir.openSecondConnection(db);
        if (!db.exec(QStringLiteral("INSERT INTO 用户登录 (用户名, 权限) VALUES (?, ?)"), { name, role }))
            throw std::runtime_error("user not added");
    }
    SalesWindow& window() { return *h.app->salesWindow(); }
    Ui::SalesWindow& ui() { return window().ui(); }
    static QStringList items(const QComboBox* box)
    {
        QStringList out;
        for (int i = 0; i < box->count(); ++i)
            out << box->itemText(i);
        return out;
    }
    AppHarness h;
};

} // namespace tillora::test
