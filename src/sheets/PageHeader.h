#pragma once

#include <QString>
#include <QStringView>

#include <vector>

// Page headers and footers as the workbook keeps them: "&L", "&C" and "&R" open the left,
// centre and right sections; "&&" is an ampersand; other codes set the font ("&\"name,style\"",
// "&12") or stand for a field ("&P" page, "&N" pages, "&A" sheet, "&F" file, "&D" date, "&T" time).

struct HeaderToken
{
    enum Kind { Text, Section, Ampersand, Font, Field } kind;
    QStringView piece; // as written
    int section = 1;   // where it stands (a Section token: where it leads): 0 left, 1 centre, 2 right
    QChar field;       // for Field: the code letter, upper-case
};

// A header cut into its pieces; text before any section code is centred.
std::vector<HeaderToken> TokenizeHeader(QStringView header);

// The three sections, each with the formatting codes that lead it, for editing one section
// and putting the header back together.
struct HeaderSections
{
    QString codes[3];
    QString text[3];
};
HeaderSections ParseHeader(const QString& header);
QString ComposeHeader(const HeaderSections& sections);

// The three sections of a header or footer as printed: formatting codes removed and the fields
// replaced, the date and time taken from the application's clock.
struct HeaderText
{
    QString left, center, right;
};
HeaderText HeaderSectionsOf(const QString& header, int page, int pages, const QString& sheetName,
                            const QString& fileName);
