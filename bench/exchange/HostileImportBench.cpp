// Files a shop may be sent, chosen on the import screen as a user does: the time to the preview or
// to the refusal, and the peak memory of the process meanwhile (its high-water mark, reset before
// each run). The files are made before the first run by small generators.
#include "core/FormNames.h"
#include "core/Globals.h"
#include "exchange/RegisterExchangeScreens.h"
#include "ui/DialogService.h"
#include "ui/MainScreen.h"
#include "ui/Navigator.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTableView>

#include "support/BenchSupport.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

namespace {

// Answers the open dialog with the file and keeps the failure box's text; any other box ends the run.
class ChooseFile : public DialogService
{
  public:
    QString path;
    QString failed;
    QString openFile(const QString&, const QString&, const QStringList&) override { return path; }
    void failure(const QString&, const QString& message, const QString&) override { failed = message; }
    Answer question(const QString& title, const QString& text) override { fail(title, text); }
    void information(const QString& title, const QString& text) override { fail(title, text); }
    void warning(const QString& title, const QString& text) override { fail(title, text); }

  private:
    [[noreturn]] static void fail(const QString& title, const QString& text)
    {
        std::fprintf(stderr, "unexpected box [%s] %s\n", qPrintable(title), qPrintable(text));
        std::abort();
    }
};

// The process's resident high-water mark, in megabytes.
double PeakMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').front().toDouble() / 1024;
    }
    return -1;
}

void ResetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

class Files
{
  public:
    Files()
    {
        G().Todoufuken1 = 13;
        Screens().clear();
        RegisterExchangeScreens(Screens());
    }
    // The file of that name, made the first time it is asked for.
    QString workbook(const QString& name, const QStringList& made)
    {
        const QString path = G().AppPath + QLatin1Char('/') + name;
        if (!QFile::exists(path) &&
            QProcess::execute(QStringLiteral("python3"),
                              QStringList{QStringLiteral(QEL_HOSTILE_WORKBOOK), made.at(0), path} +
                                  made.mid(1)) != 0)
            std::abort();
        return path;
    }
    QString text(const QString& name, const std::function<QByteArray()>& bytes)
    {
        const QString path = G().AppPath + QLatin1Char('/') + name;
        if (!QFile::exists(path)) {
            QFile f(path);
            if (!f.open(QIODevice::WriteOnly) || f.write(bytes()) < 0)
                std::abort();
        }
        return path;
    }

  private:
    BenchFolder m_folder;
};

Files& TheFiles()
{
    static Files* files = new Files;
    return *files;
}

