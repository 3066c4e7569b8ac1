#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// Where every text of a postcard or of a sheet of address labels goes, in millimetres from the
// paper's top-left corner, without a screen or a printer: the painter only draws what this
// places. Sizes are em sizes in millimetres. Every text is fitted into its space by a smaller
// size or another line; nothing is cut.

// One recipient as printed: the prefecture and the city (street and number) make the first
// address line, the building the second.
struct Addressee
{
    QString name;
    QString postalCode;
    QString prefecture;
    QString address1;
    QString address2;
    QString firstLine() const { return prefecture.trimmed() + address1.trimmed(); }
};

// The shop as the sender of the postcards.
struct Sender
{
    QString name;
    QString postalCode;
    QString address1;
    QString address2;
    QString phone;
    bool operator==(const Sender&) const = default;
};

enum class HonorificRule { Auto, Sama, Onchu };
// How the digits of vertical text are written: kanji digit by digit (二七丁目, 一〇番), kanji as
// numbers are counted (二十七丁目, 十番), or full-width digits (２７丁目).
enum class Numerals { Kanji, KanjiCounting, FullWidth };

// A sheet of labels on A4, portrait. Pitches are from one label's left (top) edge to the next.
struct LabelSheet
{
    QString name;
    int columns = 0;
    int rows = 0;
    double width = 0, height = 0, left = 0, top = 0, pitchX = 0, pitchY = 0;
    int count() const { return columns * rows; }
    QRectF label(int index) const; // from 0, across then down
    // Empty when the sheet fits on A4 with labels of a usable size; otherwise why not, for the user.
    QString problem() const;
};

// The common sheets: 12, 18, 21 and 24 labels.
const std::vector<LabelSheet>& LabelPresets();

struct AddressOptions
{
    enum class Kind { Postcard, Labels };
    Kind kind = Kind::Postcard;
    LabelSheet sheet;
    int startPosition = 1; // the first label used on the first sheet, from 1
    HonorificRule honorific = HonorificRule::Auto;
    Numerals numerals = Numerals::Kanji;
    bool printSender = false;
    Sender sender;
};

// How a glyph of vertical text stands: upright, turned a quarter clockwise (ー, 〜, …), or an
// upright small kana that sits in the upper-right corner of its cell.
enum class Turn { None, Rotated, Corner };

// One text on the paper. Vertical text is one glyph per item, its em cell as `box`; horizontal
// text is one run per line, `box` spanning its cells (full-width one em, half-width half).
struct PlacedText
{
    QString text;
    QRectF box;
    double size = 0;
    bool vertical = false;
    Turn turn = Turn::None;
    bool postalDigit = false; // a digit in a postal-code box
    // Where the glyph is drawn from its cell's centre: a small kana of vertical text keeps to the
    // upper-right corner of its cell.
    QPointF inkShift;
};

struct AddressPage
{
    QSizeF paper;
    std::vector<QRectF> postalBoxes; // the seven boxes of a postcard, for plain paper
    std::vector<PlacedText> texts;
};

// The part of the paper that printers reach: everything is placed at least this far inside.
inline constexpr double kPrintableMargin = 4.0;
inline constexpr QSizeF kPostcardSize{100.0, 148.0};
inline constexpr QSizeF kA4Size{210.0, 297.0};

// "様", or "御中" for a name that reads as a company, unless the rule says which.
QString HonorificFor(const QString& name, HonorificRule rule);
// The seven digits of a postal code typed with or without its hyphen, full- or half-width; none
// for anything else.
std::optional<QString> PostalDigits(const QString& typed);

// Where a line of an address may break: only between words (at a blank, after the prefecture or
// a city or ward, before and after a house number, and in a building's name where the script
// changes), never inside a number or a place name. A name may break anywhere.
enum class Wording { Address, Building, Name };
// The text cut into the pieces that stay on one line; joined they are the text.
QStringList AddressWords(const QString& text, Wording wording);

// A text as vertical writing sets it: one item per cell, with the glyph to draw and its turn.
// Digits become kanji numerals or full-width digits, Latin letters and signs full-width,
// hyphens and dashes the vertical line, brackets and the comma and full stop their vertical
// forms. A blank is an empty cell. A number joined to Latin letters stays in digits, except a
// floor: "2F" reads 二階 in kanji (２Ｆ in full-width digits), "B1F" 地下一階.
struct VerticalGlyph
{
    QString text;
    Turn turn = Turn::None;
    bool wordStart = true; // a column may start here
};
std::vector<VerticalGlyph> VerticalGlyphs(const QString& text, Numerals numerals,
                                          Wording wording = Wording::Name);
// The width of a horizontal text in ems: half-width characters count half.
double EmWidth(const QString& text);

// What the screen tells before printing: customers printed without an address (a prefecture
// alone is none) or a postal code,
// and postal codes printed as typed beside the boxes. Empty when every customer is complete.
QStringList AddressNotes(const std::vector<Addressee>& addressees);

// The pages of a run: one postcard per addressee, or the labels of the sheet from the start
// position on, as many sheets as needed.
class AddressLayout
{
  public:
    AddressLayout(std::vector<Addressee> addressees, AddressOptions options);

    int pageCount() const;
    QSizeF paper() const;
    AddressPage page(int index) const;

  private:
    AddressPage postcard(const Addressee& a) const;
    void placeLabel(AddressPage& page, const QRectF& label, const Addressee& a) const;

    std::vector<Addressee> m_addressees;
    AddressOptions m_options;
};
