#include "LedgerConversion.h"

#include "core/Amount.h"
#include "core/Globals.h"
#include "core/TextRoutines.h"
#include "db/Database.h"
#include "db/EngineError.h"
#include "db/Schema.h"
#include "maintenance/BackupRun.h"

#include <QFileInfo>

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Exception.h>
#include <SQLiteCpp/Statement.h>

#include <sqlite3.h>

#include <cmath>
#include <map>
#include <memory>

namespace {

std::string utf8(const QString& text)
{
    return text.toStdString();
}

// The word the screens use for a ledger table.
QString tableWord(const QString& table)
{
    const AppGlobals& g = G();
    const QStringList& tables = LedgerTables();
    if (table == tables.at(0))
        return QStringLiteral("顧客");
    if (table == tables.at(1))
        return QStringLiteral("都道府県");
    if (table == tables.at(2))
        return g.Maker.isEmpty() ? QStringLiteral("メーカー") : g.Maker;
    if (table == tables.at(3))
        return g.Syouhin.isEmpty() ? QStringLiteral("商品") : g.Syouhin;
    if (table == tables.at(4))
        return QStringLiteral("売上");
    return QStringLiteral("検索条件");
}

// The file's prefecture rows against ours: the registration screens split an address at the
// names of ours, so ours are kept and every difference is told.
QStringList comparePrefectures(JetFile& file)
{
    const QStringList ours = PrefectureNames();
    std::map<std::int64_t, QString> theirs;
    JetCursor cursor(file, LedgerPrefectureTable(), {QStringLiteral("Fi_番号"), QStringLiteral("Fi_名称")});
    while (cursor.next())
        theirs[cursor.integer(0)] = cursor.string(1);
    QStringList differences;
    for (qsizetype i = 0; i < ours.size(); ++i) {
        const QString name = ours.at(i).trimmed();
        const auto found = theirs.find(i);
        if (found == theirs.end())
            differences << QStringLiteral("番号 %1「%2」が元のファイルにありません").arg(i).arg(name);
        else if (found->second != name)
            differences << QStringLiteral("番号 %1 が元のファイルでは「%2」（このプログラムでは「%3」）")
                               .arg(i)
                               .arg(found->second, name);
    }
    for (const auto& [number, name] : theirs) {
        if (number < 0 || number >= ours.size())
            differences << QStringLiteral("番号 %1「%2」はこのプログラムにありません").arg(number).arg(name);
    }
    return differences;
}

// Copies one table row by row into the open transaction; returns the rows read and adds the
// sales totals to `total` when the table has that column.
std::int64_t copyTable(JetFile& file, const LedgerShape& shape, SQLite::Database& db, const QString& table,
                       long double& total, const std::function<void()>& row)
{
    const std::vector<LedgerColumn> columns = LedgerColumns(table);
    QStringList names;
    QStringList marks;
    for (const LedgerColumn& c : columns) {
        names << c.name;
        marks << QStringLiteral("?");
    }
    const int key = static_cast<int>(names.indexOf(QStringLiteral("Fi_キー")));
    const int summed =
        table == LedgerSalesTable() ? static_cast<int>(names.indexOf(LedgerSalesTotalColumn())) : -1;
    JetCursor cursor(file, table, names);
    SQLite::Statement insert(
        db, utf8(QStringLiteral("insert into %1 (%2) values (%3)")
                     .arg(table, names.join(QLatin1Char(',')), marks.join(QLatin1Char(',')))));
    while (cursor.next()) {
        for (int i = 0; i < static_cast<int>(columns.size()); ++i) {
            switch (columns[static_cast<size_t>(i)].kind) {
            case LedgerColumn::Kind::Integer:
                insert.bind(i + 1, static_cast<int64_t>(cursor.integer(i)));
                break;
            case LedgerColumn::Kind::Real:
                insert.bind(i + 1, cursor.real(i));
                break;
            case LedgerColumn::Kind::Text:
                // The cursor's text stays put until the next row, after this insertion.
                insert.bindNoCopy(i + 1, cursor.text(i));
                break;
            }
        }
        try {
            insert.exec();
        } catch (const SQLite::Exception& e) {
            if (e.getExtendedErrorCode() == SQLITE_CONSTRAINT_PRIMARYKEY && key >= 0)
                throw QelError(
                    QelError::Kind::NotALedger,
                    QStringLiteral("表「%1」に同じキー（Fi_キー %2）の行が二つ以上あるため、変換できません。"
                                   "ファイルは元のままです。\n%3")
                        .arg(table)
                        .arg(cursor.integer(key))
                        .arg(FileLine(file.path())),
                    QString::fromUtf8(e.what()), e.getExtendedErrorCode());
            throw;
        }
        insert.reset();
        if (summed >= 0)
            total += cursor.real(summed);
        row();
    }
    // Rows on pages that could not be read are missing without a word from the reader: the
    // table's own count tells.
    const std::int64_t recorded = shape.rowsOf(table);
    if (cursor.rowsRead() < recorded)
        throw QelError(
            QelError::Kind::Damaged,
            QStringLiteral("表「%1」の行の一部が読めません（%2 件のうち %3 件）。ファイルが壊れているか、"
                           "途中で切れています。ファイルは元のままです。\n%4")
                .arg(table, FormatGrouped(recorded), FormatGrouped(cursor.rowsRead()),
                     FileLine(file.path())));
    return cursor.rowsRead();
}

const QString& convertedFailed()
{
    static const QString failed =
        QStringLiteral("変換したデータベースに誤りがあります。データベースは元のままです。");
    return failed;
}

// The engine's check: `pragma` is the full integrity check, or the quick one, which leaves out
// only the comparison of each index with its table.
void checkPages(SQLite::Database& db, const char* pragma)
{
    const std::string finding = db.execAndGet(pragma).getString();
    if (finding != "ok")
        throw QelError(QelError::Kind::Damaged, convertedFailed(), QString::fromStdString(finding));
}

void checkConverted(SQLite::Database& db, const LedgerConversion& result, const QString& target)
{
    const QString& failed = convertedFailed();
    checkPages(db, "PRAGMA quick_check");
    for (const auto& [table, rows] : result.rows) {
        const std::int64_t written =
            db.execAndGet(utf8(QStringLiteral("select count(*) from %1").arg(table))).getInt64();
        if (written != rows)
            throw QelError(QelError::Kind::Damaged,
                           failed + QStringLiteral("\n表「%1」: 読んだ行 %2 件、書いた行 %3 件")
                                        .arg(table, FormatGrouped(rows), FormatGrouped(written)));
    }
    const double total =
        db
            .execAndGet(utf8(
                QStringLiteral("select total(%1) from %2").arg(LedgerSalesTotalColumn(), LedgerSalesTable())))
            .getDouble();
    if (std::llround(total) != result.salesTotal)
        throw QelError(QelError::Kind::Damaged,
                       failed +
                           QStringLiteral("\n売価合計: 読んだ値 %1、書いた値 %2")
                               .arg(FormatGrouped(result.salesTotal), FormatGrouped(std::llround(total))));
    InspectDatabase(target, false, false);
}

template <class F> auto step(const QString& name, F&& action)
{
    try {
        return action();
    } catch (const std::exception& e) {
        throw EngineError(e).within(
            QStringLiteral("変換を中止しました（%1）。データベースは元のままです。").arg(name));
    }
}

} // namespace

