#include "SaleDisplay.h"

#include "core/Amount.h"
#include "core/DateText.h"
#include "core/Globals.h"
#include "ui/FormBase.h"
#include "ui/Twips.h"

#include <QLabel>

SaleLabelIndex SaleLabelIndex::Reports()
{
    SaleLabelIndex at;
    at.remarks = 14;
    return at;
}

QDate SaleDateOf(const Sale& sale)
{
    return QDate::fromString(sale.date, QStringLiteral("yyyyMMdd"));
}

QString SaleDateText(const Sale& sale)
{
    const QDate date = SaleDateOf(sale);
    return date.isValid() ? DateWithWeekday(date) : sale.date;
}

QString StampLine(const Stamp& stamp)
{
    return QStringLiteral("最終更新 ") +
           StampDisplay(stamp.year, stamp.month, stamp.day, stamp.hour, stamp.minute, stamp.second);
}

QString PositionText(std::int64_t position, std::int64_t count)
{
    return QString::number(position) + QLatin1Char('/') + QString::number(count);
}

void ShowSale(const ControlArray<QLabel>& labels, const Sale& sale, const SaleLabelIndex& at)
{
    labels(at.date)->setText(SaleDateText(sale));
    labels(at.maker)->setText(sale.maker);
    labels(at.product)->setText(sale.product);
    labels(at.listPrice)->setText(YenText(sale.listPrice));
    labels(at.sellingPrice)->setText(YenText(sale.sellingPrice));
    labels(at.quantity)->setText(FormatGrouped(sale.quantity));
    labels(at.total)->setText(YenText(sale.total));
    labels(at.buyer)->setText(sale.buyer);
    labels(at.remarks)->setText(sale.remarks);
    labels(at.stamp)->setText(StampLine(sale.stamp));
    // A stored text that is no date leaves the working date as it was rather than invalid.
    const QDate date = SaleDateOf(sale);
    if (date.isValid())
        G().SalesDate = QDateTime(date, QTime(0, 0));
}

void ShowPosition(const ControlArray<QLabel>& labels, std::int64_t position, std::int64_t count,
                  const SaleLabelIndex& at)
{
    labels(at.position)->setText(PositionText(position, count));
}

void ShowNoSale(const ControlArray<QLabel>& labels, const SaleLabelIndex& at)
{
    for (int i : {at.date, at.maker, at.product, at.listPrice, at.sellingPrice, at.quantity, at.total,
                  at.buyer, at.remarks, at.stamp})
        labels(i)->clear();
    labels(at.position)->setText(PositionText(0, 0));
    SetBackColor(labels(at.position), Colors::LightRed);
}
