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

QString SheetsFixture::writeSalesDetail(int sales)
{
    SalesDetailTexts texts;
    texts.makerHeading = QStringLiteral("ブランド名");
    texts.productHeading = QStringLiteral("商品名");
    texts.centerHeader = QStringLiteral("期間指定　売上明細");
    texts.rightHeader = QStringLiteral("期間:指定なし");
    texts.sheetName = QStringLiteral("期間指定売上明細");
    std::vector<SalesDetailRow> rows;
    for (int i = 1; i <= sales; ++i) {
        SalesDetailRow r;
        r.date = QStringLiteral("20050518");
        r.maker = QStringLiteral("グッチョ");
        r.product = QStringLiteral("財布");
        r.buyer = QStringLiteral("山田　太郎");
        r.sellingPrice = 12000;
        r.listPrice = 15000;
        r.quantity = 1;
        r.total = 12000;
        rows.push_back(r);
    }
    SalesDetailSheet sheet(salesTemplate(), WorkbookTarget(QStringLiteral("期間指定売上明細.xlsx")), texts);
    sheet.open(sales);
    sheet.writePageSetup();
    sheet.writeRows(rows);
    sheet.scrollToTop();
    sheet.save();
    return sheet.targetPath();
}
