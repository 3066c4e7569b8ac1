#pragma once

#include <QString>

#include <cstdint>

// The characters "0" to "9" of the text, in order; everything else is dropped.
QString NumOnly(const QString& text);

// Folds half-width kana for reading comparisons: voiced marks dropped, small kana made large.
QString KanaNormalize(const QString& text);

// Removes leading and trailing U+0020 only, as the screens trim their fields.
QString TrimBlank(const QString& text);

// Blanks of either width: U+0020 and the ideographic space U+3000. A field of nothing but them
// is empty to the user; an imported value loses them at both ends. Other texts know other
// blanks: the configuration file's lines U+0020 and the tab only, a text read from a file
// (a name read for its reading, a cell's text) every one of them and the line ends.
enum class Blanks { EitherWidth, Profile, Any };
bool IsBlankChar(QChar c, Blanks blanks = Blanks::EitherWidth);
bool IsAllBlank(QStringView text);
QString TrimBlanks(const QString& text);

// Variation selectors (U+FE00 to U+FE0F, U+E0100 to U+E01EF) choose a glyph of the character
// before them (辻󠄀 is 辻 followed by U+E0100); they are no part of its sound.
bool IsVariationSelector(char32_t c);
QString WithoutVariationSelectors(const QString& text);

// What a reading may hold: half-width katakana (with ･, ﾞ, ﾟ and ｰ) and U+0020; the rest dropped.
QString ReadingCharsOnly(const QString& text);

// Narrow (half-width) characters to their wide forms: ASCII, the blank, half-width katakana,
// the narrow signs (¢ £ ¥ ¦ ¬ ¯ ₩) and the half-width symbols.
QString ToWide(const QString& text);

// Hiragana and full-width katakana (and full-width ASCII) to half-width katakana, voiced marks split;
// combining voiced marks (U+3099, U+309A) become ﾞ and ﾟ.
QString ToHalfKatakana(const QString& text);

// Full-width ASCII and the ideographic space to their half-width forms, and the wide forms that
// input methods write for - ~ ` ' " (− 〜 ‘ ’ ”).
QString ToHalfAscii(const QString& text);

// What a single-line field may hold: a line break (CR, LF, CR LF and the other breaks) or a tab
// becomes one blank; other control characters and broken surrogate halves are dropped.
QString SingleLine(const QString& text);

// The number of characters (Unicode code points): a surrogate pair is one. Field limits count
// in these units, so that what a limit lets through stays bounded in storage.
qsizetype CharCount(QStringView text);

// At most `count` characters from the start, cut only between user-perceived characters
// (grapheme clusters): a letter with its marks, ｶﾞ, an emoji sequence joined by ZWJ or a flag is
// left out whole when it does not fit.
QString LeftChars(const QString& text, qsizetype count);
// Where the first `count` characters end, moved on to the end of the user-perceived character
// that the count ends in: the place to split a text into lines of `count` characters.
qsizetype CharsEnd(QStringView text, qsizetype count);

// Where `after` differs from `before`: the units they share at the start and at the end (never
// overlapping), so that `before` lost [head, before.size() - tail) and `after` has in its place
// [head, after.size() - tail).
struct TextChange
{
    qsizetype head;
    qsizetype tail;
};
TextChange ChangeBetween(QStringView before, QStringView after);

// Whether every character is kana (hiragana, katakana of either width) or the prolonged mark.
bool IsKanaOnly(const QString& text);

// A path as the program shows it in its messages and labels: cleaned (no "..", no doubled or
// trailing separator), with the system's separators.
QString ShownPath(const QString& path);
// The line of a message that names a file or a folder: "ファイル: " or "フォルダ: " and the path
// as ShownPath shows it.
QString FileLine(const QString& path);
QString FolderLine(const QString& folder);
