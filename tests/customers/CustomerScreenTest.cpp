#include "CustomerScreenTest.h"

#include "core/Globals.h"
#include "db/Database.h"
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
    execute(
        QStringLiteral("insert into Tb_売上 (Fi_キー, Fi_購入年, Fi_購入年月, Fi_購入年月日, Fi_メーカー, "
                       "Fi_商品, Fi_売価, Fi_数量, Fi_売価合計, Fi_購入者, Fi_備考) values ((select "
                       "ifnull(max(Fi_キー), 0) + 1 from Tb_売上), ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
        {date.left(4), date.left(6), date, maker, maker + QString::number(price), price, quantity,
         price * quantity, buyer, remarks});
}

void CustomerScreenTest::addLedger() const
{
    std::vector<Customer> customers(30);
    for (int i = 1; i <= 30; ++i) {
        Customer& c = customers[size_t(i - 1)];
        c.name = QStringLiteral("C%1").arg(i, 2, 10, QLatin1Char('0'));
        c.reading = QStringLiteral("ｱ%1").arg(i, 2, 10, QLatin1Char('0'));
        c.prefecture = 13;
        if (i % 3 == 0)
            c.birthday = {i % 2 ? 0 : 1970 + i, i % 12 + 1, i};
        c.noMail = i % 4 == 0;
    }
    CustomerStore().add(customers);
    addCustomer(QStringLiteral("C05"), QStringLiteral("ｲ05"));
    for (const char* m : {"メーカーA", "メーカーB", "メーカーC", "メーカーD", "メーカーE"})
        addMaker(QString::fromUtf8(m), QStringLiteral("ﾒｰｶｰ"));
    // Customers of a higher number buy later on the whole, so that the last purchases spread.
    execute(QStringLiteral(
        "with recursive n(i) as (select 0 union all select i + 1 from n where i < 239), "
        "s(i, c, day) as (select i, 1 + i * 7 % 24, date('2022-01-01', '+' || ((i * 37 + (1 + i * 7 % 24) * "
        "29) "
        "% 1095) || ' days') from n) "
        "insert into Tb_売上 (Fi_キー, Fi_購入年, Fi_購入年月, Fi_購入年月日, Fi_メーカー, Fi_商品, Fi_売価, "
        "Fi_数量, Fi_売価合計, Fi_購入者) select 1000 + i, strftime('%Y', day), strftime('%Y%m', day), "
        "strftime('%Y%m%d', day), 'メーカー' || char(65 + (i * 3 + i / 5) % 5), '品' || i, 500 + i % 7 * "
        "250, "
        "1 + i % 3, (500 + i % 7 * 250) * (1 + i % 3), case when i % 40 = 39 then '通りすがり' else 'C' || "
        "substr('0' || c, -2) end from s"));
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
