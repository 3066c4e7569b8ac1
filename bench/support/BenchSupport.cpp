#include "BenchSupport.h"

#include "core/Globals.h"
#include "db/Database.h"
#include "db/Schema.h"
#include "ui/DialogService.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

class FailingDialogs : public DialogService
{
  public:
    Answer question(const QString& title, const QString& text) override { fail(title, text); }
    void information(const QString& title, const QString& text) override { fail(title, text); }
    void warning(const QString& title, const QString& text) override { fail(title, text); }
    void exclamation(const QString& title, const QString& text) override { fail(title, text); }

  private:
    [[noreturn]] static void fail(const QString& title, const QString& text)
    {
        std::fprintf(stderr, "unexpected box [%s] %s\n", qPrintable(title), qPrintable(text));
        std::abort();
    }
};

} // namespace

void FailOnEveryBox()
{
    InstallDialogs(std::make_unique<FailingDialogs>());
}

int RunScreenBenchmarks(int argc, char** argv, const QString& target)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    FailOnEveryBox();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (!target.isEmpty())
        std::printf("%s\n", qPrintable(target));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

BenchFolder::BenchFolder()
{
    AppGlobals& g = G();
    g.AppPath = m_dir.path();
    g.DbFileName = kOperationalDbFile;
    g.Maker = QStringLiteral("ブランド");
    g.Syouhin = QStringLiteral("商品");
    CreateDatabaseFile(Database::currentPath());
}
