#include "CommandLine.h"

#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr char kUsage[] = "使い方: qel [オプション]\n"
                          "Usage: qel [options]\n"
                          "\n"
                          "Qel 販売顧客管理: 小さな店の顧客、メーカー、商品と売上の台帳です。\n"
                          "Qel keeps the customers, makers, products and sales of a small shop.\n"
                          "\n"
                          "  -h, --help     この説明を表示して終了します / print this help and exit\n"
                          "  -v, --version  バージョンを表示して終了します / print the version and exit\n"
                          "\n"
                          "データ / data: $XDG_DATA_HOME/Qel (~/.local/share/Qel)\n"
                          "詳しくは / see: man qel\n";

QtMessageHandler previousHandler = nullptr;

void exitWithoutDisplay(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type != QtFatalMsg) {
        if (previousHandler)
            previousHandler(type, context, message);
        return;
    }
    std::fputs("qel: デスクトップ環境の画面に接続できないため起動できません。"
               "デスクトップのセッションの中で起動してください。\n"
               "qel: cannot start without a desktop session: no display could be opened "
               "(DISPLAY or WAYLAND_DISPLAY).\n",
               stderr);
    // With a display named but not reached, Qt's own words follow, for whoever looks into it.
    if (qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY"))
        std::fprintf(stderr, "qel: %s\n", message.toLocal8Bit().constData());
    std::fflush(stderr);
    std::_Exit(1);
}

} // namespace

std::optional<int> AnswerCommandLine(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (std::strcmp(argument, "--") == 0)
            break;
        if (std::strcmp(argument, "-h") == 0 || std::strcmp(argument, "--help") == 0) {
            std::fputs(kUsage, stdout);
            return std::fflush(stdout) == 0 ? 0 : 1;
        }
        if (std::strcmp(argument, "-v") == 0 || std::strcmp(argument, "--version") == 0) {
            std::fputs("Qel " QEL_VERSION "\n", stdout);
            return std::fflush(stdout) == 0 ? 0 : 1;
        }
    }
    return std::nullopt;
}

std::optional<int> RefuseArguments(const QStringList& arguments)
{
    if (arguments.size() <= 1)
        return std::nullopt;
    std::fprintf(stderr, "qel: 引数は受け付けません / takes no arguments: %s\n\n%s",
                 arguments.mid(1).join(QLatin1Char(' ')).toLocal8Bit().constData(), kUsage);
    return 2;
}

NoDisplayExit::NoDisplayExit()
{
    previousHandler = qInstallMessageHandler(exitWithoutDisplay);
}

NoDisplayExit::~NoDisplayExit()
{
    qInstallMessageHandler(previousHandler);
    previousHandler = nullptr;
}
