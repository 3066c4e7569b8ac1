#include "ReportsFixture.h"

#include "core/Globals.h"

#include <QFile>
#include <QJsonArray>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace {

class ReportWorkbookTest : public ReportsFixture
{
  protected:
    // Opens the report as chosen on the menu and presses "一覧・印刷", answering the boxes of a
    // successful output. Returns the workbook as read back.
    QJsonObject writeReport(std::initializer_list<int> clicks, const QString& maker, const QString& reading,
                            int button, const QString& fileName, const QString& reportName)
    {
        chooseOnMenu(clicks, maker, reading);
        if (!makeReport(button))
            return {};
        const QString path = dataFile(fileName);
        dialogs->expect(ShownBox::Kind::Information, QStringLiteral("帳票ファイルを作成しました"),
                        reportName + QStringLiteral("をファイルに出力しました\n") + path);
        closePreviewWhenShown();
        Click(cmd(0));
        EXPECT_TRUE(dialogs->allAnswered());
        return readWorkbook(path);
    }

    static QString cell(const QJsonObject& book, const char* ref, const char* part = "v")
    {
        return book["cells"]
            .toObject()[QString::fromLatin1(ref)]
            .toObject()[QString::fromLatin1(part)]
            .toString();
    }
    // The left, right and bottom borders of a cell, "1" for a line.
    static QString borders(const QJsonObject& book, const char* ref)
    {
        QString s;
        if (!book["cells"].toObject().contains(QString::fromLatin1(ref)))
            return QStringLiteral("000");
        for (const QJsonValue& side :
             book["cells"].toObject()[QString::fromLatin1(ref)].toObject()["b"].toArray())
            s += side.toString().isEmpty() ? '0' : '1';
        return s;
    }
    static QStringList headers(const QJsonObject& book)
    {
        QStringList list;
        for (const QJsonValue& h : book["headers"].toArray())
            list << h.toString();
        return list;
    }
};

TEST_F(ReportWorkbookTest, OneSaleTakesRowsThreeAndFourAndTheTotalRowFive)
{
    const QJsonObject book =
        writeReport({}, QStringLiteral("L'Artisan"), {}, 8, QStringLiteral("ブランド名別売上明細.xlsx"),
                    QStringLiteral("ブランド名別売上明細"));
    ASSERT_FALSE(book.isEmpty());
    EXPECT_EQ(message(), QStringLiteral("1件出力しました"));
    struct Cell
    {
        const char* ref;
        const char* value;
        const char* type;
    };
    const Cell cells[] = {
        {"C1", "ブランド名", "s"}, {"C2", "商品名", "s"}, {"A3", "1", "n"},      {"B3", "2005-11-20", "d"},
        {"C3", "L'Artisan", "s"},  {"C4", "香水", "s"},   {"D3", "O'Neil", "s"}, {"D4", "", ""},
        {"E3", "7000", "n"},       {"E4", "8000", "n"},   {"F3", "1", "n"},      {"G3", "7000", "n"},
        {"F5", "売価総合計", "s"}, {"G5", "7000", "n"},   {"A6", "", ""},        {"G6", "", ""},
    };
    for (const Cell& c : cells) {
        EXPECT_EQ(cell(book, c.ref), QString::fromUtf8(c.value)) << c.ref;
        EXPECT_EQ(cell(book, c.ref, "t"), c.type) << c.ref;
    }
    EXPECT_EQ(cell(book, "B3", "f"), QStringLiteral("yyyy/m/d"));
    // Left, right, bottom: the block of a sale is lined outside and between its columns.
    const std::pair<const char*, const char*> lines[] = {
        {"A3", "110"}, {"D3", "110"}, {"G3", "110"}, {"A4", "111"},
        {"G4", "111"}, {"F5", "111"}, {"G5", "111"}, {"E5", "000"},
    };
    for (const auto& [ref, expected] : lines)
        EXPECT_EQ(borders(book, ref), expected) << ref;
    EXPECT_EQ(headers(book), (QStringList{"ブランド名:L'Artisan", "ブランド名別 売上明細", "期間:指定なし"}));
    EXPECT_EQ(book["title"].toString(), QStringLiteral("ブランド名別売上明細"));
}