LedgerConversion WriteConvertedLedger(const QString& jetPath, const QString& target, const Progress& progress)
{
    JetFile file(jetPath);
    const LedgerShape shape = InspectLedger(file);
    LedgerConversion result;
    result.format = shape.format;
    result.ignored = shape.ignored;
    int shown = -1;
    const auto report = [&](int percent) {
        if (progress && percent != shown)
            progress(shown = percent);
    };
    try {
        CreateDatabaseFile(target);
        {
            SQLite::Database db(utf8(target), SQLite::OPEN_READWRITE);
            // A private file until it has been checked and flushed: no journal, no waits for the disk.
            db.exec("PRAGMA journal_mode = OFF");
            db.exec("PRAGMA synchronous = OFF");
            db.exec("PRAGMA cache_size = -65536");
            // The indexes are made again after the rows: one sort each instead of an insertion
            // into each for every row.
            std::vector<std::string> indexes;
            {
                SQLite::Statement q(
                    db, "select name, sql from sqlite_master where type = 'index' and sql is not null");
                std::vector<std::string> names;
                while (q.executeStep()) {
                    names.push_back(q.getColumn(0).getString());
                    indexes.push_back(q.getColumn(1).getString());
                }
                q.reset();
                for (const std::string& name : names)
                    db.exec("drop index \"" + name + "\"");
            }
            std::int64_t total = 1;
            for (const QString& table : LedgerTables()) {
                if (table != LedgerPrefectureTable())
                    total += shape.rowsOf(table);
            }
            std::int64_t done = 0;
            const auto row = [&] {
                ++done;
                if (done % 256 == 0)
                    report(static_cast<int>(done * 80 / total));
            };
            long double salesTotal = 0;
            db.exec("begin");
            for (const QString& table : LedgerTables()) {
                if (table == LedgerPrefectureTable()) {
                    result.prefectureDifferences = comparePrefectures(file);
                    result.rows.emplace_back(table, PrefectureNames().size());
                    continue;
                }
                result.rows.emplace_back(table, copyTable(file, shape, db, table, salesTotal, row));
            }
            result.salesTotal = static_cast<std::int64_t>(std::llround(static_cast<double>(salesTotal)));
            db.exec("commit");
            report(80);
            {
                EngineProgress painting(db, progress);
                // The full check while the tables stand alone; once the indexes are made from them,
                // comparing each index with its table again would take the rest of the minute for
                // a million sales, so the pages are checked then as the quick check does.
                checkPages(db, "PRAGMA integrity_check");
                report(85);
                for (size_t i = 0; i < indexes.size(); ++i) {
                    db.exec(indexes[i]);
                    report(85 + static_cast<int>(10 * (i + 1) / indexes.size()));
                }
                checkConverted(db, result, target);
            }
        }
        if (const int error = BackupFiles::current().flush(target))
            throw QelError::fromFile(error, QStringLiteral("変換したデータベースを書き込めません。"),
                                     FileLine(target));
        report(100);
    } catch (const std::exception& e) {
        BackupFiles::current().remove(target);
        throw EngineError(e, FileLine(target));
    }
    return result;
}

