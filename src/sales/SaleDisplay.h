#pragma once

#include "SalesStore.h"

#include "ui/ControlArray.h"

#include <QDate>
#include <QString>

#include <cstdint>

class QLabel;

// Which Lbl_Dat index shows which part of a sale. The defaults are those of the sales
// correction; the report screens keep their period in 10 to 12 and show the remarks in 14.
struct SaleLabelIndex
{
    int date = 0;
    int maker = 1;
    int product = 2;
    int listPrice = 3;
    int sellingPrice = 4;
    int quantity = 5;
    int total = 6;
    int buyer = 7;
    int position = 8;
    int stamp = 9;
    int remarks = 10;

    static SaleLabelIndex Reports();
};

// The labels of the sales correction, which its field dialogs edit.
inline constexpr SaleLabelIndex kCorrectionLabels{};

// The purchase date "yyyymmdd" as a date; invalid when the text is not one.
QDate SaleDateOf(const Sale& sale);
// The purchase date with its weekday in the era or Western form; a stored text that is not a
// date is shown as it stands.
QString SaleDateText(const Sale& sale);
// "最終更新 " and the stamp as shown.
QString StampLine(const Stamp& stamp);
// "position/count".
QString PositionText(std::int64_t position, std::int64_t count);

// Shows the sale in the labels (date, names, amounts, remarks, last-update line) and makes its
// purchase date the working date SalesDate.
void ShowSale(const ControlArray<QLabel>& labels, const Sale& sale, const SaleLabelIndex& at = {});
void ShowPosition(const ControlArray<QLabel>& labels, std::int64_t position, std::int64_t count,
                  const SaleLabelIndex& at = {});
// No sale to show: the fields, the remarks and the stamp blanked, "0/0" on pink.
void ShowNoSale(const ControlArray<QLabel>& labels, const SaleLabelIndex& at = {});
