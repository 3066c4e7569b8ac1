#include "CustomerScreenTest.h"

#include "core/Globals.h"
#include "db/Database.h"
#include "sales/SalesStore.h"
#include "ui/FlexGrid.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

void CustomerScreenTest::SetUp()
{
    ScreenTest::SetUp();
    writeIni(QStringLiteral("Todoufuken1=13\r\nTodoufuken2=0\r\nDataPath=Data\r\n"));
}

std::int32_t CustomerScreenTest::addCustomer(const QString& name, const QString& reading, int prefecture,
                                             const QString& phone, const QString& remarks)
{
    Customer c;
    c.name = name;
    c.reading = reading;
    c.postalCode = QStringLiteral("100-0001");
    c.prefecture = prefecture;
    c.city = QStringLiteral("千代田区");
    c.phone = phone;
    c.remarks = remarks;
    return CustomerStore().add(c);
}

void CustomerScreenTest::addCustomers(int count)
{
    for (int i = count; i >= 1; --i)
        addCustomer(QStringLiteral("C%1").arg(i, 2, 10, QLatin1Char('0')),
                    QStringLiteral("ｱ%1").arg(i, 2, 10, QLatin1Char('0')));
}

void CustomerScreenTest::addSale(const QString& buyer, const QString& date, const QString& maker,
                                 qlonglong price, qlonglong quantity, const QString& remarks) const
{
    Sale sale;
    sale.year = date.left(4);
    sale.yearMonth = date.left(6);
    sale.date = date;
    sale.maker = maker;
    sale.product = maker + QStringLiteral("の品") + QString::number(price);
    sale.listPrice = price;
    sale.sellingPrice = price;
    sale.quantity = quantity;
    sale.total = price * quantity;
    sale.buyer = buyer;
    sale.remarks = remarks;
    SalesStore().add(sale);
}

void CustomerScreenTest::addLedger() const
{
    for (int i = 1; i <= 30; ++i) {
        Customer c;
        c.name = QStringLiteral("C%1").arg(i, 2, 10, QLatin1Char('0'));
        c.reading = QStringLiteral("ｱ%1").arg(i, 2, 10, QLatin1Char('0'));
        c.postalCode = QStringLiteral("100-0001");
        c.prefecture = 13;
        c.city = QStringLiteral("千代田区");
        if (i % 3 == 0)
            c.birthday = {i % 2 ? 0 : 1970 + i, i % 12 + 1, i};
        c.noMail = i % 4 == 0;
        CustomerStore().add(c);
    }
    addCustomer(QStringLiteral("C05"), QStringLiteral("ｲ05"));
    const QStringList makers = {QStringLiteral("メーカーA"), QStringLiteral("メーカーB"),
                                QStringLiteral("メーカーC"), QStringLiteral("メーカーD"),
                                QStringLiteral("メーカーE")};
    for (const QString& m : makers)
        addMaker(m, QStringLiteral("ﾒｰｶｰ"));
    Database db(dbPath());
    Database::Transaction transaction(db);
    for (int i = 0; i < 240; ++i) {
        const QString buyer = i % 40 == 39
                                  ? QStringLiteral("通りすがり")
                                  : QStringLiteral("C%1").arg(1 + (i * 7) % 24, 2, 10, QLatin1Char('0'));
        // Customers with a higher number buy later on the whole, so that the last purchases spread.
        const int day = (i * 37 + (1 + (i * 7) % 24) * 29) % 1095;
        const QString date = QDate(2022, 1, 1).addDays(day).toString(QStringLiteral("yyyyMMdd"));
        const qlonglong quantity = 1 + i % 3;
        const qlonglong price = 500 + (i % 7) * 250;
        db.execute(QStringLiteral(
                       "insert into Tb_売上 (Fi_キー, Fi_購入年, Fi_購入年月, Fi_購入年月日, Fi_メーカー, "
                       "Fi_商品, Fi_定価, Fi_売価, Fi_数量, Fi_売価合計, Fi_購入者) "
                       "values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                   {1000 + i, date.left(4), date.left(6), date, makers.at((i * 3 + i / 5) % 5),
                    QStringLiteral("品%1").arg(i), price, price, quantity, price * quantity, buyer});
    }
    transaction.commit();
}

QStringList CustomerScreenTest::selected(const QString& sql) const
{
    Database db(dbPath());
    Query q(db, sql);
    QStringList out;
    while (q.next())
        out << q.text(0);
    return out;
}

void CustomerScreenTest::search(const QString& name, int prefecture)
{
    ASSERT_NE(openFromMenu(QStringLiteral("Frm030_Qel")), nullptr);
    if (!name.isEmpty())
        enter(txt(0), name);
    combo()->setCurrentIndex(prefecture);
    Click(cmd(0));
    ASSERT_TRUE(follow(QStringLiteral("Frm040_Qel")));
}

QStringList CustomerScreenTest::listedNames() const
{
    QStringList names;
    for (int r = 1; r < grid()->rows(); ++r)
        names << grid()->textMatrix(r, 2);
    return names;
}

void CustomerScreenTest::openDetail(int row)
{
    clickRow(row, 2);
    Click(cmd(0));
    ASSERT_TRUE(follow(QStringLiteral("Frm050_Qel")));
}
