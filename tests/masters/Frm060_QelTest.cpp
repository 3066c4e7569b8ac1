#include "MastersTestSupport.h"

#include "masters/MakerStore.h"
#include "masters/ProductStore.h"

#include <QFile>

namespace {

class MakerScreenTest : public MastersFixture
{
  protected:
    QWidget* open() { return openFromMenu(QStringLiteral("Frm060_Qel")); }

    // The reading of maker i: ﾘ and two half-width katakana that count up in code order, as a
    // reading box takes nothing else from the user.
    static QString reading(int i)
    {
        return QStringLiteral("ﾘ") + QChar(0xFF71 + i / 10) + QChar(0xFF71 + i % 10);
    }

    // Makers M01 .. Mnn with the readings reading(1) .. reading(nn), added in reverse so that
    // keys and reading order differ.
    void addMakers(int count)
    {
        for (int i = count; i >= 1; --i)
            MakerStore().add(
                {.name = QStringLiteral("M%1").arg(i, 2, 10, QLatin1Char('0')), .reading = reading(i)});
    }

    // The row shown in the boxes: name, reading, key.
    QString shown() const { return txt(0)->text() + "|" + txt(1)->text() + "|" + txt(2)->text(); }
};

TEST_F(MakerScreenTest, EmptyTableShowsOneEmptyRowAndOnlyTypingEnablesAdding)
{
    ASSERT_NE(open(), nullptr);
    EXPECT_EQ(screen()->windowTitle(), QStringLiteral("ブランド名一覧"));
    EXPECT_EQ(ttl(14)->text(), QStringLiteral("ブランド名一覧"));
    EXPECT_EQ(screen()->pos(), QPoint(2, 2));
    EXPECT_EQ(grid()->rows(), 2);
    EXPECT_EQ(grid()->textMatrix(0, 2), QStringLiteral("ブランド名"));
    EXPECT_EQ(grid()->textMatrix(0, 3), QStringLiteral("フリガナ"));
    EXPECT_EQ(grid()->cellAlignment(0, 2), Qt::AlignCenter);
    EXPECT_EQ(grid()->colWidth(1), 0);
    EXPECT_TRUE(grid()->isColumnHidden(0));
    EXPECT_LT(txt(2)->y(), 0) << "the key box lies outside the window";
    EXPECT_EQ(actions(), "000");
    EXPECT_EQ(shown(), "||");

    enter(txt(0), QStringLiteral("アルファ"));
    EXPECT_EQ(actions(), "100");
}

TEST_F(MakerScreenTest, AddingIntoTheMiddleSelectsTheNewRowAtTheTop)
{
    addMakers(40);
    ASSERT_NE(open(), nullptr);
    EXPECT_EQ(grid()->rows(), 41);
    EXPECT_EQ(grid()->textMatrix(1, 3), reading(1));
    EXPECT_EQ(grid()->textMatrix(1, 0), QStringLiteral("1"));
    EXPECT_EQ(grid()->cellAlignment(1, 0), Qt::AlignRight | Qt::AlignVCenter);
    EXPECT_EQ(grid()->textMatrix(1, 1), QStringLiteral("40"));
    EXPECT_EQ(shown(), QStringLiteral("M01|%1|40").arg(reading(1)));
    EXPECT_EQ(actions(), "001");

    enter(txt(0), QStringLiteral("新しい名前"));
    enter(txt(1), reading(20) + QStringLiteral("ｱ"));
    EXPECT_EQ(actions(), "111");

    bool noticeSeen = false;
    waits->during = [&] {
        noticeSeen = ttl(12)->isVisible() && ttl(12)->text() == QStringLiteral("登録完了");
        EXPECT_EQ(actions(), "000") << "the buttons rest during the notice";
    };
    Click(cmd(0));
    EXPECT_TRUE(noticeSeen);
    EXPECT_EQ(waits->waits, std::vector<int>{1000});
    EXPECT_FALSE(ttl(12)->isVisible());

    EXPECT_EQ(grid()->rows(), 42);
    EXPECT_EQ(grid()->textMatrix(21, 3), reading(20) + QStringLiteral("ｱ"));
    EXPECT_EQ(grid()->textMatrix(22, 3), reading(21));
    EXPECT_EQ(grid()->row(), 21);
    EXPECT_EQ(grid()->topRow(), 21);
    EXPECT_TRUE(grid()->isCellSelected(21, 3));
    EXPECT_EQ(shown(), QStringLiteral("新しい名前|%1ｱ|41").arg(reading(20)));
    EXPECT_EQ(actions(), "001");
    EXPECT_TRUE(grid()->hasFocus());
    EXPECT_EQ(G().CallerForm, QStringLiteral("Frm060_Qel"));

    Database db;
    Query q(db, QStringLiteral("select * from Tb_メーカー where Fi_キー = 41"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.text("Fi_メーカー"), QStringLiteral("新しい名前"));
    EXPECT_EQ(q.text("Fi_最終更新年") + q.text("Fi_最終更新月") + q.text("Fi_最終更新日") +
                  q.text("Fi_最終更新時") + q.text("Fi_最終更新分") + q.text("Fi_最終更新秒"),
              QStringLiteral("20050307090503"));
}

TEST_F(MakerScreenTest, TheReadingComesFromTheInputMethodAndIsAppended)
{
    ASSERT_NE(open(), nullptr);
    txt(0)->setFocus(Qt::TabFocusReason);
    ImeConvert(txt(0), QStringLiteral("あるふぁ"), QStringLiteral("阿流"));
    ImeConvert(txt(0), QStringLiteral("ふぁ"), QStringLiteral("ファ"));
    EXPECT_EQ(txt(0)->text(), QStringLiteral("阿流ファ"));
    QTest::keyClick(txt(0), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), txt(1));
    EXPECT_EQ(txt(1)->text(), QStringLiteral("ｱﾙﾌｧﾌｧ"));

    // Coming back and extending the name adds the new reading behind the old one.
    QTest::keyClick(txt(1), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), txt(0));
    EXPECT_TRUE(txt(0)->hasSelectedText()) << "the whole name is selected on entry";
    txt(0)->end(false);
    ImeConvert(txt(0), QStringLiteral("みせ"), QStringLiteral("店"));
    txt(1)->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(txt(1)->text(), QStringLiteral("ｱﾙﾌｧﾌｧﾐｾ"));

