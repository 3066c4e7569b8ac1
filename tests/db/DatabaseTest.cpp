#include "db/Database.h"
#include "core/Globals.h"
#include "db/EngineError.h"
#include "db/Schema.h"
#include "db/Table.h"

#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <SQLiteCpp/Database.h>

#include <functional>

namespace {

class DatabaseTest : public AppFixture
{
  protected:
    void addCustomer(std::int64_t key, const QString& name = QStringLiteral("山田"))
    {
        Database db;
        RowValues()
            .set("Fi_キー", QVariant::fromValue<qlonglong>(key))
            .set("Fi_名前", name)
            .stamp(Stamp::now())
            .insertInto(db, "Tb_顧客");
    }
    static void addCustomerIn(Database& db, std::int64_t key)
    {
        db.execute("insert into Tb_顧客 (Fi_キー, Fi_名前) values (?, ?)",
                   {QVariant::fromValue<qlonglong>(key), "x"});
    }
};

TEST_F(DatabaseTest, SchemaHasEveryTableAndThePrefectures)
{
    Database db;
    for (const char* table : {"Tb_顧客", "Tb_都道府県", "Tb_メーカー", "Tb_商品", "Tb_売上", "Tb_検索条件"})
        EXPECT_EQ(db.count(QString::fromUtf8(table)), table == std::string("Tb_都道府県") ? 48 : 0) << table;
    Query q(db, "select Fi_番号,Fi_名称 from Tb_都道府県 order by Fi_番号");
    QStringList names;
    while (q.next()) {
        EXPECT_EQ(q.integer("Fi_番号"), names.size());
        names << q.text("Fi_名称");
    }
    ASSERT_EQ(names.size(), 48);
    EXPECT_FALSE(names.at(0).isEmpty());
    EXPECT_EQ(names.at(1), QStringLiteral("北海道"));
    EXPECT_EQ(names.at(13), QStringLiteral("東京都"));
    EXPECT_EQ(names.at(26), QStringLiteral("京都府"));
    EXPECT_EQ(names.at(27), QStringLiteral("大阪府"));
    EXPECT_EQ(names.at(47), QStringLiteral("沖縄県"));
}

TEST_F(DatabaseTest, EveryColumnIsNotNull)
{
    Database db;
    Query tables(db, "select name from sqlite_master where type = 'table'");
    int checked = 0;
    while (tables.next()) {
        Query columns(db, QStringLiteral("pragma table_info(%1)").arg(tables.text("name")));
        while (columns.next()) {
            EXPECT_EQ(columns.integer("notnull"), 1) << columns.text("name").toStdString();
            ++checked;
        }
    }
    EXPECT_GT(checked, 70);
}

TEST_F(DatabaseTest, KeyIsOneOnEmptyTableThenLargestPlusOne)
{
    EXPECT_EQ(Database().nextKey("Tb_顧客"), 1);
    addCustomer(1);
    addCustomer(2);
    addCustomer(5);
    EXPECT_EQ(Database().nextKey("Tb_顧客"), 6);
    addCustomer(6);
    {
        Database db;
        EXPECT_TRUE(DeleteByKey(db, "Tb_顧客", 6));
        EXPECT_FALSE(DeleteByKey(db, "Tb_顧客", 6));
    }
    EXPECT_EQ(Database().nextKey("Tb_顧客"), 6);
}

TEST_F(DatabaseTest, StampFromOneReadingOfTheClock)
{
    const Stamp s = Stamp::now();
    EXPECT_EQ(s.year, "2005");
    EXPECT_EQ(s.month, "03");
    EXPECT_EQ(s.day, "07");
    EXPECT_EQ(s.hour, "09");
    EXPECT_EQ(s.minute, "05");
    EXPECT_EQ(s.second, "03");
    addCustomer(1);
    Database db;
    Query q(db, "select * from Tb_顧客 where Fi_キー = ?", {1});
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.text("Fi_最終更新年") + q.text("Fi_最終更新月") + q.text("Fi_最終更新日") +
                  q.text("Fi_最終更新時") + q.text("Fi_最終更新分") + q.text("Fi_最終更新秒"),
              QStringLiteral("20050307090503"));
}

