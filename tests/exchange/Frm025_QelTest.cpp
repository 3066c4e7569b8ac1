#include "customers/CustomerScreenTest.h"

#include "core/Cp932.h"
#include "core/Globals.h"
#include "core/ReadingDictionary.h"
#include "exchange/ImportPreviewModel.h"

#include <QAbstractItemModel>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

namespace {

using Col = ImportPreviewModel::Column;

const QString kOpenTitle = QStringLiteral("取り込むファイルの選択");

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
        return column(QStringLiteral("Tb_顧客"), fields);
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
    EXPECT_EQ(child<QComboBox>(QStringLiteral("Combo_Fld_4"))->currentText(), QStringLiteral("4: 住所"));
    EXPECT_EQ(child<QComboBox>(QStringLiteral("Combo_Fld_5"))->currentText(), QStringLiteral("（なし）"));
    // A leading prefecture goes to the prefecture, what the city field cannot take to the
    // building; a row without one takes the preselected prefecture; readings in half width.
    EXPECT_EQ(shown(), (QStringList{
                           "取込|山田 太郎|ﾔﾏﾀﾞ ﾀﾛｳ|東京都|千代田区千代田１－１|",
                           "取込|佐藤花子|ｻﾄｳﾊﾅｺ|大阪府|大阪市北区梅田一丁目二番三号グランドビル|南館",
                           "取込|鈴木一郎|ｽｽﾞｷｲﾁﾛｳ|東京都|札幌市中央区北一条西|",
                       }));
    EXPECT_EQ(field(0, 2), QStringLiteral("100-0001"));
    EXPECT_EQ(dat(1)->text(), QStringLiteral("全 3 行　取込 3 件　重複 0 件　エラー 0 件　読み要確認 0 件"));

