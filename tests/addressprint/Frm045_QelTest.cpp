#include "customers/CustomerScreenTest.h"

#include "addressprint/AddressLayout.h"
#include "core/Globals.h"
#include "db/Backup.h"
#include "ui/FlexGrid.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRawFont>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr double kMmPerPoint = 25.4 / 72.0;

struct Word
{
    QString text;
    QRectF mm;
};
struct PdfPage
{
    QSizeF mm;
    std::vector<Word> words;
};

// The PDF as poppler's pdftotext reads it back: every word with its box, in millimetres.
std::vector<PdfPage> ReadPdf(const QString& path)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")});
    EXPECT_TRUE(p.waitForFinished(60000));
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    std::vector<PdfPage> pages;
    static const char pattern[] = "<page width=\"([\\d.]+)\" height=\"([\\d.]+)\">|"
                                  "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" "
                                  "xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>";
    static const QRegularExpression tag(QString::fromLatin1(pattern));
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        if (!m.captured(1).isEmpty()) {
            pages.push_back({QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()) * kMmPerPoint, {}});
            continue;
        }
        EXPECT_FALSE(pages.empty());
        const QRectF box(QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()) * kMmPerPoint,
                         QPointF(m.captured(5).toDouble(), m.captured(6).toDouble()) * kMmPerPoint);
        QString text = m.captured(7);
        text.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
        pages.back().words.push_back({text, box});
    }
    return pages;
}

// The glyphs of a vertical area read as a person reads them: columns right to left, each top
// down.
QString ReadVertical(const PdfPage& page, const QRectF& area)
{
    std::vector<Word> in;
    for (const Word& w : page.words)
        if (area.contains(w.mm.center()))
            in.push_back(w);
    std::sort(in.begin(), in.end(), [](const Word& a, const Word& b) {
        if (std::abs(a.mm.center().x() - b.mm.center().x()) > 1.5)
            return a.mm.center().x() > b.mm.center().x();
        return a.mm.center().y() < b.mm.center().y();
    });
    QString text;
    for (const Word& w : in)
        text += w.text;
    return text;
}

// Whether the text read back is the text printed. Qt's PDF writer names a glyph that a CJK font
// shares between a radical (⼭, ⻘) and its ideograph (山, 青) by the lower code point, so that
// pdftotext reads the radical: the same glyph counts as the same character.
bool SamePrinted(const QString& read, const QString& expected)
{
    if (read.size() != expected.size())
        return false;
    static const std::vector<QRawFont> fonts = [] {
        std::vector<QRawFont> made;
        for (const char* family : {"Noto Serif CJK JP", "Noto Sans Mono CJK JP", "IPAGothic"}) {
            QFont font(QString::fromLatin1(family));
            font.setPixelSize(20);
            made.push_back(QRawFont::fromFont(font));
        }
        return made;
    }();
    for (qsizetype i = 0; i < read.size(); ++i) {
        if (read.at(i) == expected.at(i))
            continue;
        bool same = false;
        for (const QRawFont& font : fonts) {
            const auto a = font.glyphIndexesForString(read.mid(i, 1));
            const auto b = font.glyphIndexesForString(expected.mid(i, 1));
            same |= !a.isEmpty() && a == b && a.front() != 0;
        }
        if (!same)
            return false;
    }
    return true;
}
#define EXPECT_PRINTED(read, expected)                                                                       \
    EXPECT_TRUE(SamePrinted(read, expected))                                                                 \
        << (read).toStdString() << " is not " << QString(expected).toStdString()

// Everything of the page inside the area that printers reach.
void ExpectPrintable(const PdfPage& page)
{
    const QRectF printable(QPointF(kPrintableMargin, kPrintableMargin) - QPointF(0.5, 0.5),
                           page.mm - QSizeF(2 * kPrintableMargin - 1, 2 * kPrintableMargin - 1));
    for (const Word& w : page.words)
        EXPECT_TRUE(printable.contains(w.mm))
            << w.text.toStdString() << " at " << w.mm.x() << "," << w.mm.y();
}

