#include "GrownShop.h"

#include "BenchSupport.h"

#include "core/Globals.h"
#include "db/Database.h"
#include "db/Schema.h"

#include <QFileInfo>

namespace {

// A reading of `letters` half-width katakana (ｱ to ﾝ), the first voiced now and then, drawn
// from the SQL integer expression `seed`.
QString ReadingOf(const QString& seed, int letters)
{
    const QString h = QStringLiteral("((%1) * 2654435761 % 4294967291)").arg(seed);
    QString sql =
        QStringLiteral("char(65393 + %1 % 45) || case when %1 % 7 = 0 then char(65438) else '' end").arg(h);
    qint64 divisor = 45;
    for (int i = 1; i < letters; ++i, divisor *= 45) {
        if (i == 3)
            sql += QStringLiteral(" || ' '");
        sql += QStringLiteral(" || char(65393 + %1 / %2 % 45)").arg(h).arg(divisor);
    }
    return sql;
}

// The numbers 1 to count as the rows of n(k).
QString Numbers()
{
    return QStringLiteral("with recursive n(k) as (select 1 union all select k + 1 from n where k < ?) ");
}

const QString kStamp = QStringLiteral("'2024', '12', '31', '18', '30', '05'");
const QString kStampColumns = QStringLiteral(
    "Fi_最終更新年, Fi_最終更新月, Fi_最終更新日, Fi_最終更新時, Fi_最終更新分, Fi_最終更新秒");

} // namespace

void GrowShop(Database& db, const ShopSize& size)
{
    const qint64 customerBase = db.nextKey(QStringLiteral("Tb_顧客")) - 1;
    const qint64 makerBase = db.nextKey(QStringLiteral("Tb_メーカー")) - 1;
    const qint64 productBase = db.nextKey(QStringLiteral("Tb_商品")) - 1;
    const qint64 saleBase = db.nextKey(QStringLiteral("Tb_売上")) - 1;
    Database::Transaction transaction(db);
    if (size.customers > 0) {
        db.execute(Numbers() +
                       QStringLiteral("insert into Tb_顧客 (Fi_キー, Fi_名前, Fi_名前フリガナ, Fi_郵便番号, "
                                      "Fi_都道府県番号, Fi_市区町村, Fi_電話番号, Fi_携帯番号, Fi_備考, ") +
                       kStampColumns +
                       QStringLiteral(
                           ") select ? + k, '顧客' || k, %1, '100-0001', 1 + k % 47, '千代田区千代田1-1', "
                           "'03-' || substr('0000000' || k, -8), '090-' || substr('0000000' || k, -8), "
                           "'備考', ")
                           .arg(ReadingOf(QStringLiteral("k"), 6)) +
                       kStamp + QStringLiteral(" from n"),
                   {size.customers, customerBase});
    }
    if (size.makers > 0) {
        db.execute(
            Numbers() +
                QStringLiteral("insert into Tb_メーカー (Fi_キー, Fi_メーカー, Fi_メーカーフリガナ, ") +
                kStampColumns +
                QStringLiteral(") select ? + k, 'メーカー' || k, %1, ")
                    .arg(ReadingOf(QStringLiteral("k + 7"), 4)) +
                kStamp + QStringLiteral(" from n"),
            {size.makers, makerBase});
    }
    if (size.products > 0 && size.makers > 0) {
        db.execute(
            Numbers() +
                QStringLiteral("insert into Tb_商品 (Fi_キー, Fi_メーカー, Fi_メーカーフリガナ, Fi_商品, "
                               "Fi_商品フリガナ, Fi_定価, Fi_売価, ") +
                kStampColumns +
                QStringLiteral(") select ? + k, m.Fi_メーカー, m.Fi_メーカーフリガナ, '商品' || k, %1, "
                               "1000 + k % 900 * 100, (1000 + k % 900 * 100) * 9 / 10, ")
                    .arg(ReadingOf(QStringLiteral("k + 11"), 5)) +
                kStamp + QStringLiteral(" from n join Tb_メーカー m on m.Fi_キー = ? + 1 + (k - 1) % ?"),
            {size.products, productBase, makerBase, size.makers});
    }
    if (size.sales > 0 && size.products > 0 && size.customers > 0) {
        db.execute(
            Numbers() +
                QStringLiteral(
                    ", d(k, day) as (select k, date('2015-01-01', '+' || (k * 7919 % 3653) || ' days') from "
                    "n) "
                    "insert into Tb_売上 (Fi_キー, Fi_購入年, Fi_購入年月, Fi_購入年月日, Fi_メーカー, "
                    "Fi_メーカーフリガナ, Fi_商品, Fi_商品フリガナ, Fi_定価, Fi_売価, Fi_数量, Fi_売価合計, "
                    "Fi_購入者, Fi_購入者フリガナ, Fi_備考, ") +
                kStampColumns +
                QStringLiteral(") select ? + k, strftime('%Y', day), strftime('%Y%m', day), "
                               "strftime('%Y%m%d', day), p.Fi_メーカー, p.Fi_メーカーフリガナ, p.Fi_商品, "
                               "p.Fi_商品フリガナ, p.Fi_定価, p.Fi_売価, 1 + k % 3, p.Fi_売価 * (1 + k % 3), "
                               "c.Fi_名前, c.Fi_名前フリガナ, '', ") +
                kStamp +
                QStringLiteral(" from d join Tb_商品 p on p.Fi_キー = ? + 1 + k * 31 % ?"
                               " join Tb_顧客 c on c.Fi_キー = ? + 1 + k * 17 % ?"),
            {size.sales, saleBase, productBase, size.products, customerBase, size.customers});
    }
    transaction.commit();
}

