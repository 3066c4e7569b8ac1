#pragma once

#include <QDateTime>
#include <QString>

#include <cstdint>

// The application-wide settings and state, under the names every screen uses.
// One instance, reached through G(); tests reset it with ResetGlobals().
struct AppGlobals
{
    QString AppPath;
    QString DataPath;
    QString BackDataPath;
    std::int16_t BackCnt = 0;
    std::int16_t Todoufuken1 = 0;
    std::int16_t Todoufuken2 = 0;
    QString Maker;
    QString Syouhin;
    QString Nengou;
    std::int16_t Kessan = 3;
    QString Title;
    QDateTime SalesDate;
    QString DbFileName;
    QString CallerForm;

    // Shared by the maker and product screens across their reloads.
    std::int32_t MakerKey = 0;
    std::int32_t MakerTopRow = 0;
    std::int32_t MakerRowSel = 0;
    std::int32_t ProductKey = 0;
    std::int32_t ProductTopRow = 0;
    std::int32_t ProductRowSel = 0;

    // Shared by the customer list and the customer detail.
    std::int32_t CustKey = 0;
    std::int32_t ListTopRow = 0;
    std::int32_t ListRow = 0;

    // The sale shown on the sales correction as its field dialogs change it: the purchase date
    // texts and the three readings, written by the save.
    QString g_Fmr090_Nen;      // yyyy
    QString g_Fmr090_Nengetu;  // yyyymm
    QString g_Fmr090_Nengappi; // yyyymmdd
    QString g_Fmr090_MakerKana;
    QString g_Fmr090_SyouhinKana;
    QString g_Fmr090_KokyakuKana;

    // The report menu's selection for the report screens: months "yyyymm" ("000000" to
    // "999999" for no period), the maker and the purchaser.
    QString PeriodFrom = QStringLiteral("000000");
    QString PeriodTo = QStringLiteral("999999");
    QString ReportMaker;
    QString ReportBuyer;
    // The purchaser's reading, for the menu to find the purchaser again back from the charts.
    QString ReportBuyerReading;

    // The folder the user last chose a file in (see ChooserFolder).
    QString ChooserFolder;
};

AppGlobals& G();
void ResetGlobals();

inline const QString kOperationalDbFile = QStringLiteral("Db_販売顧客.mdb");
inline const QString kSampleDbFile = QStringLiteral("サンプルデータ.mdb");

// AppPath + "/" + name; an empty name gives the application folder itself.
QString AppFile(const QString& name);