    // Emptying the name empties the reading too.
    enter(txt(0), QString());
    EXPECT_EQ(txt(1)->text(), QString());
}

TEST_F(MakerScreenTest, ChecksStopAtTheFirstMissingEntryAndWriteNothing)
{
    ASSERT_NE(open(), nullptr);
    enter(txt(1), QStringLiteral("ｱ"));
    Click(cmd(0));
    EXPECT_EQ(ttl(11)->text(), QStringLiteral("ブランド名を入力してください"));
    EXPECT_EQ(QApplication::focusWidget(), txt(0));

    enter(txt(0), QStringLiteral("  アルファ  "));
    enter(txt(1), QStringLiteral("   "));
    Click(cmd(0));
    EXPECT_EQ(ttl(11)->text(), QStringLiteral("フリガナを入力してください"));
    EXPECT_EQ(QApplication::focusWidget(), txt(1));
    EXPECT_TRUE(waits->waits.empty());
    EXPECT_EQ(column("Tb_メーカー", "Fi_メーカー"), QString());

    // A correct entry clears the message and is stored trimmed.
    enter(txt(1), QStringLiteral(" ｱﾙﾌｧ "));
    Click(cmd(0));
    EXPECT_EQ(ttl(11)->text(), QString());
    EXPECT_EQ(column("Tb_メーカー", "Fi_メーカー"), QStringLiteral("アルファ"));
    EXPECT_EQ(column("Tb_メーカー", "Fi_メーカーフリガナ"), QStringLiteral("ｱﾙﾌｧ"));
}

