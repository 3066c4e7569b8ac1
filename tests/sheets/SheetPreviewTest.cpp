#include "SheetsFixture.h"

#include "core/Globals.h"
#include "exchange/SheetReader.h"
#include "sheets/preview/SheetPreview.h"
#include "sheets/preview/SheetPrintout.h"
#include "sheets/preview/SpreadsheetProgram.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

class SheetPreviewTest : public SheetsFixture
{
  protected:
    // One page drawn at 100 dpi.
    static QImage pageImage(const SheetPrintout& printout, int page)
    {
        QImage image(827, 1169, QImage::Format_RGB32); // A4
        image.setDotsPerMeterX(3937);
        image.setDotsPerMeterY(3937);
        image.fill(Qt::white);
        QPainter painter(&image);
        printout.paintPage(painter, page);
        painter.end();
        return image;
    }

    static int darkPixels(const QImage& image, const QRect& area)
    {
        int dark = 0;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x)
                dark += qGray(image.pixel(x, y)) < 128;
        }
        return dark;
    }
};

// The page counts LibreOffice prints for these workbooks (converted to PDF and counted; the test
// below does it again where LibreOffice is installed). The customer list prints at 64%, the sales
// detail at 67%, on A4 with margins of 0.8 and 0.6 inch, the header and footer 0.3 inch from the
// edges; rows that declare no height take the sheet's default 14.25 points. The header and footer
// bands (0.5 and 0.3 inch, each grown by what a 10-point Japanese line needs over 11 points) shrink
// with the cells, so a page holds 1183 points of rows of the customer list (82 rows on the first
// page, 79 under its three title rows after) and 1127 of the sales (79 rows, then 77).
TEST_F(SheetPreviewTest, PagesBreakWhereLibreOfficeBreaksThem)
{
    struct Case
    {
        bool customers;
        int count;
        int pages;
    };
    const Case cases[] = {
        {true, 1, 1},   {true, 26, 1},  {true, 27, 2},  {true, 52, 2},    {true, 53, 3},
        {true, 100, 4}, {false, 38, 1}, {false, 39, 2}, {false, 520, 14},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.customers ? "customers " : "sales ") << c.count);
        const QString path = c.customers ? writeCustomerList(c.count) : writeSalesDetail(c.count);
        EXPECT_EQ(SheetPrintout(ReadWorkbook(path)).pageCount(), c.pages);
    }
    EXPECT_EQ(SheetPrintout(ReadWorkbook(customerTemplate())).pageCount(), 1) << "the template alone";
}

// The written workbooks print at their templates' fixed scale, the largest at which all their
// columns fit A4 between the margins: the table spans at least 90% of the printable width, and one
// percent more would not fit.
TEST_F(SheetPreviewTest, WrittenWorkbooksPrintAtTheLargestScaleTheirColumnsFit)
{
    struct Case
    {
        const char* what;
        QString path;
        int scale;
    };
    const Case cases[] = {{"customer list", writeCustomerList(5), 64},
                          {"sales detail", writeSalesDetail(5), 67}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const SheetPrintout printout(ReadWorkbook(c.path));
        const SheetPage& page = printout.model().page;
        EXPECT_EQ(page.scale, c.scale);
        EXPECT_FALSE(page.fitToPage);
        EXPECT_EQ(printout.scale(), c.scale / 100.0);
        double columns = 0;
        for (int column = 1; column <= printout.model().lastColumn(); ++column)
            columns += printout.columnPoints(column);
        const double printable =
            QPageSize(QPageSize::A4).size(QPageSize::Point).width() - (page.left + page.right) * 72;
        EXPECT_GE(columns * c.scale / 100, printable * 0.9);
        EXPECT_LE(columns * c.scale / 100, printable);
        EXPECT_GT(columns * (c.scale + 1) / 100, printable) << "a larger scale would fit";
        EXPECT_EQ(printout.pageCount(), 1) << "one page wide";
    }
}

