#pragma once

#include <QString>

// The name of every form, for opening a screen and for telling which screen opened another:
// a misspelt name does not compile.
namespace Forms {
inline const QString Frm010_Qel = QStringLiteral("Frm010_Qel");
inline const QString Frm020_Qel = QStringLiteral("Frm020_Qel");
inline const QString Frm025_Qel = QStringLiteral("Frm025_Qel");
inline const QString Frm030_Qel = QStringLiteral("Frm030_Qel");
inline const QString Frm040_Qel = QStringLiteral("Frm040_Qel");
inline const QString Frm045_Qel = QStringLiteral("Frm045_Qel");
inline const QString Frm050_Qel = QStringLiteral("Frm050_Qel");
inline const QString Frm055_Qel = QStringLiteral("Frm055_Qel");
inline const QString Frm060_Qel = QStringLiteral("Frm060_Qel");
inline const QString Frm070_Qel = QStringLiteral("Frm070_Qel");
inline const QString Frm080_Qel = QStringLiteral("Frm080_Qel");
inline const QString Frm090_Qel = QStringLiteral("Frm090_Qel");
inline const QString Frm310_Qel = QStringLiteral("Frm310_Qel");
inline const QString Frm320_Qel = QStringLiteral("Frm320_Qel");
inline const QString Frm330_Qel = QStringLiteral("Frm330_Qel");
inline const QString Frm340_Qel = QStringLiteral("Frm340_Qel");
inline const QString Frm350_Qel = QStringLiteral("Frm350_Qel");
inline const QString Frm360_Qel = QStringLiteral("Frm360_Qel");
inline const QString Frm370_Qel = QStringLiteral("Frm370_Qel");
inline const QString Frm380_Qel = QStringLiteral("Frm380_Qel");
inline const QString Frm510_Qel = QStringLiteral("Frm510_Qel");
inline const QString Frm520_Qel = QStringLiteral("Frm520_Qel");
inline const QString Frm530_Qel = QStringLiteral("Frm530_Qel");
inline const QString Frm540_Qel = QStringLiteral("Frm540_Qel");
inline const QString Frm550_Qel = QStringLiteral("Frm550_Qel");
inline const QString Frm610_Qel = QStringLiteral("Frm610_Qel");
inline const QString Frm620_Qel = QStringLiteral("Frm620_Qel");
inline const QString Frm630_Qel = QStringLiteral("Frm630_Qel");
} // namespace Forms
