#include "PageHeader.h"

#include "core/Clock.h"

std::vector<HeaderToken> TokenizeHeader(QStringView header)
{
    std::vector<HeaderToken> out;
    int section = 1;
    qsizetype textStart = -1;
    auto endText = [&](qsizetype at) {
        if (textStart >= 0)
            out.push_back({HeaderToken::Text, header.mid(textStart, at - textStart), section, {}});
        textStart = -1;
    };
    for (qsizetype i = 0; i < header.size(); ++i) {
        if (header.at(i) != QLatin1Char('&') || i + 1 >= header.size()) {
            if (textStart < 0)
                textStart = i;
            continue;
        }
        endText(i);
        const QChar code = header.at(i + 1).toUpper();
        qsizetype end = i + 2;
        HeaderToken token{HeaderToken::Font, {}, section, {}};
        if (code == QLatin1Char('L') || code == QLatin1Char('C') || code == QLatin1Char('R')) {
            token.kind = HeaderToken::Section;
            section = token.section = code == QLatin1Char('L') ? 0 : code == QLatin1Char('C') ? 1 : 2;
        } else if (code == QLatin1Char('&')) {
            token.kind = HeaderToken::Ampersand;
        } else if (code == QLatin1Char('"')) {
            end = header.indexOf(QLatin1Char('"'), i + 2);
            end = end < 0 ? header.size() : end + 1;
        } else if (code.isDigit()) {
            while (end < header.size() && header.at(end).isDigit())
                ++end;
        } else if (QStringView(u"PNAFDT").contains(code)) {
            token.kind = HeaderToken::Field;
            token.field = code;
        }
        token.piece = header.mid(i, end - i);
        out.push_back(token);
        i = end - 1;
    }
    endText(header.size());
    return out;
}

HeaderSections ParseHeader(const QString& header)
{
    HeaderSections out;
    for (const HeaderToken& t : TokenizeHeader(header)) {
        const int section = t.section;
        switch (t.kind) {
        case HeaderToken::Section:
            break;
        case HeaderToken::Font:
        case HeaderToken::Field:
            // Codes before any text belong to the section's look.
            if (out.text[section].isEmpty())
                out.codes[section] += t.piece;
            else
                out.text[section] += t.piece;
            break;
        case HeaderToken::Text:
        case HeaderToken::Ampersand:
            out.text[section] += t.piece;
            break;
        }
    }
    return out;
}

QString ComposeHeader(const HeaderSections& h)
{
    static const char* const marks[] = {"&L", "&C", "&R"};
    QString out;
    for (int s = 0; s < 3; ++s) {
        if (h.text[s].isEmpty() && h.codes[s].isEmpty())
            continue;
        out += QLatin1String(marks[s]) + h.codes[s];
        // A size code runs on into digits that follow it.
        if (!h.codes[s].isEmpty() && h.codes[s].back().isDigit() && !h.text[s].isEmpty() &&
            h.text[s].front().isDigit())
            out += QLatin1Char(' ');
        out += h.text[s];
    }
    return out;
}

HeaderText HeaderSectionsOf(const QString& header, int page, int pages, const QString& sheetName,
                            const QString& fileName)
{
    QString sections[3];
    for (const HeaderToken& t : TokenizeHeader(header)) {
        QString& section = sections[t.section];
        switch (t.kind) {
        case HeaderToken::Section:
        case HeaderToken::Font:
            break;
        case HeaderToken::Text:
            section += t.piece;
            break;
        case HeaderToken::Ampersand:
            section += QLatin1Char('&');
            break;
        case HeaderToken::Field:
            switch (t.field.unicode()) {
            case 'P':
                section += QString::number(page);
                break;
            case 'N':
                section += QString::number(pages);
                break;
            case 'A':
                section += sheetName;
                break;
            case 'F':
                section += fileName;
                break;
            case 'D':
                section += Clock::current().now().date().toString(QStringLiteral("yyyy/MM/dd"));
                break;
            case 'T':
                section += Clock::current().now().time().toString(QStringLiteral("HH:mm"));
                break;
            }
            break;
        }
    }
    return {sections[0], sections[1], sections[2]};
}
