// Writes sample workbooks through the writer for the independent checks in Python:
//   qel_sheets_samples <folder with the templates> <output folder>
// The production writers fill them, with the awkward texts
// (control characters, long texts, leading blanks) the checks look for.
#include "sheets/CustomerListSheet.h"
#include "sheets/SalesDetailSheet.h"

#include <QCoreApplication>
#include <QDate>
#include <QStringList>

#include <cstdio>
#include <vector>

namespace {

const QString kControlText = QStringLiteral("前\x01中\x1f後\x0b終");
const QString kRemark25 = QStringLiteral("一二三四五六七八九十壱弐参四五六七八九十ABCDE");

void customerList(const QString& templates, const QString& out)
{
    CustomerListSheet sheet(templates + QLatin1Char('/') + CustomerListSheet::kTemplateFile,
                            out + QLatin1Char('/') + CustomerListSheet::kFileName);
    const QStringList names = {QStringLiteral("山田　太郎"), QStringLiteral(" 佐藤 花子 "), kControlText};
    std::vector<CustomerListRow> rows;
    for (int i = 1; i <= 3; ++i) {
        CustomerListRow c;
        c.reading = QStringLiteral("ﾔﾏﾀﾞ ﾀﾛｳ%1").arg(i);
        c.postalCode = QStringLiteral("100-000%1").arg(i);
        c.mobile = QStringLiteral("090-0000-000%1").arg(i);
        c.name = names.at(i - 1);
        c.prefecture = QStringLiteral("東京都");
        c.city = QStringLiteral("千代田区丸の内%1-1").arg(i);
        c.phone = QStringLiteral("03-0000-000%1").arg(i);
        c.remarks = kRemark25;
        c.mail = QStringLiteral("user%1@example.jp").arg(i);
        c.building = i == 3 ? QString(40000, QChar(0x3042)) : QStringLiteral("丸の内ビル%1階").arg(i);
        c.fax = QStringLiteral("03-1111-000%1").arg(i);
        rows.push_back(c);
    }
    sheet.open();
    sheet.writePageSetup();
    sheet.writeRows(rows);
    sheet.scrollToTop();
    sheet.save();
}

void salesDetail(const QString& templates, const QString& out, const QString& fileName, bool era)
{
    SalesDetailTexts texts;
    texts.makerHeading = QStringLiteral("メーカー名");
    texts.productHeading = QStringLiteral("商品名");
    if (!era)
        texts.leftHeader = QStringLiteral("購入者:山田　太郎 & 息子");
    texts.centerHeader = era ? QStringLiteral("期間指定　売上明細") : QStringLiteral("購入者別 売上明細");
    texts.rightHeader = QStringLiteral("期間:平成17年5月～平成17年6月");
    texts.sheetName = era ? QStringLiteral("期間指定売上明細") : QStringLiteral("購入者別売上明細");
    texts.eraDates = era;
    SalesDetailSheet sheet(templates + QLatin1Char('/') + SalesDetailSheet::kTemplateFile,
                           out + QLatin1Char('/') + fileName, texts);
    const char* const dates[] = {"20050518", "20050601", "20190501"};
    std::vector<SalesDetailRow> rows;
    for (int i = 1; i <= 3; ++i) {
        SalesDetailRow s;
        s.date = QString::fromLatin1(dates[i - 1]);
        s.maker = QStringLiteral("ブランド%1").arg(i);
        s.product = QStringLiteral("バッグ%1").arg(i);
        s.buyer = QStringLiteral("山田　太郎");
        s.remarks = i == 2 ? kControlText : QStringLiteral("備考%1").arg(i);
        s.sellingPrice = 15000 * i;
        s.listPrice = s.sellingPrice + 5000;
        s.quantity = i;
        s.total = s.sellingPrice * s.quantity;
        rows.push_back(s);
    }
    sheet.open(std::int64_t(rows.size()));
    sheet.writePageSetup();
    sheet.writeRows(rows);
    sheet.scrollToTop();
    sheet.save();
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: qel_sheets_samples <template folder> <output folder>\n");
        return 2;
    }
    try {
        customerList(args[1], args[2]);
        salesDetail(args[1], args[2], QStringLiteral("期間指定売上明細.xlsx"), true);
        salesDetail(args[1], args[2], QStringLiteral("購入者別売上明細.xlsx"), false);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "qel_sheets_samples: %s\n", e.what());
        return 1;
    }
    return 0;
}
