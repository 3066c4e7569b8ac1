#include "SheetsFixture.h"

#include "core/Globals.h"
#include "exchange/SheetReader.h"
#include "sheets/NumberFormat.h"
#include "sheets/Workbook.h"
#include "sheets/WorkbookFailure.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

class WorkbookTest : public SheetsFixture
{
  protected:
    QString target(const QString& name = QStringLiteral("顧客一覧.xlsx")) const
    {
        return WorkbookTarget(name);
    }

    // What a cell shows, or a marker for a missing cell.
    static QString shown(const SheetModel& m, int row, int column)
    {
        const SheetCell* c = m.cell(row, column);
        return c ? m.displayText(*c) : QStringLiteral("<none>");
    }
};

TEST_F(WorkbookTest, CellsKeepTheirValuesAndTypes)
{
    Workbook book(salesTemplate(), target(QStringLiteral("期間指定売上明細.xlsx")));
    book.prepare();
    book.open();
    book.setNumber(3, 1, 1);
    book.setDate(3, 2, QDate(2005, 5, 18));
    book.setText(3, 3, QStringLiteral("ブランド"));
    book.setNumber(3, 7, 99999999LL * 3);
    book.setText(4, 4, QString());
    book.setNumber(3, 1, 2); // written twice: the last value counts
    book.save();

    const SheetModel m = ReadWorkbook(target(QStringLiteral("期間指定売上明細.xlsx")));
    ASSERT_TRUE(m.cell(3, 1));
    EXPECT_TRUE(m.cell(3, 1)->isNumber);
    EXPECT_EQ(m.cell(3, 1)->number, 2);
    EXPECT_TRUE(m.cell(3, 2)->isNumber);
    EXPECT_EQ(m.cell(3, 2)->number, 38490); // a real serial, not a text
    EXPECT_EQ(m.format(m.cell(3, 2)->style).numberFormat, QStringLiteral("yyyy/m/d"));
    EXPECT_FALSE(m.cell(3, 3)->isNumber);
    EXPECT_EQ(m.cell(3, 3)->text, QStringLiteral("ブランド"));
    EXPECT_EQ(m.cell(3, 7)->number, 299999997);
    EXPECT_EQ(shown(m, 3, 7), QStringLiteral("¥299,999,997")); // the template's currency format
    EXPECT_EQ(shown(m, 4, 4), QString());
    EXPECT_EQ(m.dimension, QStringLiteral("A1:G4"));
}

TEST_F(WorkbookTest, BordersLineEveryColumnAndOnlyTheBottomOfTheBlock)
{
    writeCustomerList(2);
    const SheetModel m = ReadWorkbook(target());
    for (int block = 0; block < 2; ++block) {
        const int r = 4 + 3 * block;
        for (int row = r; row <= r + 2; ++row) {
            for (int column = 1; column <= 6; ++column) {
                SCOPED_TRACE(QStringLiteral("row %1 column %2").arg(row).arg(column).toStdString());
                ASSERT_TRUE(m.cell(row, column)) << "a lined cell exists even when empty";
                const SheetBorder& b = m.border(m.cell(row, column)->style);
                EXPECT_TRUE(b.left);
                EXPECT_TRUE(b.right);
                EXPECT_FALSE(b.top);
                EXPECT_EQ(b.bottom, row == r + 2);
            }
        }
    }
    EXPECT_FALSE(m.cell(10, 1)) << "nothing below the last block";
    // The cells keep their own look under the lines: the number column stays centred.
    EXPECT_EQ(m.format(m.cell(4, 1)->style).horizontal, QStringLiteral("center"));
    EXPECT_EQ(m.font(m.cell(5, 2)->style).name, QStringLiteral("ＭＳ ゴシック"));
}