// The preview's pages are LibreOffice's own: the same workbooks converted to PDF by LibreOffice
// Calc have as many pages. Skipped where LibreOffice is not installed.
TEST_F(SheetPreviewTest, PagesAreThoseLibreOfficePrints)
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    const QString pdfinfo = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
    if (soffice.isEmpty() || pdfinfo.isEmpty())
        GTEST_SKIP() << "LibreOffice or pdfinfo is not installed";
    std::vector<std::pair<QString, int>> workbooks;
    for (const int count : {26, 27, 52, 53, 100}) {
        const QString path = writeCustomerList(count, QStringLiteral("顧客一覧%1.xlsx").arg(count));
        workbooks.emplace_back(path, SheetPrintout(ReadWorkbook(path)).pageCount());
    }
    for (const int count : {38, 39, 520}) {
        const QString path = AppFile(QStringLiteral("Data/売上明細%1.xlsx").arg(count));
        ASSERT_TRUE(QFile::rename(writeSalesDetail(count), path));
        workbooks.emplace_back(path, SheetPrintout(ReadWorkbook(path)).pageCount());
    }
    QStringList arguments = {QStringLiteral("-env:UserInstallation=file://") + AppFile(QStringLiteral("lo")),
                             QStringLiteral("--headless"),
                             QStringLiteral("--convert-to"),
                             QStringLiteral("pdf"),
                             QStringLiteral("--outdir"),
                             AppFile(QStringLiteral("pdf"))};
    for (const auto& workbook : workbooks)
        arguments << workbook.first;
    QProcess libreOffice;
    libreOffice.start(soffice, arguments);
    ASSERT_TRUE(libreOffice.waitForFinished(240000));
    for (const auto& [path, previewPages] : workbooks) {
        SCOPED_TRACE(QFileInfo(path).fileName().toStdString());
        QProcess info;
        info.start(pdfinfo, {AppFile(QStringLiteral("pdf/") + QFileInfo(path).completeBaseName() +
                                     QStringLiteral(".pdf"))});
        ASSERT_TRUE(info.waitForFinished(30000));
        const QRegularExpressionMatch pages = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
                                                  .match(QString::fromUtf8(info.readAllStandardOutput()));
        ASSERT_TRUE(pages.hasMatch()) << QString::fromUtf8(libreOffice.readAllStandardError()).toStdString();
        EXPECT_EQ(pages.captured(1).toInt(), previewPages);
    }
}

TEST_F(SheetPreviewTest, TheTitlesRepeatOnEveryPage)
{
    const SheetPrintout printout(ReadWorkbook(writeCustomerList(100)));
    // The title rows stand at the same place on every page; the rows under them differ.
    const QImage first = pageImage(printout, 0), second = pageImage(printout, 1);
    const double inch = 100;
    const SheetModel& m = printout.model();
    const double scale = printout.scale();
    const int titleTop = int(printout.cellsTop(scale) * inch / 72) + 1;
    const int titleBottom = int(
        (printout.cellsTop(scale) + (m.rowHeight(1) + m.rowHeight(2) + m.rowHeight(3)) * scale) * inch / 72);
    const QRect titles(0, titleTop, first.width(), titleBottom - titleTop);
    EXPECT_GT(darkPixels(first, titles), 200) << "title and headings are drawn";
    EXPECT_EQ(first.copy(titles), second.copy(titles));
    const QRect body(0, titleBottom + 40, first.width(), 300);
    EXPECT_GT(darkPixels(second, body), 200);
    EXPECT_NE(first.copy(body), second.copy(body));
    // The centre header names the list on each page.
    const QRect header(first.width() / 3, int(m.page.header * inch), first.width() / 3, 20);
    EXPECT_GT(darkPixels(second, header), 20);
}

TEST_F(SheetPreviewTest, PrintsEveryPageToPdfWithoutAPrinter)
{
    const SheetPrintout printout(ReadWorkbook(writeCustomerList(100)));
    QPrinter printer(QPrinter::HighResolution);
    printout.applyPageSetup(printer);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString pdf = appPath() + QStringLiteral("/list.pdf");
    printer.setOutputFileName(pdf);
    printout.print(&printer);
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const qsizetype pages =
        QString::fromLatin1(bytes).count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)")));
    EXPECT_EQ(pages, printout.pageCount());
}

TEST_F(SheetPreviewTest, PreviewShowsTheWrittenFileAndThenTheReturnMessage)
{
    const QString path = writeCustomerList(100);
    int previewPages = -1;
    bool canOpenExternally = false;
    dialogs->onPreview = [&](QDialog& shown) {
        auto* dialog = qobject_cast<QPrintPreviewDialog*>(&shown);
        ASSERT_TRUE(dialog);
        auto* view = dialog->findChild<QPrintPreviewWidget*>();
        ASSERT_TRUE(view);
        view->updatePreview();
        previewPages = view->pageCount();
        for (QAction* action : dialog->findChildren<QAction*>())
            canOpenExternally |= action->objectName() == QStringLiteral("OpenInSpreadsheet");
    };
    dialogs->expect(ShownBox::Kind::Preview, {}, {});
    dialogs->expect(ShownBox::Kind::Warning, QStringLiteral("確認"), QStringLiteral("前の画面に戻ります"));
    PreviewWorkbook(nullptr, path);
    EXPECT_EQ(previewPages, 4);
    EXPECT_TRUE(canOpenExternally);
}