TEST_F(MakerScreenTest, TwoMakersOfTheSameNameAndReadingAreKeptAndTheFirstIsSelected)
{
    MakerStore().add({.name = QStringLiteral("ゼータ"), .reading = QStringLiteral("ｾﾞｰﾀ")});
    const std::int32_t first =
        MakerStore().add({.name = QStringLiteral("アルファ"), .reading = QStringLiteral("ｱﾙﾌｧ")});
    ASSERT_NE(open(), nullptr);
    enter(txt(0), QStringLiteral("アルファ"));
    enter(txt(1), QStringLiteral("ｱﾙﾌｧ"));
    Click(cmd(0));
    EXPECT_EQ(gridColumn(2), QStringLiteral("アルファ,アルファ,ゼータ"));
    EXPECT_EQ(grid()->row(), 1);
    EXPECT_EQ(txt(2)->text(), QString::number(first));
    EXPECT_EQ(G().MakerKey, first);
}

TEST_F(MakerScreenTest, NamesWithQuotesAndWildcardsAreStoredAndShownAsTyped)
{
    ASSERT_NE(open(), nullptr);
    const QString name = QStringLiteral("O'Neil \"%*_");
    enter(txt(0), name);
    enter(txt(1), QStringLiteral("ｵﾆｰﾙ'%"));
    Click(cmd(0));
    EXPECT_EQ(column("Tb_メーカー", "Fi_メーカー"), name);
    EXPECT_EQ(grid()->textMatrix(1, 2), name);
    EXPECT_EQ(txt(0)->text(), name);
}

TEST_F(MakerScreenTest, CorrectionAsksWithTheWarningAndChangesOnlyItsOwnRow)
{
    MakerStore().add({.name = QStringLiteral("アルファ"), .reading = QStringLiteral("ｱﾙﾌｧ")});
    const std::int32_t beta =
        MakerStore().add({.name = QStringLiteral("ベータ"), .reading = QStringLiteral("ﾍﾞｰﾀ")});
    MakerStore().add({.name = QStringLiteral("ガンマ"), .reading = QStringLiteral("ｶﾞﾝﾏ")});
    ProductRow product;
    product.maker = QStringLiteral("ベータ");
    product.makerReading = QStringLiteral("ﾍﾞｰﾀ");
    product.name = QStringLiteral("バッグ");
    product.reading = QStringLiteral("ﾊﾞｯｸﾞ");
    product.listPrice = 1000;
    product.sellingPrice = 900;
    ProductStore().add(product);
    {
        Database db;
        db.execute(QStringLiteral(
                       "insert into Tb_売上 (Fi_キー, Fi_メーカー, Fi_メーカーフリガナ) values (1, ?, ?)"),
                   {QStringLiteral("ベータ"), QStringLiteral("ﾍﾞｰﾀ")});
    }
    setNow(QDateTime(QDate(2006, 11, 12), QTime(13, 14, 15)));
    ASSERT_NE(open(), nullptr);
    EXPECT_EQ(gridColumn(2), QStringLiteral("アルファ,ガンマ,ベータ"));

    clickRow(3);
    EXPECT_EQ(shown(), QStringLiteral("ベータ|ﾍﾞｰﾀ|%1").arg(beta));
    EXPECT_EQ(actions(), "001");
    enter(txt(0), QStringLiteral("デルタ"));
    enter(txt(1), QStringLiteral("ﾃﾞﾙﾀ"));
    EXPECT_EQ(actions(), "111");

    const QString question = QStringLiteral("修正前のブランド名に商品情報が登録されている場合\n"
                                            "他の入力画面でブランド情報が設定できなくなる可能性があります\n\n"
                                            "修正登録を行いますか");
    dialogs->expectQuestion(question, DialogService::Answer::No);
    Click(cmd(1));
    EXPECT_EQ(column("Tb_メーカー", "Fi_メーカー"), QStringLiteral("アルファ,ベータ,ガンマ"));
    EXPECT_TRUE(grid()->hasFocus());
    EXPECT_EQ(shown(), QStringLiteral("デルタ|ﾃﾞﾙﾀ|%1").arg(beta)) << "No leaves the typed entry";

    dialogs->expectQuestion(question, DialogService::Answer::Yes);
    Click(cmd(1));
    bool noticeSeen = ttl(12)->text() == QStringLiteral("修正完了");
    EXPECT_TRUE(noticeSeen);
    EXPECT_EQ(column("Tb_メーカー", "Fi_メーカー"), QStringLiteral("アルファ,デルタ,ガンマ"));
    EXPECT_EQ(column("Tb_メーカー", "Fi_最終更新年"), QStringLiteral("2005,2006,2005"));
    EXPECT_EQ(column("Tb_商品", "Fi_メーカー"), QStringLiteral("ベータ"));
    EXPECT_EQ(column("Tb_売上", "Fi_メーカー"), QStringLiteral("ベータ"));
    EXPECT_EQ(gridColumn(2), QStringLiteral("アルファ,ガンマ,デルタ"));
    EXPECT_EQ(grid()->row(), 3) << "the corrected row is selected";
    EXPECT_EQ(actions(), "001");
}

