#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// One QApplication for the whole test program, on the offscreen platform
// unless the caller chose another one. Each test program runs with a HOME of
// its own, so that per-user settings such as the default printer in
// ~/.cups/lpoptions never leak between tests or into the user's own.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    if (home.isValid())
        qputenv("HOME", QFile::encodeName(home.path()));
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