LedgerConversion ConvertLedger(const QString& jetPath,
                               const std::function<void(const QString& status)>& announce,
                               const Progress& progress)
{
    const QString dbPath = Database::currentPath();
    const QString copy = ConversionCopyPath();
    // The new database goes whichever way the conversion ends: in place, or not at all.
    const RemovedAtEnd discard(copy);
    const bool dbExists = QFileInfo::exists(dbPath);
    // At start-up the database in use is the earlier ledger itself: it is kept as the original,
    // not as a backup of ours.
    const bool inUse =
        dbExists && QFileInfo(jetPath).canonicalFilePath() == QFileInfo(dbPath).canonicalFilePath();

    announce(QStringLiteral("変換前の確認"));
    step(QStringLiteral("変換前の確認"), [&] {
        CheckedBackupFolder();
        if (dbExists)
            CheckDatabaseInUse(false);
        if (QFileInfo::exists(copy)) {
            if (const int error = BackupFiles::current().remove(copy))
                throw QelError::fromFile(error, QStringLiteral("前回の作業ファイルを削除できません。"),
                                         FileLine(copy));
        }
    });

    announce(QStringLiteral("変換中"));
    LedgerConversion result =
        step(QStringLiteral("変換中"), [&] { return WriteConvertedLedger(jetPath, copy, progress); });

    announce(QStringLiteral("バックアップ前準備"));
    std::unique_ptr<DatabaseLock> lock;
    bool readable = false;
    const QStringList oldest = step(QStringLiteral("バックアップ前準備"), [&] {
        const QStringList names = OldestBackups(BackupFileNames(CheckedBackupFolder()), G().BackCnt);
        // Another program that is writing stops the conversion here, before anything is written.
        if (dbExists)
            lock = std::make_unique<DatabaseLock>(copy, readable);
        return names;
    });

    if (dbExists && !inUse) {
        announce(QStringLiteral("データベースバックアップ"));
        // As it is, damaged or not: the file that the conversion replaces.
        result.replacedBackup = step(QStringLiteral("データベースバックアップ"), [&] {
            return KeepDbAsBackup(readable ? lock.get() : nullptr, progress);
        });
    }

    announce(QStringLiteral("旧データの保存"));
    result.keptOriginal =
        step(QStringLiteral("旧データの保存"), [&] { return KeepEarlierLedger(jetPath, progress); });

    announce(QStringLiteral("変換データの書き込み"));
    try {
        step(QStringLiteral("変換データの書き込み"), [&] {
            if (readable)
                lock->replace(copy, progress);
            else
                ReplaceUnreadableDb(copy);
        });
    } catch (...) {
        // The database and the earlier ledger are as they were: the ledger's copy is of no use.
        BackupFiles::current().remove(result.keptOriginal);
        throw;
    }
    lock.reset();

    BackupResult pruned;
    pruned.toPrune = oldest;
    PruneBackups(pruned);
    result.pruneProblem = pruned.pruneProblem;
    result.pruneDetail = pruned.pruneDetail;
    return result;
}

QString ConversionReport(const LedgerConversion& conversion)
{
    QString text =
        QStringLiteral("以前の形式（%1）の台帳を変換しました\n").arg(JetFormatName(conversion.format));
    for (const auto& [table, rows] : conversion.rows) {
        text += QStringLiteral("\n　%1　%2 件").arg(tableWord(table), FormatGrouped(rows));
        if (table == LedgerPrefectureTable())
            text += QStringLiteral("（このプログラムの表）");
        else if (table == LedgerSalesTable())
            text += QStringLiteral("　売価合計 %1").arg(YenText(conversion.salesTotal));
    }
    if (!conversion.prefectureDifferences.isEmpty()) {
        constexpr qsizetype kShown = 8;
        text += QStringLiteral("\n\n都道府県の表が元のファイルと違うため、このプログラムの表を使いました");
        for (qsizetype i = 0; i < conversion.prefectureDifferences.size() && i < kShown; ++i)
            text += QStringLiteral("\n　") + conversion.prefectureDifferences.at(i);
        if (conversion.prefectureDifferences.size() > kShown)
            text += QStringLiteral("\n　ほか %1 件").arg(conversion.prefectureDifferences.size() - kShown);
    }
    if (!conversion.ignored.isEmpty())
        text += QStringLiteral("\n\n次の表と列は台帳のものではないため、取り込んでいません\n　") +
                conversion.ignored.join(QStringLiteral("、"));
    text += QStringLiteral("\n\n元のファイルは次の名前で保存しました\nﾌｧｲﾙ名:") +
            ShownPath(conversion.keptOriginal);
    if (!conversion.replacedBackup.isEmpty())
        text += QStringLiteral("\n\n変換前のデータは次のファイルに保存しました\nﾌｧｲﾙ名:") +
                ShownPath(conversion.replacedBackup);
    return text;
}