TEST_F(MakerScreenTest, DeletionAsksByNumberAndKeepsTheNeighbourSelected)
{
    MakerStore().add({.name = QStringLiteral("イー"), .reading = QStringLiteral("ｲｰ")});
    MakerStore().add({.name = QStringLiteral("ウー"), .reading = QStringLiteral("ｳｰ")});
    MakerStore().add({.name = QStringLiteral("アルファ"), .reading = QStringLiteral("ｴｰ")});
    MakerStore().add({.name = QStringLiteral("オー"), .reading = QStringLiteral("ｵｰ")});
    ASSERT_NE(open(), nullptr);
    clickRow(3);

    dialogs->expectQuestion(QStringLiteral("No.3 ブランド名：アルファ の\n情報を削除してもよろしいですか"),
                            DialogService::Answer::No);
    Click(cmd(2));
    EXPECT_EQ(gridColumn(2), QStringLiteral("イー,ウー,アルファ,オー"));
    EXPECT_EQ(grid()->row(), 3);
    EXPECT_TRUE(waits->waits.empty()) << "no notice after No";

    dialogs->expectQuestion(QStringLiteral("No.3 ブランド名：アルファ の\n情報を削除してもよろしいですか"),
                            DialogService::Answer::Yes);
    Click(cmd(2));
    EXPECT_EQ(ttl(12)->text(), QStringLiteral("削除完了"));
    EXPECT_EQ(waits->waits.size(), 1u);
    EXPECT_EQ(gridColumn(2), QStringLiteral("イー,ウー,オー"));
    EXPECT_EQ(gridColumn(0), QStringLiteral("1,2,3"));
    EXPECT_EQ(grid()->row(), 3);
    EXPECT_EQ(txt(0)->text(), QStringLiteral("オー"));
    EXPECT_TRUE(grid()->hasFocus());

    // Deleting the last row selects the row that is now last; deleting every row leaves the empty row.
    dialogs->expectQuestion({}, DialogService::Answer::Yes);
    Click(cmd(2));
    EXPECT_EQ(grid()->row(), 2);
    EXPECT_EQ(txt(0)->text(), QStringLiteral("ウー"));
    dialogs->expectQuestion({}, DialogService::Answer::Yes);
    Click(cmd(2));
    dialogs->expectQuestion(QStringLiteral("No.1 ブランド名：イー の\n情報を削除してもよろしいですか"),
                            DialogService::Answer::Yes);
    Click(cmd(2));
    EXPECT_EQ(grid()->rows(), 2);
    EXPECT_EQ(actions(), "000");
    EXPECT_EQ(column("Tb_メーカー", "Fi_メーカー"), QString());
}

