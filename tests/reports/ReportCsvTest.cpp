#include "ReportsFixture.h"

#include "core/Cp932.h"
#include "support/CsvReadBack.h"

#include <QDir>
#include <QFile>
#include <QPushButton>

namespace {

class ReportCsvTest : public ReportsFixture
{
  protected:
    QString exportReport(int button, const QString& fileName, int type)
    {
        openMenu();
        if (!makeReport(button))
            return {};
        const QString path = dataFile(fileName);
        dialogs->expectFile(ShownBox::Kind::SaveFile, QStringLiteral("CSV出力"), path, type);
        dialogs->expect(ShownBox::Kind::Information, QStringLiteral("CSV出力"), {});
        EXPECT_TRUE(cmd(5)->isEnabled());
        Click(cmd(5));
        return path;
    }
};

TEST_F(ReportCsvTest, OneLineASaleWithDatesAndPlainAmounts)
{
    const QString path = exportReport(7, QStringLiteral("期間指定売上明細.csv"), 0);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QStringList lines = DecodeCp932(f.readAll()).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 8);
    EXPECT_EQ(lines[0], QStringLiteral("購入日,ブランド名,商品名,定価,売価,数量,売価合計,購入者,備考"));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("2005/11/20,L'Artisan,香水,")));
    EXPECT_TRUE(lines[1].contains(QStringLiteral(",7000,O'Neil,")));
    EXPECT_TRUE(lines[6].startsWith(QStringLiteral("2006/02/20,グッチョ,鞄,")));
    EXPECT_EQ(lines[7], QString());
    EXPECT_EQ(message(), QStringLiteral("6件出力しました"));
    EXPECT_EQ(dialogs->shown().back().text,
              QStringLiteral("期間指定売上明細を CSV ファイルに出力しました（6 件、Shift_JIS）\n") +
                  QDir::toNativeSeparators(path));
}

TEST_F(ReportCsvTest, LibreOfficeReadsTheReportBackInBothEncodings)
{
    ASSERT_TRUE(LibreOfficeInstalled()) << "scripts/setup installs LibreOffice Calc";
    std::vector<QStringList> first;
    for (const auto& [type, encoding] : {std::pair{0, 64}, std::pair{1, 76}}) {
        const QString path = exportReport(7, QStringLiteral("期間指定売上明細.csv"), type);
        const std::vector<QStringList> cells = LibreOfficeCells(path, encoding, 9);
        ASSERT_EQ(cells.size(), 7u);
        EXPECT_EQ(
            cells[1].join(','),
            QStringLiteral("2005/11/20,L'Artisan,香水,%1,7000,O'Neil,").arg(cells[1].mid(3, 3).join(',')));
        EXPECT_EQ(cells[0].join(','),
                  QStringLiteral("購入日,ブランド名,商品名,定価,売価,数量,売価合計,購入者,備考"));
        if (first.empty())
            first = cells;
        else
            EXPECT_EQ(cells, first);
        CloseAllScreens();
    }
}

} // namespace
