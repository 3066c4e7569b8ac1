#include "customers/CustomerScreenTest.h"

#include "core/Cp932.h"
#include "core/Globals.h"
#include "core/ReadingDictionary.h"
#include "exchange/ImportPreviewModel.h"
#include "support/CsvReadBack.h"

#include <QAbstractItemModel>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QStringEncoder>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

namespace {

using Col = ImportPreviewModel::Column;

const QString kOpenTitle = QStringLiteral("取り込むファイルの選択");
const QString kCaption = QStringLiteral("顧客取込");
const QString kUnstored = QStringLiteral("未取込です。\n取り込まずに画面を閉じますか");

// A click as the window system delivers it: queued, handled when the program next looks at input.
void PostClick(QWidget* w)
{
    const QPointF centre = QRectF(w->rect()).center();
    const QPointF global = w->mapToGlobal(centre);
    QCoreApplication::postEvent(
        w, new QMouseEvent(QEvent::MouseButtonPress, centre, global, Qt::LeftButton, Qt::LeftButton, {}));
    QCoreApplication::postEvent(
        w, new QMouseEvent(QEvent::MouseButtonRelease, centre, global, Qt::LeftButton, Qt::NoButton, {}));
}

// "名前,フリガナ,郵便番号,都道府県,住所" and rows of numbered customers.
QByteArray Customers(int rows)
{
    QByteArray csv = "名前,フリガナ,郵便番号,都道府県,住所\r\n";
    for (int i = 1; i <= rows; ++i)
        csv += "顧客" + QByteArray::number(i) + ",ｺｷｬｸ,100-0001,東京都,千代田区千代田" +
               QByteArray::number(i) + "-1\r\n";
    return csv;
}

class ImportTest : public CustomerScreenTest
{
  protected:
    void SetUp() override
    {
        CustomerScreenTest::SetUp();
        writeIni(QStringLiteral("Todoufuken1=13\r\nDataPath=Data\r\nBackDataPath=Back\r\nBackCnt=3\r\n"));
        QDir(appPath()).mkdir(QStringLiteral("Data"));
        QDir(appPath()).mkdir(QStringLiteral("Back"));
    }

