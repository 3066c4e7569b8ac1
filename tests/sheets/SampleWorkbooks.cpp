// Writes sample workbooks through the writer for the independent checks in Python:
//   qel_sheets_samples <folder with the templates> <output folder>
// The contents follow the customer-list and sales-detail layouts, with the awkward texts
// (control characters, long texts, leading blanks) the checks look for.
#include "sheets/Workbook.h"

#include <QCoreApplication>
#include <QDate>
#include <QStringList>

#include <cstdio>

namespace {

const QString kControlText = QStringLiteral("前\x01中\x1f後\x0b終");
const QString kRemark25 = QStringLiteral("一二三四五六七八九十壱弐参四五六七八九十ABCDE");

void customerList(const QString& templates, const QString& out)
{
    Workbook book(templates + QStringLiteral("/顧客一覧オリジナル.xlsx"),
                  out + QStringLiteral("/顧客一覧.xlsx"));
    book.prepare();
    book.open();
    book.setCenterHeader(QStringLiteral("顧客一覧"));
    book.setSheetName(QStringLiteral("顧客一覧"));
    const QStringList names = {QStringLiteral("山田　太郎"), QStringLiteral(" 佐藤 花子 "), kControlText};
    for (int i = 1; i <= 3; ++i) {
        const int r = 3 * i + 1;
        book.setNumber(r, 1, i);
        book.setText(r, 2, QStringLiteral("ﾔﾏﾀﾞ ﾀﾛｳ%1").arg(i));
        book.setText(r, 3, QStringLiteral("〒100-000%1").arg(i));
        book.setText(r, 5, QStringLiteral("090-0000-000%1").arg(i));
        book.setText(r + 1, 2, names.at(i - 1));
        book.setText(r + 1, 3, QStringLiteral("東京都"));
        book.setText(r + 1, 4, QStringLiteral("千代田区丸の内%1-1").arg(i));
        book.setText(r + 1, 5, QStringLiteral("03-0000-000%1").arg(i));
        book.setText(r + 1, 6, kRemark25.mid(0, 10));
        book.setText(r + 2, 2, QStringLiteral("user%1@example.jp").arg(i));
        book.setText(r + 2, 4,
                     i == 3 ? QString(40000, QChar(0x3042)) : QStringLiteral("丸の内ビル%1階").arg(i));
        book.setText(r + 2, 5, QStringLiteral("03-1111-000%1").arg(i));
        book.setText(r + 2, 6, kRemark25.mid(10, 10));
        book.drawBorders(r, 1, r + 2, 6);
    }
    book.scrollToTop();
    book.save();
}

void salesDetail(const QString& templates, const QString& out, const QString& fileName, bool era)
{
    Workbook book(templates + QStringLiteral("/売上明細オリジナル.xlsx"), out + QLatin1Char('/') + fileName);
    book.prepare();
    book.open();
    book.setText(1, 3, QStringLiteral("メーカー名"));
    book.setText(2, 3, QStringLiteral("商品名"));
    book.setColumnFormat(2, QString::fromUtf16(era ? kEraDateFormat : kWesternDateFormat));
    if (!era)
        book.setLeftHeader(QStringLiteral("購入者:山田　太郎 & 息子"));
    book.setCenterHeader(era ? QStringLiteral("期間指定　売上明細") : QStringLiteral("購入者別 売上明細"));
    book.setRightHeader(QStringLiteral("期間:平成17年5月～平成17年6月"));
    book.setSheetName(era ? QStringLiteral("期間指定売上明細") : QStringLiteral("購入者別売上明細"));
    const QDate dates[] = {QDate(2005, 5, 18), QDate(2005, 6, 1), QDate(2019, 5, 1)};
    std::int64_t total = 0;
    for (int i = 1; i <= 3; ++i) {
        const int r = 2 * i + 1;
        const std::int64_t price = 15000 * i, count = i;
        book.setNumber(r, 1, i);
        book.setDate(r, 2, dates[i - 1]);
        book.setText(r, 3, QStringLiteral("ブランド%1").arg(i));
        book.setText(r + 1, 3, QStringLiteral("バッグ%1").arg(i));
        book.setText(r, 4, QStringLiteral("山田　太郎"));
        book.setText(r + 1, 4, i == 2 ? kControlText : QStringLiteral("備考%1").arg(i));
        book.setNumber(r, 5, price);
        book.setNumber(r + 1, 5, price + 5000);
        book.setNumber(r, 6, count);
        book.setNumber(r, 7, price * count);
        total += price * count;
        book.drawBorders(r, 1, r + 1, 7);
    }
    const int t = 2 * 3 + 3;
    book.setText(t, 6, QStringLiteral("売価総合計"));
    book.setNumber(t, 7, total);
    book.drawBorders(t, 6, t, 7);
    book.scrollToTop();
    book.save();
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
