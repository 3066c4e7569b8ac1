#include "SheetsFixture.h"

#include "core/Globals.h"
#include "sheets/Workbook.h"

#include <QDir>
#include <QFile>

void SheetsFixture::SetUp()
{
    AppFixture::SetUp();
    for (const char* name : {"顧客一覧オリジナル.xlsx", "売上明細オリジナル.xlsx"}) {
        const QString file = QString::fromUtf8(name);
        ASSERT_TRUE(QFile::copy(QStringLiteral(QEL_APP_DIR) + QLatin1Char('/') + file, AppFile(file)))
            << name;
    }
    G().DataPath = QStringLiteral("Data");
    ASSERT_TRUE(QDir().mkpath(AppFile(G().DataPath)));
    auto recorder = std::make_unique<RecordingExit>();
    exits = recorder.get();
    AppExit::install(std::move(recorder));
}

void SheetsFixture::TearDown()
{
    AppExit::install(nullptr);
    exits = nullptr;
    AppFixture::TearDown();
}

QString SheetsFixture::customerTemplate() const
{
    return AppFile(QStringLiteral("顧客一覧オリジナル.xlsx"));
}

QString SheetsFixture::salesTemplate() const
{
    return AppFile(QStringLiteral("売上明細オリジナル.xlsx"));
}

QString SheetsFixture::writeCustomerList(int customers, const QString& fileName)
{
    Workbook book(customerTemplate(), WorkbookTarget(fileName));
    book.prepare();
    book.open();
    book.setCenterHeader(QStringLiteral("顧客一覧"));
    book.setSheetName(QStringLiteral("顧客一覧"));
    for (int i = 1; i <= customers; ++i) {
        const int r = 3 * i + 1;
        book.setNumber(r, 1, i);
        book.setText(r, 2, QStringLiteral("ﾔﾏﾀﾞ ﾀﾛｳ"));
        book.setText(r, 3, QStringLiteral("〒100-0001"));
        book.setText(r, 5, QStringLiteral("090-1234-5678"));
        book.setText(r + 1, 2, QStringLiteral("山田　太郎%1").arg(i));
        book.setText(r + 1, 3, QStringLiteral("東京都"));
        book.setText(r + 1, 4, QStringLiteral("千代田区丸の内1-2-3"));
        book.setText(r + 1, 5, QStringLiteral("03-1234-5678"));
        book.setText(r + 1, 6, QStringLiteral("備考の前半です"));
        book.setText(r + 2, 2, QStringLiteral("taro@example.jp"));
        book.setText(r + 2, 4, QStringLiteral("丸の内ビル12階"));
        book.setText(r + 2, 5, QStringLiteral("03-1234-5679"));
        book.drawBorders(r, 1, r + 2, 6);
    }
    book.scrollToTop();
    book.save();
    return book.targetPath();
}