// Chooses the file on a freshly opened import screen; `rows` is the preview's row count expected,
// or -1 for a refusal whose message holds `refusal`.
void Choose(benchmark::State& state, const QString& path, int rows, const QString& refusal = {})
{
    auto service = std::make_unique<ChooseFile>();
    ChooseFile* dialogs = service.get();
    dialogs->path = path;
    InstallDialogs(std::move(service));
    double peak = 0;
    for (auto _ : state) {
        state.PauseTiming();
        G().CallerForm = Forms::Frm020_Qel;
        MainScreen* screen = Screens().open(Forms::Frm025_Qel);
        auto* choose = screen->findChild<QPushButton*>(QStringLiteral("Cmd_0"));
        auto* preview = screen->findChild<QTableView*>(QStringLiteral("Grd_Preview"));
        dialogs->failed.clear();
        ResetPeak();
        state.ResumeTiming();
        QElapsedTimer timer;
        timer.start();
        choose->click();
        QApplication::processEvents();
        state.SetIterationTime(timer.nsecsElapsed() / 1e9);
        peak = std::max(peak, PeakMegabytes());
        if (rows >= 0 && preview->model()->rowCount() != rows)
            state.SkipWithError(qPrintable(QStringLiteral("the preview shows %1 rows: %2")
                                               .arg(preview->model()->rowCount())
                                               .arg(dialogs->failed)));
        if (rows < 0 && !dialogs->failed.contains(refusal))
            state.SkipWithError(qPrintable(QStringLiteral("not refused as expected: ") + dialogs->failed));
        state.PauseTiming();
        screen->Unload();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
    state.counters["peak_MB"] = peak;
    state.counters["file_MB"] = double(QFile(path).size()) / (1 << 20);
    FailOnEveryBox();
}

void BM_ClaimsOneTebibyte(benchmark::State& state)
{
    Choose(state, TheFiles().workbook(QStringLiteral("claimed.xlsx"), {"claimed"}), -1,
           QStringLiteral("128 MB を超えます"));
}
BENCHMARK(BM_ClaimsOneTebibyte)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_StyledCellInXfdOnEveryOfAHundredThousandRows(benchmark::State& state)
{
    Choose(state, TheFiles().workbook(QStringLiteral("styled.xlsx"), {"styled", "100000"}), 99999);
}
BENCHMARK(BM_StyledCellInXfdOnEveryOfAHundredThousandRows)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

void BM_UnpacksToTwoGigabytes(benchmark::State& state)
{
    Choose(state, TheFiles().workbook(QStringLiteral("bomb.xlsx"), {"bomb", "2048"}), -1,
           QStringLiteral("128 MB を超えます"));
}
BENCHMARK(BM_UnpacksToTwoGigabytes)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_TenMillionSharedStrings(benchmark::State& state)
{
    Choose(state, TheFiles().workbook(QStringLiteral("strings.xlsx"), {"strings", "10000000"}), -1,
           QStringLiteral("ブックの文字列が多すぎます"));
}
BENCHMARK(BM_TenMillionSharedStrings)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_CsvHeadingLineOfTenMegabytes(benchmark::State& state)
{
    Choose(state,
           TheFiles().text(QStringLiteral("wide.csv"), [] { return QByteArray("a,").repeated(5'200'000); }),
           -1, QStringLiteral("列が多すぎます"));
}
BENCHMARK(BM_CsvHeadingLineOfTenMegabytes)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_CsvNameOfTenMegabytes(benchmark::State& state)
{
    Choose(state,
           TheFiles().text(QStringLiteral("longname.csv"),
                           [] { return "名前,フリガナ\n" + QByteArray("あ").repeated(3'500'000) + ",ｱ\n"; }),
           -1, QStringLiteral("長すぎます"));
}
BENCHMARK(BM_CsvNameOfTenMegabytes)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

// The largest files the import takes whole: the most rows, at the most bytes.
void BM_LargestCsvTaken(benchmark::State& state)
{
    const QString path = TheFiles().text(QStringLiteral("largest.csv"), [] {
        QByteArray csv =
            "名前,フリガナ,郵便番号,都道府県,住所,建物,電話番号,携帯番号,FAX番号,メールアドレス,備考,"
            "メモ\r\n";
        const QByteArray memo = QByteArray("長い覚え書き").repeated(9);
        for (int n = 1; n < 100000; ++n)
            csv += "山田" + QByteArray::number(n) + "郎,ﾔﾏﾀﾞ,100-0001,東京都,千代田区千代田" +
                   QByteArray::number(n) +
                   "-1,千代田ハイツ,03-1111-2222,090-1111-2222,,user@example.jp,取込," + memo + "\r\n";
        return csv;
    });
    Choose(state, path, 99999);
}
BENCHMARK(BM_LargestCsvTaken)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_LargestWorkbookTaken(benchmark::State& state)
{
    Choose(state, TheFiles().workbook(QStringLiteral("shared.xlsx"), {"shared", "100000"}), 99999);
}
BENCHMARK(BM_LargestWorkbookTaken)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    return RunScreenBenchmarks(
        argc, argv,
        QStringLiteral("Target: every file refused or read in seconds, the peak memory of the "
                       "process a few hundred MB at most."));
}
