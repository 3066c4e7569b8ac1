#include "AllScreens.h"
#include "CommandLine.h"
#include "core/AppFolder.h"
#include "ui/Mdl_Main.h"
#include "ui/Navigator.h"
#include "ui/QelApplication.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QSocketNotifier>
#include <QTranslator>

#include <csignal>
#include <optional>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The write end of the socket pair through which a termination signal reaches the event loop; a
// signal handler can reach nothing else.
int terminateWriteEnd = -1;

void onTerminate(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(terminateWriteEnd, &byte, 1);
}

// A logout, a shutdown or a kill ends the run through the event loop, as "終了" does: the program
// returns from its loop and lets go of its instance lock instead of dying with it held.
void QuitOnTerminate(QApplication& app)
{
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
        return;
    terminateWriteEnd = ends[0];
    auto* notifier = new QSocketNotifier(ends[1], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [fd = ends[1]] {
        char byte;
        [[maybe_unused]] const ssize_t read = ::read(fd, &byte, 1);
        // exit, not quit: a screen that refuses its close box must not keep the program alive.
        QApplication::exit(0);
    });
    struct sigaction action = {};
    action.sa_handler = onTerminate;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        // A signal ignored by whoever started the program (nohup, a background job) stays ignored.
        struct sigaction previous = {};
        if (::sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler != SIG_IGN)
            ::sigaction(signal, &action, nullptr);
    }
}

} // namespace

int main(int argc, char* argv[])
{
    if (const std::optional<int> status = AnswerCommandLine(argc, argv))
        return *status;
    std::optional<NoDisplayExit> noDisplay(std::in_place);
    QelApplication app(argc, argv);
    noDisplay.reset();
    if (const std::optional<int> status = RefuseArguments(QApplication::arguments()))
        return *status;
    SetUpApplication();
    QuitOnTerminate(app);

    // Japanese texts for the standard buttons of the message boxes.
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                          QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    RegisterAllScreens(Screens());

    const AppFolder folder = ChooseAppFolder(QApplication::applicationDirPath());
    const auto lock = Main(folder.path, folder.seedDir);
    // Refused or failed, its box closed: whoever started it learns it did not run.
    if (!lock)
        return 1;
    return QApplication::exec();
}