const QRectF kNameArea(38.5, 22, 25.5, 118);
const QRectF kAddressArea(64, 22, 32, 118);
const QRectF kSenderArea(4, 56, 34, 78);

class AddressPrintingTest : public CustomerScreenTest
{
  protected:
    static void addAddressed(const QString& name, const QString& reading, const QString& postal,
                             int prefecture, const QString& city, const QString& building = {})
    {
        Customer c;
        c.name = name;
        c.reading = reading;
        c.postalCode = postal;
        c.prefecture = prefecture;
        c.city = city;
        c.building = building;
        CustomerStore().add(c);
    }

    // From the list of every customer, through its button.
    void openAddressPrinting()
    {
        search();
        ASSERT_TRUE(cmd(5)->isEnabled());
        Click(cmd(5));
        ASSERT_TRUE(follow(QStringLiteral("Frm045_Qel")));
    }

    // "PDF保存" into the documents folder, under the name the chooser suggests: the file it
    // wrote, read back.
    std::vector<PdfPage> savePdf(QString* written = nullptr)
    {
        const QString kind =
            combo(1)->currentIndex() == 0 ? QStringLiteral("宛名はがき") : QStringLiteral("宛名ラベル");
        const QString path =
            documentsPath() + QLatin1Char('/') + kind + QStringLiteral("_20050307_090503.pdf");
        dialogs->expectFile(ShownBox::Kind::SaveFile, QStringLiteral("PDF保存"), path);
        dialogs->expectWritten(QStringLiteral("PDFファイルを作成しました"),
                               QStringLiteral("宛名をPDFファイルに出力しました\n") + path);
        Click(cmd(2));
        EXPECT_TRUE(dialogs->allAnswered());
        EXPECT_EQ(dialogs->shown().at(dialogs->shown().size() - 2).text,
                  path + QStringLiteral("\tPDF (*.pdf)"));
        if (written)
            *written = path;
        return ReadPdf(path);
    }
};

TEST_F(AddressPrintingTest, TheListOpensItForItsCustomersAndItsCloseComesBackToTheSameRow)
{
    addCustomers(30);
    search(QStringLiteral("該当なし"));
    EXPECT_FALSE(cmd(5)->isEnabled());
    CloseAllScreens();
    search();
    clickRow(17, 2);
    const int top = grid()->topRow();
    ASSERT_TRUE(cmd(5)->isEnabled());
    EXPECT_EQ(cmd(5)->text(), QStringLiteral("宛名印刷…"));
    Click(cmd(5));
    ASSERT_TRUE(follow(QStringLiteral("Frm045_Qel")));
    EXPECT_EQ(screen()->windowTitle(), QStringLiteral("宛名印刷"));
    EXPECT_EQ(dat(0)->text(), QStringLiteral("顧客一覧の 30 件を、一覧の順に印刷します"));
    Click(cmd(3));
    ASSERT_TRUE(follow(QStringLiteral("Frm040_Qel")));
    EXPECT_EQ(grid()->row(), 17);
    EXPECT_EQ(grid()->topRow(), top);
}