TEST_F(MakerScreenTest, ClosingWithAnUnsavedCorrectionAsksFirst)
{
    MakerStore().add({.name = QStringLiteral("アルファ"), .reading = QStringLiteral("ｱﾙﾌｧ")});
    ASSERT_NE(open(), nullptr);
    enter(txt(0), QStringLiteral("アルファ２"));
    EXPECT_EQ(actions(), "111");

    dialogs->expectQuestion(QStringLiteral("未登録です。\n修正登録せずに画面を閉じますか"),
                            DialogService::Answer::No);
    Click(cmd(3));
    EXPECT_EQ(visibleScreen(QStringLiteral("Frm060_Qel")), screen());

    // The window's close box does nothing.
    screen()->close();
    EXPECT_TRUE(screen()->isVisible());

    dialogs->expectQuestion(QStringLiteral("未登録です。\n修正登録せずに画面を閉じますか"),
                            DialogService::Answer::Yes);
    Click(cmd(3));
    EXPECT_EQ(visibleScreen(QStringLiteral("Frm060_Qel")), nullptr);
    EXPECT_NE(visibleScreen(QStringLiteral("Frm010_Qel")), nullptr);
    EXPECT_EQ(G().CallerForm, QStringLiteral("Frm060_Qel"));
    EXPECT_EQ(column("Tb_メーカー", "Fi_メーカー"), QStringLiteral("アルファ"));
}

TEST_F(MakerScreenTest, ClosingWithOnlyATypedNewEntryDropsItWithoutAQuestion)
{
    ASSERT_NE(open(), nullptr);
    enter(txt(0), QStringLiteral("アルファ"));
    EXPECT_EQ(actions(), "100");
    Click(cmd(3));
    EXPECT_NE(visibleScreen(QStringLiteral("Frm010_Qel")), nullptr);
    EXPECT_TRUE(dialogs->shown().empty());
}

TEST_F(MakerScreenTest, GridMouseAndKeysMoveToTheNameBox)
{
    addMakers(3);
    ASSERT_NE(open(), nullptr);
    enter(txt(0), QStringLiteral("x"));
    EXPECT_EQ(actions(), "111");
    clickRow(2);
    EXPECT_EQ(actions(), "001");
    EXPECT_EQ(shown(), QStringLiteral("M02|%1|2").arg(reading(2)));
    EXPECT_TRUE(grid()->hasFocus());
    EXPECT_EQ(grid()->backColorBkg(), QColor(128, 128, 128));

    QTest::keyClick(grid(), Qt::Key_Down);
    EXPECT_EQ(shown(), QStringLiteral("M03|%1|1").arg(reading(3)));
    QTest::keyClick(grid(), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), txt(0));
    EXPECT_EQ(grid()->backColorBkg(), QColor(192, 192, 192));

    const QRect cell = grid()->visualRect(grid()->model()->index(0, 1));
    QTest::mouseDClick(screen()->windowHandle(), Qt::LeftButton, {},
                       grid()->viewport()->mapTo(screen(), cell.center()));
    EXPECT_EQ(shown(), QStringLiteral("M01|%1|3").arg(reading(1)));
    EXPECT_EQ(QApplication::focusWidget(), txt(0));
    EXPECT_EQ(actions(), "001");
}

TEST_F(MakerScreenTest, PositionSurvivesRebuildsButTheMenuStartsAtTheTop)
{
    addMakers(40);
    ASSERT_NE(open(), nullptr);
    grid()->setTopRow(20);
    clickRow(25);
    EXPECT_EQ(grid()->topRow(), 20);
    dialogs->expectQuestion({}, DialogService::Answer::No);
    Click(cmd(2));
    EXPECT_EQ(grid()->topRow(), 20);
    EXPECT_EQ(grid()->row(), 25);
    EXPECT_EQ(G().MakerTopRow, 20);
    EXPECT_EQ(G().MakerRowSel, 25);

    Click(cmd(3));
    useScreen(visibleScreen(QStringLiteral("Frm010_Qel")));
    ASSERT_NE(screen(), nullptr);
    Click(child<QPushButton>("Cmd_2"));
    useScreen(visibleScreen(QStringLiteral("Frm060_Qel")));
    ASSERT_NE(screen(), nullptr);
    EXPECT_EQ(grid()->topRow(), 1);
    EXPECT_EQ(grid()->row(), 1);
    EXPECT_EQ(G().MakerRowSel, 1);
}