TEST_F(DatabaseTest, EmptyTextRoundTripsAsEmptyNeverNull)
{
    addCustomer(1, QString());
    Database db;
    Query q(db, "select Fi_名前, Fi_建物, typeof(Fi_建物) as t, typeof(Fi_名前) as n from Tb_顧客");
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.text("Fi_名前"), QString());
    EXPECT_EQ(q.text("Fi_建物"), QString());
    EXPECT_EQ(q.text("t"), "text");
    EXPECT_EQ(q.text("n"), "text");
}

TEST_F(DatabaseTest, QuotesAndWildcardsAreJustCharacters)
{
    const QString odd = QStringLiteral("O'Brien \"%_*?#[");
    addCustomer(1, odd);
    addCustomer(2, QStringLiteral("Obrien"));
    Database db;
    EXPECT_EQ(db.count("Tb_顧客", "Fi_名前 = ?", {odd}), 1);
    EXPECT_EQ(db.count("Tb_顧客", "Fi_名前 like ? escape '\\'", {LikeContains("%_")}), 1);
    EXPECT_EQ(db.count("Tb_顧客", "Fi_名前 like ? escape '\\'", {LikeContains("BRIEN")}), 2);
}

TEST_F(DatabaseTest, SampleFileIsUsedWhenChosenAndOperationalOtherwise)
{
    CreateDatabaseFile(appPath() + "/" + kSampleDbFile);
    G().DbFileName = kSampleDbFile;
    addCustomer(1);
    EXPECT_EQ(Database(appPath() + "/" + kSampleDbFile).count("Tb_顧客"), 1);
    EXPECT_EQ(Database(appPath() + "/" + kOperationalDbFile).count("Tb_顧客"), 0);
}

TEST_F(DatabaseTest, MissingFileIsReportedAndNeverCreated)
{
    ASSERT_TRUE(QFile::remove(dbPath()));
    try {
        Database db;
        FAIL() << "opened a missing file";
    } catch (const QelError& e) {
        EXPECT_TRUE(e.userText().contains(QStringLiteral("見つかりません"))) << e.userText().toStdString();
        EXPECT_TRUE(e.userText().contains(kOperationalDbFile));
    }
    EXPECT_FALSE(QFileInfo::exists(dbPath()));
}

TEST_F(DatabaseTest, FolderWhereTheFileShouldBeIsNotCalledMissing)
{
    ASSERT_TRUE(QFile::remove(dbPath()));
    ASSERT_TRUE(QDir().mkdir(dbPath()));
    try {
        Database db;
        FAIL() << "opened a folder";
    } catch (const QelError& e) {
        EXPECT_FALSE(e.userText().contains(QStringLiteral("見つかりません"))) << e.userText().toStdString();
        EXPECT_TRUE(e.userText().contains(QStringLiteral("フォルダがあります")))
            << e.userText().toStdString();
    }
}