TEST_F(AddressPrintingTest, PostcardsPutEveryDigitInItsBoxEveryCustomerOnceInListOrderAndNoteWhatIsMissing)
{
    const QString longName = QStringLiteral("長谷川長谷川長谷川長谷川長谷川長谷川長谷");
    addAddressed(QStringLiteral("山田太郎"), QStringLiteral("ｱ1"), QStringLiteral("100-0001"), 13,
                 QStringLiteral("千代田区千代田1-1"), QStringLiteral("コーポ101"));
    addAddressed(QStringLiteral("株式会社カワ"), QStringLiteral("ｱ2"), QStringLiteral("１５０００２２"), 13,
                 QStringLiteral("渋谷区恵比寿2-3"));
    addAddressed(QStringLiteral("田中一"), QStringLiteral("ｱ3"), QStringLiteral("12-345"), 27,
                 QStringLiteral("大阪市"));
    addAddressed(QStringLiteral("鈴木"), QStringLiteral("ｱ4"), {}, 13, {});
    addAddressed(longName, QStringLiteral("ｱ5"), QStringLiteral("2400045"), 14,
                 QStringLiteral("横浜市保土ケ谷区上星川三丁目一番地二十三"),
                 QStringLiteral("グランドメゾン上星川第二ビルディング八〇"));
    openAddressPrinting();
    EXPECT_TRUE(dat(1)->text().contains(QStringLiteral("住所のない顧客 1 件")));
    EXPECT_TRUE(dat(1)->text().contains(QStringLiteral("郵便番号が７桁でない顧客 1 件")));

    const auto pages = savePdf();
    ASSERT_EQ(pages.size(), 5u);
    const QStringList names = {QStringLiteral("山田太郎様"), QStringLiteral("株式会社カワ御中"),
                               QStringLiteral("田中一様"), QStringLiteral("鈴木様"),
                               longName + QStringLiteral("様")};
    const QStringList codes = {
        QStringLiteral("1000001"), QStringLiteral("1500022"), {}, {}, QStringLiteral("2400045")};
    const double boxLefts[] = {44.3, 51.3, 58.3, 65.9, 72.7, 79.5, 86.3};
    for (int p = 0; p < 5; ++p) {
        const PdfPage& page = pages[size_t(p)];
        // The PDF's page is in whole points: within 0.2 mm of the postcard.
        EXPECT_NEAR(page.mm.width(), 100, 0.2);
        EXPECT_NEAR(page.mm.height(), 148, 0.2);
        EXPECT_PRINTED(ReadVertical(page, kNameArea), names[p]);
        ExpectPrintable(page);
        QString digits;
        for (const Word& w : page.words) {
            if (w.mm.bottom() > 22 || w.mm.left() < 44)
                continue;
            for (const QChar c : w.text) {
                const int i = int(digits.size());
                ASSERT_LT(i, 7);
                const QRectF box = QRectF(boxLefts[i], 12, 5.7, 8).adjusted(-0.5, -0.5, 0.5, 0.5);
                EXPECT_TRUE(box.contains(w.mm))
                    << p << ": " << w.text.toStdString() << " at " << w.mm.left() << "," << w.mm.top() << "-"
                    << w.mm.right() << "," << w.mm.bottom();
                digits += c;
            }
        }
        EXPECT_EQ(digits, codes[p]) << p;
    }
    EXPECT_PRINTED(ReadVertical(pages[0], kAddressArea),
                   QStringLiteral("東京都千代田区千代田一︱一コーポ一〇一"));
    // Not seven digits: as typed, left of the boxes.
    bool beside = false;
    for (const Word& w : pages[2].words)
        beside |= w.text.contains(QStringLiteral("12-345")) && w.mm.right() < 44.3 && w.mm.bottom() < 22;
    EXPECT_TRUE(beside);
}

TEST_F(AddressPrintingTest, CustomersWhoWantNoMailAreLeftOutUnlessAskedForThisTime)
{
    for (const char* name : {"山田太郎", "佐藤花子", "田中一"})
        addAddressed(QString::fromUtf8(name), QStringLiteral("ｱ%1").arg(rowCount(QStringLiteral("Tb_顧客"))),
                     QStringLiteral("100-0001"), 13, QStringLiteral("千代田区1"));
    Customer sato = *CustomerStore().row(2);
    sato.noMail = true;
    CustomerStore().update(sato);
    for (int visit = 0; visit < 2; ++visit) {
        // Asked for this time only: the next printing leaves them out again.
        openAddressPrinting();
        EXPECT_EQ(dat(0)->text(), QStringLiteral("顧客一覧の 2 件を、一覧の順に印刷します"));
        EXPECT_EQ(dat(1)->text(), QStringLiteral("DM不要の 1 件は印刷しません"));
        auto pages = savePdf();
        ASSERT_EQ(pages.size(), 2u);
        EXPECT_PRINTED(ReadVertical(pages[1], kNameArea), QStringLiteral("田中一様"));

        QCheckBox* include = child<QCheckBox>(QStringLiteral("Check3"));
        QTest::mouseClick(include, Qt::LeftButton, {}, QPoint(8, include->height() / 2));
        EXPECT_EQ(dat(1)->text(), QStringLiteral("DM不要の 1 件も印刷します"));
        pages = savePdf();
        ASSERT_EQ(pages.size(), 3u);
        EXPECT_PRINTED(ReadVertical(pages[1], kNameArea), QStringLiteral("佐藤花子様"));
        CloseAllScreens();
    }
}

