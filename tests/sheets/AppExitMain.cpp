// The real end of the application, in a process of its own because it ends the event loops:
// asked for from inside a modal loop, the caller returns, every loop is left and the main
// loop reports 1.
#include "core/AppExit.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    bool callerReturned = false;
    int modalResult = -2;
    QTimer::singleShot(0, [&] {
        QEventLoop modal;
        QTimer::singleShot(0, [&] {
            AppExit::current().endApplication();
            callerReturned = true;
        });
        modalResult = modal.exec();
    });
    // A safety net: a loop that is not left would hang the test.
    QTimer::singleShot(10000, [] { QCoreApplication::exit(2); });
    const int result = QCoreApplication::exec();
    const bool ok = result == 1 && callerReturned && modalResult == 1;
    std::printf("main loop %d, modal loop %d, caller returned %d\n", result, modalResult,
                int(callerReturned));
    std::printf("%d passed, %d failed\n", ok ? 1 : 0, ok ? 0 : 1);
    return ok ? 0 : 1;
}