// The engine's failure classes reach the user as Japanese sentences saying what happened and
// what to try, with the engine's own text on the line below.
TEST_F(DatabaseTest, EngineFailuresBecomeJapaneseSentencesWithTheEngineTextBelow)
{
    struct Case
    {
        const char* what;
        std::function<void()> fail;
        const char* sentence;
    };
    const QString garbage = appPath() + QStringLiteral("/garbage.mdb");
    {
        QFile file(garbage);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(4096, 'x'));
    }
    const Case cases[] = {
        {"locked",
         [] {
             SQLite::Database other(Database::currentPath().toStdString(), SQLite::OPEN_READWRITE);
             other.exec("BEGIN EXCLUSIVE");
             Database db;
             db.raw().exec("PRAGMA busy_timeout = 0");
             db.count("Tb_顧客");
         },
         "他のプログラムがデータベースを使用中です。"},
        {"read-only",
         [] {
             Database db;
             db.raw().exec("PRAGMA query_only = 1");
             db.execute("delete from Tb_顧客");
         },
         "データベースファイルに書き込めません。"},
        {"disk full",
         [] {
             Database db;
             db.raw().exec("PRAGMA max_page_count = " +
                           std::to_string(db.raw().execAndGet("PRAGMA page_count").getInt()));
             for (int i = 0; i < 2000; ++i)
                 db.execute("insert into Tb_顧客 (Fi_キー, Fi_名前) values (?, ?)",
                            {i + 1, QString(200, QChar(0x3042))});
         },
         "ディスクの空き容量が足りないため"},
        {"not a database", [&] { Database(garbage).count("Tb_顧客"); },
         "データベースファイルが壊れているか、データベースのファイルではありません。"},
        {"rejected statement", [] { Database().count("Tb_無い"); }, "データベースの処理ができませんでした。"},
    };
    for (const Case& c : cases) {
        try {
            c.fail();
            ADD_FAILURE() << c.what << ": no failure";
        } catch (const QelError& e) {
            const QStringList lines = e.userText().split(QLatin1Char('\n'));
            EXPECT_TRUE(lines.front().startsWith(QString::fromUtf8(c.sentence)))
                << c.what << ": " << e.userText().toStdString();
            EXPECT_EQ(lines.back(), e.detail()) << c.what;
            EXPECT_FALSE(e.detail().isEmpty()) << c.what;
        }
    }
    // Opening fails in the same words on every screen: the sentence comes from the class alone.
    EXPECT_EQ(EngineKind(6), EngineKind(5));
    EXPECT_TRUE(
        QelError::sentence(EngineKind(14)).startsWith(QStringLiteral("データベースファイルを開けません。")));
    EXPECT_EQ(EngineKind(11), EngineKind(26));
}

TEST_F(DatabaseTest, RejectedStatementBecomesAnErrorWithTheEngineText)
{
    Database db;
    try {
        Query q(db, "select * from Tb_無い");
        FAIL();
    } catch (const QelError& e) {
        EXPECT_TRUE(e.detail().contains("no such table")) << e.detail().toStdString();
    }
}

// "Busy" is the engine's code, kept through every line of context a caller adds; a message that
// merely reads like it is not busy.
TEST_F(DatabaseTest, TheEngineCodeSurvivesContextAndAloneDecidesBusy)
{
    const auto failureOf = [](const std::function<void()>& action) {
        try {
            action();
        } catch (const QelError& e) {
            return e;
        }
        ADD_FAILURE() << "no failure";
        return QelError(QelError::Kind::Unexpected);
    };
    SQLite::Database other(Database::currentPath().toStdString(), SQLite::OPEN_READWRITE);
    other.exec("BEGIN EXCLUSIVE");
    const QelError locked = failureOf([] {
        InContext(QStringLiteral("前"), [] {
            Database db;
            db.raw().exec("PRAGMA busy_timeout = 0");
            db.count("Tb_顧客");
        });
    });
    other.exec("ROLLBACK");
    const QelError rawLocked = failureOf([&] {
        other.exec("BEGIN EXCLUSIVE");
        InContext(QStringLiteral("前"), [] {
            SQLite::Database db(Database::currentPath().toStdString(), SQLite::OPEN_READWRITE);
            db.exec("select count(*) from Tb_顧客");
        });
    });
    other.exec("ROLLBACK");
    const struct
    {
        const char* what;
        QelError error;
        bool busy;
    } cases[] = {
        {"locked, through a query", locked, true},
        {"locked, the engine's own exception", rawLocked, true},
        {"locked, with a file line after", locked.within({}, QStringLiteral("ファイル: x")), true},
        {"rejected statement", failureOf([] { Database().count("Tb_無い"); }), false},
        {"the busy sentence under another kind",
         QelError(QelError::Kind::Engine, QelError::sentence(QelError::Kind::Busy)), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.error.busy(), c.busy) << c.what;
    EXPECT_TRUE(
        locked.message().startsWith(QStringLiteral("前\n") + QelError::sentence(QelError::Kind::Busy)));
    EXPECT_EQ(locked.within({}, QStringLiteral("後")).message(), locked.message() + QStringLiteral("\n後"));
    EXPECT_EQ(locked.within(QStringLiteral("上")).detail(), locked.detail());
}

// What a caller reaches through the connection: the transaction, the engine's progress calls and
// the read-only open.
TEST_F(DatabaseTest, TransactionProgressAndReadOnlyOpen)
{
    {
        Database db;
        Database::Transaction dropped(db, Database::Transaction::Start::Immediate);
        addCustomerIn(db, 1);
    }
    {
        Database db;
        Database::Transaction kept(db);
        addCustomerIn(db, 2);
        kept.commit();
    }
    EXPECT_EQ(Database().count("Tb_顧客"), 1) << "only the committed row stays";

    Database db;
    int calls = 0;
    db.setProgress([&] { ++calls; });
    Query q(db, "with recursive n(k) as (select 1 union all select k + 1 from n where k < 200000) "
                "select count(*) from n");
    ASSERT_TRUE(q.next());
    EXPECT_GT(calls, 0);
    db.setProgress({});

    Database reader(Database::currentPath(), Database::Access::ReadOnly);
    EXPECT_EQ(reader.count("Tb_顧客"), 1);
    try {
        reader.execute("delete from Tb_顧客");
        ADD_FAILURE() << "a read-only connection wrote";
    } catch (const QelError& e) {
        EXPECT_TRUE(e.message().startsWith(QelError::sentence(QelError::Kind::ReadOnly)))
            << e.message().toStdString();
    }
}

TEST_F(DatabaseTest, UpdateByKeyChangesOnlyThatRow)
{
    addCustomer(1, "A");
    addCustomer(2, "B");
    Database db;
    EXPECT_TRUE(RowValues().set("Fi_名前", "C").updateByKey(db, "Tb_顧客", 2));
    EXPECT_FALSE(RowValues().set("Fi_名前", "D").updateByKey(db, "Tb_顧客", 9));
    Query q(db, "select Fi_名前 from Tb_顧客 order by Fi_キー");
    QStringList names;
    while (q.next())
        names << q.text(0);
    EXPECT_EQ(names, QStringList({"A", "C"}));
}

} // namespace

