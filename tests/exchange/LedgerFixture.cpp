#include "LedgerFixture.h"

#include "db/Schema.h"
#include "exchange/JetLedger.h"

#include <gtest/gtest.h>

namespace {

const QStringList kNames = {
    QStringLiteral("㈱髙﨑商店"), QStringLiteral("德永　花子"), QStringLiteral("№1 商会"),
    QStringLiteral("㈲さくら"),   QStringLiteral("山田太郎"),   QStringLiteral("ｽﾐｽ John"),
};
const QStringList kReadings = {
    QStringLiteral("ｶﾌﾞｼｷｶﾞｲｼｬ ﾀｶｻｷｼｮｳﾃﾝ"), QStringLiteral("ﾄｸﾅｶﾞ ﾊﾅｺ"), QStringLiteral("ﾅﾝﾊﾞｰﾜﾝ ｼｮｳｶｲ"),
    QStringLiteral("ﾕｳｹﾞﾝｶﾞｲｼｬ ｻｸﾗ"),       QStringLiteral("ﾔﾏﾀﾞ ﾀﾛｳ"),  QStringLiteral("ｽﾐｽ ｼﾞｮﾝ"),
};

QVariantList stamp(int i)
{
    return {QStringLiteral("2004"), QStringLiteral("%1").arg(i % 12 + 1, 2, 10, QLatin1Char('0')),
            QStringLiteral("07"),   QStringLiteral("09"),
            QStringLiteral("05"),   QStringLiteral("%1").arg(i % 60, 2, 10, QLatin1Char('0'))};
}

} // namespace

std::vector<jet3::Column> LedgerData::ledgerColumns(const QString& table)
{
    std::vector<jet3::Column> columns;
    const bool shortKey = table == LedgerPrefectureTable() || table == LedgerTables().at(5);
    for (const LedgerColumn& c : LedgerColumns(table)) {
        switch (c.kind) {
        case LedgerColumn::Kind::Integer:
            columns.push_back({c.name, c.name == QStringLiteral("Fi_キー") && !shortKey
                                           ? jet3::Type::Long
                                           : jet3::Type::Integer});
            break;
        case LedgerColumn::Kind::Real:
            columns.push_back({c.name, jet3::Type::Double});
            break;
        case LedgerColumn::Kind::Text:
            columns.push_back({c.name, jet3::Type::Text, 255});
            break;
        }
    }
    return columns;
}

std::vector<jet3::Table> LedgerData::tables() const
{
    std::vector<jet3::Table> tables;
    for (const auto& [name, rows] : this->rows) {
        const auto own = columns.find(name);
        tables.push_back(jet3::Rows(name, own != columns.end() ? own->second : ledgerColumns(name), rows));
    }
    return tables;
}

void LedgerData::write(const QString& path) const
{
    const QString error = jet3::Write(path, tables());
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
}

LedgerData SampleLedger(int customers, int sales)
{
    LedgerData d;
    const QStringList& t = LedgerTables();
    auto& customerRows = d.rows[t.at(0)];
    for (int i = 0; i < customers; ++i) {
        const int n = i % kNames.size();
        // Keys with gaps, as deletions leave them; a Null here and there where another program wrote.
        QVariantList row = {2 * i + 1,
                            kNames.at(n),
                            kReadings.at(n),
                            i % 7 == 0 ? QVariant() : QVariant(QStringLiteral("100-000%1").arg(i % 10)),
                            i % 5 == 0 ? QVariant() : QVariant(i % 48),
                            QStringLiteral("千代田区丸の内%1丁目").arg(i % 9 + 1),
                            QString(),
                            QStringLiteral("03-1234-%1").arg(i, 4, 10, QLatin1Char('0')),
                            QString(),
                            QString(),
                            QStringLiteral("shop%1@example.jp").arg(i),
                            i == 3 ? QString(120, QChar(0x9AD9)) : QStringLiteral("備考")};
        row << stamp(i);
        customerRows.push_back(row);
    }
    auto& prefectureRows = d.rows[t.at(1)];
    const QStringList prefectures = PrefectureNames();
    for (int i = 0; i < prefectures.size(); ++i)
        prefectureRows.push_back({i, prefectures.at(i).trimmed()});
    auto& makerRows = d.rows[t.at(2)];
    for (int i = 0; i < 12; ++i) {
        QVariantList row = {i + 1, QStringLiteral("メーカー%1㈱").arg(i), QStringLiteral("ﾒｰｶｰ%1").arg(i)};
        row << stamp(i);
        makerRows.push_back(row);
    }
    auto& productRows = d.rows[t.at(3)];
    for (int i = 0; i < 40; ++i) {
        QVariantList row = {i + 1,
                            QStringLiteral("メーカー%1㈱").arg(i % 12),
                            QStringLiteral("ﾒｰｶｰ%1").arg(i % 12),
                            QStringLiteral("商品%1号 髙級").arg(i),
                            QStringLiteral("ｼｮｳﾋﾝ%1").arg(i),
                            1000.0 + i * 100,
                            i % 4 == 0 ? QVariant() : QVariant(900.0 + i * 90)};
        row << stamp(i);
        productRows.push_back(row);
    }
    auto& saleRows = d.rows[t.at(4)];
    for (int i = 0; i < sales; ++i) {
        const int n = i % kNames.size();
        const QString day = QStringLiteral("2004%1%2")
                                .arg(i % 12 + 1, 2, 10, QLatin1Char('0'))
                                .arg(i % 28 + 1, 2, 10, QLatin1Char('0'));
        const double price = 500.0 + (i % 37) * 250;
        const double quantity = i % 10 == 0 ? 1.5 : i % 3 + 1;
        QVariantList row = {i + 1, day.left(4), day.left(6), day, QStringLiteral("メーカー%1㈱").arg(i % 12),
                            QStringLiteral("ﾒｰｶｰ%1").arg(i % 12), QStringLiteral("商品%1号 髙級").arg(i % 40),
                            QStringLiteral("ｼｮｳﾋﾝ%1").arg(i % 40), price + 100, price, quantity,
                            price * quantity, kNames.at(n), kReadings.at(n),
                            // One remark long enough that the row crosses the 256-byte offsets.
                            i == 7 ? QString(110, QChar(0x5D0E)) : QString()};
        row << stamp(i);
        saleRows.push_back(row);
    }
    QVariantList condition = {1, QStringLiteral("ﾀｶｻｷ"), QStringLiteral("髙﨑"), QString(), 13};
    for (int i = 0; i < 7; ++i)
        condition << QString();
    d.rows[t.at(5)].push_back(condition);
    return d;
}

QVariant Stored(const QVariant& value, bool text)
{
    if (!value.isValid())
        return text ? QVariant(QString()) : QVariant(0.0);
    return text ? QVariant(value.toString()) : QVariant(value.toDouble());
}
