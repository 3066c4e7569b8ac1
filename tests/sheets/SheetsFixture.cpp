#include "SheetsFixture.h"

#include "core/Globals.h"
#include "sheets/CustomerListSheet.h"
#include "sheets/SalesDetailSheet.h"

#include <QDir>
#include <QFile>

#include <vector>

void SheetsFixture::SetUp()
{
    AppFixture::SetUp();
    for (const char* name : {"顧客一覧オリジナル.xlsx", "売上明細オリジナル.xlsx"}) {
        const QString file = QString::fromUtf8(name);
        ASSERT_TRUE(QFile::copy(QStringLiteral(QEL_APP_DIR) + QLatin1Char('/') + file, AppFile(file)))
            << name;
    }
    G().DataPath = QStringLiteral("Data");
    ASSERT_TRUE(QDir().mkpath(AppFile(G().DataPath)));
    exits = recordExits();
}

void SheetsFixture::TearDown()
{
    exits = nullptr;
    AppFixture::TearDown();
}

QString SheetsFixture::customerTemplate() const
{
    return AppFile(QStringLiteral("顧客一覧オリジナル.xlsx"));
}

QString SheetsFixture::salesTemplate() const
{
    return AppFile(QStringLiteral("売上明細オリジナル.xlsx"));
}

QString SheetsFixture::writeCustomerList(int customers, const QString& fileName)
{
    std::vector<CustomerListRow> rows;
    for (int i = 1; i <= customers; ++i) {
        CustomerListRow c;
        c.reading = QStringLiteral("ﾔﾏﾀﾞ ﾀﾛｳ");
        c.postalCode = QStringLiteral("100-0001");
        c.mobile = QStringLiteral("090-1234-5678");
        c.name = QStringLiteral("山田　太郎%1").arg(i);
        c.prefecture = QStringLiteral("東京都");
        c.city = QStringLiteral("千代田区丸の内1-2-3");
        c.phone = QStringLiteral("03-1234-5678");
        c.remarks = QStringLiteral("備考の前半です");
        c.mail = QStringLiteral("taro@example.jp");
        c.building = QStringLiteral("丸の内ビル12階");
        c.fax = QStringLiteral("03-1234-5679");
        rows.push_back(c);
    }
    CustomerListSheet sheet(customerTemplate(), WorkbookTarget(fileName));
    sheet.open();
    sheet.writePageSetup();
    sheet.writeRows(rows);
    sheet.scrollToTop();
    sheet.save();
    return sheet.targetPath();
}
