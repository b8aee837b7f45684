// Tillora's benchmark program: prints its figures; no timing is asserted in tests.
#include "RecordsBench.h"
#include "SalesBench.h"
#include "StartupBench.h"

#include <QApplication>
#include <cstring>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool all = argc < 2;
    const auto wanted = [&](const char* name) {
        for (int i = 1; i < argc; ++i) {
            if (std::strcmp(argv[i], name) == 0)
                return true;
        }
        return all;
    };
    if (wanted("startup"))
        bench::runStartup(QStringLiteral(TILLORA_EXE), QStringLiteral(BARE_START_EXE));
    if (wanted("sales"))
        bench::runSales();
    if (wanted("records"))
        bench::runRecords();
    return 0;
}