TEST_F(WorkbookTest, ColumnBShowsEraOrWesternDates)
{
    struct Case
    {
        const char16_t* format;
        QDate date;
        const char* shown;
    };
    const Case cases[] = {{kEraDateFormat, QDate(2005, 5, 18), "H17.5.18"},
                          {kEraDateFormat, QDate(2019, 5, 1), "R1.5.1"},
                          {kEraDateFormat, QDate(1989, 1, 7), "S64.1.7"},
                          {kWesternDateFormat, QDate(2005, 5, 18), "2005/5/18"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        Workbook book(salesTemplate(), target(QStringLiteral("期間指定売上明細.xlsx")));
        book.prepare();
        book.open();
        book.setText(1, 3, QStringLiteral("メーカー名"));
        book.setColumnFormat(2, QString::fromUtf16(c.format));
        book.setDate(3, 2, c.date);
        book.setNumber(3, 3, 5); // another column keeps its format
        book.save();
        const SheetModel m = ReadWorkbook(target(QStringLiteral("期間指定売上明細.xlsx")));
        EXPECT_EQ(m.format(m.cell(3, 2)->style).numberFormat, QString::fromUtf16(c.format));
        EXPECT_EQ(shown(m, 3, 2), QString::fromUtf8(c.shown));
        EXPECT_EQ(m.format(m.columnStyle(2)).numberFormat, QString::fromUtf16(c.format))
            << "the whole column";
        EXPECT_EQ(m.format(m.cell(3, 3)->style).numberFormat, QStringLiteral("General"));
        EXPECT_EQ(m.cell(1, 2)->text, QStringLiteral("購入日")) << "the heading stays";
        EXPECT_TRUE(m.font(m.cell(3, 2)->style).name.contains(QStringLiteral("ゴシック")));
    }
}

TEST_F(WorkbookTest, PageHeadersAreSetSectionBySection)
{
    Workbook book(salesTemplate(), target(QStringLiteral("購入者別売上明細.xlsx")));
    book.prepare();
    book.open();
    book.setLeftHeader(QStringLiteral("購入者:A&B"));
    book.setCenterHeader(QStringLiteral("購入者別 売上明細"));
    book.setRightHeader(QStringLiteral("期間:指定なし"));
    book.setCenterHeader(QStringLiteral("購入者別 売上明細")); // again: nothing doubles
    book.save();
    const SheetModel m = ReadWorkbook(target(QStringLiteral("購入者別売上明細.xlsx")));
    const HeaderText h = HeaderSectionsOf(m.oddHeader, 1, 1, m.sheetName, m.fileName);
    EXPECT_EQ(h.left, QStringLiteral("購入者:A&B"));
    EXPECT_EQ(h.center, QStringLiteral("購入者別 売上明細"));
    EXPECT_EQ(h.right, QStringLiteral("期間:指定なし"));
    EXPECT_TRUE(m.oddHeader.contains(QStringLiteral("&C&\"ＭＳ ゴシック,太字\"購入者別")))
        << "the template's font stays";
    const HeaderText footer = HeaderSectionsOf(m.oddFooter, 2, 5, m.sheetName, m.fileName);
    EXPECT_EQ(footer.center, QStringLiteral("2 / 5"));
}

TEST_F(WorkbookTest, PrintedHeaderFieldsTakeTheDateFromTheApplicationClock)
{
    setNow(QDateTime(QDate(2005, 5, 18), QTime(9, 5)));
    struct Case
    {
        const char* header;
        const char* left;
        const char* center;
        const char* right;
    };
    const Case cases[] = {
        {"&L&D &T&C&P / &N&R&A", "2005/05/18 09:05", "3 / 7", "顧客一覧"},
        {"before&C&\"ＭＳ ゴシック,太字\"&12&F", "", "before顧客一覧.xlsx", ""},
        {"&LA&&B&R&K&", "A&B", "", "&"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.header);
        const HeaderText h = HeaderSectionsOf(QString::fromUtf8(c.header), 3, 7, QStringLiteral("顧客一覧"),
                                              QStringLiteral("顧客一覧.xlsx"));
        EXPECT_EQ(h.left, QString::fromUtf8(c.left));
        EXPECT_EQ(h.center, QString::fromUtf8(c.center));
        EXPECT_EQ(h.right, QString::fromUtf8(c.right));
    }
}

TEST_F(WorkbookTest, TooLongAHeaderIsAPageSetupFailureAndChangesNothing)
{
    Workbook book(salesTemplate(), target(QStringLiteral("購入者別売上明細.xlsx")));
    book.prepare();
    book.open();
    book.setRightHeader(QStringLiteral("期間:指定なし"));
    try {
        book.setLeftHeader(QStringLiteral("購入者:") + QString(300, QChar(0x3042)));
        FAIL() << "no failure";
    } catch (const QelError& e) {
        EXPECT_EQ(e.kind(), QelError::Kind::PageSetup);
        EXPECT_EQ(WorkbookFailureNumber(e), SheetNumber::Application);
    }
    book.save();
    const SheetModel m = ReadWorkbook(target(QStringLiteral("購入者別売上明細.xlsx")));
    const HeaderText h = HeaderSectionsOf(m.oddHeader, 1, 1, m.sheetName, m.fileName);
    EXPECT_EQ(h.left, QString());
    EXPECT_EQ(h.right, QStringLiteral("期間:指定なし"));
}

TEST_F(WorkbookTest, RenamedSheetKeepsItsPrintTitles)
{
    writeCustomerList(1);
    SheetModel m = ReadWorkbook(target());
    EXPECT_EQ(m.sheetName, QStringLiteral("顧客一覧"));
    EXPECT_EQ(m.titleFirstRow, 1);
    EXPECT_EQ(m.titleLastRow, 3);

    // Characters no sheet name may hold are replaced rather than spoiling the workbook.
    Workbook book(salesTemplate(), target(QStringLiteral("x.xlsx")));
    book.prepare();
    book.open();
    book.setSheetName(QStringLiteral("'A/B:C*D?[E]F\\G'名別売上明細_長い名前の続きが三十一文字を超える"));
    book.save();
    m = ReadWorkbook(target(QStringLiteral("x.xlsx")));
    EXPECT_TRUE(m.sheetName.startsWith(QStringLiteral("A_B_C_D__E_F_G'名別売上明細_")))
        << m.sheetName.toStdString();
    EXPECT_LE(m.sheetName.size(), 31);
    EXPECT_EQ(m.titleFirstRow, 1);
    EXPECT_EQ(m.titleLastRow, 2);
}

TEST_F(WorkbookTest, TemplateRowsWidthsAndPageSetupAreKept)
{
    writeCustomerList(3);
    const SheetModel written = ReadWorkbook(target());
    const SheetModel original = ReadWorkbook(customerTemplate());
    for (int row = 1; row <= 3; ++row) {
        for (int column = 1; column <= 6; ++column) {
            SCOPED_TRACE(QStringLiteral("row %1 column %2").arg(row).arg(column).toStdString());
            EXPECT_EQ(shown(written, row, column), shown(original, row, column));
            if (const SheetCell* c = original.cell(row, column)) {
                EXPECT_EQ(written.font(written.cell(row, column)->style).bold, original.font(c->style).bold);
                const SheetBorder& a = written.border(written.cell(row, column)->style);
                const SheetBorder& b = original.border(c->style);
                EXPECT_EQ(std::tie(a.left, a.right, a.top, a.bottom),
                          std::tie(b.left, b.right, b.top, b.bottom));
            }
        }
        EXPECT_EQ(written.rowHeight(row), original.rowHeight(row));
    }
    EXPECT_EQ(shown(written, 1, 1), QStringLiteral("顧客一覧"));
    EXPECT_EQ(shown(written, 2, 2), QStringLiteral("フリガナ"));
    for (int column = 1; column <= 6; ++column)
        EXPECT_EQ(written.columnWidth(column), original.columnWidth(column));
    EXPECT_EQ(written.page.paperSize, 9);
    EXPECT_EQ(written.page.scale, original.page.scale);
    EXPECT_EQ(written.page.fitToPage, original.page.fitToPage);
    EXPECT_EQ(written.page.left, original.page.left);
    EXPECT_EQ(written.oddFooter, original.oddFooter);
}

TEST_F(WorkbookTest, ExistingTargetIsReplacedByAFreshCopy)
{
    QFile old(target());
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("an old list that is no workbook");
    old.close();
    writeCustomerList(5);
    SheetModel m = ReadWorkbook(target());
    EXPECT_EQ(m.cell(16, 1)->number, 5);
    // A second, shorter run leaves nothing of the first behind.
    writeCustomerList(1);
    m = ReadWorkbook(target());
    EXPECT_EQ(m.lastRow(), 6);
    EXPECT_EQ(QDir(AppFile(G().DataPath)).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("顧客一覧.xlsx")});
}

