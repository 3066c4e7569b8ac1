#include "core/Cp932.h"
#include "core/Globals.h"
#include "core/IniFile.h"
#include "db/Database.h"

#include <QDate>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// The files of the assembled application folder, as the build wrote them.
QString shipped(const QString& name)
{
    return QStringLiteral(QEL_APP_DIR) + QLatin1Char('/') + name;
}

bool halfWidthKana(const QString& text)
{
    for (QChar c : text) {
        if (!(c.unicode() >= 0xFF61 && c.unicode() <= 0xFF9F) && c != QLatin1Char(' '))
            return false;
    }
    return !text.isEmpty();
}

TEST(ShippedFiles, SettingsFileIsCp932WithShopDefaults)
{
    QFile file(shipped("Qel.Ini"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_FALSE(IsValidUtf8(bytes)) << "the settings file must be written in CP932";
    EXPECT_TRUE(DecodeCp932(bytes).contains(QStringLiteral("ブランド")));
    QString value;
    const std::pair<const char*, const char*> keys[] = {
        {"DataPath", "帳票"},  {"BackDataPath", "バックアップ"},
        {"BackCnt", "5"},      {"Todoufuken1", "13"},
        {"Maker", "ブランド"}, {"Syouhin", "商品"},
        {"Nengou", "和暦"},    {"Kessan", "3"}};
    for (const auto& [key, expected] : keys) {
        GetIniString(shipped("Qel.Ini"), "Ini", key, value);
        EXPECT_EQ(value.toStdString(), std::string(expected)) << key;
    }
    EXPECT_TRUE(GetIniString(shipped("Qel.Ini"), "Ini", "Title", value));
}

TEST(ShippedFiles, OperationalDatabaseHoldsOnlyTheSchemaAndPrefectures)
{
    Database db(shipped(kOperationalDbFile));
    EXPECT_EQ(db.count("Tb_都道府県"), 48);
    for (const char* table : {"Tb_顧客", "Tb_メーカー", "Tb_商品", "Tb_売上", "Tb_検索条件"})
        EXPECT_EQ(db.count(QString::fromUtf8(table)), 0) << table;
}

TEST(ShippedFiles, SampleDatabaseHoldsBelievableExampleData)
{
    Database db(shipped(kSampleDbFile));
    EXPECT_EQ(db.count("Tb_都道府県"), 48);

    QSet<std::int64_t> prefectures;
    int customers = 0;
    for (Query q(db, "select * from Tb_顧客"); q.next(); ++customers) {
        EXPECT_TRUE(halfWidthKana(q.text("Fi_名前フリガナ"))) << q.text("Fi_名前フリガナ").toStdString();
        EXPECT_LE(q.text("Fi_名前").size(), 20);
        prefectures.insert(q.integer("Fi_都道府県番号"));
        EXPECT_EQ(q.text("Fi_最終更新年").size(), 4);
    }
    EXPECT_GE(customers, 40);
    EXPECT_GE(prefectures.size(), 10);
    EXPECT_FALSE(prefectures.contains(0));

    EXPECT_GE(db.count("Tb_メーカー"), 8);
    EXPECT_GE(db.count("Tb_商品"), 40);
    EXPECT_EQ(db.count("Tb_商品", "Fi_定価 <= 0 or Fi_売価 <= 0"), 0);
    EXPECT_EQ(db.count("Tb_商品", "Fi_メーカー not in (select Fi_メーカー from Tb_メーカー)"), 0);

    EXPECT_GE(db.count("Tb_売上"), 400);
    Query months(db, "select count(distinct Fi_購入年月) as n, max(Fi_購入年月日) as last from Tb_売上");
    ASSERT_TRUE(months.next());
    EXPECT_GE(months.integer("n"), 24);
    EXPECT_LE(months.text("last"), QDate::currentDate().toString("yyyyMMdd"));
    EXPECT_EQ(db.count("Tb_売上"), 520);
    const QString stampEmpty = "Fi_最終更新年 = '' or Fi_最終更新月 = '' or Fi_最終更新日 = '' or "
                               "Fi_最終更新時 = '' or Fi_最終更新分 = '' or Fi_最終更新秒 = ''";
    for (const char* table : {"Tb_顧客", "Tb_メーカー", "Tb_商品", "Tb_売上"})
        EXPECT_EQ(db.count(QString::fromUtf8(table), stampEmpty), 0) << table;
    EXPECT_EQ(db.count("Tb_売上", "Fi_売価合計 <> Fi_売価 * Fi_数量"), 0);
    EXPECT_EQ(db.count("Tb_売上", "Fi_購入者 not in (select Fi_名前 from Tb_顧客)"), 0);
}

// Every row of every table, in key order, one line per row.
QStringList rowsOf(const QString& path)
{
    Database db(path);
    QStringList out;
    for (const char* table : {"Tb_都道府県", "Tb_顧客", "Tb_メーカー", "Tb_商品", "Tb_売上", "Tb_検索条件"}) {
        const QString name = QString::fromUtf8(table);
        const auto columns = db.count(QStringLiteral("pragma_table_info('%1')").arg(name));
        Query q(db, QStringLiteral("select * from %1 order by rowid").arg(name));
        while (q.next()) {
            QStringList values;
            for (int c = 0; c < columns; ++c)
                values << q.text(c);
            out << name + QLatin1Char('|') + values.join(QLatin1Char('|'));
        }
    }
    return out;
}

QString generateSample(const QTemporaryDir& into)
{
    QProcess tool;
    tool.start(QStringLiteral(QEL_APPFILES), {"databases", QStringLiteral(QEL_APP_DATA), into.path()});
    EXPECT_TRUE(tool.waitForFinished(60000));
    EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    return into.filePath(kSampleDbFile);
}

TEST(ShippedFiles, SampleDatabaseIsTheSameWhateverTheDayOfTheBuild)
{
    QTemporaryDir first;
    QTemporaryDir second;
    ASSERT_TRUE(first.isValid() && second.isValid());
    const QStringList rows = rowsOf(generateSample(first));
    ASSERT_GE(rows.size(), 520);
    EXPECT_EQ(rows, rowsOf(generateSample(second)));
    EXPECT_EQ(rows, rowsOf(shipped(kSampleDbFile)));

    // The sales run over the 36 months up to the fixed last day.
    Database db(first.filePath(kSampleDbFile));
    Query range(db, "select min(Fi_購入年月日) as first, max(Fi_購入年月日) as last from Tb_売上");
    ASSERT_TRUE(range.next());
    EXPECT_GE(range.text("first"), QStringLiteral("20231130"));
    EXPECT_LE(range.text("last"), QStringLiteral("20261130"));
}

} // namespace
