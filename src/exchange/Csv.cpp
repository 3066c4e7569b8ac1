#include "Csv.h"

#include "core/Cp932.h"
#include "core/QelError.h"
#include "core/TextRoutines.h"

#include <limits>

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

bool FormulaSign(QChar c)
{
    return c == QLatin1Char('=') || c == QLatin1Char('+') || c == QLatin1Char('-') || c == QLatin1Char('@') ||
           c == QLatin1Char('\t') || c == QLatin1Char('\r');
}

} // namespace

QString CsvText(const std::vector<QStringList>& rows, const QList<int>& numericColumns)
{
    QString text;
    for (const QStringList& row : rows) {
        for (qsizetype i = 0; i < row.size(); ++i) {
            if (i > 0)
                text += QLatin1Char(',');
            const QString& field = row.at(i);
            const bool guard = !field.isEmpty() && !numericColumns.contains(int(i)) &&
                               (FormulaSign(field.front()) || field.front() == QLatin1Char('\''));
            text += Quoted(guard ? QLatin1Char('\'') + field : field);
        }
        text += QStringLiteral("\r\n");
    }
    return text;
}

QString CsvFieldText(const QString& field)
{
    if (field.size() >= 2 && field.front() == QLatin1Char('\'') &&
        (FormulaSign(field.at(1)) || field.at(1) == QLatin1Char('\'')))
        return field.mid(1);
    return field;
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
                     FileSave::Existing existing, const QList<int>& numericColumns)
{
    const QString text = CsvText(rows, numericColumns);
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

CsvReader::CsvReader(const QByteArray& data, char separator, CsvLimits limits)
    : m_data(data), m_separator(separator), m_limits(limits)
{
}

bool CsvReader::next(CsvRecord& record)
{
    const qsizetype n = m_data.size();
    if (m_pos >= n)
        return false;
    record.line = m_line;
    record.fields.clear();
    QByteArray field;
    int quoteLine = 0;
    bool inQuotes = false;
    bool fieldStart = true;
    const qsizetype start = m_pos;
    const auto tooLarge = [&] {
        if (inQuotes)
            return QelError(
                QelError::Kind::Malformed,
                QStringLiteral("%1 行目で始まる「\"」で囲まれた項目が %2 MB を過ぎても閉じられていません。")
                    .arg(quoteLine)
                    .arg(m_limits.recordBytes >> 20));
        return QelError(QelError::Kind::TooLarge, QStringLiteral("%1 行目が長すぎます（1 行 %2 MB まで）。")
                                                      .arg(record.line)
                                                      .arg(m_limits.recordBytes >> 20));
    };
    const auto endField = [&] {
        if (qsizetype(record.fields.size()) >= m_limits.fields)
            throw QelError(QelError::Kind::TooLarge, QStringLiteral("%1 行目の列が多すぎます（%2 列まで）。")
                                                         .arg(record.line)
                                                         .arg(m_limits.fields));
        record.fields.push_back(field);
        field.clear();
        fieldStart = true;
    };
    for (; m_pos < n; ++m_pos) {
        if (m_pos - start >= m_limits.recordBytes)
            throw tooLarge();
        const char c = m_data.at(m_pos);
        if (inQuotes) {
            if (c == '"') {
                if (m_pos + 1 < n && m_data.at(m_pos + 1) == '"') {
                    field += '"';
                    ++m_pos;
                } else {
                    inQuotes = false;
                }
            } else {
                if (c == '\n' || (c == '\r' && !(m_pos + 1 < n && m_data.at(m_pos + 1) == '\n')))
                    ++m_line;
                field += c;
            }
            continue;
        }
        if (c == '"' && fieldStart) {
            inQuotes = true;
            quoteLine = m_line;
            fieldStart = false;
        } else if (c == m_separator) {
            endField();
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && m_pos + 1 < n && m_data.at(m_pos + 1) == '\n')
                ++m_pos;
            ++m_pos;
            ++m_line;
            endField();
            return true;
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
    endField();
    return true;
}

std::vector<CsvRecord> ParseCsv(const QByteArray& data, char separator)
{
    CsvReader reader(data, separator,
                     {std::numeric_limits<qsizetype>::max(), std::numeric_limits<qsizetype>::max()});
    std::vector<CsvRecord> records;
    CsvRecord record;
    while (reader.next(record))
        records.push_back(record);
    return records;
}
