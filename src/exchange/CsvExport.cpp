#include "CsvExport.h"

#include "Csv.h"

#include "core/ChooserFolder.h"
#include "core/QelError.h"
#include "core/TextRoutines.h"
#include "ui/BusyRun.h"
#include "ui/DialogService.h"
#include "ui/FormBase.h"

namespace {

constexpr int kNamedFields = 8;

// "No.3 の名前「𠮷田」" for each unheld field, the first few of them.
QString UnheldList(const std::vector<QStringList>& rows, const std::vector<CsvUnheld>& unheld)
{
    QStringList lines;
    for (std::size_t i = 0; i < unheld.size() && i < kNamedFields; ++i) {
        const CsvUnheld& u = unheld[i];
        const QString heading = rows.front().value(u.column);
        const QString text = rows[u.row].value(u.column);
        lines << (u.row == 0 ? QStringLiteral("　見出しの「%1」").arg(text)
                             : QStringLiteral("　No.%1 の%2「%3」").arg(u.row).arg(heading, text));
    }
    if (unheld.size() > kNamedFields)
        lines << QStringLiteral("　ほか %1 項目").arg(unheld.size() - kNamedFields);
    return lines.join(QLatin1Char('\n'));
}

} // namespace

QString ExportCsv(FormBase* screen, const QString& subject, const QString& fileName,
                  const std::vector<QStringList>& rows, const QList<int>& numericColumns)
{
    const QStringList types = {QStringLiteral("CSV Shift_JIS (*.csv)"),
                               QStringLiteral("CSV UTF-8 BOM付き (*.csv)")};
    int type = 0;
    const QString chosen =
        Dialogs().saveFile(QStringLiteral("CSV出力"), ChooserTarget(fileName), types, type);
    if (chosen.isEmpty())
        return {};
    const ChosenFile target = ChosenTarget(chosen, QStringLiteral("csv"));
    CsvEncoding encoding = type == 1 ? CsvEncoding::Utf8Bom : CsvEncoding::Cp932;
    if (encoding == CsvEncoding::Cp932) {
        const std::vector<CsvUnheld> unheld = Cp932Unheld(rows);
        if (!unheld.empty()) {
            const QString question = QStringLiteral("次の項目には Shift_JIS で書けない文字があります。\n") +
                                     UnheldList(rows, unheld) +
                                     QStringLiteral("\nUTF-8（BOM付き）で出力しますか");
            if (Dialogs().question(QStringLiteral("確認"), question) != DialogService::Answer::Yes)
                return {};
            encoding = CsvEncoding::Utf8Bom;
        }
    }
    QString written;
    try {
        BusyRun busy({});
        written = WriteCsvFile(target.path, rows, encoding, target.existing, numericColumns);
    } catch (const QelError& e) {
        Dialogs().failure(screen->boxTitle(), e.message(), e.detail());
        return {};
    }
    Dialogs().fileWritten(
        QStringLiteral("CSV出力"),
        QStringLiteral("%1を CSV ファイルに出力しました（%2 件、%3）\n")
                .arg(subject)
                .arg(rows.size() - 1)
                .arg(encoding == CsvEncoding::Cp932 ? QStringLiteral("Shift_JIS") : QStringLiteral("UTF-8")) +
            ShownPath(written),
        written);
    return written;
}
