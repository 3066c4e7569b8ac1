// Build-time generator of the application folder's data files:
//   qel_appfiles ini <source.txt> <target.Ini>        the settings file, written in CP932
//   qel_appfiles databases <data folder> <app folder>  both database files
#include "core/Cp932.h"
#include "db/Database.h"
#include "db/Schema.h"
#include "db/Stamp.h"

#include <QCoreApplication>
#include <QDate>
#include <QFile>
#include <QStringList>
#include <QTextStream>

#include <SQLiteCpp/Database.h>

#include <cstdint>
#include <cstdio>
#include <random>

namespace {

QList<QStringList> readTable(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw QelError(QelError::Kind::NotFound, QStringLiteral("cannot read"), path);
    QList<QStringList> rows;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        rows.append(line.split(QLatin1Char('\t')));
    }
    return rows;
}

struct Product
{
    QString maker, makerReading, name, reading;
    qint64 listPrice, price;
};

// The sample is dated from a fixed day, not from the day of the build, so that every build ships
// the same file.
const QDate kSampleLastDay(2026, 11, 30);

// A number in [low, high] from the generator. The standard fixes mt19937's sequence but not
// what its distributions make of it, so the mapping is ours.
int pick(std::mt19937& random, int low, int high)
{
    return low + static_cast<int>(random() % static_cast<std::uint32_t>(high - low + 1));
}