// Kanji digit by digit, kanji as counted, or full-width digits; a floor reads 二階 or ２Ｆ, never 二Ｆ.
TEST_F(AddressPrintingTest, TheHonorificAndTheNumeralsAreTheUsersChoice)
{
    addAddressed(QStringLiteral("山田太郎"), QStringLiteral("ｱ1"), QStringLiteral("100-0001"), 13,
                 QStringLiteral("千代田区1-20"));
    addAddressed(QStringLiteral("(有)カワ"), QStringLiteral("ｱ2"), QStringLiteral("060-0001"), 1,
                 QStringLiteral("札幌市中央区北1条西27丁目10番"));
    openAddressPrinting();
    enter(txt(8), QStringLiteral("ブランド館さくら"));
    enter(txt(10), QStringLiteral("東京都港区南青山5-6"));
    enter(txt(11), QStringLiteral("さくらビル2F"));
    Click(cmd(4));
    child<QCheckBox>(QStringLiteral("Check2"))->setChecked(true);
    const struct
    {
        int honorific, numerals;
        const char *name0, *name1, *address0, *address1, *sender;
    } cases[] = {
        {2, 2, "山田太郎御中", "︵有︶カワ御中", "東京都千代田区１︱２０",
         "北海道札幌市中央区北１条西２７丁目１０番", "東京都港区南青山５︱６さくらビル２Ｆ"},
        {1, 0, "山田太郎様", "︵有︶カワ様", "東京都千代田区一︱二〇",
         "北海道札幌市中央区北一条西二七丁目一〇番", "東京都港区南青山五︱六さくらビル二階"},
        {0, 1, "山田太郎様", "︵有︶カワ御中", "東京都千代田区一︱二十",
         "北海道札幌市中央区北一条西二十七丁目十番", "東京都港区南青山五︱六さくらビル二階"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.numerals);
        combo(4)->setCurrentIndex(c.honorific);
        combo(5)->setCurrentIndex(c.numerals);
        const auto pages = savePdf();
        ASSERT_EQ(pages.size(), 2u);
        EXPECT_PRINTED(ReadVertical(pages[0], kNameArea), QString::fromUtf8(c.name0));
        EXPECT_PRINTED(ReadVertical(pages[1], kNameArea), QString::fromUtf8(c.name1));
        EXPECT_PRINTED(ReadVertical(pages[0], kAddressArea), QString::fromUtf8(c.address0));
        EXPECT_PRINTED(ReadVertical(pages[1], kAddressArea), QString::fromUtf8(c.address1));
        const QString sender = QString::fromUtf8(c.sender);
        EXPECT_PRINTED(ReadVertical(pages[0], kSenderArea.adjusted(0, 0, 0, -2)).left(sender.size()), sender);
    }
}

