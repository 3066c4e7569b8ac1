#include "ReportVariant.h"

#include "core/FormNames.h"
#include "core/Globals.h"

QString ReportFormName(ReportKind kind)
{
    switch (kind) {
    case ReportKind::Maker:
        return Forms::Frm530_Qel;
    case ReportKind::Buyer:
        return Forms::Frm540_Qel;
    case ReportKind::Period:
        break;
    }
    return Forms::Frm520_Qel;
}

ReportVariant ReportVariant::Of(ReportKind kind)
{
    const QString maker = G().Maker;
    switch (kind) {
    case ReportKind::Maker:
        return {ReportFormName(kind),
                kind,
                QStringLiteral("売上明細（") + maker + QStringLiteral("名別）"),
                QStringLiteral("売上明細（") + maker + QStringLiteral("名別）"),
                maker + QStringLiteral("名別売上明細"),
                maker + QStringLiteral("名別 売上明細"),
                {ReportJump::PeriodOfSale, ReportJump::BuyerOfSale}};
    case ReportKind::Buyer:
        return {ReportFormName(kind),
                kind,
                QStringLiteral("売上明細（購入者別）"),
                QStringLiteral("売上明細（購入者名別）"),
                QStringLiteral("購入者別売上明細"),
                QStringLiteral("購入者別 売上明細"),
                {ReportJump::PeriodOfSale, ReportJump::MakerOfSale}};
    case ReportKind::Period:
        break;
    }
    return {ReportFormName(kind),
            kind,
            QStringLiteral("売上明細（期間指定）"),
            QStringLiteral("売上明細（期間指定）"),
            QStringLiteral("期間指定売上明細"),
            QStringLiteral("期間指定　売上明細"),
            {ReportJump::MakerOfSale, ReportJump::BuyerOfSale}};
}

ReportSelection ReportVariant::selection() const
{
    const AppGlobals& g = G();
    ReportSelection s{kind, g.PeriodFrom, g.PeriodTo, {}};
    if (kind == ReportKind::Maker)
        s.name = g.ReportMaker;
    else if (kind == ReportKind::Buyer)
        s.name = g.ReportBuyer;
    return s;
}

QString ReportVariant::leftHeader() const
{
    switch (kind) {
    case ReportKind::Maker:
        return G().Maker + QStringLiteral("名:") + G().ReportMaker;
    case ReportKind::Buyer:
        return QStringLiteral("購入者:") + G().ReportBuyer;
    case ReportKind::Period:
        break;
    }
    return {};
}