TEST_F(ReportWorkbookTest, EachVariantWritesItsSalesHeadersAndSheetName)
{
    struct Case
    {
        const char* ini;
        std::initializer_list<int> clicks;
        const char* maker;
        const char* reading;
        int button;
        const char* report;
        QStringList headers;
        QStringList dates; // column B of each sale, in order
        const char* dateFormat;
        const char* total;
    };
    const Case cases[] = {
        {"Nengou=和暦\r\n",
         {0, 5},
         "",
         "",
         7,
         "期間指定売上明細",
         {"", "期間指定　売上明細", "期間:H17年12月～H18年1月"},
         {"2005-12-15", "2005-12-31", "2006-01-05", "2006-01-05"},
         "[$-411]ge.m.d",
         "123000"},
        {"Nengou=和暦\r\n",
         {1},
         "",
         "",
         7,
         "期間指定売上明細",
         {"", "期間指定　売上明細", "期間:H18年1月～H18年1月"},
         {"2006-01-05", "2006-01-05"},
         "[$-411]ge.m.d",
         "86000"},
        {"",
         {},
         "グッチョ",
         "",
         8,
         "ブランド名別売上明細",
         {"ブランド名:グッチョ", "ブランド名別 売上明細", "期間:指定なし"},
         {"2005-12-15", "2006-01-05", "2006-02-20"},
         "yyyy/m/d",
         "86000"},
        {"",
         {0, 5},
         "",
         "ﾔﾏﾀ",
         9,
         "購入者別売上明細",
         {"購入者:山田 太郎", "購入者別 売上明細", "期間:2005年12月～2006年1月"},
         {"2005-12-15", "2005-12-31"},
         "yyyy/m/d",
         "37000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.report << " " << c.total);
        writeIni(QStringLiteral("DataPath=Data\r\nMaker=ブランド\r\nSyouhin=商品\r\n") +
                 QString::fromUtf8(c.ini));
        const QString report = QString::fromUtf8(c.report);
        const QJsonObject book =
            writeReport(c.clicks, QString::fromUtf8(c.maker), QString::fromUtf8(c.reading), c.button,
                        report + QStringLiteral(".xlsx"), report);
        ASSERT_FALSE(book.isEmpty());
        EXPECT_EQ(book["title"].toString(), report);
        EXPECT_EQ(headers(book), c.headers);
        const int n = int(c.dates.size());
        EXPECT_EQ(message(), QStringLiteral("%1件出力しました").arg(n));
        for (int i = 1; i <= n; ++i) {
            const QByteArray a = "A" + QByteArray::number(2 * i + 1);
            const QByteArray b = "B" + QByteArray::number(2 * i + 1);
            EXPECT_EQ(cell(book, a), QString::number(i));
            EXPECT_EQ(cell(book, b), c.dates[i - 1]);
            EXPECT_EQ(cell(book, b, "f"), QString::fromUtf8(c.dateFormat));
            EXPECT_EQ(borders(book, ("G" + QByteArray::number(2 * i + 2)).constData()), "111");
        }
        const QByteArray t = QByteArray::number(2 * n + 3);
        EXPECT_EQ(cell(book, ("F" + t).constData()), QStringLiteral("売価総合計"));
        EXPECT_EQ(cell(book, ("G" + t).constData()), QString::fromUtf8(c.total));
        EXPECT_EQ(cell(book, ("A" + QByteArray::number(2 * n + 5)).constData()), QString());
        CloseAllScreens();
    }
}

TEST_F(ReportWorkbookTest, ExistingOutputIsReplacedAndEveryButtonIsHeldWhileWriting)
{
    const QString path = dataFile(QStringLiteral("期間指定売上明細.xlsx"));
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("not a workbook");
    }
    openMenu();
    ASSERT_TRUE(makeReport(7));
    // What the screen shows whenever it repaints while it writes.
    QStringList held;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        const QString line = message();
        if (line != QStringLiteral("しばらくお待ちください") && !line.contains(QStringLiteral("件を処理中")))
            return;
        QString state;
        for (const char* name : {"Cmd_0", "Cmd_1", "Syu_0", "Syu_1", "VScroll1"})
            state += child<QWidget>(QString::fromLatin1(name))->isEnabled() ? '1' : '0';
        held << state + " " + line;
    });
    watch.start(0);
    dialogs->expect(ShownBox::Kind::Information, QStringLiteral("帳票ファイルを作成しました"), QString());
    closePreviewWhenShown();
    Click(cmd(0));
    watch.stop();
    ASSERT_FALSE(held.isEmpty());
    for (const QString& state : held)
        EXPECT_TRUE(state.startsWith(QStringLiteral("00000 "))) << state.toStdString();
    EXPECT_TRUE(held.last().endsWith(QStringLiteral("6件/6件を処理中"))) << held.last().toStdString();
    EXPECT_TRUE(cmd(0)->isEnabled() && cmd(1)->isEnabled() && scroll()->isEnabled());
    const QJsonObject book = readWorkbook(path);
    EXPECT_EQ(cell(book, "C3"), QStringLiteral("L'Artisan"));
    EXPECT_EQ(cell(book, "G15"), QStringLiteral("168000"));
}