TEST_F(SheetPreviewTest, UnreadableWorkbookSaysSoInPlaceOfThePreviewAndGoesOn)
{
    dialogs->expect(ShownBox::Kind::Failure, QStringLiteral("Qel"), {});
    dialogs->expect(ShownBox::Kind::Warning, QStringLiteral("確認"), QStringLiteral("前の画面に戻ります"));
    PreviewWorkbook(nullptr, appPath() + QStringLiteral("/missing.xlsx"));
    ASSERT_EQ(dialogs->shown().size(), 2u);
    EXPECT_TRUE(dialogs->shown()[0].text.startsWith(QStringLiteral("印刷プレビューを表示できません。")));
}

// The heading rows of the templates are light blue in the spreadsheet programs; so in the preview.
TEST_F(SheetPreviewTest, HeadingCellsShowTheirFill)
{
    const QColor lightBlue(0xDD, 0xEB, 0xF7);
    const SheetPrintout printout = SheetPrintout::fromFile(salesTemplate());
    const QImage sales = pageImage(printout, 0);
    const SheetPage page = printout.model().page;
    // A1 begins at the top-left corner of the printed cells; a point just inside it.
    const QPoint insideA1(int(page.left * 100) + 3, int(printout.cellsTop(printout.scale()) * 100 / 72) + 3);
    EXPECT_EQ(QColor(sales.pixel(insideA1)), lightBlue);
    const QImage unfilled = pageImage(SheetPrintout(ReadWorkbook(salesTemplate())), 0);
    EXPECT_EQ(QColor(unfilled.pixel(insideA1)), QColor(Qt::white)) << "the fill comes from the file's styles";

    const QImage customers = pageImage(SheetPrintout::fromFile(customerTemplate()), 0);
    int filled = 0;
    for (int y = 0; y < customers.height(); ++y) {
        for (int x = 0; x < customers.width(); ++x)
            filled += QColor(customers.pixel(x, y)) == lightBlue;
    }
    EXPECT_GT(filled, 1000) << "the customer list's headings";
}

TEST_F(SheetPreviewTest, NumberTooWideForItsColumnShowsHashes)
{
    QFont font(QStringLiteral("IPAGothic"));
    font.setPointSizeF(10);
    const QFontMetricsF metrics(font);
    const double hash = metrics.horizontalAdvance(QLatin1Char('#'));
    const double width = metrics.horizontalAdvance(QStringLiteral("¥999,999")) + 1;
    EXPECT_EQ(SheetPrintout::fittedNumber(QStringLiteral("¥999,999"), metrics, width),
              QStringLiteral("¥999,999"));
    const QString cut = SheetPrintout::fittedNumber(QStringLiteral("¥999,999,999,999"), metrics, width);
    EXPECT_EQ(cut, QString(int(width / hash), QLatin1Char('#')));
    EXPECT_EQ(SheetPrintout::fittedNumber(QStringLiteral("¥1,000"), metrics, 1), QStringLiteral("#"));

    // On the page: two different numbers too wide for column E look the same; two that fit do not.
    const auto page = [this](double value) {
        SheetModel model = ReadWorkbook(salesTemplate());
        SheetCell cell;
        cell.number = value;
        cell.isNumber = true;
        cell.style = model.columnStyle(5);
        model.rows[3][5] = cell;
        return pageImage(SheetPrintout(std::move(model)), 0);
    };
    EXPECT_EQ(page(999999999999999), page(888888888888888));
    EXPECT_NE(page(1000), page(2000));
    EXPECT_NE(page(999999999999999), page(1000));
}

TEST_F(SheetPreviewTest, CentreHeaderHonoursItsBoldFontCode)
{
    const auto darkInHeader = [this](const QString& header) {
        SheetModel model = ReadWorkbook(salesTemplate());
        model.oddHeader = header;
        const QImage image = pageImage(SheetPrintout(std::move(model)), 0);
        const int top = int(ReadWorkbook(salesTemplate()).page.header * 100);
        return darkPixels(image, QRect(image.width() / 3, top, image.width() / 3, 20));
    };
    const int bold = darkInHeader(QStringLiteral("&C&\"ＭＳ ゴシック,太字\"期間指定　売上明細"));
    const int regular = darkInHeader(QStringLiteral("&C&\"ＭＳ ゴシック,標準\"期間指定　売上明細"));
    EXPECT_GT(regular, 20);
    EXPECT_GT(bold, regular * 11 / 10) << "bold strokes are heavier";
    EXPECT_EQ(darkInHeader(QStringLiteral("&C&B期間指定　売上明細")), bold);
}