    runImport(QStringLiteral("3 件の顧客を登録します（取り込まない行 0 "
                             "件）。\n先にデータのバックアップを行います。よろしいですか"),
              QStringLiteral("3 件の顧客を登録しました。\n取り込まなかった行: 0 件"));
    EXPECT_EQ(waits->waits, (std::vector<int>{500, 500, 500}));
    EXPECT_EQ(QDir(appPath() + "/Back").entryList(QDir::Files).size(), 1);
    EXPECT_EQ(stored(QStringLiteral("Fi_キー")), QStringLiteral("1,2,3,4"));
    EXPECT_EQ(stored(), QStringLiteral("既存,山田 太郎,佐藤花子,鈴木一郎"));
    EXPECT_EQ(stored(QStringLiteral("Fi_都道府県番号")), QStringLiteral("13,13,27,13"));
    EXPECT_EQ(column(QStringLiteral("Tb_顧客"), QStringLiteral("Fi_備考"), QStringLiteral("Fi_キー = 2")),
              QStringLiteral("特価, \"常連\""));
    EXPECT_EQ(column(QStringLiteral("Tb_顧客"), QStringLiteral("Fi_備考"), QStringLiteral("Fi_キー = 4")),
              QStringLiteral("二行の メモ"));
    EXPECT_EQ(column(QStringLiteral("Tb_顧客"), QStringLiteral("Fi_最終更新年||Fi_最終更新月||Fi_最終更新日"),
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
    QString csv = QStringLiteral("名前,生年月日,DM送付,フリガナ,住所\r\n");
    for (const auto& [row, shown] : cases)
        csv += QString::fromUtf8(row) + QStringLiteral(",ｶﾅ,千代田区\r\n");
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
    const QString csv = QStringLiteral("名前\tフリガナ\t電話番号\t郵便番号\t備考\n"
                                       "山田　太郎\tﾔﾏﾀﾞﾀﾛｳ\t0311112222\t\t\n"
                                       "田中\tﾀﾅｶ\t\t100-0001\t\n"
                                       "田中\tﾀﾅｶ\t\t1000001\t\n"
                                       "\tﾅﾅｼ\t\t\t\n"
                                       "長井\tﾅｶﾞｲ\t\t\t") +
                        long21 + QStringLiteral("\n");
    openImport();
    choose(file(QStringLiteral("tab.txt"), csv.toUtf8()));
    const QStringList statuses = {cell(0, Col::ColStatus), cell(1, Col::ColStatus), cell(2, Col::ColStatus),
                                  cell(3, Col::ColStatus), cell(4, Col::ColStatus)};
    EXPECT_EQ(statuses, (QStringList{"重複", "取込", "重複", "エラー", "エラー"}));
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

TEST_F(ImportTest, AMissingReadingIsTheDictionarysToBeCheckedAndCorrectedInThePreview)
{
    if (!DictionaryAvailable())
        GTEST_SKIP() << "MeCab with the IPA dictionary is not installed";
    openImport();
    choose(file(QStringLiteral("n.csv"),
                QByteArray("\xEF\xBB\xBF") +
                    QStringLiteral("お名前,メール\n田中一郎,ｔａｎａｋａ＠example.jp\n").toUtf8()));
    EXPECT_EQ(cell(0, Col::ColStatus), QStringLiteral("読み要確認"));
    EXPECT_EQ(field(0, 1), DictionaryReading(QStringLiteral("田中一郎")));
    EXPECT_FALSE(field(0, 1).isEmpty());
    EXPECT_EQ(field(0, 9), QStringLiteral("tanaka@example.jp"));

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
    runImport(QStringLiteral("1 件の顧客を登録します（取り込まない行 0 "
                             "件）。\n先にデータのバックアップを行います。よろしいですか"),
              QStringLiteral("1 件の顧客を登録しました。\n取り込まなかった行: 0 件"));
    EXPECT_EQ(stored(QStringLiteral("Fi_名前フリガナ")), QStringLiteral("ﾀﾅｶｲﾁﾛｳ"));
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
        {"binary.csv", binary, "テキストのファイルではありません（バイナリファイルです）。"},
        {"quote.csv", QByteArray("名前,備考\nA,\"ok\"\nB,\"open\nC,x\n"),
         "3 行目で始まる「\"」で囲まれた項目が閉じられていません。"},
        {"old.xls", QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(100, 'x'),
         "古い Excel 形式（.xls）のブックは読めません。"},
        {"broken.xlsx", QByteArray("PK\x03\x04", 4) + QByteArray(100, 'x'),
         "Excel のブック（.xlsx）として読めないファイルです。"},
    };
    openImport();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        choose(file(QString::fromUtf8(c.name), c.bytes),
               [&] { dialogs->expect(ShownBox::Kind::Failure, QStringLiteral("Frm025_Qel"), {}); });
        ASSERT_FALSE(dialogs->shown().empty());
        EXPECT_TRUE(dialogs->shown().back().text.startsWith(QString::fromUtf8(c.message)))
            << dialogs->shown().back().text.toStdString();
        EXPECT_EQ(model()->rowCount(), 0);
        EXPECT_FALSE(cmd(1)->isEnabled());
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
        dialogs->expect(ShownBox::Kind::Failure, QStringLiteral("Frm025_Qel"),
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
        dialogs->expect(ShownBox::Kind::Failure, QStringLiteral("Frm025_Qel"),
                        QStringLiteral("ファイルが大きすぎます。取り込めるのは 32 MB までです。\n") +
                            QDir::toNativeSeparators(big));
    });

    // A file without a name column: the message says so and nothing can be stored until a
    // column is chosen for the name.
    choose(file(QStringLiteral("noname.csv"), QByteArray("Kunde,Tel\nMeier,03-1\n")));
    EXPECT_EQ(message(), QStringLiteral("名前の列が見つかりません。「名前」で名前の列を選んでください"));
    EXPECT_FALSE(cmd(1)->isEnabled());
    QComboBox* nameColumn = child<QComboBox>(QStringLiteral("Combo_Fld_0"));
    nameColumn->setFocus();
    QTest::keyClick(nameColumn, Qt::Key_Down);
    EXPECT_EQ(nameColumn->currentText(), QStringLiteral("1: Kunde"));
    EXPECT_EQ(field(0, 0), QStringLiteral("Meier"));
    EXPECT_TRUE(message().isEmpty());
    EXPECT_TRUE(cmd(1)->isEnabled());
    EXPECT_EQ(rowCount(QStringLiteral("Tb_顧客")), 0);
}

TEST_F(ImportTest, AFailureWhileStoringStoresNone)
{
    execute(QStringLiteral("create trigger refuse before insert on Tb_顧客 when new.Fi_名前 = 'C' "
                           "begin select raise(abort, 'refused'); end"));
    openImport();
    choose(file(QStringLiteral("abc.csv"), QByteArray("名前,フリガナ\nA,ｱ\nB,ｲ\nC,ｳ\n")));
    dialogs->expectQuestion({}, DialogService::Answer::Yes);
    dialogs->expect(ShownBox::Kind::Information, QStringLiteral("バックアップ完了"), {});
    dialogs->expect(ShownBox::Kind::Failure, QStringLiteral("Frm025_Qel"), {});
    Click(cmd(1));
    EXPECT_EQ(rowCount(QStringLiteral("Tb_顧客")), 0);
    EXPECT_EQ(message(), QStringLiteral("取込を中止しました。何も登録していません"));
    EXPECT_EQ(model()->rowCount(), 3);
}

TEST_F(ImportTest, ClosingReturnsToRegistrationAndAsksWhileRowsWaitToBeStored)
{
    openImport();
    choose(file(QStringLiteral("a.csv"), QByteArray("名前,フリガナ\nA,ｱ\n")));
    dialogs->expectQuestion(QStringLiteral("未取込です。\n取り込まずに画面を閉じますか"),
                            DialogService::Answer::No);
    Click(cmd(2));
    EXPECT_NE(visibleScreen(QStringLiteral("Frm025_Qel")), nullptr);
    dialogs->expectQuestion(QStringLiteral("未取込です。\n取り込まずに画面を閉じますか"),
                            DialogService::Answer::Yes);
    Click(cmd(2));
    EXPECT_NE(visibleScreen(QStringLiteral("Frm020_Qel")), nullptr);
    EXPECT_EQ(rowCount(QStringLiteral("Tb_顧客")), 0);
}

// The spreadsheet a shop keeps, saved by LibreOffice as CSV in Shift_JIS and as .xlsx: both read
// to the same rows.
TEST_F(ImportTest, FilesSavedByLibreOfficeReadAsTheSpreadsheetShowsThem)
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed";
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
    QStringList previews;
    for (const QString name : {QStringLiteral("shop.csv"), QStringLiteral("shop.xlsx")}) {
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
