#include "SheetsFixture.h"

#include "core/Globals.h"
#include "core/QelError.h"
#include "exchange/SheetReader.h"
#include "sheets/Workbook.h"
#include "sheets/WorkbookFailure.h"
#include "sheets/preview/SheetFailure.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

using Kind = ShownBox::Kind;

const QString kWriteDenied = QStringLiteral("Excelファイルが開かれている可能性があります。\n"
                                            "Excelファイル閉じてからプログラムを実行してください。\n");

TEST(WorkbookFailureText, DependsOnTheKindOfTheFailure)
{
    using K = QelError::Kind;
    struct Case
    {
        QelError error;
        const char* text;
    };
    const Case cases[] = {
        {QelError(K::PageSetup, QStringLiteral("PageSetup クラスの LeftHeader プロパティを設定できません。"),
                  {}, SheetNumber::Application),
         "プリンタの設定が行われていませんが処理はそのまま続行してください。\n"
         "ErrNo=1004 ErrMsg=PageSetup クラスの LeftHeader プロパティを設定できません。"},
        {WorkbookFailure(SheetNumber::PermissionDenied,
                         QStringLiteral("書き込みできません。 /x/顧客一覧.xlsx")),
         "Excelファイルが開かれている可能性があります。\nExcelファイル閉じてからプログラムを実行してください"
         "。\n"
         "ErrNo=70 ErrMsg=書き込みできません。 /x/顧客一覧.xlsx"},
        {WorkbookFailure(SheetNumber::FileNotFound, QStringLiteral("ファイルが見つかりません。 /x")),
         "ErrNo=53 ErrMsg=ファイルが見つかりません。 /x"},
        {QelError(K::DiskFull, QStringLiteral("満杯"), QStringLiteral("disk full")),
         "ErrNo=3146 ErrMsg=満杯\ndisk full"},
        {QelError(K::OutOfMemory, QStringLiteral("不足")), "ErrNo=1004 ErrMsg=不足"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(WorkbookFailureText(c.error), QString::fromUtf8(c.text));
    }
}

class SheetFailureTest : public SheetsFixture
{
  protected:
    // Runs the first steps of a writer as the customer list does.
    bool prepareAndOpen(Workbook& book, SheetSteps& steps)
    {
        return steps.run([&] {
            book.prepare();
            book.open();
        });
    }
};

TEST_F(SheetFailureTest, MissingTemplateIsNamedAndEndsTheApplication)
{
    ASSERT_TRUE(QFile::remove(customerTemplate()));
    dialogs->expect(Kind::Warning, QStringLiteral("Frm040_Qel"), {});
    Workbook book(customerTemplate(), WorkbookTarget(QStringLiteral("顧客一覧.xlsx")));
    SheetSteps steps(QStringLiteral("Frm040_Qel"));
    EXPECT_FALSE(prepareAndOpen(book, steps));
    ASSERT_EQ(dialogs->shown().size(), 1u);
    EXPECT_EQ(dialogs->shown()[0].text, QStringLiteral("ErrNo=53 ErrMsg=ファイルが見つかりません。 ") +
                                            QDir::toNativeSeparators(customerTemplate()));
    EXPECT_EQ(exits->calls, 1);
    EXPECT_TRUE(steps.ended());
    bool ran = false;
    EXPECT_FALSE(steps.run([&] { ran = true; })) << "nothing runs after the end was asked for";
    EXPECT_FALSE(ran);
    EXPECT_EQ(dialogs->shown().size(), 1u);
}

TEST_F(SheetFailureTest, WorkbookFolderThatCannotBeMadeIsNamed)
{
    // Running as root ignores permissions: a regular file stands where a folder must be made.
    QFile blocker(AppFile(QStringLiteral("notafolder")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    G().DataPath = QStringLiteral("notafolder/Data");
    dialogs->expect(Kind::Warning, QStringLiteral("Frm520_Qel"), {});
    Workbook book(salesTemplate(), WorkbookTarget(QStringLiteral("期間指定売上明細.xlsx")));
    SheetSteps steps(QStringLiteral("Frm520_Qel"));
    EXPECT_FALSE(prepareAndOpen(book, steps));
    EXPECT_EQ(dialogs->shown().at(0).text, QStringLiteral("ErrNo=76 ErrMsg=パスが見つかりません。 ") +
                                               QDir::toNativeSeparators(AppFile(G().DataPath)));
    EXPECT_EQ(exits->calls, 1);
}

TEST_F(SheetFailureTest, TargetThatCannotBeReplacedIsAWriteFailure)
{
    const QString target = WorkbookTarget(QStringLiteral("顧客一覧.xlsx"));
    ASSERT_TRUE(QDir().mkpath(target + QStringLiteral("/inside")));
    dialogs->expect(Kind::Warning, QStringLiteral("Frm040_Qel"), {});
    Workbook book(customerTemplate(), target);
    SheetSteps steps(QStringLiteral("Frm040_Qel"));
    EXPECT_FALSE(prepareAndOpen(book, steps));
    EXPECT_EQ(dialogs->shown().at(0).text, kWriteDenied +
                                               QStringLiteral("ErrNo=70 ErrMsg=書き込みできません。 ") +
                                               QDir::toNativeSeparators(target));
    EXPECT_EQ(exits->calls, 1);
    EXPECT_TRUE(QFileInfo(target + QStringLiteral("/inside")).isDir()) << "nothing of the user's is removed";
}

TEST_F(SheetFailureTest, TargetTakenAwayBeforeTheSaveLeavesNoHalfWrittenFile)
{
    const QString target = WorkbookTarget(QStringLiteral("顧客一覧.xlsx"));
    dialogs->expect(Kind::Warning, QStringLiteral("Frm040_Qel"), {});
    SheetSteps steps(QStringLiteral("Frm040_Qel"));
    {
        Workbook book(customerTemplate(), target);
        ASSERT_TRUE(prepareAndOpen(book, steps));
        ASSERT_TRUE(steps.run([&] { book.setText(4, 2, QStringLiteral("途中")); }));
        ASSERT_TRUE(QDir().mkpath(target + QStringLiteral("/inside")));
        EXPECT_FALSE(steps.run([&] { book.save(); }));
    }
    EXPECT_TRUE(dialogs->shown().at(0).text.startsWith(
        kWriteDenied + QStringLiteral("ErrNo=70 ErrMsg=書き込みできません。")));
    EXPECT_EQ(exits->calls, 1);
    EXPECT_EQ(QDir(AppFile(G().DataPath)).entryList(QDir::Files | QDir::Hidden | QDir::System),
              QStringList{});
}

TEST_F(SheetFailureTest, PageSetupFailureIsReportedAndTheWriterGoesOn)
{
    dialogs->expect(Kind::Warning, QStringLiteral("Frm530_Qel"), {});
    const QString target = WorkbookTarget(QStringLiteral("ブランド名別売上明細.xlsx"));
    Workbook book(salesTemplate(), target);
    SheetSteps steps(QStringLiteral("Frm530_Qel"));
    ASSERT_TRUE(prepareAndOpen(book, steps));
    EXPECT_TRUE(steps.run(
        [&] { book.setLeftHeader(QStringLiteral("ブランド名:") + QString(300, QLatin1Char('x'))); }));
    EXPECT_TRUE(steps.run([&] { book.setCenterHeader(QStringLiteral("ブランド名別 売上明細")); }));
    EXPECT_TRUE(steps.run([&] {
        book.setNumber(3, 1, 1);
        book.save();
    }));
    ASSERT_EQ(dialogs->shown().size(), 1u);
    EXPECT_TRUE(dialogs->shown()[0].text.startsWith(QStringLiteral(
        "プリンタの設定が行われていませんが処理はそのまま続行してください。\nErrNo=1004 ErrMsg=PageSetup")));
    EXPECT_EQ(exits->calls, 0);
    EXPECT_FALSE(steps.ended());
    const SheetModel m = ReadWorkbook(target);
    EXPECT_EQ(HeaderSectionsOf(m.oddHeader, 1, 1, {}, {}).center, QStringLiteral("ブランド名別 売上明細"));
}

TEST_F(SheetFailureTest, BrokenTemplateAndDatabaseFailuresEndTheApplication)
{
    QFile broken(customerTemplate());
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
    broken.write("not a workbook");
    broken.close();
    dialogs->expect(Kind::Warning, QStringLiteral("Frm040_Qel"), {});
    {
        Workbook book(customerTemplate(), WorkbookTarget(QStringLiteral("顧客一覧.xlsx")));
        SheetSteps steps(QStringLiteral("Frm040_Qel"));
        EXPECT_FALSE(prepareAndOpen(book, steps));
    }
    EXPECT_TRUE(dialogs->shown().at(0).text.startsWith(QStringLiteral("ErrNo=1004 ErrMsg=")));
    EXPECT_EQ(exits->calls, 1);
    EXPECT_EQ(QDir(AppFile(G().DataPath)).entryList(QDir::Files | QDir::Hidden | QDir::System),
              QStringList{});

    dialogs->expect(Kind::Warning, QStringLiteral("Frm540_Qel"),
                    QStringLiteral("ErrNo=3146 ErrMsg=データベースを開けません。\nno such file"));
    SheetSteps steps(QStringLiteral("Frm540_Qel"));
    EXPECT_FALSE(steps.run([] {
        throw QelError(QelError::Kind::CannotOpen, QStringLiteral("データベースを開けません。"),
                       QStringLiteral("no such file"));
    }));
    EXPECT_EQ(exits->calls, 2);
}

} // namespace