TEST_F(MakerScreenTest, RowsGoneBehindTheScreenAreHandledWithoutHarm)
{
    addMakers(3);
    ASSERT_NE(open(), nullptr);
    clickRow(2);
    {
        Database db;
        db.execute(QStringLiteral("delete from Tb_メーカー where Fi_キー = 2"));
    }
    enter(txt(0), QStringLiteral("別名"));
    dialogs->expectQuestion({}, DialogService::Answer::Yes);
    dialogs->expect(ShownBox::Kind::Warning, QStringLiteral("Frm060_Qel"),
                    QStringLiteral("修正するブランド情報が見つかりませんでした。\n一覧を読み直します。"));
    Click(cmd(1));
    EXPECT_EQ(gridColumn(2), QStringLiteral("M01,M03"));
    EXPECT_TRUE(waits->waits.empty()) << "nothing was corrected";

    {
        Database db;
        db.execute(QStringLiteral("delete from Tb_メーカー where Fi_キー = 1"));
    }
    clickRow(2);
    dialogs->expectQuestion(QStringLiteral("No.2 ブランド名：M03 の\n情報を削除してもよろしいですか"),
                            DialogService::Answer::Yes);
    Click(cmd(2));
    EXPECT_TRUE(waits->waits.empty()) << "nothing was deleted";
    EXPECT_EQ(gridColumn(2), QStringLiteral("M01"));
}

TEST_F(MakerScreenTest, DatabaseFailuresAreShownAndTheScreenStaysUsable)
{
    MakerStore().add({.name = QStringLiteral("アルファ"), .reading = QStringLiteral("ｱﾙﾌｧ")});
    ASSERT_NE(open(), nullptr);
    ASSERT_TRUE(QFile::rename(dbPath(), dbPath() + ".away"));

    enter(txt(0), QStringLiteral("ベータ"));
    enter(txt(1), QStringLiteral("ﾍﾞｰﾀ"));
    dialogs->expect(ShownBox::Kind::Failure, QStringLiteral("Frm060_Qel"), {});
    Click(cmd(0));
    EXPECT_TRUE(
        dialogs->shown().back().text.contains(QStringLiteral("データベースファイルが見つかりません")));
    EXPECT_TRUE(waits->waits.empty()) << "no notice for a failed add";
    EXPECT_EQ(shown(), "ベータ|ﾍﾞｰﾀ|1") << "the entry is kept for another try";
    EXPECT_TRUE(cmd(0)->isEnabled());

    ASSERT_TRUE(QFile::rename(dbPath() + ".away", dbPath()));
    Click(cmd(0));
    EXPECT_EQ(gridColumn(2), QStringLiteral("アルファ,ベータ"));
}

TEST_F(MakerScreenTest, OpeningWithoutTheDatabaseWarnsAndStillOpens)
{
    ASSERT_TRUE(QFile::remove(dbPath()));
    dialogs->expect(ShownBox::Kind::Failure, QStringLiteral("Frm060_Qel"), {});
    ASSERT_NE(open(), nullptr);
    EXPECT_EQ(grid()->rows(), 2);
    EXPECT_EQ(actions(), "000");
    Click(cmd(3));
    EXPECT_NE(visibleScreen(QStringLiteral("Frm010_Qel")), nullptr);
}

TEST_F(MakerScreenTest, TheMenuButtonOpensTheScreen)
{
    Screens().open(QStringLiteral("Frm010_Qel"));
    useScreen(visibleScreen(QStringLiteral("Frm010_Qel")));
    ASSERT_NE(screen(), nullptr);
    Click(child<QPushButton>("Cmd_2"));
    useScreen(visibleScreen(QStringLiteral("Frm060_Qel")));
    ASSERT_NE(screen(), nullptr);
    EXPECT_EQ(G().CallerForm, QStringLiteral("Frm010_Qel"));
}

} // namespace