TEST_F(AddressPrintingTest, LabelsStartAtTheChosenPositionAndKeepEachCustomerInItsLabel)
{
    for (int i = 1; i <= 4; ++i)
        addAddressed(QStringLiteral("顧客") + QChar(0x30A2 + 2 * i), QStringLiteral("ｱ%1").arg(i),
                     QStringLiteral("100-000%1").arg(i), 13, QStringLiteral("千代田区千代田%1").arg(i),
                     QStringLiteral("ビル%1").arg(i));
    openAddressPrinting();
    combo(1)->setCurrentIndex(1);
    ASSERT_TRUE(combo(2)->isEnabled());
    combo(2)->setCurrentIndex(3);
    ASSERT_EQ(combo(3)->count(), 24);
    combo(3)->setCurrentIndex(21);
    const auto pages = savePdf();
    ASSERT_EQ(pages.size(), 2u);
    const LabelSheet& sheet = LabelPresets().at(3);
    const int expected[][2] = {{0, 21}, {0, 22}, {0, 23}, {1, 0}};
    for (int i = 0; i < 4; ++i) {
        const QString name = QStringLiteral("顧客") + QString(QChar(0x30A2 + 2 * (i + 1)));
        int found = 0;
        for (size_t p = 0; p < pages.size(); ++p) {
            for (const Word& w : pages[p].words) {
                if (!SamePrinted(w.text.left(name.size()), name))
                    continue;
                ++found;
                EXPECT_EQ(int(p), expected[i][0]) << name.toStdString();
                EXPECT_TRUE(sheet.label(expected[i][1]).contains(w.mm)) << name.toStdString();
            }
        }
        EXPECT_EQ(found, 1) << name.toStdString();
    }
    for (const PdfPage& page : pages) {
        EXPECT_NEAR(page.mm.width(), 210, 0.2);
        ExpectPrintable(page);
    }
}

// The lines of a label read back top to bottom; radicals that share a glyph with their ideograph
// (⼀, ⼤) read as the ideograph.
QStringList LabelLines(const PdfPage& page, const QRectF& label)
{
    std::vector<Word> in;
    for (const Word& w : page.words)
        if (label.contains(w.mm.center()))
            in.push_back(w);
    std::sort(in.begin(), in.end(), [](const Word& a, const Word& b) {
        if (std::abs(a.mm.center().y() - b.mm.center().y()) > 1.0)
            return a.mm.center().y() < b.mm.center().y();
        return a.mm.left() < b.mm.left();
    });
    QStringList lines;
    double y = -100;
    for (const Word& w : in) {
        if (std::abs(w.mm.center().y() - y) > 1.0)
            lines << QString();
        y = w.mm.center().y();
        lines.last() += w.text.normalized(QString::NormalizationForm_KC);
    }
    return lines;
}

// A label's address breaks between words: after the prefecture or the city, before the house
// number, where a building's name changes script; never inside a number or a place name.
TEST_F(AddressPrintingTest, LabelLinesBreakBetweenWordsNeverInsideANumberOrAPlaceName)
{
    const struct
    {
        int prefecture;
        const char *city, *building;
        QStringList whole;
    } cases[] = {
        {4, "仙台市若林区一番町3-2-14", "", {"宮城県仙台市若林区一番町", "3-2-14"}},
        {34, "広島市中区紙屋町3-20-4", "", {"紙屋町", "3-20-4"}},
        {21, "岐阜市加納北大門町1-5", "", {"加納北大門町", "1-5"}},
        {13,
         "港区六本木6-10-1",
         "六本木ヒルズレジデンスB棟2204",
         {"港区六本木6-10-1", "ヒルズレジデンスB棟", "2204"}},
        {1, "札幌市中央区北1条西27丁目10番", "", {"北海道札幌市中央区北1条", "27丁目10番"}},
    };
    int i = 0;
    for (const auto& c : cases) {
        ++i;
        addAddressed(QStringLiteral("顧客%1").arg(i), QStringLiteral("ｱ%1").arg(i),
                     QStringLiteral("100-0001"), c.prefecture, QString::fromUtf8(c.city),
                     QString::fromUtf8(c.building));
    }
    openAddressPrinting();
    combo(1)->setCurrentIndex(1);
    combo(2)->setCurrentIndex(3);
    const auto pages = savePdf();
    ASSERT_EQ(pages.size(), 1u);
    const LabelSheet& sheet = LabelPresets().at(3);
    i = 0;
    for (const auto& c : cases) {
        const QStringList lines = LabelLines(pages[0], sheet.label(i++));
        SCOPED_TRACE(lines.join(QStringLiteral(" / ")).toStdString());
        for (const QString& word : c.whole) {
            bool found = false;
            for (const QString& line : lines)
                found |= line.contains(word);
            EXPECT_TRUE(found) << word.toStdString();
        }
    }
    ExpectPrintable(pages[0]);
}

