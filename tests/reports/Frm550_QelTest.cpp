#include "ReportsFixture.h"

#include "core/Amount.h"
#include "core/Globals.h"
#include "core/PeriodMonth.h"
#include "db/Database.h"
#include "ui/FormBase.h"
#include "ui/ReadingSearch.h"

#include <QAbstractBarSeries>
#include <QApplication>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QImage>
#include <QLabel>
#include <QLineSeries>
#include <QListWidget>
#include <QPageLayout>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTimer>

#include <SQLiteCpp/Database.h>

#include <limits>
#include <map>

namespace {

QString Bare(QString text)
{
    text.removeIf([](QChar c) { return c.isSpace() || c == QChar(0x2028); });
    return text;
}

// What the chart shows: each category (as plain text, the line break removed) with its bar, and
// the line's points by category.
struct Shown
{
    QStringList categories;
    std::vector<qint64> bars;
    std::map<int, qint64> line;
};

class ChartScreenTest : public ReportsFixture
{
  protected:
    // The report menu with these period clicks, then "グラフ".
    void openCharts(const std::vector<int>& clicks, const QString& maker = {}, const QString& reading = {})
    {
        chooseOnMenu(clicks, maker, reading);
        Click(cmd(11));
        ASSERT_TRUE(follow(QStringLiteral("Frm550_Qel")));
    }
    QChartView* chartView() const { return child<QChartView>(QStringLiteral("Chart1")); }
    Shown shown() const
    {
        Shown s;
        QChart* chart = chartView()->chart();
        for (QAbstractSeries* series : chart->series()) {
            if (auto* bars = qobject_cast<QAbstractBarSeries*>(series)) {
                for (int i = 0; i < bars->barSets().front()->count(); ++i)
                    s.bars.push_back(qint64(bars->barSets().front()->at(i)));
                for (QAbstractAxis* axis : bars->attachedAxes()) {
                    if (auto* names = qobject_cast<QBarCategoryAxis*>(axis))
                        s.categories =
                            names->categories().replaceInStrings(QStringLiteral("<br>"), QString());
                }
            } else if (auto* line = qobject_cast<QLineSeries*>(series)) {
                for (const QPointF& p : line->points())
                    s.line[int(p.x())] = qint64(p.y());
            }
        }
        return s;
    }
    // The label items the chart shows for the categories, once each category has one.
    std::vector<QGraphicsTextItem*> labelsOf(const QStringList& categories) const
    {
        // The labels are rich text: their lines break and their blanks collapse.
        QStringList wanted;
        for (const QString& category : categories)
            wanted << Bare(category);
        std::vector<QGraphicsTextItem*> found;
        PollUntil(
            [&] {
                found.clear();
                for (QGraphicsItem* item : chartView()->scene()->items()) {
                    auto* text = dynamic_cast<QGraphicsTextItem*>(item);
                    if (!text)
                        continue;
                    if (wanted.contains(Bare(text->toPlainText())))
                        found.push_back(text);
                }
                return found.size() == std::size_t(categories.size());
            },
            3000, "a label for every category");
        return found;
    }
    // Every label is shown, whole inside the chart, and none overlaps another.
    void expectReadable(const std::vector<QGraphicsTextItem*>& labels) const
    {
        const QRectF chart(QPointF(), chartView()->chart()->size());
        for (std::size_t i = 0; i < labels.size(); ++i) {
            const QRectF box = labels[i]->sceneBoundingRect();
            const std::string text = labels[i]->toPlainText().toStdString();
            EXPECT_TRUE(labels[i]->isVisible()) << text;
            EXPECT_TRUE(chart.contains(box)) << text;
            for (std::size_t j = i + 1; j < labels.size(); ++j)
                EXPECT_FALSE(box.intersects(labels[j]->sceneBoundingRect()))
                    << text << " / " << labels[j]->toPlainText().toStdString();
        }
    }
    qint64 sumOf(const QString& where, const QVariantList& values) const
    {
        Database db;
        Query q(db, QStringLiteral("select total(Fi_売価合計) from Tb_売上 where ") + where, values);
        return q.next() ? q.integer(0) : -1;
    }
    QString firstSaleMonth() const
    {
        Database db;
        Query q(db, QStringLiteral("select min(Fi_購入年月) from Tb_売上"));
        return q.next() ? q.text(0) : QString();
    }
    // Sales of a maker and a purchaser of their own, with totals 1,000 yen apart.
    void addShoppers(int count)
    {
        for (int i = 1; i <= count; ++i)
            addSale(100 + i, "20060110", QStringLiteral("メーカー%1").arg(i, 2, 10, QLatin1Char('0')), "品",
                    1000, 1000 * i, 1, QStringLiteral("客%1").arg(i, 2, 10, QLatin1Char('0')));
    }
};

// Every month of the period is a bar of the month's total in the database, zero when empty, the
// line the same month a year earlier; the total under the chart is the period report's total,
// and the menu keeps its choices when the chart screen closes.
TEST_F(ChartScreenTest, MonthBarsAreTheDatabaseSumsAndTheTotalIsThePeriodReports)
{
    addSale(7, "20041215", "グッチョ", "財布", 9000, 9000, 1, "山田 太郎");
    addSale(8, "20050105", "ルイ", "鞄", 4000, 4000, 1, "青木 花子");
    struct Case
    {
        const char* ini;
        std::vector<int> clicks;
        const char* months;
        const char* change;
    };
    const Case cases[] = {
        {"",
         {6},
         "2004/12,2005/01,2005/02,2005/03,2005/04,2005/05,2005/06,2005/07,2005/08,2005/09,2005/10,2005/11,"
         "2005/12,2006/01,2006/02",
         "－"},
        {"", {0}, "2005年12月", "+311.1%"},
        {"", {1, 2, 2, 2, 5}, "2005年10月,2005年11月,2005年12月,2006年01月,2006年02月", "－"},
        {"Nengou=和暦\r\n", {1}, "平成18年01月", "+2050.0%"},
        {"Nengou=和暦\r\n",
         {6},
         "H16/12,H17/01,H17/02,H17/03,H17/04,H17/05,H17/06,H17/07,H17/08,H17/09,H17/10,"
         "H17/11,H17/12,H18/01,H18/02",
         "－"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.months);
        writeIni(QStringLiteral("DataPath=Data\r\nMaker=ブランド\r\nSyouhin=商品\r\n") +
                 QString::fromUtf8(c.ini));
        openCharts(c.clicks);
        const QString from = dat(0)->text(), to = dat(1)->text();
        const Shown s = shown();
        EXPECT_EQ(s.categories.join(QLatin1Char(',')), QString::fromUtf8(c.months));
        ASSERT_EQ(s.bars.size(), std::size_t(s.categories.size()));
        const QString firstSale = firstSaleMonth();
        const QString first =
            G().PeriodFrom == QStringLiteral("000000") ? QStringLiteral("200412") : G().PeriodFrom;
        qint64 total = 0;
        for (std::size_t i = 0; i < s.bars.size(); ++i) {
            const QDate month = QDate(first.left(4).toInt(), first.right(2).toInt(), 1).addMonths(int(i));
            const QString yyyymm = month.toString(QStringLiteral("yyyyMM"));
            const QString before = month.addYears(-1).toString(QStringLiteral("yyyyMM"));
            EXPECT_EQ(s.bars[i], sumOf(QStringLiteral("Fi_購入年月 = ?"), {yyyymm})) << yyyymm.toStdString();
            // No point for a month a year earlier than the first sale.
            if (before < firstSale)
                EXPECT_EQ(s.line.count(int(i)), 0u) << before.toStdString();
            else
                EXPECT_EQ(s.line.at(int(i)), sumOf(QStringLiteral("Fi_購入年月 = ?"), {before}))
                    << before.toStdString();
            total += s.bars[i];
        }
        EXPECT_EQ(dat(3)->text(), YenText(total));
        EXPECT_EQ(dat(6)->text(), QString::fromUtf8(c.change));
        const QString chartTotal = dat(3)->text();

        Click(cmd(5));
        ASSERT_TRUE(follow(QStringLiteral("Frm510_Qel")));
        EXPECT_EQ(dat(0)->text() + dat(1)->text(), from + to) << "the menu keeps its period";
        ASSERT_TRUE(makeReport(7));
        EXPECT_EQ(dat(13)->text(), chartTotal);
        CloseAllScreens();
    }
}

// The makers' bars are their totals in the database, the ten largest and the rest as "その他",
// each with its share; the purchasers' are the twenty largest with count and last purchase.
TEST_F(ChartScreenTest, MakersAndPurchasersAreTheDatabaseTotalsLargestFirst)
{
    addShoppers(22);
    openCharts({1});
    const QVariantList period{QStringLiteral("200601"), QStringLiteral("200601")};
    const qint64 whole = sumOf(QStringLiteral("Fi_購入年月 between ? and ?"), period);

    Click(cmd(1));
    Shown s = shown();
    ASSERT_EQ(s.categories.size(), 11);
    qint64 previous = std::numeric_limits<qint64>::max(), counted = 0;
    // The largest stands on top, the last category.
    for (int i = 10; i >= 0; --i) {
        const QStringList parts = s.categories[i].split(QStringLiteral("　"));
        ASSERT_EQ(parts.size(), 3) << s.categories[i].toStdString();
        const qint64 expected = parts[0] == QStringLiteral("その他")
                                    ? whole - counted
                                    : sumOf(QStringLiteral("Fi_メーカー = ? and Fi_購入年月 between ? and ?"),
                                            QVariantList{parts[0]} + period);
        EXPECT_EQ(s.bars[i], expected) << parts[0].toStdString();
        EXPECT_EQ(parts[1], YenText(expected));
        EXPECT_NEAR(parts[2].chopped(1).toDouble(), 100.0 * double(expected) / double(whole), 0.05);
        if (i > 0) {
            EXPECT_LE(s.bars[i], previous);
        }
        previous = s.bars[i];
        counted += expected;
    }
    EXPECT_TRUE(s.categories[0].startsWith(QStringLiteral("その他")));
    EXPECT_EQ(s.categories[10], QStringLiteral("ルイ　¥50,000　14.7%"));
    EXPECT_EQ(s.categories[8], QStringLiteral("メーカー22　¥22,000　6.5%"));

    Click(cmd(2));
    s = shown();
    ASSERT_EQ(s.categories.size(), 10);
    EXPECT_EQ(s.categories[9], QStringLiteral("青木 花子　¥50,000　1件"));
    for (int i = 0; i < 10; ++i) {
        const QString buyer = s.categories[i].section(QStringLiteral("　"), 0, 0);
        EXPECT_EQ(s.bars[i], sumOf(QStringLiteral("Fi_購入者 = ? and Fi_購入年月 between ? and ?"),
                                   QVariantList{buyer} + period));
    }
    EXPECT_EQ(s.categories[0], QStringLiteral("客15　¥15,000　1件")) << "客01 to 客14 fall out";
}

// A year of months shows twelve whole labels side by side, in either calendar, and all twelve are
// printed.
TEST_F(ChartScreenTest, TwelveMonthsShowTwelveReadableLabels)
{
    std::vector<int> year{1};
    year.insert(year.end(), 11, 2); // 2005/02 to 2006/01
    for (const char* ini : {"", "Nengou=和暦\r\n"}) {
        SCOPED_TRACE(ini);
        writeIni(QStringLiteral("DataPath=Data\r\nMaker=ブランド\r\nSyouhin=商品\r\n") +
                 QString::fromUtf8(ini));
        openCharts(year);
        const Shown s = shown();
        ASSERT_EQ(s.categories.size(), 12);
        expectReadable(labelsOf(s.categories));

        const QString pdf = appPath() + QStringLiteral("/year.pdf");
        dialogs->onPreview = [&](QDialog& shown) {
            auto* dialog = qobject_cast<QPrintPreviewDialog*>(&shown);
            dialog->printer()->setOutputFileName(pdf);
            dialog->findChild<QPrintPreviewWidget*>()->print();
        };
        dialogs->expect(ShownBox::Kind::Preview, QStringLiteral("売上グラフ（月別）"), {});
        Click(cmd(3));
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        ASSERT_TRUE(text.waitForFinished());
        const QString printed = QString::fromUtf8(text.readAllStandardOutput());
        for (int month = 1; month <= 12; ++month) {
            const QString label = QStringLiteral("%1月").arg(month, 2, 10, QLatin1Char('0'));
            EXPECT_TRUE(printed.contains(label)) << label.toStdString() << "\n" << printed.toStdString();
        }
        CloseAllScreens();
    }
}

// The purchaser ranking is read at the screen's type size, every name whole or ending in "…".
TEST_F(ChartScreenTest, PurchaserNamesAreReadAtTheScreensSize)
{
    addShoppers(12);
    addSale(200, "20060111", "ルイ", "鞄", 90000, 90000, 1,
            QStringLiteral("寿限無寿限無五劫の擦り切れ海砂利水魚の水行末雲来末風来末"));
    openCharts({1});
    Click(cmd(2));
    const Shown s = shown();
    ASSERT_EQ(s.categories.size(), 10);
    // The largest, on top: the long name cut, the figures whole.
    EXPECT_TRUE(s.categories[9].startsWith(QStringLiteral("寿限無")) &&
                s.categories[9].endsWith(QStringLiteral("…　¥90,000　1件")))
        << s.categories[9].toStdString();
    const std::vector<QGraphicsTextItem*> labels = labelsOf(s.categories);
    for (QGraphicsTextItem* label : labels)
        EXPECT_GE(label->font().pointSizeF(), ScreenFont().pointSizeF());
    expectReadable(labels);
}

// The same months a year earlier, summed as the database sums them; an open period, or one whose
// year before reaches back before the first sale, has none to compare with. A month without sales
// is still charted against a year before that had some.
TEST_F(ChartScreenTest, TheYearBeforeIsTheSameMonthsAYearEarlier)
{
    addSale(7, "20041215", "グッチョ", "財布", 9000, 9000, 1, "山田 太郎");
    addSale(8, "20050105", "ルイ", "鞄", 4000, 4000, 1, "青木 花子");
    std::vector<int> december(1, 1); // 2006/12 alone: 当月, then both ends eleven months on
    december.insert(december.end(), 11, 3);
    december.insert(december.end(), 11, 5);
    std::vector<int> early{1}; // 2005/01 to 2005/02: the year before lies before the first sale
    early.insert(early.end(), 12, 2);
    early.insert(early.end(), 11, 4);
    struct Case
    {
        const char* name;
        std::vector<int> clicks;
        bool compared;
        const char* change;
        int points;
    };
    const Case cases[] = {
        {"a month without sales", december, true, "-100.0%", 1},
        {"one month", {1}, true, "+2050.0%", 1},
        {"two months", {0, 5}, true, "+846.2%", 2},
        {"before the first sale", early, false, "－", 0},
        {"no period", {6}, false, "－", 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        openCharts(c.clicks);
        const QString from = G().PeriodFrom, to = G().PeriodTo;
        const Shown s = shown();
        EXPECT_EQ(dat(5)->text(), c.compared ? YenText(sumOf(QStringLiteral("Fi_購入年月 between ? and ?"),
                                                             {StepMonth(from, -12), StepMonth(to, -12)}))
                                             : QStringLiteral("－"));
        EXPECT_EQ(dat(6)->text(), QString::fromUtf8(c.change));
        EXPECT_EQ(int(s.line.size()), c.points);
        EXPECT_TRUE(chartView()->isVisible());
        if (s.bars == std::vector<qint64>{0}) {
            EXPECT_EQ(s.line.at(0), 37000);
            Click(cmd(1));
            EXPECT_TRUE(dat(7)->isVisible()) << "no makers to rank";
        }
        CloseAllScreens();
    }
}

// The maker or purchaser chosen on the menu can be charted alone, names with an apostrophe too.
TEST_F(ChartScreenTest, TheMenusMakerOrPurchaserChartsTheirSalesAlone)
{
    struct Case
    {
        const char* maker;
        const char* reading;
        int scope;
        const char* entry;
        const char* where;
        const char* name;
    };
    const Case cases[] = {
        {"ルイ", "", 1, "ブランド名：ルイ", "Fi_メーカー = ?", "ルイ"},
        {"L'Artisan", "ｵﾆｰﾙ", 1, "ブランド名：L'Artisan", "Fi_メーカー = ?", "L'Artisan"},
        {"L'Artisan", "ｵﾆｰﾙ", 2, "購入者：O'Neil", "Fi_購入者 = ?", "O'Neil"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        openCharts({6}, QString::fromUtf8(c.maker), QString::fromUtf8(c.reading));
        QComboBox* scopes = combo();
        ASSERT_EQ(scopes->itemText(c.scope), QString::fromUtf8(c.entry));
        scopes->setCurrentIndex(c.scope);
        emit scopes->activated(c.scope);
        const Shown s = shown();
        const QString name = QString::fromUtf8(c.name);
        qint64 total = 0;
        for (qint64 bar : s.bars)
            total += bar;
        EXPECT_EQ(total, sumOf(QString::fromUtf8(c.where), {name}));
        EXPECT_EQ(dat(3)->text(), YenText(total));
        Click(cmd(1));
        EXPECT_EQ(shown().categories.size(), c.scope == 1 ? 1 : 2);

        Click(cmd(5));
        ASSERT_TRUE(follow(QStringLiteral("Frm510_Qel")));
        EXPECT_EQ(combo()->currentText(), QString::fromUtf8(c.maker)) << "the menu keeps its maker";
        if (*c.reading) {
            EXPECT_EQ(ItemText(list(), list()->currentRow()), QStringLiteral("O'Neil"))
                << "and its purchaser";
        }
        CloseAllScreens();
    }
}

// The scope list offers a maker or a purchaser only when the user chose one on the menu, not the
// first ones the menu's lists start with; back from the charts the menu keeps what was chosen.
TEST_F(ChartScreenTest, TheScopesAreWhatTheUserChoseOnTheMenu)
{
    struct Case
    {
        const char* maker;
        const char* reading;
        const char* scopes;
    };
    const Case cases[] = {
        {"", "", "すべての売上"},
        {"L'Artisan", "", "すべての売上|ブランド名：L'Artisan"},
        {"", "ﾔﾏ", "すべての売上|購入者：山田 太郎"},
        {"グッチョ", "ｱｵｷ", "すべての売上|ブランド名：グッチョ|購入者：青木 花子"},
    };
    const auto scopes = [this] {
        QStringList items;
        for (int i = 0; i < combo()->count(); ++i)
            items << combo()->itemText(i);
        return items.join(QLatin1Char('|'));
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.scopes);
        openCharts({6}, QString::fromUtf8(c.maker), QString::fromUtf8(c.reading));
        EXPECT_EQ(scopes(), QString::fromUtf8(c.scopes));
        Click(cmd(5));
        ASSERT_TRUE(follow(QStringLiteral("Frm510_Qel")));
        Click(cmd(11));
        ASSERT_TRUE(follow(QStringLiteral("Frm550_Qel")));
        EXPECT_EQ(scopes(), QString::fromUtf8(c.scopes)) << "again from the menu it came back to";
        CloseAllScreens();
    }
}

// A file made before the chart indexes gets them from the menu before the charts open.
TEST_F(ChartScreenTest, AnOlderFileGetsTheChartIndexesBeforeTheCharts)
{
    const QStringList names{QStringLiteral("Ix_売上_月別集計"), QStringLiteral("Ix_売上_月別内訳"),
                            QStringLiteral("Ix_売上_メーカー別集計"), QStringLiteral("Ix_売上_購入者別集計")};
    const auto present = [&] {
        Database db(dbPath());
        return db.count(QStringLiteral("sqlite_master"), QStringLiteral("name in (?, ?, ?, ?)"),
                        {names[0], names[1], names[2], names[3]});
    };
    for (const QString& name : names)
        execute(QStringLiteral("drop index ") + name);
    ASSERT_EQ(present(), 0);
    openCharts({6});
    EXPECT_EQ(present(), 4);
    EXPECT_EQ(dat(3)->text(), QStringLiteral("¥168,000"));
}

TEST_F(ChartScreenTest, AnEmptyPeriodSaysSoInsteadOfAnEmptyChart)
{
    openCharts({0, 2, 2, 2, 2, 2, 4, 4, 4, 4, 4}); // 2005/07 alone
    for (int view : {0, 1, 2}) {
        Click(cmd(view));
        EXPECT_TRUE(dat(7)->isVisible());
        EXPECT_EQ(dat(7)->text(), QStringLiteral("該当する売上はありません"));
        EXPECT_FALSE(chartView()->isVisible());
        EXPECT_EQ(dat(3)->text() + dat(4)->text(), QStringLiteral("¥00件"));
        EXPECT_FALSE(cmd(3)->isEnabled());
        EXPECT_FALSE(cmd(4)->isEnabled());
    }
}

// A database held by another program, or one that is no database: the failure box, no chart,
// and the screen goes on; once the file is free a view reads again.
TEST_F(ChartScreenTest, AFailedReadShowsTheFailureBoxAndTheScreenGoesOn)
{
    for (bool locked : {true, false}) {
        SCOPED_TRACE(locked ? "locked" : "not a database");
        openCharts({6});
        const QString saved = dbPath() + QStringLiteral(".saved");
        std::unique_ptr<SQLite::Database> other;
        if (locked) {
            other = std::make_unique<SQLite::Database>(dbPath().toStdString(), SQLite::OPEN_READWRITE);
            other->exec("BEGIN EXCLUSIVE");
        } else {
            ASSERT_TRUE(QFile::rename(dbPath(), saved));
            QFile garbage(dbPath());
            ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
            garbage.write(QByteArray(4096, 'x'));
        }
        dialogs->expect(ShownBox::Kind::Failure, QStringLiteral("Frm550_Qel"), {});
        Click(cmd(1));
        EXPECT_TRUE(dialogs->allAnswered());
        EXPECT_EQ(message(), QStringLiteral("売上を集計できませんでした"));
        EXPECT_FALSE(chartView()->isVisible());
        EXPECT_FALSE(cmd(3)->isEnabled());

        if (locked)
            other->exec("ROLLBACK");
        else
            ASSERT_TRUE(QFile::remove(dbPath()) && QFile::rename(saved, dbPath()));
        Click(cmd(1));
        EXPECT_TRUE(chartView()->isVisible());
        EXPECT_EQ(shown().categories.size(), 3);
        EXPECT_EQ(message(), QString());
        CloseAllScreens();
    }
}

// "印刷" previews one A4 landscape page that prints the chart with its period and figures.
TEST_F(ChartScreenTest, PrintPreviewsOneLandscapePageWithTheFigures)
{
    openCharts({6});
    const QString pdf = appPath() + QStringLiteral("/chart.pdf");
    int pages = -1;
    QPageLayout layout;
    dialogs->onPreview = [&](QDialog& shown) {
        auto* dialog = qobject_cast<QPrintPreviewDialog*>(&shown);
        ASSERT_NE(dialog, nullptr);
        auto* preview = dialog->findChild<QPrintPreviewWidget*>();
        preview->updatePreview();
        pages = preview->pageCount();
        layout = dialog->printer()->pageLayout();
        dialog->printer()->setOutputFileName(pdf);
        preview->print();
    };
    dialogs->expect(ShownBox::Kind::Preview, QStringLiteral("売上グラフ（月別）"), {});
    Click(cmd(3));
    EXPECT_EQ(pages, 1);
    EXPECT_EQ(layout.orientation(), QPageLayout::Landscape);
    EXPECT_EQ(layout.pageSize().id(), QPageSize::A4);
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished());
    const QString printed = QString::fromUtf8(text.readAllStandardOutput());
    for (const QString& expected : {QStringLiteral("売上グラフ（月別）"), QStringLiteral("¥168,000"),
                                    QStringLiteral("2005年\n11月"), QStringLiteral("期間：指定なし")})
        EXPECT_TRUE(printed.contains(expected)) << expected.toStdString() << "\n" << printed.toStdString();
}

// "画像保存" writes the chart as a PNG where the user chooses, the documents folder first; a file
// of the name is never silently replaced; a folder that cannot be written is said.
TEST_F(ChartScreenTest, ImageSaveWritesAPngWhereTheUserChooses)
{
    openCharts({6});
    Click(cmd(1));
    const QString file = documentsPath() + QStringLiteral("/売上グラフ（ブランド別）.png");
    dialogs->expectFile(ShownBox::Kind::SaveFile, QStringLiteral("画像保存"), file);
    dialogs->expectWritten(QStringLiteral("画像ファイルを保存しました"),
                           QStringLiteral("売上グラフを画像ファイルに保存しました\n") + file);
    Click(cmd(4));
    EXPECT_TRUE(dialogs->allAnswered());
    EXPECT_EQ(dialogs->shown().at(0).text, file + QStringLiteral("\tPNG 画像 (*.png)"));
    const QImage image(file);
    EXPECT_EQ(image.size(), chartView()->viewport()->size() * 2);

    // The name typed again without its type: the first picture stays, the second takes a new name.
    const QString typed = documentsPath() + QStringLiteral("/売上グラフ（ブランド別）");
    dialogs->expectFile(ShownBox::Kind::SaveFile, {}, typed);
    dialogs->expectWritten({}, QStringLiteral("売上グラフを画像ファイルに保存しました\n") + typed +
                                   QStringLiteral(" (2).png"));
    Click(cmd(4));
    EXPECT_EQ(QImage(file).size(), image.size());
    EXPECT_EQ(QImage(typed + QStringLiteral(" (2).png")).size(), image.size());

    dialogs->expectFile(ShownBox::Kind::SaveFile, {}, documentsPath() + QStringLiteral("/ない/グラフ.png"));
    dialogs->expect(ShownBox::Kind::Failure, QStringLiteral("Frm550_Qel"), {});
    Click(cmd(4));
    EXPECT_TRUE(dialogs->allAnswered());
    EXPECT_TRUE(dialogs->shown().back().text.startsWith(QStringLiteral("ファイルを保存できません。")));
    EXPECT_TRUE(cmd(4)->isEnabled());
}

} // namespace
