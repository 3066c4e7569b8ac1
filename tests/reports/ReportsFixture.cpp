#include "ReportsFixture.h"

#include "core/Globals.h"
#include "core/PeriodMonth.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPrintPreviewDialog>
#include <QTimer>

void ReportsFixture::SetUp()
{
    ScreenTest::SetUp();
    writeIni(QStringLiteral("DataPath=Data\r\nMaker=ブランド\r\nSyouhin=商品\r\n"));
    const QString file = QStringLiteral("売上明細オリジナル.xlsx");
    ASSERT_TRUE(QFile::copy(QStringLiteral(QEL_APP_DIR) + QLatin1Char('/') + file, AppFile(file)));
    ASSERT_TRUE(QDir().mkpath(AppFile(G().DataPath)));
    setNow(QDateTime(QDate(2006, 1, 20), QTime(10, 0, 0)));

    int key = 0;
    for (const char* maker : {"グッチョ|ｸﾞｯﾁｮ", "L'Artisan|ﾗﾙﾁｻﾞﾝ", "ルイ|ﾙｲ", "エルメ|ｴﾙﾒ"}) {
        const QStringList parts = QString::fromUtf8(maker).split(QLatin1Char('|'));
        execute(QStringLiteral(
                    "insert into Tb_メーカー (Fi_キー, Fi_メーカー, Fi_メーカーフリガナ) values (?, ?, ?)"),
                {++key, parts[0], parts[1]});
    }
    key = 0;
    for (const char* customer : {"青木 花子|ｱｵｷ ﾊﾅｺ", "O'Neil|ｵﾆｰﾙ", "山田 太郎|ﾔﾏﾀﾞ ﾀﾛｳ"}) {
        const QStringList parts = QString::fromUtf8(customer).split(QLatin1Char('|'));
        execute(QStringLiteral("insert into Tb_顧客 (Fi_キー, Fi_名前, Fi_名前フリガナ) values (?, ?, ?)"),
                {++key, parts[0], parts[1]});
    }
    addSale(1, "20060105", "ルイ", "鞄", 30000, 25000, 2, "青木 花子", "贈答用");
    addSale(2, "20051215", "グッチョ", "財布", 15000, 12000, 1, "山田 太郎");
    addSale(3, "20051231", "ルイ", "鞄", 30000, 25000, 1, "山田 太郎");
    addSale(4, "20060105", "グッチョ", "財布", 15000, 12000, 3, "O'Neil");
    addSale(5, "20051120", "L'Artisan", "香水", 8000, 7000, 1, "O'Neil");
    addSale(6, "20060220", "グッチョ", "鞄", 40000, 38000, 1, "青木 花子");
}

void ReportsFixture::addSale(int key, const QString& date, const QString& maker, const QString& product,
                             qint64 listPrice, qint64 sellingPrice, qint64 quantity, const QString& buyer,
                             const QString& remarks)
{
    execute(
        QStringLiteral("insert into Tb_売上 (Fi_キー, Fi_購入年, Fi_購入年月, Fi_購入年月日, Fi_メーカー, "
                       "Fi_商品, Fi_定価, Fi_売価, Fi_数量, Fi_売価合計, Fi_購入者, Fi_備考, Fi_最終更新年, "
                       "Fi_最終更新月, Fi_最終更新日, Fi_最終更新時, Fi_最終更新分, Fi_最終更新秒) "
                       "values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, '2006', '01', '19', '18', '30', '05')"),
        {key, date.left(4), date.left(6), date, maker, product, double(listPrice), double(sellingPrice),
         double(quantity), double(sellingPrice * quantity), buyer, remarks});
}

void ReportsFixture::openMenu()
{
    openFromMenu(QStringLiteral("Frm510_Qel"));
    ASSERT_NE(screen(), nullptr);
}

void ReportsFixture::chooseOnMenu(const std::vector<int>& clicks, const QString& maker,
                                  const QString& reading)
{
    openMenu();
    for (int i : clicks)
        Click(cmd(i));
    if (!maker.isEmpty())
        chooseMaker(maker);
    if (!reading.isEmpty())
        chooseBuyer(reading);
}

void ReportsFixture::chooseMaker(const QString& maker)
{
    QComboBox* makers = combo();
    const int index = makers->findText(maker);
    ASSERT_GE(index, 0) << maker.toStdString();
    // As a user picks it from the drop-down.
    makers->setCurrentIndex(index);
    emit makers->activated(index);
}

void ReportsFixture::chooseBuyer(const QString& reading)
{
    enter(child<QLineEdit>(QStringLiteral("Text1")), reading);
}

bool ReportsFixture::makeReport(int button)
{
    Click(cmd(button));
    static const char* const forms[] = {"Frm520_Qel", "Frm530_Qel", "Frm540_Qel"};
    return follow(QString::fromLatin1(forms[button - 7]));
}

QScrollBar* ReportsFixture::scroll() const
{
    return child<QScrollBar>(QStringLiteral("VScroll1"));
}

QString ReportsFixture::shownSale() const
{
    return dat(0)->text() + "|" + dat(1)->text() + "|" + dat(7)->text() + "|" + dat(6)->text();
}

QStringList ReportsFixture::pageThrough()
{
    QStringList sales;
    QScrollBar* bar = scroll();
    if (!bar->isEnabled())
        return sales;
    for (int v = bar->minimum(); v <= bar->maximum(); ++v) {
        bar->setValue(v);
        sales << shownSale();
    }
    bar->setValue(bar->minimum());
    return sales;
}

QString ReportsFixture::dataFile(const QString& name) const
{
    return AppFile(G().DataPath) + QLatin1Char('/') + name;
}

void ReportsFixture::closePreviewWhenShown()
{
    dialogs->expect(ShownBox::Kind::Preview, {}, {});
    dialogs->expect(ShownBox::Kind::Warning, QStringLiteral("確認"), QStringLiteral("前の画面に戻ります"));
}
