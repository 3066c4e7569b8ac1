#include "Csv.h"

#include "core/Cp932.h"
#include "core/QelError.h"
#include "core/TextRoutines.h"

namespace {

QString Quoted(const QString& field)
{
    static const QString special = QStringLiteral(",\"\r\n");
    bool quote = false;
    for (QChar c : field)
        quote = quote || special.contains(c);
    if (!quote)
        return field;
    QString out = field;
    out.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + out + QLatin1Char('"');
}

} // namespace

QString CsvText(const std::vector<QStringList>& rows)
{
    QString text;
    for (const QStringList& row : rows) {
        for (qsizetype i = 0; i < row.size(); ++i) {
            if (i > 0)
                text += QLatin1Char(',');
            text += Quoted(row.at(i));
        }
        text += QStringLiteral("\r\n");
    }
    return text;
}

std::vector<CsvUnheld> Cp932Unheld(const std::vector<QStringList>& rows)
{
    std::vector<CsvUnheld> unheld;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        // One look at the whole row; only a row that fails is looked at field by field.
        if (Cp932Holds(rows[r].join(QLatin1Char(','))))
            continue;
        for (qsizetype c = 0; c < rows[r].size(); ++c) {
            if (!Cp932Holds(rows[r].at(c)))
                unheld.push_back({static_cast<qsizetype>(r), c});
        }
    }
    return unheld;
}

QString WriteCsvFile(const QString& path, const std::vector<QStringList>& rows, CsvEncoding encoding,
                     FileSave::Existing existing)
{
    const QString text = CsvText(rows);
    QByteArray bytes;
    if (encoding == CsvEncoding::Cp932) {
        if (!Cp932Unheld(rows).empty())
            throw QelError(QelError::Kind::Encoding,
                           QStringLiteral("Shift_JIS（CP932）で書けない文字があります。"));
        bytes = EncodeCp932(text);
    } else {
        bytes = QByteArrayLiteral("\xEF\xBB\xBF") + text.toUtf8();
    }
    FileSave save(path, existing);
    if (save.file().write(bytes) != bytes.size())
        throw QelError(QelError::Kind::FileOperation,
                       QStringLiteral("ファイルに書き込めません。\n") + ShownPath(path),
                       save.file().errorString());
    return save.commit();
}

char GuessSeparator(const QByteArray& data)
{
    int commas = 0;
    int tabs = 0;
    bool quoted = false;
    for (char c : data) {
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && (c == '\n' || c == '\r'))
            break;
        else if (!quoted && c == ',')
            ++commas;
        else if (!quoted && c == '\t')
            ++tabs;
    }
    return tabs > commas ? '\t' : ',';
}

std::vector<CsvRecord> ParseCsv(const QByteArray& data, char separator)
{
    std::vector<CsvRecord> records;
    CsvRecord record;
    QByteArray field;
    int line = 1;
    int quoteLine = 0;
    bool inQuotes = false;
    bool fieldStart = true;
    bool any = false; // the record has begun
    const qsizetype n = data.size();
    const auto endRecord = [&] {
        record.fields.push_back(field);
        records.push_back(std::move(record));
        record = CsvRecord();
        field.clear();
        fieldStart = true;
        any = false;
    };
    for (qsizetype i = 0; i < n; ++i) {
        const char c = data.at(i);
        if (!any) {
            record.line = line;
            any = true;
        }
        if (inQuotes) {
            if (c == '"') {
                if (i + 1 < n && data.at(i + 1) == '"') {
                    field += '"';
                    ++i;
                } else {
                    inQuotes = false;
                }
            } else {
                if (c == '\n' || (c == '\r' && !(i + 1 < n && data.at(i + 1) == '\n')))
                    ++line;
                field += c;
            }
            continue;
        }
        if (c == '"' && fieldStart) {
            inQuotes = true;
            quoteLine = line;
            fieldStart = false;
        } else if (c == separator) {
            record.fields.push_back(field);
            field.clear();
            fieldStart = true;
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < n && data.at(i + 1) == '\n')
                ++i;
            endRecord();
            ++line;
        } else {
            field += c;
            fieldStart = false;
        }
    }
    if (inQuotes) {
        throw QelError(QelError::Kind::Malformed,
                       QStringLiteral("%1 行目で始まる「\"」で囲まれた項目が閉じられていません。\n"
                                      "ファイルの終わりまでが一つの項目になってしまうため、読み込みません。")
                           .arg(quoteLine));
    }
    if (any)
        endRecord();
    return records;
}