// The grand-total caption of the sales detail stands in column F in the column's own font.
TEST_F(SheetPreviewTest, SalesDetailColumnFHoldsTheGrandTotalCaption)
{
    const SheetModel model = ReadWorkbook(salesTemplate());
    const SheetFont& f = model.font(model.columnStyle(6));
    QFont font;
    font.setFamilies({f.name, QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans CJK JP")});
    font.setPointSizeF(f.size);
    font.setBold(f.bold);
    QImage points(1, 1, QImage::Format_RGB32); // 72 dpi: one unit is one point
    points.setDotsPerMeterX(2835);
    points.setDotsPerMeterY(2835);
    const double caption = QFontMetricsF(font, &points).horizontalAdvance(QStringLiteral("売価総合計"));
    // Two points of padding a side.
    const double column = SheetPrintout(model).columnPoints(6) - 4;
    EXPECT_LE(caption, column) << "column F is " << model.columnWidth(6) << " characters";
}

} // namespace

namespace {

// The desktop's applications folders, made up for a test: the user's own and one system folder.
class DesktopEntries
{
  public:
    DesktopEntries()
    {
        for (const char* name : {"XDG_DATA_HOME", "XDG_DATA_DIRS", "XDG_CONFIG_HOME"})
            m_saved.push_back({name, qEnvironmentVariableIsSet(name), qgetenv(name)});
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_root.filePath(QStringLiteral("home"))));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_root.filePath(QStringLiteral("config"))));
        // The system's file types stay known; its programs do not.
        QDir().mkpath(m_root.filePath(QStringLiteral("types")));
        QFile::link(QStringLiteral("/usr/share/mime"), m_root.filePath(QStringLiteral("types/mime")));
        qputenv("XDG_DATA_DIRS",
                QFile::encodeName(m_root.filePath(QStringLiteral("system")) + QLatin1Char(':') +
                                  m_root.filePath(QStringLiteral("types"))));
    }
    ~DesktopEntries()
    {
        for (const auto& [name, had, value] : m_saved) {
            if (had)
                qputenv(name, value);
            else
                qunsetenv(name);
        }
    }
    // The user's choice of the program for workbooks.
    void setDefault(const QString& id)
    {
        QDir().mkpath(m_root.filePath(QStringLiteral("config")));
        QFile out(m_root.filePath(QStringLiteral("config/mimeapps.list")));
        out.open(QIODevice::WriteOnly);
        out.write(
            "[Default Applications]\napplication/vnd.openxmlformats-officedocument.spreadsheetml.sheet=" +
            id.toUtf8() + "\n");
    }
    // `where`: "home" or "system"; `file` below its applications folder.
    void add(const QString& where, const QString& file, const QString& keys)
    {
        const QString path = m_root.filePath(where + QStringLiteral("/applications/") + file);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile out(path);
        out.open(QIODevice::WriteOnly);
        out.write((QStringLiteral("[Desktop Entry]\nType=Application\nName=Calc\n") + keys).toUtf8());
    }

  private:
    QTemporaryDir m_root;
    std::vector<std::tuple<const char*, bool, QByteArray>> m_saved;
};

const QString kXlsxType =
    QStringLiteral("MimeType=application/vnd.openxmlformats-officedocument.spreadsheetml.sheet;");

// The program that opens a workbook is the one the user made the default for its type, not the
// first installed one that could.
TEST(SpreadsheetProgram, TheUsersDefaultForTheTypeOpensTheWorkbook)
{
    DesktopEntries desktop;
    const QString opens = kXlsxType + QStringLiteral("\nExec=sh %U\n");
    desktop.add(QStringLiteral("system"), QStringLiteral("calc-a.desktop"), opens);
    desktop.add(QStringLiteral("system"), QStringLiteral("calc-b.desktop"), opens);
    desktop.setDefault(QStringLiteral("calc-b.desktop"));
    EXPECT_EQ(ProgramFor(QStringLiteral("/tmp/期間指定売上明細.xlsx")), QStringLiteral("calc-b.desktop"));
}

class OpenInSpreadsheetTest : public SheetsFixture
{
};

// Without a spreadsheet program the preview's "表計算ソフトで開く" says so in a box over the
// preview.
TEST_F(OpenInSpreadsheetTest, WithoutAProgramTheButtonSaysSo)
{
    DesktopEntries desktop;
    const QString path = writeSalesDetail(3);
    dialogs->onPreview = [&](QDialog& dialog) {
        for (QAction* action : dialog.findChildren<QAction*>()) {
            if (action->objectName() == QStringLiteral("OpenInSpreadsheet"))
                action->trigger();
        }
    };
    dialogs->expect(ShownBox::Kind::Warning, QStringLiteral("Qel"), {});
    dialogs->expect(ShownBox::Kind::Preview, {}, {});
    dialogs->expect(ShownBox::Kind::Warning, QStringLiteral("確認"), QStringLiteral("前の画面に戻ります"));
    PreviewWorkbook(nullptr, path);
    ASSERT_EQ(dialogs->shown().size(), 3u) << "the box, over the preview";
    const QString text = dialogs->shown()[0].text;
    EXPECT_TRUE(text.startsWith(QStringLiteral("表計算ソフトが見つかりません。"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QDir::toNativeSeparators(path))) << "where the workbook is";
}

} // namespace