TEST_F(AddressPrintingTest, ACustomSheetThatDoesNotFitIsRefusedWithAMessage)
{
    addAddressed(QStringLiteral("山田"), QStringLiteral("ｱ1"), QStringLiteral("100-0001"), 13,
                 QStringLiteral("千代田区"));
    openAddressPrinting();
    combo(1)->setCurrentIndex(1);
    combo(2)->setCurrentIndex(4);
    ASSERT_TRUE(txt(0)->isEnabled());
    enter(txt(0), QStringLiteral("4"));
    Click(cmd(2));
    EXPECT_EQ(message(),
              QStringLiteral("ラベルが A4 用紙（210×297mm）からはみ出します。寸法を確かめてください"));
    enter(txt(0), QStringLiteral("3"));
    enter(txt(2), QStringLiteral("abc"));
    Click(cmd(2));
    EXPECT_EQ(message(), QStringLiteral("ラベルの寸法は数字（mm）で入力してください"));
    EXPECT_EQ(focused(), txt(2));
    EXPECT_TRUE(QDir(documentsPath()).entryList({QStringLiteral("*.pdf")}).isEmpty());
    enter(txt(2), QStringLiteral("60"));
    EXPECT_EQ(combo(3)->count(), 24);
    EXPECT_EQ(savePdf().size(), 1u);
}

TEST_F(AddressPrintingTest, TheSenderIsKeptInTheLedgerAndPrintedWhenAsked)
{
    addAddressed(QStringLiteral("山田"), QStringLiteral("ｱ1"), QStringLiteral("100-0001"), 13,
                 QStringLiteral("千代田区"));
    // A ledger made before the sender's table: still a ledger, and the screen gives it the table.
    execute(QStringLiteral("drop table Tb_差出人"));
    EXPECT_NO_THROW(InspectDatabase(dbPath(), true));
    openAddressPrinting();
    EXPECT_EQ(rowCount(QStringLiteral("sqlite_master where name = 'Tb_差出人'")), 1);
    EXPECT_FALSE(child<QCheckBox>(QStringLiteral("Check2"))->isChecked());
    enter(txt(8), QStringLiteral("ブランド館さくら"));
    enter(txt(9), QStringLiteral("1234"));
    enter(txt(10), QStringLiteral("東京都港区南青山5-6"));
    enter(txt(12), QStringLiteral("03-1111-2222"));
    Click(cmd(4));
    EXPECT_EQ(message(), QStringLiteral("差出人の郵便番号は７桁の数字で入力してください（例 123-4567）"));
    EXPECT_EQ(rowCount(QStringLiteral("Tb_差出人")), 0);
    enter(txt(9), QStringLiteral("107-0062"));

    // Leaving with the change unsaved asks first.
    dialogs->expectQuestion(
        QStringLiteral("差出人の変更が保存されていません。\n保存せずに閉じてもよろしいですか"),
        DialogService::Answer::No);
    Click(cmd(3));
    ASSERT_TRUE(follow(QStringLiteral("Frm045_Qel")));
    Click(cmd(4));
    EXPECT_EQ(message(), QStringLiteral("差出人を保存しました"));
    EXPECT_EQ(column(QStringLiteral("Tb_差出人"), QStringLiteral("Fi_名前")),
              QStringLiteral("ブランド館さくら"));
    EXPECT_EQ(column(QStringLiteral("Tb_差出人"), QStringLiteral("Fi_郵便番号")), QStringLiteral("107-0062"));
    // The backup's and the restore's check take the ledger with the sender as with none.
    EXPECT_NO_THROW(InspectDatabase(dbPath(), true));

    Click(cmd(3));
    ASSERT_TRUE(follow(QStringLiteral("Frm040_Qel")));
    Click(cmd(5));
    ASSERT_TRUE(follow(QStringLiteral("Frm045_Qel")));
    EXPECT_EQ(txt(10)->text(), QStringLiteral("東京都港区南青山5-6"));
    QCheckBox* printSender = child<QCheckBox>(QStringLiteral("Check2"));
    EXPECT_TRUE(printSender->isChecked());
    auto pages = savePdf();
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_PRINTED(ReadVertical(pages[0], kSenderArea.adjusted(0, 0, 0, -2)),
                   QStringLiteral("東京都港区南青山五︱六ブランド館さくら電話〇三︱一一一一︱二二二二"));
    bool code = false;
    for (const Word& w : pages[0].words)
        code |= w.text == QStringLiteral("〒107-0062") && w.mm.right() < 40 && w.mm.top() > 130;
    EXPECT_TRUE(code);
    printSender->setChecked(false);
    pages = savePdf();
    EXPECT_EQ(ReadVertical(pages[0], kSenderArea), QString());
}

