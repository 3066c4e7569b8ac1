#pragma once

#include "support/ScreenTest.h"

#include <QJsonObject>
#include <QScrollBar>
#include <QString>
#include <QStringList>

#include <vector>

// A shop with known sales across the turn of 2005 to 2006, the sales template in the
// application folder and the workbook folder "Data". Now is 20 January 2006.
//
// key date      maker      product total  purchaser
//  1  20060105  ルイ       鞄      50,000 青木 花子
//  2  20051215  グッチョ   財布    12,000 山田 太郎
//  3  20051231  ルイ       鞄      25,000 山田 太郎
//  4  20060105  グッチョ   財布    36,000 O'Neil
//  5  20051120  L'Artisan  香水     7,000 O'Neil
//  6  20060220  グッチョ   鞄      38,000 青木 花子
// The maker エルメ has no sales.
class ReportsFixture : public ScreenTest
{
  protected:
    void SetUp() override;

    void addSale(int key, const QString& date, const QString& maker, const QString& product, qint64 listPrice,
                 qint64 sellingPrice, qint64 quantity, const QString& buyer, const QString& remarks = {});

    // Opens the report menu from the main menu.
    void openMenu();
    // Chooses the maker or the purchaser on the report menu as a user does.
    void chooseMaker(const QString& maker);
    void chooseBuyer(const QString& reading);
    // Opens the menu, presses these period buttons, then chooses the maker and the purchaser
    // where given.
    void chooseOnMenu(const std::vector<int>& clicks, const QString& maker = {}, const QString& reading = {});
    // Presses "作成" of the report (7 period, 8 maker, 9 purchaser) and follows to its screen.
    bool makeReport(int button);

    QScrollBar* scroll() const;
    // The sale shown, as "date|maker|purchaser|total".
    QString shownSale() const;
    // Every sale of the report in its order, paged through with the scroll bar.
    QStringList pageThrough();

    QString dataFile(const QString& name) const;
    // Answers the print preview by closing it, and the message after it.
    void closePreviewWhenShown();
};
