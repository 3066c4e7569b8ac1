// Reading the earlier ledger: the tests' own Jet 3 files checked against mdbtools' mdb-export (a
// reader that is not ours), the files Access itself wrote, and Jet 3 text in CP932.
#include "LedgerFixture.h"

#include "db/Database.h"
#include "db/EngineError.h"
#include "exchange/JetLedger.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kAccessFiles = QStringLiteral(QEL_ACCESS_FILES);

QString Exported(const QString& path, const QString& table, bool cp932 = true)
{
    QProcess exporter;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("MDB_JET3_CHARSET"));
    if (cp932)
        env.insert(QStringLiteral("MDB_JET3_CHARSET"), QStringLiteral("CP932"));
    exporter.setProcessEnvironment(env);
    exporter.start(QStringLiteral("mdb-export"),
                   {QStringLiteral("-Q"), QStringLiteral("-d"), QStringLiteral("\t"), path, table});
    EXPECT_TRUE(exporter.waitForFinished(60000));
    EXPECT_EQ(exporter.exitCode(), 0) << exporter.readAllStandardError().toStdString();
    return QString::fromUtf8(exporter.readAllStandardOutput());
}

TEST(Jet3WriterTest, LedgerFixtureReadsBackExactlyThroughMdbExport)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ledger.mdb"));
    const LedgerData data = SampleLedger();
    data.write(path);
    for (const auto& [table, rows] : data.rows) {
        SCOPED_TRACE(table.toStdString());
        const std::vector<jet3::Column> columns = LedgerData::ledgerColumns(table);
        QStringList expected;
        QStringList names;
        for (const jet3::Column& c : columns)
            names << c.name;
        expected << names.join(QLatin1Char('\t'));
        for (const QVariantList& row : rows) {
            QStringList values;
            for (size_t i = 0; i < columns.size(); ++i) {
                const QVariant& v = row.at(static_cast<qsizetype>(i));
                values << (!v.isValid()                            ? QString()
                           : columns[i].type == jet3::Type::Double ? QString::number(v.toDouble(), 'g', 16)
                           : columns[i].type == jet3::Type::Text   ? v.toString()
                                                                   : QString::number(v.toLongLong()));
            }
            expected << values.join(QLatin1Char('\t'));
        }
        EXPECT_EQ(Exported(path, table).split(QLatin1Char('\n'), Qt::SkipEmptyParts), expected);
    }
}

TEST(JetLedgerTest, Jet3TextIsCp932WhateverTheEnvironmentSays)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ledger.mdb"));
    const LedgerData data = SampleLedger(6, 1);
    data.write(path);
    // libmdb left to itself decodes code page 932 as plain Shift_JIS.
    EXPECT_FALSE(Exported(path, LedgerTables().at(0), false).contains(QStringLiteral("㈱髙﨑商店")));

    struct Case
    {
        const char* jet3Charset; // nullptr: not set
        const char* target;
    };
    const Case cases[] = {{nullptr, nullptr}, {"SHIFT-JIS", nullptr}, {"CP1252", "ISO-8859-1"}};
    const QByteArray savedCharset = qgetenv("MDB_JET3_CHARSET");
    const QByteArray savedTarget = qgetenv("MDBICONV");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.jet3Charset ? c.jet3Charset : "unset");
        c.jet3Charset ? qputenv("MDB_JET3_CHARSET", c.jet3Charset) : qunsetenv("MDB_JET3_CHARSET");
        c.target ? qputenv("MDBICONV", c.target) : qunsetenv("MDBICONV");
        JetFile file(path);
        ASSERT_NE(file.table(LedgerTables().at(0)), nullptr);
        JetCursor cursor(file, LedgerTables().at(0),
                         {QStringLiteral("Fi_名前"), QStringLiteral("Fi_名前フリガナ")});
        for (const QVariantList& row : data.rows.at(LedgerTables().at(0))) {
            ASSERT_TRUE(cursor.next());
            EXPECT_EQ(cursor.string(0), row.at(1).toString());
            EXPECT_EQ(cursor.string(1), row.at(2).toString());
        }
    }
    savedCharset.isNull() ? qunsetenv("MDB_JET3_CHARSET") : qputenv("MDB_JET3_CHARSET", savedCharset);
    savedTarget.isNull() ? qunsetenv("MDBICONV") : qputenv("MDBICONV", savedTarget);
}

TEST(JetLedgerTest, FilesWrittenByAccessAreReadAndRefusedAsNoLedger)
{
    struct Case
    {
        const char* file;
        JetFormat format;
        const char* table;
        const char* column;
        QStringList texts;
    };
    const Case cases[] = {
        {"access97.mdb", JetFormat::Jet3, "Table1", "A", {QStringLiteral("a"), QStringLiteral("abcdefg")}},
        {"access2000.mdb", JetFormat::Jet4, "Table1", "A", {QStringLiteral("a"), QStringLiteral("abcdefg")}},
        {"access2007.accdb", JetFormat::Ace, "Table1", "A", {QStringLiteral("a"), QStringLiteral("abcdefg")}},
        {"access2000-password.mdb",
         JetFormat::Jet4,
         "Table1",
         "Data",
         {QStringLiteral("One"), QStringLiteral("Three"), QStringLiteral("Two")}},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const QString path = kAccessFiles + QLatin1Char('/') + QString::fromLatin1(c.file);
        EXPECT_EQ(JetFormatOf(path), c.format);
        JetFile file(path);
        JetCursor cursor(file, QString::fromLatin1(c.table), {QString::fromLatin1(c.column)});
        QStringList texts;
        while (cursor.next())
            texts << cursor.string(0);
        texts.sort(); // the order of the pages, which differs between the versions
        EXPECT_EQ(texts, c.texts);
        try {
            InspectLedger(file);
            ADD_FAILURE() << "taken for a ledger";
        } catch (const QelError& e) {
            for (const QString& table : LedgerTables())
                EXPECT_TRUE(e.message().contains(QStringLiteral("表「%1」がありません").arg(table)))
                    << e.message().toStdString();
        }
        // The engine of our own databases, opened on it, calls it the earlier format, not damaged.
        const QString copy = dir.filePath(QString::fromLatin1(c.file));
        ASSERT_TRUE(QFile::copy(path, copy));
        try {
            Database db(copy);
            db.count(QStringLiteral("Tb_顧客"));
            ADD_FAILURE() << "read as one of ours";
        } catch (const QelError& e) {
            EXPECT_TRUE(e.message().contains(
                QStringLiteral("以前の形式（Access）のデータベースで、壊れてはいません")))
                << e.message().toStdString();
            EXPECT_FALSE(e.message().contains(QStringLiteral("壊れているか")));
        }
    }
}

} // namespace