// Until the save the old workbook stays as it was; dropped unsaved, nothing else is left.
TEST_F(WorkbookTest, AWorkbookDroppedUnsavedLeavesTheOldOneAndNothingElse)
{
    for (const bool old : {false, true}) {
        SCOPED_TRACE(old ? "an old workbook" : "none");
        if (old) {
            QFile file(target());
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write("the old list");
        }
        {
            Workbook book(customerTemplate(), target());
            book.prepare();
            book.open();
            book.setText(4, 2, QStringLiteral("途中"));
            QFile file(target());
            EXPECT_EQ(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray(),
                      old ? QByteArray("the old list") : QByteArray());
        }
        const QStringList left =
            QDir(AppFile(G().DataPath)).entryList(QDir::Files | QDir::Hidden | QDir::System);
        EXPECT_EQ(left, old ? QStringList{QStringLiteral("顧客一覧.xlsx")} : QStringList{});
    }
}

TEST_F(WorkbookTest, ControlCharactersAndLongTextsSurvive)
{
    Workbook book(customerTemplate(), target());
    book.prepare();
    book.open();
    book.setText(5, 2, QStringLiteral("山田\x01太郎\x1f\x0b"));
    book.setText(5, 3, QStringLiteral("次のセル"));
    book.setText(6, 2, QStringLiteral("一行目\r\n二行目\r三行目\t終"));
    book.setText(7, 2, QString(40000, QChar(0x3042)));
    book.setText(8, 2, QStringLiteral("  前後に空白  "));
    book.setText(9, 2, QStringLiteral("_x0041_ <&> \"'"));
    QString lone = QStringLiteral("a");
    lone.append(QChar(0xD800)).append(QChar(0xFFFF)).append(QStringLiteral("b😀"));
    book.setText(10, 2, lone);
    book.setText(11, 2, QStringLiteral("最後"));
    book.save();

    const SheetModel m = ReadWorkbook(target());
    EXPECT_EQ(shown(m, 5, 2), QStringLiteral("山田太郎"));
    EXPECT_EQ(shown(m, 5, 3), QStringLiteral("次のセル"));
    EXPECT_EQ(shown(m, 6, 2), QStringLiteral("一行目\n二行目\n三行目\t終"));
    EXPECT_EQ(shown(m, 7, 2), QString(32767, QChar(0x3042))) << "the most a cell holds";
    EXPECT_EQ(shown(m, 8, 2), QStringLiteral("  前後に空白  "));
    EXPECT_EQ(shown(m, 9, 2), QStringLiteral("_x0041_ <&> \"'"));
    EXPECT_EQ(shown(m, 10, 2), QStringLiteral("a\uFFFDb😀"));
    EXPECT_EQ(shown(m, 11, 2), QStringLiteral("最後")) << "the rest of the sheet is there";
}

