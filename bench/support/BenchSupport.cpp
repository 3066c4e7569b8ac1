#include "BenchSupport.h"

#include "core/Globals.h"
#include "db/Database.h"
#include "db/Schema.h"
#include "ui/DialogService.h"
#include "ui/MainScreen.h"
#include "ui/Navigator.h"

#include <QApplication>
#include <QElapsedTimer>

#include <SQLiteCpp/Column.h>
#include <SQLiteCpp/Statement.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
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

// The time this thread has run, in seconds.
double ThreadCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

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

long long BareRead(const std::vector<BareStatement>& statements)
{
    Database db;
    long long rows = 0;
    std::size_t bytes = 0; // text bytes and numbers, so that no read is left out
    for (const BareStatement& s : statements) {
        SQLite::Statement stmt(db.raw(), s.sql.toStdString());
        for (int i = 0; i < s.values.size(); ++i) {
            const QVariant& v = s.values.at(i);
            if (v.typeId() == QMetaType::QString)
                stmt.bind(i + 1, v.toString().toStdString());
            else
                stmt.bind(i + 1, static_cast<int64_t>(v.toLongLong()));
        }
        const int columns = stmt.getColumnCount();
        while (stmt.executeStep()) {
            ++rows;
            for (int c = 0; c < columns; ++c) {
                const SQLite::Column column = stmt.getColumn(c);
                bytes += column.isText() ? static_cast<std::size_t>(column.getBytes())
                                         : static_cast<std::size_t>(column.getInt64());
            }
        }
    }
    benchmark::DoNotOptimize(bytes);
    return rows;
}

void OpenAgainstFloor(benchmark::State& state, const ScreenOpening& opening)
{
    double screenSeconds = 0;
    double screenCpuSeconds = 0;
    double floorSeconds = 0;
    for (auto _ : state) {
        G().CallerForm = QStringLiteral("Frm010_Qel");
        QElapsedTimer timer;
        const double cpuStart = ThreadCpuSeconds();
        timer.start();
        MainScreen* screen = Screens().open(opening.form);
        if (screen)
            screen->repaint();
        const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
        screenCpuSeconds += ThreadCpuSeconds() - cpuStart;
        state.SetIterationTime(seconds);
        screenSeconds += seconds;

        const QString wrong = screen ? opening.wrong(screen) : QStringLiteral("the screen did not open");
        if (!wrong.isEmpty()) {
            state.SkipWithError(qPrintable(wrong));
            break;
        }
        screen->Unload();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        timer.start();
        BareRead(opening.rows);
        floorSeconds += static_cast<double>(timer.nsecsElapsed()) / 1e9;
    }
    const double iterations = static_cast<double>(state.iterations());
    if (iterations == 0 || floorSeconds == 0)
        return;
    // On a busy machine the time the program itself ran is the steadier figure.
    state.counters["cpu_ms"] = screenCpuSeconds * 1000 / iterations;
    state.counters["floor_ms"] = floorSeconds * 1000 / iterations;
    state.counters["ratio"] = screenSeconds / floorSeconds;
    state.counters["target_ms"] = opening.targetMs;
    state.SetLabel(screenSeconds * 1000 / iterations < opening.targetMs ? "within target" : "OVER TARGET");
}