namespace {

struct Priced
{
    std::int32_t key = 0;
    QString name;
    Amount price = 0;
    Stamp stamp;
};

const Table<Priced> kPriced(QStringLiteral("Tb_商品"), &Priced::key,
                            {{QStringLiteral("Fi_商品"), &Priced::name},
                             {QStringLiteral("Fi_売価"), &Priced::price}},
                            Table<Priced>::Stamped::Yes, &Priced::stamp);

} // namespace

// One column map reads what it wrote: keys from the largest + 1, the stamp of the clock, a block
// of rows in the order of its keys with a gap where a row is gone, and a row put twice once.
TEST_F(DatabaseTest, ATableReadsBackWhatItWroteInTheOrderOfTheKeys)
{
    Database db;
    db.execute("insert into Tb_商品 (Fi_キー, Fi_商品, Fi_売価) values (5, '既存', 1200.0)");
    EXPECT_EQ(kPriced.add(db, {{.name = "甲", .price = 99'999'999}, {.name = "乙", .price = 0}}), 6);
    ASSERT_TRUE(kPriced.remove(db, 6));

    const std::vector<std::optional<Priced>> rows = kPriced.rowsOf(db, {7, 6, 5});
    ASSERT_EQ(rows.size(), 3U);
    ASSERT_TRUE(rows[0] && rows[2]);
    EXPECT_FALSE(rows[1]);
    EXPECT_EQ(rows[0]->name, QStringLiteral("乙"));
    EXPECT_EQ(rows[0]->stamp.year, Stamp::now().year);
    EXPECT_EQ(rows[2]->price, 1200);

    EXPECT_FALSE(kPriced.update(db, {.key = 6, .name = "丙"}));
    kPriced.put(db, {.key = 6, .name = "丙", .price = 300});
    kPriced.put(db, {.key = 6, .name = "丁", .price = 400});
    EXPECT_EQ(db.count("Tb_商品"), 3);
    const std::optional<Priced> put = kPriced.row(db, 6);
    ASSERT_TRUE(put);
    EXPECT_EQ(put->name, QStringLiteral("丁"));
    EXPECT_EQ(put->price, 400);
}