TEST_F(WorkbookTest, ScrollToTopSelectsA1)
{
    writeCustomerList(40);
    const SheetModel m = ReadWorkbook(target());
    EXPECT_EQ(m.topLeftCell, QStringLiteral("A1"));
    EXPECT_EQ(m.activeCell, QStringLiteral("A1"));
}

TEST_F(WorkbookTest, StepsOutOfOrderOrOutsideTheSheetFail)
{
    Workbook book(customerTemplate(), target());
    EXPECT_THROW(book.setText(1, 1, QStringLiteral("x")), QelError);
    book.prepare();
    EXPECT_THROW(book.prepare(), QelError);
    book.open();
    EXPECT_THROW(book.setText(0, 1, QStringLiteral("x")), QelError);
    EXPECT_THROW(book.setNumber(1, 16385, 1), QelError);
    EXPECT_THROW(book.drawBorders(1, 1, 1048577, 2), QelError);
    book.setText(5, 1, QStringLiteral("x"));
    book.finishRowsBefore(6);
    EXPECT_THROW(book.setText(5, 2, QStringLiteral("x")), QelError) << "a row written out stays as it is";
    EXPECT_THROW(book.setColumnFormat(2, QStringLiteral("0")), QelError);
    book.setText(6, 1, QStringLiteral("y"));
    book.save();
    EXPECT_THROW(book.setText(1, 1, QStringLiteral("x")), QelError);
    EXPECT_THROW(book.save(), QelError);
    EXPECT_TRUE(QFile::exists(target()));
}

} // namespace