// A report open in LibreOffice (its lock file beside it) or marked read-only is not replaced: the
// box of a file open elsewhere, and no report of success.
TEST_F(ReportWorkbookTest, AReportOpenElsewhereOrReadOnlyIsRefusedAndKeptAsItIs)
{
    RecordingExit* exits = recordExits();
    struct Case
    {
        int button;
        const char* file;
        bool locked; // else read-only
    };
    const Case cases[] = {
        {7, "期間指定売上明細.xlsx", true},
        {8, "ブランド名別売上明細.xlsx", false},
        {9, "購入者別売上明細.xlsx", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const QString path = dataFile(QString::fromUtf8(c.file));
        {
            QFile old(path);
            ASSERT_TRUE(old.open(QIODevice::WriteOnly));
            old.write("last month's report");
        }
        if (c.locked) {
            QFile lock(dataFile(QStringLiteral(".~lock.") + QString::fromUtf8(c.file) + QLatin1Char('#')));
            ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
        } else {
            ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
        }
        openMenu();
        if (c.button == 8)
            chooseMaker(QStringLiteral("グッチョ"));
        if (c.button == 9)
            chooseBuyer(QStringLiteral("ﾔﾏﾀ"));
        ASSERT_TRUE(makeReport(c.button));
        const int before = exits->calls;
        dialogs->expect(ShownBox::Kind::Warning, screen()->objectName(), QString());
        Click(cmd(0));
        ASSERT_TRUE(dialogs->allAnswered());
        EXPECT_TRUE(dialogs->shown().back().text.startsWith(
            QStringLiteral("Excelファイルが開かれている可能性があります。\n"
                           "Excelファイル閉じてからプログラムを実行してください。\n"
                           "ErrNo=70 ErrMsg=書き込みできません。")))
            << dialogs->shown().back().text.toStdString();
        EXPECT_EQ(exits->calls, before + 1);
        QFile kept(path);
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_EQ(kept.readAll(), QByteArray("last month's report"));
        CloseAllScreens();
    }
}

// A maker name too long for the page setup: the centre header does not fit beside it and is
// reported, and the period is still written on the right. The template's header codes take 45
// characters and "ブランド名:" six: 45 + 6 + 195 + the centre's 11 passes the 255 a header may
// hold, while 45 + 6 + 195 + the period's 7 does not.
TEST_F(ReportWorkbookTest, AHeaderThatDoesNotFitIsReportedAndTheNextOneIsStillWritten)
{
    const QString maker(195, QChar(0x30A2));
    execute(QStringLiteral(
                "insert into Tb_メーカー (Fi_キー, Fi_メーカー, Fi_メーカーフリガナ) values (9, ?, 'ｱ')"),
            {maker});
    addSale(7, "20060110", maker, QStringLiteral("鞄"), 30000, 25000, 1, QStringLiteral("青木 花子"));
    openMenu();
    chooseMaker(maker);
    ASSERT_TRUE(makeReport(8));
    dialogs->expect(ShownBox::Kind::Warning, QStringLiteral("Frm530_Qel"), QString());
    const QString path = dataFile(QStringLiteral("ブランド名別売上明細.xlsx"));
    dialogs->expect(ShownBox::Kind::Information, QStringLiteral("帳票ファイルを作成しました"),
                    QStringLiteral("ブランド名別売上明細をファイルに出力しました\n") + path);
    closePreviewWhenShown();
    Click(cmd(0));
    ASSERT_TRUE(dialogs->allAnswered());
    EXPECT_TRUE(dialogs->shown().front().text.startsWith(
        QStringLiteral("プリンタの設定が行われていませんが処理はそのまま続行してください。\nErrNo=1004 "
                       "ErrMsg=PageSetup クラスの CenterHeader")))
        << dialogs->shown().front().text.toStdString();
    EXPECT_EQ(message(), QStringLiteral("1件出力しました"));
    const QJsonObject book = readWorkbook(path);
    EXPECT_EQ(headers(book), (QStringList{QStringLiteral("ブランド名:") + maker, "", "期間:指定なし"}));
}

TEST_F(ReportWorkbookTest, MoreSalesThanOneSheetHoldsAreRefusedBeforeAnyFileIsTouched)
{
    // 524,287 sales in January 2006, one more than a sheet takes at two rows each.
    execute(
        QStringLiteral("insert into Tb_売上 (Fi_キー, Fi_購入年月, Fi_購入年月日, Fi_売価合計) "
                       "with recursive n(k) as (select 10 union all select k + 1 from n where k < 524296) "
                       "select k, '200601', '20060110', 1 from n"));
    const QString path = dataFile(QStringLiteral("期間指定売上明細.xlsx"));
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("last month's report");
    }
    openMenu();
    Click(cmd(1));
    ASSERT_TRUE(makeReport(7));
    EXPECT_EQ(dat(8)->text(), QStringLiteral("1/524289"));
    EXPECT_EQ(dat(13)->text(), QStringLiteral("¥610,287"));
    dialogs->expect(ShownBox::Kind::Exclamation, QStringLiteral("Frm520_Qel"), QString());
    Click(cmd(0));
    ASSERT_EQ(dialogs->shown().size(), 1u);
    EXPECT_TRUE(dialogs->shown()[0].text.contains(QStringLiteral("524,286")))
        << dialogs->shown()[0].text.toStdString();
    EXPECT_TRUE(dialogs->shown()[0].text.contains(QStringLiteral("期間"))) << "suggests a shorter period";
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("last month's report"));
    EXPECT_TRUE(cmd(0)->isEnabled());
}

} // namespace
