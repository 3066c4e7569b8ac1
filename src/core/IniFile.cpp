#include "IniFile.h"

#include "Cp932.h"
#include "TextRoutines.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringList>

#include <cmath>
#include <limits>

namespace {

QString decodeFile(const QByteArray& bytes)
{
    static const QByteArray bom("\xEF\xBB\xBF");
    if (bytes.startsWith(bom))
        return QString::fromUtf8(bytes.mid(bom.size()));
    // Notepad's "Unicode" saves UTF-16 with its byte-order mark; the profile reader takes it too.
    if (bytes.startsWith("\xFF\xFE"))
        return QStringDecoder(QStringDecoder::Utf16LE).decode(bytes.mid(2));
    if (bytes.startsWith("\xFE\xFF"))
        return QStringDecoder(QStringDecoder::Utf16BE).decode(bytes.mid(2));
    bool ascii = true;
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (!ascii && IsValidUtf8(bytes))
        return QString::fromUtf8(bytes);
    return DecodeCp932(bytes);
}

// The profile reader hands back at most 255 bytes of the system code page.
QString limitTo255Bytes(const QString& value)
{
    QString result;
    int bytes = 0;
    for (int i = 0; i < value.size(); ++i) {
        const int len = value.at(i).isHighSurrogate() && i + 1 < value.size() ? 2 : 1;
        const QString ch = value.mid(i, len);
        const int chBytes = qMax<qsizetype>(1, EncodeCp932(ch).size());
        if (bytes + chBytes > 255)
            break;
        bytes += chBytes;
        result += ch;
        i += len - 1;
    }
    return result;
}

} // namespace

bool GetIniString(const QString& path, const QString& section, const QString& key, QString& value)
{
    value.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QString text = decodeFile(file.readAll());

    bool inSection = false;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(QLatin1Char('['))) {
            const int close = trimmed.indexOf(QLatin1Char(']'));
            const QString name = trimmed.mid(1, close < 0 ? -1 : close - 1).trimmed();
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection || trimmed.startsWith(QLatin1Char(';')))
            continue;
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        if (line.left(eq).trimmed().compare(key, Qt::CaseInsensitive) != 0)
            continue;
        QString found = line.mid(eq + 1);
        // Trailing blanks never reach the caller through the profile reader.
        while (!found.isEmpty() && IsBlankChar(found.back(), Blanks::Profile))
            found.chop(1);
        found = limitTo255Bytes(found);
        int start = 0;
        while (start < found.size() && found.at(start) == QLatin1Char(' '))
            ++start;
        value = found.mid(start);
        return !found.isEmpty();
    }
    return false;
}

std::int16_t IniInteger(const QString& text)
{
    // Blanks anywhere inside the number are skipped: "1 2" reads as 12.
    QString s;
    for (QChar c : text) {
        if (c != QLatin1Char(' ') && c != QLatin1Char('\t') && c != QLatin1Char('\r') &&
            c != QLatin1Char('\n'))
            s += c;
    }
    int i = 0;
    QString number;
    if (i < s.size() && (s[i] == QLatin1Char('+') || s[i] == QLatin1Char('-')))
        number += s[i++];
    bool digits = false;
    while (i < s.size() && s[i] >= QLatin1Char('0') && s[i] <= QLatin1Char('9')) {
        number += s[i++];
        digits = true;
    }
    if (i < s.size() && s[i] == QLatin1Char('.')) {
        number += s[i++];
        while (i < s.size() && s[i] >= QLatin1Char('0') && s[i] <= QLatin1Char('9')) {
            number += s[i++];
            digits = true;
        }
    }
    if (!digits)
        return 0;
    if (i < s.size() && (s[i] == QLatin1Char('e') || s[i] == QLatin1Char('E'))) {
        QString exponent = QStringLiteral("e");
        int j = i + 1;
        if (j < s.size() && (s[j] == QLatin1Char('+') || s[j] == QLatin1Char('-')))
            exponent += s[j++];
        bool expDigits = false;
        while (j < s.size() && s[j] >= QLatin1Char('0') && s[j] <= QLatin1Char('9')) {
            exponent += s[j++];
            expDigits = true;
        }
        if (expDigits)
            number += exponent;
    }
    bool ok = false;
    const double value = number.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return 0;
    const double rounded = std::nearbyint(value); // default rounding mode: ties to even
    if (rounded < std::numeric_limits<std::int16_t>::min() ||
        rounded > std::numeric_limits<std::int16_t>::max())
        return 0;
    return static_cast<std::int16_t>(rounded);
}
