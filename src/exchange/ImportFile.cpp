#include "ImportFile.h"

#include "Csv.h"
#include "SheetReader.h"
#include "ZipReader.h"

#include "core/Cp932.h"
#include "core/QelError.h"
#include "core/TextRoutines.h"
#include "sheets/CellRef.h"
#include "sheets/NumberFormat.h"
#include "sheets/ZipPackage.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QStringDecoder>
#include <QXmlStreamReader>

#include <pugixml.hpp>

#include <algorithm>
#include <memory>
#include <optional>

namespace {

constexpr qint64 kChunk = 1024 * 1024;
// The small parts of a workbook (its sheet list and relations) are read whole.
constexpr std::int64_t kSmallPartCap = 4 << 20;
constexpr int kMaxCellFormats = 65536;
constexpr qsizetype kMaxTokenBytes = 4 << 20;

[[noreturn]] void Refuse(QelError::Kind kind, const QString& path, const QString& why)
{
    throw QelError(kind, why + QStringLiteral("\n") + ShownPath(path));
}

QString SizeText(qint64 bytes)
{
    return QString::number(bytes / (1024 * 1024)) + QStringLiteral(" MB");
}

// A limit as the messages write it: 32,767.
QString Count(qint64 n)
{
    QLocale c = QLocale::c();
    c.setNumberOptions({});
    return c.toString(n);
}

// The limits every reader keeps while it adds rows.
class Rows
{
  public:
    Rows(ImportSource& source, const QString& path) : m_source(source), m_path(path) {}

    // A cell's text, refused when it is longer than a spreadsheet cell can be.
    void checkCell(const QString& text, int line, qsizetype column) const
    {
        if (text.size() > kImportMaxCellChars && CharCount(text) > kImportMaxCellChars)
            Refuse(QelError::Kind::TooLarge, m_path,
                   QStringLiteral("%1 行目 %2 列目の項目が長すぎます（%3 文字まで）。")
                       .arg(line)
                       .arg(column + 1)
                       .arg(Count(kImportMaxCellChars)));
    }
    // Keeps the row unless it is blank.
    void add(ImportSource::Line&& line)
    {
        if (line.blank())
            return;
        if (m_source.lines.size() >= std::size_t(kImportMaxRows))
            Refuse(QelError::Kind::TooLarge, m_path,
                   QStringLiteral("行が多すぎます（取り込めるのは %1 行までです）。")
                       .arg(Count(kImportMaxRows)));
        m_chars += line.chars();
        if (m_chars > kImportMaxTextChars)
            Refuse(QelError::Kind::TooLarge, m_path,
                   QStringLiteral("%1 行目までで文字が多すぎます（全部で %2 文字まで）。")
                       .arg(line.line)
                       .arg(Count(kImportMaxTextChars)));
        m_source.lines.push_back(std::move(line));
    }

