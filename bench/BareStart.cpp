// The yardstick for the start-up time: a bare Qt program that opens the same
// encrypted database and shows one empty window, ending at its first paint.
#include "store/Database.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <cstdio>

namespace {

class EmptyWindow : public QWidget {
protected:
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
        return QWidget::event(e);
    }
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    tillora::Database db;
    if (!db.open(QString::fromLocal8Bit(argv[1]), QString::fromLatin1(tillora::kDatabasePassword))) {
        std::fprintf(stderr, "cannot open %s\n", argv[1]);
        return 1;
    }
    EmptyWindow window;
    window.resize(341, 283);
    window.show();
    return QApplication::exec();
}
