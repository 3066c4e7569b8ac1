#include "SheetsFixture.h"

#include "sheets/SheetReader.h"
#include "sheets/preview/SheetPreview.h"
#include "sheets/preview/SheetPrintout.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QRegularExpression>
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

TEST_F(SheetPreviewTest, PagesFollowThePageSetupAndRepeatTheTitles)
{
    // 100 customers take 303 rows. The columns are 912 pixels wide (seven per character of
    // width), so fitting them to the width of A4 between the margins scales by 0.786; a page
    // then holds 66 rows of 14.25 points, 63 under the repeated titles: 66 + 63 * 3 = 255,
    // and the rest on a fifth page.
    const SheetPrintout printout(ReadWorkbook(writeCustomerList(100)));
    EXPECT_EQ(printout.pageCount(), 5);
    EXPECT_EQ(SheetPrintout(ReadWorkbook(writeCustomerList(1))).pageCount(), 1);
    EXPECT_EQ(SheetPrintout(ReadWorkbook(customerTemplate())).pageCount(), 1) << "the template alone";

    // The title rows stand at the same place on every page; the rows under them differ.
    const QImage first = pageImage(printout, 0), second = pageImage(printout, 1);
    const double inch = 100;
    const SheetModel& m = printout.model();
    const int titleTop = int(m.page.top * inch) + 1;
    const int titleBottom =
        int(m.page.top * inch + (m.rowHeight(1) + m.rowHeight(2) + m.rowHeight(3)) * inch / 72 * 0.7);
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
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        auto* view = dialog->findChild<QPrintPreviewWidget*>();
        ASSERT_TRUE(view);
        view->updatePreview();
        previewPages = view->pageCount();
        for (QAction* action : dialog->findChildren<QAction*>())
            canOpenExternally |= action->objectName() == QStringLiteral("OpenInSpreadsheet");
        dialog->reject();
    });
    dialogs->expect(ShownBox::Kind::Warning, QStringLiteral("確認"), QStringLiteral("前の画面に戻ります"));
    PreviewWorkbook(nullptr, path);
    EXPECT_EQ(previewPages, 5);
    EXPECT_TRUE(canOpenExternally);
}

TEST_F(SheetPreviewTest, UnreadableWorkbookSkipsThePreviewButNotTheMessage)
{
    dialogs->expect(ShownBox::Kind::Warning, QStringLiteral("確認"), QStringLiteral("前の画面に戻ります"));
    PreviewWorkbook(nullptr, appPath() + QStringLiteral("/missing.xlsx"));
    EXPECT_EQ(dialogs->shown().size(), 1u);
}

} // namespace