    QString file(const QString& name, const QByteArray& bytes) const
    {
        const QString path = appPath() + QStringLiteral("/Data/") + name;
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    // A workbook made by tests/support/hostile_workbook.py.
    QString workbook(const QString& name, const QStringList& arguments) const
    {
        const QString path = appPath() + QStringLiteral("/Data/") + name;
        EXPECT_EQ(QProcess::execute(QStringLiteral("python3"),
                                    QStringList{QStringLiteral(QEL_HOSTILE_WORKBOOK), arguments.at(0), path} +
                                        arguments.mid(1)),
                  0);
        return path;
    }

    // Registration's "取込…", then the file chosen in the open dialog.
    void openImport()
    {
        openFromMenu(QStringLiteral("Frm020_Qel"));
        Click(cmd(3));
        ASSERT_TRUE(follow(QStringLiteral("Frm025_Qel")));
    }
    // The boxes expected after the dialog are scripted by `then`.
    void choose(const QString& path, const std::function<void()>& then = {})
    {
        dialogs->expectFile(ShownBox::Kind::OpenFile, kOpenTitle, path);
        if (then)
            then();
        Click(cmd(0));
    }
    QTableView* preview() const { return child<QTableView>(QStringLiteral("Grd_Preview")); }
    QAbstractItemModel* model() const { return preview()->model(); }
    QComboBox* selector(int field) const
    {
        return child<QComboBox>(QStringLiteral("Combo_Fld_%1").arg(field));
    }
    QString cell(int row, int col) const { return model()->index(row, col).data().toString(); }
    QString field(int row, int f) const { return cell(row, Col::ColFirstField + f); }
    bool ticked(int row) const
    {
        return model()->index(row, Col::ColTick).data(Qt::CheckStateRole).toInt() == Qt::Checked;
    }
    // Each row as "status|name|reading|prefecture|city|building".
    QStringList shown() const
    {
        QStringList rows;
        for (int r = 0; r < model()->rowCount(); ++r)
            rows << QStringList{cell(r, Col::ColStatus),
                                field(r, 0),
                                field(r, 1),
                                field(r, 3),
                                field(r, 4),
                                field(r, 5)}
                        .join('|');
        return rows;
    }
    QStringList cells(int col) const
    {
        QStringList cells;
        for (int r = 0; r < model()->rowCount(); ++r)
            cells << cell(r, col);
        return cells;
    }
    // 取込実行 with its question, the backup run and the completion box.
    void runImport(const QString& question, const QString& done)
    {
        dialogs->expectQuestion(question, DialogService::Answer::Yes);
        dialogs->expect(ShownBox::Kind::Information, QStringLiteral("バックアップ完了"), {});
        dialogs->expect(ShownBox::Kind::Information, QStringLiteral("取込完了"), done);
        ASSERT_TRUE(cmd(1)->isEnabled());
        Click(cmd(1));
    }
    QString stored(const QString& fields = QStringLiteral("Fi_名前")) const
    {
        return ScreenTest::column(QStringLiteral("Tb_顧客"), fields);
    }
};

TEST_F(ImportTest, ShiftJisCsvWithUsualHeadingsIsPreviewedAndStoredAfterABackup)
{
    addCustomer(QStringLiteral("既存"), QStringLiteral("ｷｿﾞﾝ"));
    const QString csv = QStringLiteral(
        "氏名,ふりがな,〒,住所,TEL,メモ\r\n"
        "山田 太郎,やまだ たろう,〒１００-０００１,東京都千代田区千代田１－１,03-1111-2222,\"特価, "
        "\"\"常連\"\"\"\r\n"
        "佐藤花子,サトウハナコ,530-0001,大阪府大阪市北区梅田一丁目二番三号グランドビル南館,06-1111-2222,\r\n"
        "鈴木一郎,ｽｽﾞｷｲﾁﾛｳ,060-0001,札幌市中央区北一条西,011-111-2222,\"二行の\r\nメモ\"\r\n");
    openImport();
    choose(file(QStringLiteral("顧客.csv"), EncodeCp932(csv)));

    EXPECT_EQ(dat(0)->text(),
              QDir::toNativeSeparators(appPath() + "/Data/顧客.csv") + "　CSV（Shift_JIS・カンマ区切り）");
    EXPECT_EQ(selector(4)->currentText(), QStringLiteral("4: 住所"));
    EXPECT_EQ(selector(5)->currentText(), QStringLiteral("（なし）"));
    // A leading prefecture goes to the prefecture, the building after the house number to the
    // building; a row without a prefecture takes the preselected one, and says so.
    EXPECT_EQ(shown(), (QStringList{
                           "取込|山田 太郎|ﾔﾏﾀﾞ ﾀﾛｳ|東京都|千代田区千代田１－１|",
                           "取込|佐藤花子|ｻﾄｳﾊﾅｺ|大阪府|大阪市北区梅田一丁目二番三号|グランドビル南館",
                           "都道府県要確認|鈴木一郎|ｽｽﾞｷｲﾁﾛｳ|東京都|札幌市中央区北一条西|",
                       }));
    EXPECT_EQ(cell(2, Col::ColReason), QStringLiteral("都道府県がないため東京都としました"));
    EXPECT_EQ(field(0, 2), QStringLiteral("100-0001"));
    EXPECT_EQ(dat(1)->text(), QStringLiteral("全 3 行　取込 3 件　重複 0 件　エラー 0 件　読み要確認 0 件　"
                                             "都道府県要確認 1 件"));

    runImport(QStringLiteral("3 件の顧客を登録します（取り込まない行 0 "
                             "件）。\n先にデータのバックアップを行います。よろしいですか"),
              QStringLiteral("3 件の顧客を登録しました。\n取り込まなかった行: 0 件"));
    EXPECT_EQ(waits->waits, (std::vector<int>{500, 500, 500}));
    EXPECT_EQ(QDir(appPath() + "/Back").entryList(QDir::Files).size(), 1);
    EXPECT_EQ(stored(QStringLiteral("Fi_キー")), QStringLiteral("1,2,3,4"));
    EXPECT_EQ(stored(), QStringLiteral("既存,山田 太郎,佐藤花子,鈴木一郎"));
    EXPECT_EQ(stored(QStringLiteral("Fi_都道府県番号")), QStringLiteral("13,13,27,13"));
    EXPECT_EQ(ScreenTest::column(QStringLiteral("Tb_顧客"), QStringLiteral("Fi_備考"),
                                 QStringLiteral("Fi_キー = 2")),
              QStringLiteral("特価, \"常連\""));
    EXPECT_EQ(ScreenTest::column(QStringLiteral("Tb_顧客"), QStringLiteral("Fi_備考"),
                                 QStringLiteral("Fi_キー = 4")),
              QStringLiteral("二行の メモ"));
    EXPECT_EQ(ScreenTest::column(QStringLiteral("Tb_顧客"),
                                 QStringLiteral("Fi_最終更新年||Fi_最終更新月||Fi_最終更新日"),
                                 QStringLiteral("Fi_キー = 3")),
              QStringLiteral("20050307"));
    EXPECT_EQ(model()->rowCount(), 0);
    EXPECT_FALSE(cmd(1)->isEnabled());
}

TEST_F(ImportTest, BirthdaysAndMailWishesAreReadInTheirUsualFormsAndGoOutWithTheCsv)
{
    // Name, birthday and DM in the file; status, birthday and DM in the preview.
    const std::pair<const char*, const char*> cases[] = {
        {"甲,1980/4/15,", "取込|1980/04/15|送る"},  {"乙,昭和55年4月16日,不要", "取込|1980/04/16|送らない"},
        {"丙,4/17,送る", "取込|04/17|送る"},        {"丁,,×", "取込||送らない"},
        {"戊,1980/2/30,", "エラー|1980/2/30|送る"}, {"己,,たぶん", "エラー||たぶん"},
    };
    QString csv = QStringLiteral("名前,生年月日,DM送付,フリガナ,郵便番号,住所\r\n");
    for (const auto& [row, shown] : cases)
        csv += QString::fromUtf8(row) + QStringLiteral(",ｶﾅ,100-0001,東京都千代田区\r\n");
    openImport();
    choose(file(QStringLiteral("誕生日.csv"), csv.toUtf8()));
    for (int r = 0; r < int(std::size(cases)); ++r)
        EXPECT_EQ(cell(r, Col::ColStatus) + '|' + field(r, FieldBirthday) + '|' + field(r, FieldDm),
                  QString::fromUtf8(cases[r].second));
    EXPECT_EQ(cell(4, Col::ColReason), QStringLiteral("誕生日「1980/2/30」は日付として読めません"));
    EXPECT_EQ(cell(5, Col::ColReason), QStringLiteral("DM「たぶん」は「送る」か「送らない」にしてください"));
    runImport({}, {});
    EXPECT_EQ(
        column(QStringLiteral("Tb_顧客補足"),
               QStringLiteral("Fi_キー||':'||Fi_誕生年||'/'||Fi_誕生月||'/'||Fi_誕生日||'|'||Fi_DM不要")),
        QStringLiteral("1:1980/4/15|0,2:1980/4/16|1,3:0/4/17|0,4:0/0/0|1"));

    // The list's CSV writes them as the preview showed them.
    CloseAllScreens();
    search();
    dialogs->expectFile(ShownBox::Kind::SaveFile, QStringLiteral("CSV出力"), AppFile("Data/出力.csv"), 1);
    dialogs->expect(ShownBox::Kind::Information, QStringLiteral("CSV出力"), {});
    Click(cmd(6));
    QFile out(AppFile("Data/出力.csv"));
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    QStringList written;
    for (const QString& line : QString::fromUtf8(out.readAll()).split("\r\n", Qt::SkipEmptyParts))
        written << line.section(',', 0, 0) + '|' + line.section(',', 11);
    EXPECT_EQ(written, (QStringList{"名前|誕生日,DM", "甲|1980/04/15,送る", "乙|1980/04/16,送らない",
                                    "丙|04/17,送る", "丁|,送らない"}));
}

TEST_F(ImportTest, DuplicatesAreSkippedUnlessTickedAndErrorsAreNeverStored)
{
    addCustomer(QStringLiteral("山田太郎"), QStringLiteral("ﾔﾏﾀﾞﾀﾛｳ"), 13, QStringLiteral("03-1111-2222"));
    const QString long21 = QStringLiteral("一二三四五六七八九十一二三四五六七八九十超");
    const QString csv = QStringLiteral("名前\tフリガナ\t電話番号\t郵便番号\t都道府県\t住所\t備考\n"
                                       "山田　太郎\tﾔﾏﾀﾞﾀﾛｳ\t0311112222\t100-0001\t東京都\t千代田区1\t\n"
                                       "田中\tﾀﾅｶ\t\t100-0001\t東京都\t千代田区2\t\n"
                                       "田中\tﾀﾅｶ\t\t1000001\t東京都\t千代田区3\t\n"
                                       "\tﾅﾅｼ\t\t100-0001\t東京都\t千代田区4\t\n"
                                       "長井\tﾅｶﾞｲ\t\t100-0001\t東京都\t千代田区5\t") +
                        long21 + QStringLiteral("\n");
    openImport();
    choose(file(QStringLiteral("tab.txt"), csv.toUtf8()));
    EXPECT_EQ(cells(Col::ColStatus), (QStringList{"重複", "取込", "重複", "エラー", "エラー"}));
    EXPECT_EQ(cell(0, Col::ColReason), QStringLiteral("登録済みの「山田太郎」と名前・電話番号が同じ"));
    EXPECT_EQ(cell(2, Col::ColReason), QStringLiteral("3 行目と名前・郵便番号が同じ"));
    EXPECT_EQ(cell(3, Col::ColReason), QStringLiteral("名前がありません"));
    EXPECT_EQ(cell(4, Col::ColReason), QStringLiteral("長すぎます: 備考（21 文字、上限 20）"));
    EXPECT_EQ((std::vector<bool>{ticked(0), ticked(1), ticked(2), ticked(3), ticked(4)}),
              (std::vector<bool>{false, true, false, false, false}));

    // The user ticks the first duplicate with the space key, and cuts the long remark.
    preview()->setFocus();
    preview()->setCurrentIndex(model()->index(0, Col::ColTick));
    QTest::keyClick(preview(), Qt::Key_Space);
    EXPECT_TRUE(ticked(0));
    QCheckBox* cut = child<QCheckBox>(QStringLiteral("Check1"));
    ASSERT_TRUE(cut->isEnabled());
    QTest::mouseClick(cut, Qt::LeftButton, {}, QPoint(8, cut->height() / 2));
    EXPECT_EQ(cell(4, Col::ColStatus), QStringLiteral("取込"));
    EXPECT_EQ(field(4, 10), long21.left(20));

    runImport(QStringLiteral("3 件の顧客を登録します（取り込まない行 2 "
                             "件）。\n先にデータのバックアップを行います。よろしいですか"),
              QStringLiteral("3 件の顧客を登録しました。\n取り込まなかった行: 2 件"));
    EXPECT_EQ(stored(), QStringLiteral("山田太郎,山田　太郎,田中,長井"));
    EXPECT_EQ(stored(QStringLiteral("Fi_備考")), QStringLiteral(",,,") + long21.left(20));
}

// A reading is stored only as kana: the dictionary's suggestion is marked, the file's own is
// cleaned of variation selectors, and a row without a usable reading waits for one.
TEST_F(ImportTest, ReadingsAreCheckedAndNeverStoredEmpty)
{
    if (!DictionaryAvailable())
        GTEST_SKIP() << "MeCab with the IPA dictionary is not installed";
    openImport();
    choose(file(QStringLiteral("n.csv"),
                QByteArray("\xEF\xBB\xBF") +
                    QStringLiteral("お名前,フリガナ,郵便番号,都道府県,住所,メール\n"
                                   "田中一郎,,100-0001,東京都,千代田区1,ｔａｎａｋａ＠example.jp\n"
                                   "辻\U000E0100本,ﾂｼﾞ\U000E0100ﾎﾝ,100-0001,東京都,千代田区2,\n"
                                   "山田,山田,100-0001,東京都,千代田区3,\n"
                                   "★★,,100-0001,東京都,千代田区4,\n")
                        .toUtf8()));
    EXPECT_EQ(cells(Col::ColStatus), (QStringList{"読み要確認", "取込", "読み要確認", "読み要確認"}));
    EXPECT_EQ(cells(Col::ColReason),
              (QStringList{"フリガナは辞書の読みです", "", "フリガナにかな以外の文字があります",
                           "フリガナがありません"}));
    EXPECT_EQ(field(0, 1), DictionaryReading(QStringLiteral("田中一郎")));
    EXPECT_FALSE(field(0, 1).isEmpty());
    EXPECT_EQ(field(1, 1), QStringLiteral("ﾂｼﾞﾎﾝ"));
    EXPECT_EQ(field(0, 9), QStringLiteral("tanaka@example.jp"));
    EXPECT_EQ((std::vector<bool>{ticked(0), ticked(1), ticked(2), ticked(3)}),
              (std::vector<bool>{true, true, false, false}));
    EXPECT_FALSE(model()->flags(model()->index(3, Col::ColTick)) & Qt::ItemIsUserCheckable);

    // Corrected in the grid: F2, the reading typed in hiragana, Enter.
    preview()->setFocus();
    preview()->setCurrentIndex(model()->index(0, Col::ColFirstField + 1));
    QTest::keyClick(preview(), Qt::Key_F2);
    auto* editor = preview()->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    TypeKeys(editor, QStringLiteral("たなかいちろう"));
    QTest::keyClick(editor, Qt::Key_Return);
    // The view takes the edit when it handles the key's queued commit.
    QCoreApplication::processEvents();
    EXPECT_EQ(cell(0, Col::ColStatus), QStringLiteral("取込"));
    runImport(QStringLiteral("2 件の顧客を登録します（取り込まない行 2 "
                             "件）。\n先にデータのバックアップを行います。よろしいですか"),
              QStringLiteral("2 件の顧客を登録しました。\n取り込まなかった行: 2 件"));
    EXPECT_EQ(stored(QStringLiteral("Fi_名前フリガナ")), QStringLiteral("ﾀﾅｶｲﾁﾛｳ,ﾂｼﾞﾎﾝ"));
}

// What registration requires is required here too; the file's prefecture column wins over the
// address; one column of the file cannot fill two fields.
TEST_F(ImportTest, RowsLackingWhatRegistrationRequiresAreMarked)
{
    openImport();
    choose(
        file(QStringLiteral("r.csv"), QStringLiteral("名前,フリガナ,郵便番号,都道府県,住所,メール\n"
                                                     "A,ｱ,,東京都,千代田区1-1,a@example.jp\n"
                                                     "B,ｲ,100-0001,東京都,,b@example.jp\n"
                                                     "C,ｳ,100-0001,,千代田区1-1,c@example.jp\n"
                                                     "D,ｴ,530-0001,大阪府,東京都港区1-1,d@example.jp\n"
                                                     "E,ｵ,530-0001,大阪府,大阪府大阪市北区1-1,e@example.jp\n")
                                          .toUtf8()));
    struct Row
    {
        const char* status;
        const char* reason;
        const char* prefecture;
        const char* city;
    };
    const Row rows[] = {
        {"エラー", "郵便番号がありません", "東京都", "千代田区1-1"},
        {"エラー", "住所（市区町村・番地）がありません", "東京都", ""},
        {"都道府県要確認", "都道府県がないため東京都としました", "東京都", "千代田区1-1"},
        {"都道府県要確認", "住所は東京都で始まります", "大阪府", "東京都港区1-1"},
        {"取込", "", "大阪府", "大阪市北区1-1"},
    };
    ASSERT_EQ(model()->rowCount(), 5);
    for (int r = 0; r < 5; ++r) {
        SCOPED_TRACE(r);
        EXPECT_EQ(cell(r, Col::ColStatus), QString::fromUtf8(rows[r].status));
        EXPECT_EQ(cell(r, Col::ColReason), QString::fromUtf8(rows[r].reason));
        EXPECT_EQ(field(r, 3), QString::fromUtf8(rows[r].prefecture));
        EXPECT_EQ(field(r, 4), QString::fromUtf8(rows[r].city));
    }

    // The mail column chosen for the address is refused: the address stays as it was.
    QComboBox* city = selector(4);
    city->setFocus();
    city->setCurrentIndex(6);
    emit city->activated(6);
    EXPECT_EQ(
        message(),
        QStringLiteral("6 列目は「メールアドレス」に選ばれています。一つの列は一つの欄にだけ取り込めます"));
    EXPECT_EQ(city->currentText(), QStringLiteral("5: 住所"));
    EXPECT_EQ(field(4, 4), QStringLiteral("大阪市北区1-1"));
}

TEST_F(ImportTest, AnAddressInOneColumnSplitsAfterTheHouseNumber)
{
    struct Case
    {
        const char* address;
        const char* city;
        const char* building;
        const char* status;
    };
    const Case cases[] = {
        {"神奈川県横浜市西区みなとみらい2-2-1 ランドマークレジデンス3205", "横浜市西区みなとみらい2-2-1",
         "ランドマークレジデンス3205", "取込"},
        {"東京都港区六本木6-10-1六本木ヒルズレジデンスB棟2204", "港区六本木6-10-1",
         "六本木ヒルズレジデンスB棟2204", "取込"},
        {"大阪府大阪市北区梅田1丁目2番3号 梅田ビル5F", "大阪市北区梅田1丁目2番3号", "梅田ビル5F", "取込"},
        {"北海道札幌市中央区北1条西2丁目1-1", "札幌市中央区北1条西2丁目1-1", "", "取込"},
        {"東京都千代田区二番町5-6 二番町ハウス", "千代田区二番町5-6", "二番町ハウス", "取込"},
        {"沖縄県那覇市字安里123番地の4 コーポ安里101", "那覇市字安里123番地の4", "コーポ安里101", "取込"},
        {"京都府京都市中京区烏丸通三条上る場之町602", "京都市中京区烏丸通三条上る場之町602", "", "取込"},
        {"静岡県浜松市中区元城町東海道新幹線高架下商店街組合事務所",
         "浜松市中区元城町東海道新幹線高架下商店街組合事務所", "", "エラー"},
    };
    QByteArray csv = "名前,フリガナ,郵便番号,住所\n";
    for (const Case& c : cases)
        csv += "顧客" + QByteArray::number(&c - cases) + ",ｺｷｬｸ,100-0001," + c.address + "\n";
    openImport();
    choose(file(QStringLiteral("a.csv"), csv));
    ASSERT_EQ(model()->rowCount(), int(std::size(cases)));
    for (int r = 0; r < model()->rowCount(); ++r) {
        SCOPED_TRACE(cases[r].address);
        EXPECT_EQ(field(r, 4), QString::fromUtf8(cases[r].city));
        EXPECT_EQ(field(r, 5), QString::fromUtf8(cases[r].building));
        EXPECT_EQ(cell(r, Col::ColStatus), QString::fromUtf8(cases[r].status));
    }
    EXPECT_EQ(cell(7, Col::ColReason), QStringLiteral("長すぎます: 市区町村・番地（25 文字、上限 20）"));
}

// English headings, under a title line, with a heading that appears more than once.
TEST_F(ImportTest, HeadingsAreFoundInEnglishOnALaterLineAndTwiceOver)
{
    openImport();
    dialogs->expectFile(ShownBox::Kind::OpenFile, kOpenTitle,
                        file(QStringLiteral("web.csv"),
                             "Address book 2025\n"
                             "\n"
                             "Name,Phonetic,Zip Code,State,Address,Phone,Phone,Phone,E-mail Address,Notes\n"
                             "山田太郎,ﾔﾏﾀﾞ ﾀﾛｳ,100-0001,東京都,千代田区1-1,03-1111-2222,090-1111-2222,"
                             "03-9999-9999,taro@example.jp,常連\n"));
    dialogs->expect(
        ShownBox::Kind::Information, kCaption,
        QStringLiteral("「Phone」の列がもう一つあります（8 列目）。取り込むときは欄を選んでください"));
    Click(cmd(0));
    QComboBox* headingRow = child<QComboBox>(QStringLiteral("Combo1"));
    EXPECT_EQ(headingRow->currentText(),
              QStringLiteral("3 行目: Name、Phonetic、Zip Code、State、Address、Phone、Phone、Phone"));
    QStringList chosen;
    for (int f = 0; f < 11; ++f)
        chosen << selector(f)->currentText();
    EXPECT_EQ(chosen,
              (QStringList{"1: Name", "2: Phonetic", "3: Zip Code", "4: State", "5: Address", "（なし）",
                           "6: Phone", "7: Phone", "（なし）", "9: E-mail Address", "10: Notes"}));
    EXPECT_EQ(shown(), QStringList{"取込|山田太郎|ﾔﾏﾀﾞ ﾀﾛｳ|東京都|千代田区1-1|"});

    // The user says the headings are on the first line: nothing there names a field.
    headingRow->setFocus();
    headingRow->setCurrentIndex(0);
    emit headingRow->activated(0);
    EXPECT_EQ(selector(0)->currentText(), QStringLiteral("（なし）"));
    EXPECT_EQ(message(), QStringLiteral("名前の列が見つかりません。「名前」で名前の列を選んでください"));
    EXPECT_EQ(model()->rowCount(), 2);
    headingRow->setCurrentIndex(1);
    emit headingRow->activated(1);
    EXPECT_EQ(selector(0)->currentText(), QStringLiteral("1: Name"));
    EXPECT_EQ(model()->rowCount(), 1);
    EXPECT_TRUE(message().isEmpty());
}

// Files whose encoding is not what their start says, with blank lines between the customers.
TEST_F(ImportTest, EncodingsTheFileDoesNotDeclareAreReadAndSaid)
{
    const QString text = QStringLiteral("名前,フリガナ,郵便番号,都道府県,住所\r\n\r\n"
                                        "髙橋花子,ﾀｶﾊｼﾊﾅｺ,100-0001,東京都,千代田区1-1\r\n,,,,\r\n"
                                        "山田太郎,ﾔﾏﾀﾞﾀﾛｳ,100-0001,東京都,千代田区1-2\r\n\r\n");
    const auto utf16 = [&](QStringConverter::Encoding encoding) {
        return QByteArray(QStringEncoder(encoding, QStringConverter::Flag::Stateless).encode(text));
    };
    struct Case
    {
        const char* name;
        QByteArray bytes;
        const char* kind;
        const char* notice;
    };
    const Case cases[] = {
        {"bom-sjis.csv", QByteArray("\xEF\xBB\xBF") + EncodeCp932(text), "CSV（Shift_JIS・カンマ区切り）",
         "先頭に UTF-8 の印（BOM）がありますが、中身は Shift_JIS でした。Shift_JIS として読み込みました。"},
        {"le.csv", utf16(QStringConverter::Utf16LE), "CSV（UTF-16・カンマ区切り）",
         "文字コードの印（BOM）がありませんが、UTF-16 のファイルとして読み込みました。"},
        {"be.csv", utf16(QStringConverter::Utf16BE), "CSV（UTF-16・カンマ区切り）",
         "文字コードの印（BOM）がありませんが、UTF-16 のファイルとして読み込みました。"},
    };
    openImport();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        choose(file(QString::fromUtf8(c.name), c.bytes),
               [&] { dialogs->expect(ShownBox::Kind::Information, kCaption, QString::fromUtf8(c.notice)); });
        EXPECT_TRUE(dat(0)->text().endsWith(QString::fromUtf8(c.kind))) << dat(0)->text().toStdString();
        EXPECT_EQ(shown(), (QStringList{"取込|髙橋花子|ﾀｶﾊｼﾊﾅｺ|東京都|千代田区1-1|",
                                        "取込|山田太郎|ﾔﾏﾀﾞﾀﾛｳ|東京都|千代田区1-2|"}));
    }
}

TEST_F(ImportTest, BadFilesAreRefusedWithAReasonAndStoreNothing)
{
    QByteArray binary(4096, '\0');
    binary[0] = 'x';
    struct Case
    {
        const char* name;
        QByteArray bytes;
        const char* message;
    };
    const Case cases[] = {
        {"empty.csv", QByteArray(), "ファイルが空です。"},
        {"bom.csv", QByteArray("\xEF\xBB\xBF\r\n"), "ファイルが空です。"},
        {"blank.csv", QByteArray(",,,\r\n\r\n ,　\r\n"), "ファイルが空です。"},
        {"binary.csv", binary, "テキストのファイルではありません（バイナリファイルです）。"},
        {"quote.csv", QByteArray("名前,備考\nA,\"ok\"\nB,\"open\nC,x\n"),
         "3 行目で始まる「\"」で囲まれた項目が閉じられていません。"},
        {"old.xls", QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(100, 'x'),
         "古い Excel 形式（.xls）のブックは読めません。"},
        {"broken.xlsx", QByteArray("PK\x03\x04", 4) + QByteArray(100, 'x'),
         "Excel のブック（.xlsx）として読めないファイルです。"},
        // A heading line of 10 MB and 5.2 million columns; a name of 10 MB; a cell over a
        // spreadsheet's own limit; more rows than the import takes.
        {"wide.csv", QByteArray("a,").repeated(5'200'000), "1 行目の列が多すぎます（256 列まで）。"},
        {"longname.csv", "名前,フリガナ\n" + QByteArray("あ").repeated(3'500'000),
         "2 行目が長すぎます（1 行 1 MB まで）。"},
        {"longcell.csv", "名前,備考\nA," + QByteArray("x").repeated(40'000),
         "2 行目 2 列目の項目が長すぎます（32,767 文字まで）。"},
        {"rows.csv", "名前\n" + QByteArray("a\n").repeated(100'000),
         "行が多すぎます（取り込めるのは 100,000 行までです）。"},
    };
    openImport();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        choose(file(QString::fromUtf8(c.name), c.bytes),
               [&] { dialogs->expect(ShownBox::Kind::Failure, kCaption, {}); });
        ASSERT_FALSE(dialogs->shown().empty());
        EXPECT_TRUE(dialogs->shown().back().text.startsWith(QString::fromUtf8(c.message)))
            << dialogs->shown().back().text.toStdString();
        EXPECT_EQ(model()->rowCount(), 0);
        EXPECT_FALSE(cmd(1)->isEnabled());
    }

    // Workbooks that claim or unpack to more than any sheet of customers, or put a value where
    // no sheet can hold one.
    const QString tooLarge = QStringLiteral("ファイルが大きすぎるため、読み込めません。\n");
    struct Book
    {
        QStringList made;
        QString message;
    };
    const Book books[] = {
        {{"claimed"}, tooLarge + "ブックの部品 xl/worksheets/sheet1.xml が 128 MB を超えます。"},
        {{"bomb", "130"}, tooLarge + "ブックの部品 xl/worksheets/sheet1.xml が 128 MB を超えます。"},
        {{"comment", "10"}, "ブックの部品 xl/worksheets/sheet1.xml に 4 MB を超える一続きの部分があります。"},
        {{"strings", "4000001"}, "ブックの文字列が多すぎます（4,000,000 個まで）。"},
        {{"valued", "XFD2"}, "2 行目の 16384 列目（XFD2）に値があります。取り込めるのは 256 列までです。"},
        {{"valued", "XFE2"}, "ブックのシートに誤りがあります（セル番地「XFE2」）。"},
        {{"valued", "A1"}, "ブックのシートに誤りがあります（セル番地「A1」）。"},
    };
    for (const Book& b : books) {
        SCOPED_TRACE(b.made.join(' ').toStdString());
        const QString path = workbook(b.made.join('-') + QStringLiteral(".xlsx"), b.made);
        choose(path, [&] {
            dialogs->expect(ShownBox::Kind::Failure, kCaption,
                            b.message + "\n" + QDir::toNativeSeparators(path));
        });
        EXPECT_EQ(model()->rowCount(), 0);
    }

    // A workbook whose workbook part lists no sheet.
    const QString noSheet = appPath() + QStringLiteral("/Data/nosheet.xlsx");
    ASSERT_EQ(QProcess::execute(QStringLiteral("python3"),
                                {"-c",
                                 "import sys, zipfile\n"
                                 "z = zipfile.ZipFile(sys.argv[1], 'w')\n"
                                 "z.writestr('[Content_Types].xml', '<Types/>')\n"
                                 "z.writestr('xl/workbook.xml', '<workbook><sheets/></workbook>')\n"
                                 "z.writestr('xl/_rels/workbook.xml.rels', '<Relationships/>')\n",
                                 noSheet}),
              0);
    choose(noSheet, [&] {
        dialogs->expect(ShownBox::Kind::Failure, kCaption,
                        QStringLiteral("ブックにワークシートがありません。\n") +
                            QDir::toNativeSeparators(noSheet));
    });

    // 100 MB of garbage is refused by its size, before it is read.
    const QString big = appPath() + QStringLiteral("/Data/big.csv");
    QFile f(big);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_TRUE(f.resize(100LL * 1024 * 1024));
    f.close();
    choose(big, [&] {
        dialogs->expect(ShownBox::Kind::Failure, kCaption,
                        QStringLiteral("ファイルが大きすぎます。取り込めるのは 32 MB までです。\n") +
                            QDir::toNativeSeparators(big));
    });

    // A file without a name column: the message says so and nothing can be stored until a
    // column is chosen for the name.
    choose(file(QStringLiteral("noname.csv"), QByteArray("Kunde,PLZ,Adresse\nMeier,100-0001,千代田区1\n")));
    EXPECT_EQ(message(), QStringLiteral("名前の列が見つかりません。「名前」で名前の列を選んでください"));
    EXPECT_FALSE(cmd(1)->isEnabled());
    QComboBox* nameColumn = selector(0);
    nameColumn->setFocus();
    QTest::keyClick(nameColumn, Qt::Key_Down);
    EXPECT_EQ(nameColumn->currentText(), QStringLiteral("1: Kunde"));
    EXPECT_EQ(field(0, 0), QStringLiteral("Meier"));
    EXPECT_TRUE(message().isEmpty());
    EXPECT_EQ(rowCount(QStringLiteral("Tb_顧客")), 0);
}

// Empty formatted cells reach to the sheet's last column (XFD) in many workbooks: they add nothing.
TEST_F(ImportTest, EmptyFormattedCellsOfAWorkbookAddNoColumns)
{
    openImport();
    const QString path = workbook(QStringLiteral("styled.xlsx"), {"styled", "1000"});
    choose(path);
    EXPECT_TRUE(dat(0)->text().endsWith(QStringLiteral("Excel ブック（シート「顧客」）")));
    EXPECT_EQ(selector(0)->count(), 5);
    EXPECT_EQ(model()->rowCount(), 999);
    EXPECT_EQ(shown().front(), QStringLiteral("取込|顧客1|ｺｷｬｸ|東京都|千代田区千代田2-1|"));
}

TEST_F(ImportTest, AFailureWhileStoringStoresNone)
{
    execute(QStringLiteral("create trigger refuse before insert on Tb_顧客 when new.Fi_名前 = 'C' "
                           "begin select raise(abort, 'refused'); end"));
    openImport();
    choose(file(QStringLiteral("abc.csv"),
                QByteArray("名前,フリガナ,郵便番号,都道府県,住所\nA,ｱ,100-0001,東京都,千代田区\n"
                           "B,ｲ,100-0001,東京都,千代田区\nC,ｳ,100-0001,東京都,千代田区\n")));
    dialogs->expectQuestion({}, DialogService::Answer::Yes);
    dialogs->expect(ShownBox::Kind::Information, QStringLiteral("バックアップ完了"), {});
    dialogs->expect(ShownBox::Kind::Failure, kCaption, {});
    Click(cmd(1));
    EXPECT_EQ(rowCount(QStringLiteral("Tb_顧客")), 0);
    EXPECT_EQ(message(), QStringLiteral("取込を中止しました。何も登録していません"));
    EXPECT_EQ(model()->rowCount(), 3);
}

TEST_F(ImportTest, ClosingReturnsToRegistrationAndAsksWhileRowsWaitToBeStored)
{
    openImport();
    choose(file(QStringLiteral("a.csv"), Customers(1)));
    dialogs->expectQuestion(kUnstored, DialogService::Answer::No);
    Click(cmd(2));
    EXPECT_NE(visibleScreen(QStringLiteral("Frm025_Qel")), nullptr);
    dialogs->expectQuestion(kUnstored, DialogService::Answer::Yes);
    Click(cmd(2));
    EXPECT_NE(visibleScreen(QStringLiteral("Frm020_Qel")), nullptr);
    EXPECT_EQ(rowCount(QStringLiteral("Tb_顧客")), 0);
}

// The largest file the import takes: its reading shows its progress, 閉じる asks (the preview of
// the file read before would be lost), 中止 stops it and keeps that preview, and once read its
// six-digit counts fit their line.
TEST_F(ImportTest, ReadingALargeFileShowsProgressAndCanBeStoppedOrClosed)
{
    openImport();
    choose(file(QStringLiteral("small.csv"), Customers(2)));
    const QString large = file(QStringLiteral("large.csv"), Customers(99'999));
    QString progress;
    dialogs->onShown = [&](const ShownBox&) { progress = message(); };
    PostClick(cmd(2));
    PostClick(cmd(3));
    choose(large, [&] { dialogs->expectQuestion(kUnstored, DialogService::Answer::No); });
    EXPECT_TRUE(progress.startsWith(QStringLiteral("読込中　"))) << progress.toStdString();
    EXPECT_TRUE(progress.endsWith(QLatin1Char('%'))) << progress.toStdString();
    EXPECT_EQ(message(), QStringLiteral("読込を中止しました"));
    EXPECT_EQ(model()->rowCount(), 2);
    EXPECT_FALSE(cmd(3)->isEnabled());

    choose(large);
    EXPECT_EQ(model()->rowCount(), 99'999);
    QLabel* counts = dat(1);
    EXPECT_EQ(counts->text(),
              QStringLiteral("全 99999 行　取込 99999 件　重複 0 件　エラー 0 件　読み要確認 0 件"));
    counts->setText(QStringLiteral(
        "全 100000 行　取込 100000 件　重複 100000 件　エラー 100000 件　読み要確認 100000 件　"
        "都道府県要確認 100000 件"));
    EXPECT_LE(counts->sizeHint().width(), counts->width());

    // The same file again, 閉じる answered: the screen closes once the reading has stopped.
    PostClick(cmd(2));
    choose(large, [&] { dialogs->expectQuestion(kUnstored, DialogService::Answer::Yes); });
    EXPECT_NE(visibleScreen(QStringLiteral("Frm020_Qel")), nullptr);
}

// 取込実行, はい, then 閉じる while the backup runs: the backup ends whole, nothing is stored, and
// the screen closes without a fault.
TEST_F(ImportTest, ClosingWhileTheBackupRunsStopsBeforeStoring)
{
    openImport();
    choose(file(QStringLiteral("a.csv"), Customers(3)));
    bool posted = false;
    waits->during = [&] {
        if (!std::exchange(posted, true))
            PostClick(cmd(2));
    };
    dialogs->expectQuestion({}, DialogService::Answer::Yes);
    dialogs->expectQuestion(QStringLiteral("取込を中止して画面を閉じますか\n顧客は登録しません"),
                            DialogService::Answer::Yes);
    dialogs->expect(ShownBox::Kind::Information, QStringLiteral("バックアップ完了"), {});
    Click(cmd(1));
    waits->during = {};
    EXPECT_NE(visibleScreen(QStringLiteral("Frm020_Qel")), nullptr);
    EXPECT_EQ(rowCount(QStringLiteral("Tb_顧客")), 0);
    EXPECT_EQ(QDir(appPath() + "/Back").entryList(QDir::Files).size(), 1);
}

TEST_F(ImportTest, TheScreenGrowsWithItsWindow)
{
    openImport();
    choose(file(QStringLiteral("a.csv"), Customers(40)));
    QWidget* window = screen();
    const QSize designed = window->size();
    const QRect grid = preview()->geometry();
    const QPoint close = cmd(2)->pos();
    window->resize(designed + QSize(300, 400));
    EXPECT_EQ(window->size(), designed + QSize(300, 400));
    EXPECT_EQ(preview()->geometry(), grid.adjusted(0, 0, 300, 400));
    EXPECT_EQ(cmd(2)->pos(), close + QPoint(300, 400));
    EXPECT_TRUE(window->rect().contains(ttl(11)->geometry()));
    window->resize(designed - QSize(100, 100));
    EXPECT_EQ(window->size(), designed);
    EXPECT_EQ(preview()->geometry(), grid);
}

// A customer list exported as CSV holds no formula a spreadsheet would run, and imports back to
// the same customers.
TEST_F(ImportTest, AnExportedListCarriesNoFormulaAndImportsBackTheSame)
{
    const QStringList names = {"=HYPERLINK(\"x\",\"c\")", "=1+1", "-1", "+81 3", "@SUM(1)", "'quoted"};
    for (const QString& name : names)
        addCustomer(name, QStringLiteral("ｱ"), 13, {}, QStringLiteral("=2+2"));
    search();
    const QString exported = appPath() + QStringLiteral("/Data/顧客一覧.csv");
    dialogs->expectFile(ShownBox::Kind::SaveFile, QStringLiteral("CSV出力"), exported, 1);
    dialogs->expect(ShownBox::Kind::Information, QStringLiteral("CSV出力"), {});
    Click(cmd(6));
    QFile written(exported);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.readAll().contains("\"'=HYPERLINK(\"\"x\"\",\"\"c\"\")\""));

    // LibreOffice with its default options reads what the user typed, as text (it shows the
    // apostrophe; a spreadsheet of the other kind hides it), never a formula's result.
    ASSERT_TRUE(LibreOfficeInstalled()) << "scripts/setup installs LibreOffice Calc";
    const std::vector<QStringList> read = LibreOfficeCells(exported, 76, 11, false);
    ASSERT_EQ(read.size(), std::size_t(names.size() + 1));
    QStringList shownNames, shownRemarks;
    for (std::size_t r = 1; r < read.size(); ++r) {
        shownNames << read[r].at(0);
        shownRemarks << read[r].at(10);
    }
    for (const QString& name : names)
        EXPECT_TRUE(shownNames.contains(name) || shownNames.contains(QLatin1Char('\'') + name))
            << name.toStdString();
    EXPECT_TRUE(shownRemarks.contains(QStringLiteral("=2+2")) ||
                shownRemarks.contains(QStringLiteral("'=2+2")));
    // Unguarded, the same reading runs the formula: the check above can tell.
    file(QStringLiteral("raw.csv"), "a\r\n=1+1\r\n");
    EXPECT_EQ(LibreOfficeCells(appPath() + QStringLiteral("/Data/raw.csv"), 76, 1, false).at(1).at(0),
              QStringLiteral("2"));

    openImport();
    choose(exported);
    QStringList imported = cells(Col::ColFirstField);
    std::sort(imported.begin(), imported.end());
    QStringList expected = names;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(imported, expected);
    EXPECT_EQ(cells(Col::ColFirstField + 10), QStringList(names.size(), QStringLiteral("=2+2")));
    EXPECT_EQ(cells(Col::ColStatus), QStringList(names.size(), QStringLiteral("重複")));
}

// The spreadsheet a shop keeps, saved by LibreOffice as CSV in Shift_JIS and as .xlsx: both read
// to the same rows.
TEST_F(ImportTest, FilesSavedByLibreOfficeReadAsTheSpreadsheetShowsThem)
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    ASSERT_FALSE(soffice.isEmpty()) << "scripts/setup installs LibreOffice Calc";
    const QString dir = appPath() + QStringLiteral("/Data");
    file(QStringLiteral("shop.csv"),
         QStringLiteral("氏名,フリガナ,郵便番号,住所,電話番号,備考\n"
                        "山田太郎,ヤマダタロウ,100-0001,東京都千代田区千代田1-1,03-1111-2222,\"常連, 毎月\"\n"
                        "髙橋 花子,タカハシ ハナコ,530-0001,大阪府大阪市北区梅田,06-1111-2222,～特価～\n")
             .toUtf8());
    QProcess convert;
    const QString profile =
        QStringLiteral("-env:UserInstallation=file://") + appPath() + QStringLiteral("/lo");
    // First into a spreadsheet (every column text), then that spreadsheet to both files.
    convert.start(soffice, {profile, "--headless", "--infilter=CSV:44,34,76,1,1/2/2/2/3/2/4/2/5/2/6/2",
                            "--convert-to", "ods", "--outdir", dir, dir + "/shop.csv"});
    ASSERT_TRUE(convert.waitForFinished(120000));
    QDir(dir).rename(QStringLiteral("shop.csv"), QStringLiteral("source.csv"));
    convert.start(soffice,
                  {profile, "--headless", "--convert-to", "xlsx", "--outdir", dir, dir + "/shop.ods"});
    ASSERT_TRUE(convert.waitForFinished(120000));
    convert.start(soffice, {profile, "--headless", "--convert-to", "csv:Text - txt - csv (StarCalc):44,34,64",
                            "--outdir", dir, dir + "/shop.ods"});
    ASSERT_TRUE(convert.waitForFinished(120000));
    ASSERT_TRUE(QFile::exists(dir + "/shop.xlsx"));
    ASSERT_TRUE(QFile::exists(dir + "/shop.csv"));

    openImport();
    for (const QString& name : {QStringLiteral("shop.csv"), QStringLiteral("shop.xlsx")}) {
        SCOPED_TRACE(name.toStdString());
        choose(dir + QLatin1Char('/') + name);
        EXPECT_EQ(shown(), (QStringList{"取込|山田太郎|ﾔﾏﾀﾞﾀﾛｳ|東京都|千代田区千代田1-1|",
                                        "取込|髙橋 花子|ﾀｶﾊｼ ﾊﾅｺ|大阪府|大阪市北区梅田|"}));
        EXPECT_EQ(field(0, 10), QStringLiteral("常連, 毎月"));
        EXPECT_EQ(field(1, 10), QStringLiteral("～特価～"));
        EXPECT_EQ(field(1, 6), QStringLiteral("06-1111-2222"));
    }
    EXPECT_TRUE(dat(0)->text().endsWith(QStringLiteral("Excel ブック（シート「shop」）")));
}

} // namespace
