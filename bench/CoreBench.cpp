// Start-up cost of the settings and the per-keystroke routines.
#include "core/Globals.h"
#include "core/IniFile.h"
#include "core/TextRoutines.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

static void BM_ReadTenIniKeys(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Qel.Ini"));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(QStringLiteral("[Ini]\r\nDataPath=帳票\r\nBackCnt=5\r\nMaker=ブランド\r\nTitle=メニュー\r\n")
                   .toUtf8());
    file.close();
    const QStringList keys = {"DataPath", "BackDataPath", "BackCnt", "Todoufuken1", "Todoufuken2",
                              "Maker",    "Syouhin",      "Nengou",  "Kessan",      "Title"};
    for (auto _ : state) {
        QString value;
        for (const QString& key : keys)
            GetIniString(path, QStringLiteral("Ini"), key, value);
        benchmark::DoNotOptimize(value);
    }
}
BENCHMARK(BM_ReadTenIniKeys);

static void BM_KanaNormalizeReading(benchmark::State& state)
{
    const QString reading = QStringLiteral("ｼﾞｮｰｼﾞ ﾜｼﾝﾄﾝ ｶﾞｯｺｳ");
    for (auto _ : state)
        benchmark::DoNotOptimize(KanaNormalize(reading));
}
BENCHMARK(BM_KanaNormalizeReading);

BENCHMARK_MAIN();