TEST_F(AddressPrintingTest, RedBoxesAreDrawnOnlyWhenAskedAndThePreviewShowsEveryPostcard)
{
    addAddressed(QStringLiteral("山田"), QStringLiteral("ｱ1"), QStringLiteral("100-0001"), 13,
                 QStringLiteral("千代田区"));
    addAddressed(QStringLiteral("佐藤"), QStringLiteral("ｱ2"), QStringLiteral("100-0002"), 13,
                 QStringLiteral("千代田区"));
    openAddressPrinting();
    auto redPixels = [this](bool red) {
        child<QCheckBox>(QStringLiteral("Check1"))->setChecked(red);
        QString path;
        savePdf(&path);
        QTemporaryDir dir;
        QProcess::execute(QStringLiteral("pdftoppm"),
                          {QStringLiteral("-r"), QStringLiteral("100"), QStringLiteral("-png"),
                           QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                           QStringLiteral("1"), path, dir.filePath(QStringLiteral("page"))});
        const QStringList files = QDir(dir.path()).entryList({QStringLiteral("*.png")});
        EXPECT_EQ(files.size(), 1);
        const QImage image(dir.filePath(files.value(0)));
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                count += c.red() > 150 && c.green() < 120 && c.blue() < 120;
            }
        return count;
    };
    EXPECT_EQ(redPixels(false), 0);
    EXPECT_GT(redPixels(true), 100);

    int previewPages = -1;
    dialogs->onPreview = [&](QDialog& preview) {
        if (auto* widget = preview.findChild<QPrintPreviewWidget*>()) {
            widget->updatePreview();
            previewPages = widget->pageCount();
        }
    };
    dialogs->expect(ShownBox::Kind::Preview, QStringLiteral("宛名印刷　プレビュー"), {});
    Click(cmd(0));
    EXPECT_TRUE(dialogs->allAnswered());
    EXPECT_EQ(previewPages, 2);
    EXPECT_TRUE(follow(QStringLiteral("Frm045_Qel")));

    // Printing goes through the printer chooser of the dialog service: cancelled, nothing is
    // printed; chosen (here a PDF file as the printer), every postcard is.
    dialogs->expect(ShownBox::Kind::Print, QStringLiteral("印刷"), {}, DialogService::Answer::No);
    Click(cmd(1));
    EXPECT_EQ(message(), QString());
    QTemporaryDir printed;
    const QString printedPdf = printed.filePath(QStringLiteral("printed.pdf"));
    dialogs->onPrint = [&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printedPdf);
    };
    dialogs->expect(ShownBox::Kind::Print, QStringLiteral("印刷"), {});
    Click(cmd(1));
    EXPECT_EQ(message(), QStringLiteral("2 ページを印刷しました"));
    EXPECT_GT(QFileInfo(printedPdf).size(), 0);
    EXPECT_TRUE(dialogs->allAnswered());
}

} // namespace
