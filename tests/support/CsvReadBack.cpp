#include "CsvReadBack.h"

#include "exchange/SheetReader.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

bool LibreOfficeInstalled()
{
    return !QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty();
}

std::vector<QStringList> LibreOfficeCells(const QString& csvPath, int encoding, int columns, bool asText)
{
    std::vector<QStringList> rows;
    QTemporaryDir dir;
    if (!LibreOfficeInstalled() || !dir.isValid())
        return rows;
    QString formats;
    for (int c = 1; c <= columns; ++c)
        formats += (c > 1 ? QStringLiteral("/") : QString()) + QString::number(c) + QStringLiteral("/2");
    QProcess convert;
    convert.start(QStandardPaths::findExecutable(QStringLiteral("soffice")),
                  {QStringLiteral("-env:UserInstallation=file://") + dir.path() + QStringLiteral("/profile"),
                   QStringLiteral("--headless"),
                   asText ? QStringLiteral("--infilter=CSV:44,34,%1,1,%2").arg(encoding).arg(formats)
                          : QStringLiteral("--infilter=CSV:44,34,%1,1").arg(encoding),
                   QStringLiteral("--convert-to"), QStringLiteral("xlsx"), QStringLiteral("--outdir"),
                   dir.path(), csvPath});
    if (!convert.waitForFinished(180000))
        return rows;
    const SheetModel sheet = ReadWorkbook(dir.path() + QLatin1Char('/') +
                                          QFileInfo(csvPath).completeBaseName() + QStringLiteral(".xlsx"));
    for (int r = 1; r <= sheet.lastRow(); ++r) {
        QStringList cells;
        for (int c = 1; c <= columns; ++c) {
            const SheetCell* cell = sheet.cell(r, c);
            cells << (cell ? sheet.displayText(*cell) : QString());
        }
        rows.push_back(cells);
    }
    return rows;
}