void fillSample(Database& db, const QString& dataDir)
{
    std::mt19937 random(20050518);
    auto stampOf = [&](QDate day) {
        const int seconds = pick(random, 9 * 3600, 19 * 3600);
        return Stamp::at(QDateTime(day, QTime(0, 0).addSecs(seconds)));
    };

    db.execute(QStringLiteral("begin"));
    const auto customers = readTable(dataDir + QStringLiteral("/sample_customers.tsv"));
    QList<QPair<QString, QString>> buyers;
    int key = 0;
    for (const QStringList& c : customers) {
        ++key;
        RowValues row;
        row.set(QStringLiteral("Fi_キー"), key)
            .set(QStringLiteral("Fi_名前"), c.value(0))
            .set(QStringLiteral("Fi_名前フリガナ"), c.value(1))
            .set(QStringLiteral("Fi_郵便番号"), c.value(2))
            .set(QStringLiteral("Fi_都道府県番号"), c.value(3).toInt())
            .set(QStringLiteral("Fi_市区町村"), c.value(4))
            .set(QStringLiteral("Fi_建物"), c.value(5))
            .set(QStringLiteral("Fi_電話番号"), c.value(6))
            .set(QStringLiteral("Fi_携帯番号"), c.value(7))
            .set(QStringLiteral("Fi_ファックス番号"), c.value(8))
            .set(QStringLiteral("Fi_メールアドレス"), c.value(9))
            .set(QStringLiteral("Fi_備考"), c.value(10))
            .stamp(stampOf(kSampleLastDay.addDays(-900 + key * 7)));
        row.insertInto(db, QStringLiteral("Tb_顧客"));
        buyers.append({c.value(0), c.value(1)});
    }

    QHash<QString, QString> makerReadings;
    key = 0;
    for (const QStringList& m : readTable(dataDir + QStringLiteral("/sample_makers.tsv"))) {
        makerReadings.insert(m.value(0), m.value(1));
        RowValues()
            .set(QStringLiteral("Fi_キー"), ++key)
            .set(QStringLiteral("Fi_メーカー"), m.value(0))
            .set(QStringLiteral("Fi_メーカーフリガナ"), m.value(1))
            .stamp(stampOf(kSampleLastDay.addDays(-950)))
            .insertInto(db, QStringLiteral("Tb_メーカー"));
    }

    QList<Product> products;
    key = 0;
    for (const QStringList& p : readTable(dataDir + QStringLiteral("/sample_products.tsv"))) {
        const Product product{p.value(0), makerReadings.value(p.value(0)), p.value(1),
                              p.value(2), p.value(3).toLongLong(),         p.value(4).toLongLong()};
        products.append(product);
        RowValues()
            .set(QStringLiteral("Fi_キー"), ++key)
            .set(QStringLiteral("Fi_メーカー"), product.maker)
            .set(QStringLiteral("Fi_メーカーフリガナ"), product.makerReading)
            .set(QStringLiteral("Fi_商品"), product.name)
            .set(QStringLiteral("Fi_商品フリガナ"), product.reading)
            .set(QStringLiteral("Fi_定価"), product.listPrice)
            .set(QStringLiteral("Fi_売価"), product.price)
            .stamp(stampOf(kSampleLastDay.addDays(-940)))
            .insertInto(db, QStringLiteral("Tb_商品"));
    }

    // About 36 months of sales up to the last day, oldest first, so that keys follow the dates.
    const QDate first = kSampleLastDay.addMonths(-36);
    QList<QDate> days;
    for (int i = 0; i < 520; ++i)
        days.append(first.addDays(pick(random, 0, static_cast<int>(first.daysTo(kSampleLastDay)))));
    std::sort(days.begin(), days.end());
    const QStringList remarks = {QString(),
                                 QString(),
                                 QString(),
                                 QStringLiteral("ギフト"),
                                 QStringLiteral("取り置き"),
                                 QStringLiteral("配送"),
                                 QString()};
    key = 0;
    for (const QDate& day : days) {
        const Product& p = products.at(pick(random, 0, static_cast<int>(products.size()) - 1));
        const auto& buyer = buyers.at(pick(random, 0, static_cast<int>(buyers.size()) - 1));
        const qint64 quantity = pick(random, 1, 10) <= 8 ? 1 : 2;
        RowValues()
            .set(QStringLiteral("Fi_キー"), ++key)
            .set(QStringLiteral("Fi_購入年"), day.toString(QStringLiteral("yyyy")))
            .set(QStringLiteral("Fi_購入年月"), day.toString(QStringLiteral("yyyyMM")))
            .set(QStringLiteral("Fi_購入年月日"), day.toString(QStringLiteral("yyyyMMdd")))
            .set(QStringLiteral("Fi_メーカー"), p.maker)
            .set(QStringLiteral("Fi_メーカーフリガナ"), p.makerReading)
            .set(QStringLiteral("Fi_商品"), p.name)
            .set(QStringLiteral("Fi_商品フリガナ"), p.reading)
            .set(QStringLiteral("Fi_定価"), p.listPrice)
            .set(QStringLiteral("Fi_売価"), p.price)
            .set(QStringLiteral("Fi_数量"), quantity)
            .set(QStringLiteral("Fi_売価合計"), p.price * quantity)
            .set(QStringLiteral("Fi_購入者"), buyer.first)
            .set(QStringLiteral("Fi_購入者フリガナ"), buyer.second)
            .set(QStringLiteral("Fi_備考"), remarks.at(pick(random, 0, 6)))
            .stamp(stampOf(day))
            .insertInto(db, QStringLiteral("Tb_売上"));
    }
    db.execute(QStringLiteral("commit"));
}

int writeIni(const QString& source, const QString& target)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return 1;
    QString text = QString::fromUtf8(in.readAll());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
        .replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    QFile out(target);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 1;
    out.write(EncodeCp932(text));
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    try {
        if (args.size() == 4 && args.at(1) == QLatin1String("ini"))
            return writeIni(args.at(2), args.at(3));
        if (args.size() == 4 && args.at(1) == QLatin1String("databases")) {
            const QString appDir = args.at(3);
            // The operational file may already hold a user's data: it is only ever made when missing.
            const QString operational = appDir + QStringLiteral("/Db_販売顧客.mdb");
            if (!QFile::exists(operational))
                CreateDatabaseFile(operational);
            const QString sample = appDir + QStringLiteral("/サンプルデータ.mdb");
            CreateDatabaseFile(sample);
            Database db(sample);
            fillSample(db, args.at(2));
            return 0;
        }
    } catch (const QelError& e) {
        std::fprintf(stderr, "qel_appfiles: %s\n", qPrintable(e.userText()));
        return 1;
    }
    std::fprintf(stderr,
                 "usage: qel_appfiles ini <source> <target> | databases <data folder> <app folder>\n");
    return 2;
}
