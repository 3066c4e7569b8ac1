#include "CustomerScreenTest.h"

#include "core/Globals.h"
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
