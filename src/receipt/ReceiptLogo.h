#pragma once

#include "receipt/ReceiptLayout.h"

namespace tillora {

class Database;
class Prompter;

// The logo of the configuration record; each value is read by a query of its
// own, and a failed query says "logo数据打开失败！".
class DatabaseLogoSource final : public LogoSource {
public:
    DatabaseLogoSource(Database& db, Prompter& prompter);
    void readGeometry(LogoGeometry& geometry) override;
    QImage loadImage() override;

private:
    bool readNumber(const char* column, int& value);

    Database& m_db;
    Prompter& m_prompter;
};

} // namespace tillora