  private:
    ImportSource& m_source;
    const QString& m_path;
    qsizetype m_chars = 0;
};

// Reads at most maxBytes + 1 bytes a megabyte at a time, refusing a long file as soon as it passes
// the limit.
QByteArray ReadTextBytes(QFile& file, const QString& path, qint64 maxBytes)
{
    QByteArray data;
    while (true) {
        const QByteArray chunk = file.read(kChunk);
        if (chunk.isEmpty())
            break;
        data += chunk;
        if (data.size() > maxBytes)
            Refuse(QelError::Kind::TooLarge, path,
                   QStringLiteral("ファイルが大きすぎます。取り込めるのは %1 までです。")
                       .arg(SizeText(maxBytes)));
    }
    if (file.error() != QFileDevice::NoError)
        throw QelError(QelError::Kind::FileOperation,
                       QStringLiteral("ファイルを読めません。\n") + ShownPath(path), file.errorString());
    return data;
}

// UTF-16 without a byte-order mark: the zero bytes of its ASCII characters (separators, digits,
// line ends) all stand on the same side of their units, and it decodes without a fault.
std::optional<QStringDecoder::Encoding> Utf16WithoutMark(const QByteArray& data)
{
    if (data.size() % 2 != 0)
        return std::nullopt;
    qsizetype even = 0, odd = 0;
    const qsizetype n = std::min<qsizetype>(data.size(), 1 << 16);
    for (qsizetype i = 0; i < n; ++i) {
        if (data.at(i) == '\0')
            ++(i % 2 == 0 ? even : odd);
    }
    if ((even == 0) == (odd == 0))
        return std::nullopt;
    const auto encoding = odd > 0 ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE;
    QStringDecoder decoder(encoding, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(data.left(n));
    if (decoder.hasError())
        return std::nullopt;
    for (QChar c : text) {
        if (c.unicode() < 0x20 && c != QLatin1Char('\t') && c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            return std::nullopt;
    }
    return encoding;
}

const QString kBinary = QStringLiteral("テキストのファイルではありません（バイナリファイルです）。\n"
                                       "CSV ファイルか .xlsx のブックを選んでください。");

ImportSource ReadCsvSource(QFile& file, const QString& path, qint64 maxBytes, const ImportProgress& progress)
{
    QByteArray data = ReadTextBytes(file, path, maxBytes);
    ImportSource source;
    QString encoding;
    bool utf8 = true;
    std::optional<QStringDecoder::Encoding> utf16;
    if (data.startsWith("\xFF\xFE") || data.startsWith("\xFE\xFF")) {
        utf16 = data.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE;
        data.remove(0, 2);
    } else if (data.contains('\0')) {
        utf16 = Utf16WithoutMark(data);
        if (!utf16)
            Refuse(QelError::Kind::Encoding, path, kBinary);
        source.notice =
            QStringLiteral("文字コードの印（BOM）がありませんが、UTF-16 のファイルとして読み込みました。");
    }
    if (utf16) {
        // Spreadsheets save "Unicode text" as UTF-16 with tabs; as UTF-8 it parses the same.
        QStringDecoder decoder(*utf16);
        data = QString(decoder.decode(data)).toUtf8();
        encoding = QStringLiteral("UTF-16");
    } else if (data.startsWith("\xEF\xBB\xBF")) {
        data.remove(0, 3);
        encoding = QStringLiteral("UTF-8");
        // A mark of UTF-8 before Shift_JIS text: some programs add it whatever they write.
        if (!IsValidUtf8(data) && DecodeCp932Exact(data)) {
            utf8 = false;
            encoding = QStringLiteral("Shift_JIS");
            source.notice = QStringLiteral("先頭に UTF-8 の印（BOM）がありますが、中身は Shift_JIS "
                                           "でした。Shift_JIS として読み込みました。");
        }
    } else if (IsValidUtf8(data)) {
        encoding = QStringLiteral("UTF-8");
    } else {
        utf8 = false;
        encoding = QStringLiteral("Shift_JIS");
    }
    if (data.trimmed().isEmpty())
        Refuse(QelError::Kind::Malformed, path, QStringLiteral("ファイルが空です。"));

    const char separator = GuessSeparator(data);
    source.kind = QStringLiteral("CSV（%1・%2区切り）")
                      .arg(encoding, separator == '\t' ? QStringLiteral("タブ") : QStringLiteral("カンマ"));
    CsvReader reader(data, separator, {kImportMaxLineBytes, kImportMaxColumns});
    Rows rows(source, path);
    CsvRecord record;
    int unreadable = 0;
    int shown = -1;
    try {
        while (reader.next(record)) {
            ImportSource::Line line;
            line.line = record.line;
            for (const QByteArray& field : record.fields) {
                std::optional<QString> text;
                if (utf8) {
                    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
                    QString decoded = decoder.decode(field);
                    if (!decoder.hasError())
                        text = decoded;
                } else {
                    text = DecodeCp932Exact(field);
                }
                if (!text) {
                    line.problem = QStringLiteral("読めない文字があります（%1 列目）").arg(line.size() + 1);
                    text = utf8 ? QString::fromUtf8(field) : DecodeCp932(field);
                }
                rows.checkCell(*text, line.line, line.size());
                line.append(CsvFieldText(*text));
            }
            if (line.blank())
                continue;
            if (!line.problem.isEmpty()) {
                if (source.lines.empty())
                    Refuse(QelError::Kind::Encoding, path,
                           QStringLiteral("最初の行に読めない文字があります。Shift_JIS か UTF-8 の CSV "
                                          "ファイルを選んでください。"));
                ++unreadable;
            }
            rows.add(std::move(line));
            if (const int percent = int(reader.position() * 100 / data.size());
                progress && percent != shown) {
                shown = percent;
                progress(percent);
            }
        }
    } catch (const QelError& e) {
        if (e.message().endsWith(ShownPath(path)))
            throw;
        throw e.within({}, ShownPath(path));
    }
    if (source.lines.empty())
        Refuse(QelError::Kind::Malformed, path, QStringLiteral("ファイルが空です。"));
    if (unreadable > 0 && unreadable * 2 > static_cast<int>(source.lines.size()))
        Refuse(
            QelError::Kind::Encoding, path,
            QStringLiteral("文字コードを判別できません（Shift_JIS でも UTF-8 でもない行が %1 行あります）。")
                .arg(unreadable));
    return source;
}

// A part of a workbook read as XML while it unpacks, never held whole.
class PartXml
{
  public:
    using Moved = std::function<void(std::int64_t unpacked)>;

    PartXml(ZipReader& archive, const std::string& name, Moved moved)
        : m_part(archive.stream(name)), m_name(QString::fromStdString(name)), m_moved(std::move(moved))
    {
    }
    std::int64_t claimed() const { return m_part->claimed(); }

    // The next token; false at the end of the part.
    bool next()
    {
        for (;;) {
            const QXmlStreamReader::TokenType token = m_xml.readNext();
            m_attributesRead = false;
            if (token == QXmlStreamReader::EndDocument)
                return false;
            if (token != QXmlStreamReader::Invalid) {
                m_waiting = 0;
                return true;
            }
            if (m_xml.error() != QXmlStreamReader::PrematureEndOfDocumentError)
                break;
            const QByteArray piece = m_part->next();
            if (piece.isEmpty())
                break;
            // The reader holds a token whole until it ends: one that never ends (a comment, a text
            // or an attribute of many megabytes) would take the whole part into memory.
            m_waiting += piece.size();
            if (m_waiting > kMaxTokenBytes)
                throw QelError(QelError::Kind::TooLarge,
                               QStringLiteral("ブックの部品 %1 に %2 MB を超える一続きの部分があります。")
                                   .arg(m_name)
                                   .arg(kMaxTokenBytes >> 20));
            m_xml.addData(piece);
            if (m_moved)
                m_moved(m_part->unpacked());
        }
        throw QelError(QelError::Kind::NotAWorkbook, QelError::sentence(QelError::Kind::NotAWorkbook),
                       QStringLiteral("%1: %2").arg(m_name, m_xml.errorString()));
    }
    bool starts(QLatin1StringView name) const { return m_xml.isStartElement() && m_xml.name() == name; }
    bool ends(QLatin1StringView name) const { return m_xml.isEndElement() && m_xml.name() == name; }
    // The attribute of the element now started, until the next token.
    QStringView attribute(QLatin1StringView name)
    {
        if (!m_attributesRead) {
            m_attributes = m_xml.attributes();
            m_attributesRead = true;
        }
        return m_attributes.value(name);
    }
    QStringView text() const { return m_xml.text(); }
    bool characters() const { return m_xml.isCharacters(); }

    // The text of a string item (<si> or <is>, now started): its runs without the phonetic
    // readings, up to its end.
    QString stringItem(QLatin1StringView item)
    {
        QString out;
        int inText = 0;
        int phonetic = 0;
        while (next() && !ends(item)) {
            if (starts(QLatin1StringView("rPh")))
                ++phonetic;
            else if (ends(QLatin1StringView("rPh")))
                --phonetic;
            else if (starts(QLatin1StringView("t")))
                ++inText;
            else if (ends(QLatin1StringView("t")))
                --inText;
            else if (characters() && inText > 0 && phonetic == 0)
                take(out, QStringLiteral("ブックの中に長すぎる文字列があります（%1 文字まで）。"));
        }
        return UnescapeX(out);
    }
    // The text up to the end of the element now started.
    QString elementText(QLatin1StringView element)
    {
        QString out;
        while (next() && !ends(element)) {
            if (characters())
                take(out, QStringLiteral("ブックの中に長すぎる値があります（%1 文字まで）。"));
        }
        return out;
    }

  private:
    // Appends the characters now read; a text far past a cell's limit is refused while it grows.
    void take(QString& out, const QString& tooLong) const
    {
        if (out.size() + m_xml.text().size() > qsizetype(kImportMaxCellChars) * 2)
            throw QelError(QelError::Kind::TooLarge, tooLong.arg(Count(kImportMaxCellChars)));
        out += m_xml.text();
    }

    std::unique_ptr<ZipReader::Part> m_part;
    QString m_name;
    Moved m_moved;
    QXmlStreamReader m_xml;
    QXmlStreamAttributes m_attributes;
    bool m_attributesRead = false;
    qsizetype m_waiting = 0; // bytes given to the reader since its last token
};

// The texts a workbook lists once and its cells name by number, kept one after another.
struct SharedStrings
{
    QString text;
    std::vector<qint32> ends;
    QString at(qsizetype i) const
    {
        const qint32 start = i == 0 ? 0 : ends[std::size_t(i - 1)];
        return text.mid(start, ends[std::size_t(i)] - start);
    }
    qsizetype size() const { return qsizetype(ends.size()); }
};

SharedStrings ReadSharedStrings(PartXml& xml)
{
    SharedStrings strings;
    while (xml.next()) {
        if (!xml.starts(QLatin1StringView("si")))
            continue;
        const QString item = xml.stringItem(QLatin1StringView("si"));
        if (strings.size() >= kImportMaxSharedStrings)
            throw QelError(QelError::Kind::TooLarge,
                           QStringLiteral("ブックの文字列が多すぎます（%1 個まで）。")
                               .arg(Count(kImportMaxSharedStrings)));
        if (strings.text.size() + item.size() > kImportMaxSharedChars)
            throw QelError(QelError::Kind::TooLarge,
                           QStringLiteral("ブックの文字列が長すぎます（全部で %1 文字まで）。")
                               .arg(Count(kImportMaxSharedChars)));
        strings.text += item;
        strings.ends.push_back(qint32(strings.text.size()));
    }
    strings.text.squeeze();
    strings.ends.shrink_to_fit();
    return strings;
}

// The number format of each cell format, by its number.
std::vector<QString> ReadCellFormats(PartXml& xml)
{
    QHash<int, QString> codes;
    std::vector<int> ids;
    bool inCellXfs = false;
    while (xml.next()) {
        if (xml.starts(QLatin1StringView("numFmt")) && codes.size() < kMaxCellFormats) {
            codes.insert(xml.attribute(QLatin1StringView("numFmtId")).toInt(),
                         xml.attribute(QLatin1StringView("formatCode")).toString());
        } else if (xml.starts(QLatin1StringView("cellXfs"))) {
            inCellXfs = true;
        } else if (xml.ends(QLatin1StringView("cellXfs"))) {
            inCellXfs = false;
        } else if (inCellXfs && xml.starts(QLatin1StringView("xf")) &&
                   ids.size() < std::size_t(kMaxCellFormats)) {
            ids.push_back(xml.attribute(QLatin1StringView("numFmtId")).toInt());
        }
    }
    std::vector<QString> formats;
    formats.reserve(ids.size());
    for (const int id : ids)
        formats.push_back(codes.contains(id) ? codes.value(id) : BuiltInNumberFormat(id));
    return formats;
}

class SheetReading
{
  public:
    SheetReading(PartXml& xml, Rows& rows, const SharedStrings& strings, const std::vector<QString>& formats)
        : m_xml(xml), m_rows(rows), m_strings(strings), m_formats(formats)
    {
    }

    void read()
    {
        while (m_xml.next()) {
            if (m_xml.starts(QLatin1StringView("row")))
                row();
        }
    }

  private:
    [[noreturn]] static void malformed(const QString& why)
    {
        throw QelError(QelError::Kind::Malformed,
                       QStringLiteral("ブックのシートに誤りがあります（%1）。").arg(why));
    }

    void row()
    {
        const QStringView r = m_xml.attribute(QLatin1StringView("r"));
        int number = m_lastRow + 1;
        if (!r.isEmpty()) {
            bool ok = false;
            number = r.toInt(&ok);
            if (!ok || number < 1 || number > kMaxSheetRows)
                malformed(QStringLiteral("行番号「%1」").arg(r.left(20)));
        }
        if (number <= m_lastRow)
            malformed(QStringLiteral("%1 行目が %2 行目の後にあります").arg(number).arg(m_lastRow));
        m_lastRow = number;
        ImportSource::Line line;
        line.line = number;
        int lastColumn = 0;
        while (m_xml.next() && !m_xml.ends(QLatin1StringView("row"))) {
            if (!m_xml.starts(QLatin1StringView("c")))
                continue;
            const QStringView ref = m_xml.attribute(QLatin1StringView("r"));
            int column = lastColumn + 1;
            if (!ref.isEmpty()) {
                int refRow = 0;
                const QByteArray latin = ref.left(16).toLatin1();
                if (ref.size() > 16 || !ParseCellRef(latin.constData(), refRow, column) || refRow != number)
                    malformed(QStringLiteral("セル番地「%1」").arg(ref.left(20)));
            }
            if (column <= lastColumn)
                malformed(QStringLiteral("%1 行目のセルの順序").arg(number));
            lastColumn = column;
            const QString text = cell();
            if (text.isEmpty())
                continue;
            // Only a cell that holds something counts: empty formatted cells reach to XFD.
            if (column > kImportMaxColumns)
                throw QelError(
                    QelError::Kind::TooLarge,
                    QStringLiteral("%1 行目の %2 列目（%3）に値があります。取り込めるのは %4 列までです。")
                        .arg(number)
                        .arg(column)
                        .arg(QString::fromStdString(CellName(number, column)))
                        .arg(kImportMaxColumns));
            m_rows.checkCell(text, number, column - 1);
            while (line.size() < column - 1)
                line.append({});
            line.append(text);
        }
        m_rows.add(std::move(line));
    }

    // The cell's value as the sheet shows it, read to the cell's end.
    QString cell()
    {
        const QString type = m_xml.attribute(QLatin1StringView("t")).toString();
        const int style = m_xml.attribute(QLatin1StringView("s")).toInt();
        QString value;
        QString inline_;
        while (m_xml.next() && !m_xml.ends(QLatin1StringView("c"))) {
            if (m_xml.starts(QLatin1StringView("v")))
                value = m_xml.elementText(QLatin1StringView("v"));
            else if (m_xml.starts(QLatin1StringView("is")))
                inline_ = m_xml.stringItem(QLatin1StringView("is"));
        }
        if (type == QLatin1String("inlineStr"))
            return inline_;
        if (value.isEmpty())
            return {};
        if (type == QLatin1String("s")) {
            bool ok = false;
            const qsizetype index = value.toLongLong(&ok);
            if (!ok || index < 0 || index >= m_strings.size())
                malformed(QStringLiteral("文字列の番号「%1」").arg(value.left(20)));
            return m_strings.at(index);
        }
        if (type == QLatin1String("b"))
            return value == QLatin1String("1") ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
        if (type == QLatin1String("str") || type == QLatin1String("e"))
            return value;
        bool ok = false;
        const double number = value.toDouble(&ok);
        if (!ok)
            return value;
        const QString code =
            style >= 0 && std::size_t(style) < m_formats.size() ? m_formats[std::size_t(style)] : QString();
        return FormatCellNumber(number, code.isEmpty() ? QStringLiteral("General") : code);
    }

    PartXml& m_xml;
    Rows& m_rows;
    const SharedStrings& m_strings;
    const std::vector<QString>& m_formats;
    int m_lastRow = 0;
};

ImportSource ReadWorkbookSource(const QString& path, const ImportProgress& progress)
{
    ImportSource source;
    ZipReader archive;
    archive.open(path);
    pugi::xml_document workbook, rels;
    archive.parse("xl/workbook.xml", workbook, kSmallPartCap);
    const QString sheetName = QString::fromUtf8(
        workbook.document_element().child("sheets").child("sheet").attribute("name").value());
    std::string sheetPart;
    if (archive.has("xl/_rels/workbook.xml.rels")) {
        archive.parse("xl/_rels/workbook.xml.rels", rels, kSmallPartCap);
        sheetPart = FirstSheetPart(workbook, rels);
    }
    if (sheetPart.empty() || !archive.has(sheetPart))
        throw QelError(QelError::Kind::NoSheet,
                       QelError::sentence(QelError::Kind::NoSheet) + QLatin1Char('\n') + ShownPath(path));
    source.kind = QStringLiteral("Excel ブック（シート「%1」）").arg(sheetName.left(31));

    // The progress follows the bytes unpacked of the two large parts, against what they claim.
    const std::string stringsPart = "xl/sharedStrings.xml";
    std::unique_ptr<PartXml> strings, sheet;
    std::int64_t stringsDone = 0, sheetDone = 0;
    int shown = -1;
    const auto moved = [&] {
        const std::int64_t claimed =
            std::max<std::int64_t>(1, (strings ? strings->claimed() : 0) + (sheet ? sheet->claimed() : 0));
        const int percent = int(std::min<std::int64_t>(99, (stringsDone + sheetDone) * 100 / claimed));
        if (progress && percent != shown) {
            shown = percent;
            progress(percent);
        }
    };
    try {
        if (archive.has(stringsPart))
            strings = std::make_unique<PartXml>(archive, stringsPart, [&](std::int64_t n) {
                stringsDone = n;
                moved();
            });
        sheet = std::make_unique<PartXml>(archive, sheetPart, [&](std::int64_t n) {
            sheetDone = n;
            moved();
        });
        std::vector<QString> formats;
        if (archive.has("xl/styles.xml")) {
            PartXml styles(archive, "xl/styles.xml", {});
            formats = ReadCellFormats(styles);
        }
        const SharedStrings texts = strings ? ReadSharedStrings(*strings) : SharedStrings();
        strings.reset();
        Rows rows(source, path);
        SheetReading(*sheet, rows, texts, formats).read();
    } catch (const QelError& e) {
        if (e.message().endsWith(ShownPath(path)))
            throw;
        throw e.within({}, ShownPath(path));
    }
    if (source.lines.empty())
        Refuse(QelError::Kind::Malformed, path, QStringLiteral("ブックの最初のシートが空です。"));
    return source;
}

} // namespace

QString ImportSource::Line::cell(qsizetype column) const
{
    if (column < 0 || column >= size())
        return {};
    const qint32 start = column == 0 ? 0 : m_ends[std::size_t(column - 1)];
    return m_text.mid(start, m_ends[std::size_t(column)] - start);
}

QStringList ImportSource::Line::cells() const
{
    QStringList out;
    out.reserve(size());
    for (qsizetype c = 0; c < size(); ++c)
        out << cell(c);
    return out;
}

void ImportSource::Line::append(QStringView text)
{
    m_text += text;
    m_ends.push_back(qint32(m_text.size()));
}

bool ImportSource::Line::blank() const
{
    return IsAllBlank(m_text);
}

ImportSource ReadImportFile(const QString& path, const ImportProgress& progress, qint64 maxBytes)
{
    const QFileInfo info(path);
    if (!info.exists())
        Refuse(QelError::Kind::NotFound, path, QStringLiteral("ファイルが見つかりません。"));
    if (info.isDir())
        Refuse(QelError::Kind::FolderInTheWay, path,
               QStringLiteral("フォルダーは取り込めません。ファイルを選んでください。"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw QelError(QelError::Kind::FileOperation,
                       QStringLiteral("ファイルを開けません。\n") + ShownPath(path), file.errorString());
    if (info.size() > maxBytes)
        Refuse(
            QelError::Kind::TooLarge, path,
            QStringLiteral("ファイルが大きすぎます。取り込めるのは %1 までです。").arg(SizeText(maxBytes)));
    const QByteArray head = file.peek(8);
    if (head.startsWith("\xD0\xCF\x11\xE0"))
        Refuse(QelError::Kind::NotAWorkbook, path,
               QStringLiteral("古い Excel 形式（.xls）のブックは読めません。表計算ソフトで .xlsx か CSV "
                              "に保存し直してから選んでください。"));
    if (head.startsWith("PK\x03\x04")) {
        file.close();
        return ReadWorkbookSource(path, progress);
    }
    return ReadCsvSource(file, path, maxBytes, progress);
}
