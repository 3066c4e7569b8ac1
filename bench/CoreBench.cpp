// Start-up cost of the settings and the per-keystroke routines.
#include "core/Globals.h"
#include "core/IniFile.h"
#include "core/ReadingDictionary.h"
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

// Readings of 10,000 customer names from the dictionary (as a spreadsheet of customers is read in).
static void BM_DictionaryReading10000Names(benchmark::State& state)
{
    const QStringList surnames =
        QStringLiteral("佐藤 鈴木 高橋 田中 伊藤 渡辺 山本 中村 小林 加藤 吉田 山田 佐々木 山口 "
                       "松本 井上 木村 林 斎藤 清水 山崎 森 池田 橋本 長谷川")
            .split(QLatin1Char(' '));
    const QStringList given =
        QStringLiteral("太郎 一郎 健一 誠 翔太 大輔 花子 直子 陽子 京子 幸子 裕子 明美 由美 久美子 "
                       "恵子 智子 真理 彩 美咲")
            .split(QLatin1Char(' '));
    QStringList names;
    for (int round = 0; round < 20; ++round) {
        for (const QString& s : surnames) {
            for (const QString& g : given)
                names << (round % 2 ? s + g : s + QStringLiteral("　") + g);
        }
    }
    DictionaryReading(names.first()); // opens the dictionary once, outside the measurement
    for (auto _ : state) {
        for (const QString& name : names)
            benchmark::DoNotOptimize(DictionaryReading(name));
    }
    state.counters["names"] = static_cast<double>(names.size());
}
BENCHMARK(BM_DictionaryReading10000Names)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