void GrowRegular(Database& db, int customerKey, int sales)
{
    const qint64 saleBase = db.nextKey(QStringLiteral("Tb_売上")) - 1;
    const qint64 products = db.count(QStringLiteral("Tb_商品"));
    Database::Transaction transaction(db);
    db.execute(
        Numbers() +
            QStringLiteral(
                ", d(k, day) as (select k, date('2015-01-01', '+' || (k * 3653 / ?) || ' days') from n) "
                "insert into Tb_売上 (Fi_キー, Fi_購入年, Fi_購入年月, Fi_購入年月日, Fi_メーカー, "
                "Fi_メーカーフリガナ, Fi_商品, Fi_商品フリガナ, Fi_定価, Fi_売価, Fi_数量, Fi_売価合計, "
                "Fi_購入者, Fi_購入者フリガナ, Fi_備考, ") +
            kStampColumns +
            QStringLiteral(
                ") select ? + k, strftime('%Y', day), strftime('%Y%m', day), strftime('%Y%m%d', day), "
                "p.Fi_メーカー, p.Fi_メーカーフリガナ, p.Fi_商品, p.Fi_商品フリガナ, p.Fi_定価, "
                "p.Fi_売価, 1 + k % 2, p.Fi_売価 * (1 + k % 2), c.Fi_名前, c.Fi_名前フリガナ, '', ") +
            kStamp +
            QStringLiteral(
                " from d join Tb_商品 p on p.Fi_キー = 1 + k * 7919 % ? join Tb_顧客 c on c.Fi_キー = ?"),
        {sales, sales, saleBase, products, customerKey});
    transaction.commit();
}

LargeShop::LargeShop()
{
    const QString kept = qEnvironmentVariable("QEL_BENCH_SHOP");
    if (kept.isEmpty()) {
        m_folder = std::make_unique<BenchFolder>();
    } else {
        const QFileInfo file(kept);
        AppGlobals& g = G();
        g.AppPath = file.absolutePath();
        g.DbFileName = file.fileName();
        g.Maker = QStringLiteral("ブランド");
        g.Syouhin = QStringLiteral("商品");
        if (file.exists())
            return;
        CreateDatabaseFile(Database::currentPath());
    }
    Database db;
    GrowShop(db, kLargeShop);
}

LargeShop::~LargeShop() = default;
