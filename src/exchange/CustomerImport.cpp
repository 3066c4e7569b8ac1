#include "CustomerImport.h"

#include "core/Clock.h"
#include "core/Cp932.h"
#include "core/DateInput.h"
#include "core/QelError.h"
#include "core/TextRoutines.h"

#include "Csv.h"
#include "SheetReader.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStringDecoder>

#include <algorithm>

namespace {

constexpr qint64 kChunk = 1024 * 1024;

[[noreturn]] void Refuse(QelError::Kind kind, const QString& path, const QString& why)
{
    throw QelError(kind, why + QStringLiteral("\n") + ShownPath(path));
}

QString SizeText(qint64 bytes)
{
    return QString::number(bytes / (1024 * 1024)) + QStringLiteral(" MB");
}

ImportSource ReadWorkbookSource(const QString& path)
{
    const SheetModel sheet = ReadWorkbook(path);
    ImportSource source;
    source.kind = QStringLiteral("Excel ブック（シート「%1」）").arg(sheet.sheetName);
    if (sheet.rows.empty())
        Refuse(QelError::Kind::Malformed, path, QStringLiteral("ブックの最初のシートが空です。"));
    const int columns = sheet.lastColumn();
    const auto cellsOf = [&](const std::map<int, SheetCell>& cells) {
        QStringList texts;
        for (int c = 1; c <= columns; ++c) {
            const auto it = cells.find(c);
            texts << (it == cells.end() ? QString() : sheet.displayText(it->second));
        }
        return texts;
    };
    auto row = sheet.rows.begin();
    source.headings = cellsOf(row->second);
    for (++row; row != sheet.rows.end(); ++row)
        source.lines.push_back({row->first, cellsOf(row->second), QString()});
    return source;
}

// Reads at most maxBytes + 1 bytes a megabyte at a time, refusing a binary file at its first
// megabyte and a long one as soon as it passes the limit.
QByteArray ReadTextBytes(QFile& file, const QString& path, qint64 maxBytes, bool utf16)
{
    QByteArray data;
    while (true) {
        const QByteArray chunk = file.read(kChunk);
        if (chunk.isEmpty())
            break;
        if (!utf16 && chunk.contains('\0'))
            Refuse(QelError::Kind::Encoding, path,
                   QStringLiteral("テキストのファイルではありません（バイナリファイルです）。\n"
                                  "CSV ファイルか .xlsx のブックを選んでください。"));
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

ImportSource ReadCsvSource(QFile& file, const QString& path, qint64 maxBytes)
{
    const QByteArray head = file.peek(4);
    const bool utf16 = head.startsWith("\xFF\xFE") || head.startsWith("\xFE\xFF");
    QByteArray data = ReadTextBytes(file, path, maxBytes, utf16);
    QString encoding;
    bool utf8 = true;
    if (utf16) {
        // Spreadsheets save "Unicode text" as UTF-16 with tabs; as UTF-8 it parses the same.
        QStringDecoder decoder(head.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE
                                                           : QStringDecoder::Utf16BE);
        data = QString(decoder.decode(data.mid(2))).toUtf8();
        encoding = QStringLiteral("UTF-16");
    } else if (data.startsWith("\xEF\xBB\xBF")) {
        data.remove(0, 3);
        encoding = QStringLiteral("UTF-8");
    } else if (IsValidUtf8(data)) {
        encoding = QStringLiteral("UTF-8");
    } else {
        utf8 = false;
        encoding = QStringLiteral("Shift_JIS");
    }
    if (data.trimmed().isEmpty())
        Refuse(QelError::Kind::Malformed, path, QStringLiteral("ファイルが空です。"));

    const char separator = GuessSeparator(data);
    const std::vector<CsvRecord> records = ParseCsv(data, separator);
    ImportSource source;
    source.kind = QStringLiteral("CSV（%1・%2区切り）")
                      .arg(encoding, separator == '\t' ? QStringLiteral("タブ") : QStringLiteral("カンマ"));
    int unreadable = 0;
    bool first = true;
    for (const CsvRecord& record : records) {
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
                line.problem = QStringLiteral("読めない文字があります（%1 列目）").arg(line.cells.size() + 1);
                text = utf8 ? QString::fromUtf8(field) : DecodeCp932(field);
            }
            line.cells << *text;
        }
        if (!line.problem.isEmpty())
            ++unreadable;
        if (first) {
            if (!line.problem.isEmpty())
                Refuse(QelError::Kind::Encoding, path,
                       QStringLiteral("見出しの行に読めない文字があります。Shift_JIS か UTF-8 の CSV "
                                      "ファイルを選んでください。"));
            source.headings = line.cells;
            first = false;
        } else {
            source.lines.push_back(std::move(line));
        }
    }
    if (unreadable > 0 && unreadable * 2 > static_cast<int>(source.lines.size()))
        Refuse(
            QelError::Kind::Encoding, path,
            QStringLiteral("文字コードを判別できません（Shift_JIS でも UTF-8 でもない行が %1 行あります）。")
                .arg(unreadable));
    return source;
}

QString Normalized(const QString& heading)
{
    QString text = heading.normalized(QString::NormalizationForm_KC).toLower();
    text.remove(QLatin1Char(' '));
    text.remove(QChar(0x3000));
    text.remove(QLatin1Char('*'));
    text.remove(QLatin1Char(':'));
    return text;
}

// Usual headings of each field, in the normalized form (NFKC, lower case, no blanks).
const std::array<QStringList, kImportFields>& Synonyms()
{
    static const std::array<QStringList, kImportFields> synonyms = [] {
        const auto list = [](std::initializer_list<const char*> words) {
            QStringList out;
            for (const char* w : words)
                out << Normalized(QString::fromUtf8(w));
            return out;
        };
        return std::array<QStringList, kImportFields>{
            list({"名前", "氏名", "お名前", "顧客名", "名前(漢字)", "氏名(漢字)", "name"}),
            list({"フリガナ", "ふりがな", "よみ", "よみがな", "読み", "読み仮名", "カナ", "かな", "氏名カナ",
                  "名前カナ", "氏名フリガナ", "名前フリガナ", "氏名(カナ)", "名前(フリガナ)",
                  "氏名(フリガナ)", "kana"}),
            list({"郵便番号", "〒", "郵便", "zip", "zipcode", "postalcode"}),
            list({"都道府県", "都道府県名", "県", "県名"}),
            list({"住所", "住所1", "市区町村", "市区町村・番地", "市区町村番地", "address"}),
            list({"建物", "住所2", "マンション名", "建物名", "建物名・号室等", "建物名・部屋番号"}),
            list({"電話", "電話番号", "tel", "固定電話", "tel番号"}),
            list({"携帯", "携帯番号", "携帯電話", "携帯電話番号", "mobile"}),
            list({"fax", "ファックス", "fax番号", "ファックス番号", "ファクス"}),
            list({"メール", "メールアドレス", "e-mail", "email", "mail", "eメール"}),
            list({"備考", "メモ", "摘要", "note"}),
            list({"誕生日", "生年月日", "birthday"}),
            list({"DM", "DM送付", "DM希望", "ダイレクトメール"}),
        };
    }();
    return synonyms;
}

QString NameKey(const QString& name)
{
    QString key = name;
    key.remove(QLatin1Char(' '));
    key.remove(QChar(0x3000));
    return key;
}

const QString kSend = QStringLiteral("送る");
const QString kNoSend = QStringLiteral("送らない");

// A mail wish as the files of other programs write it; empty sends. None when it cannot be read.
std::optional<bool> NoMailOf(const QString& text)
{
    static const QStringList send = [] {
        QStringList words;
        for (const char* w : {"", "送る", "送付", "する", "要", "希望", "可", "○", "〇", "1", "yes", "y",
                              "true", "有", "あり"})
            words << Normalized(QString::fromUtf8(w));
        return words;
    }();
    static const QStringList noSend = [] {
        QStringList words;
        for (const char* w : {"送らない", "送付しない", "不要", "dm不要", "しない", "不可", "否", "×", "x",
                              "0", "no", "n", "false", "無", "なし", "停止", "拒否", "希望しない"})
            words << Normalized(QString::fromUtf8(w));
        return words;
    }();
    const QString word = Normalized(text);
    if (send.contains(word))
        return false;
    if (noSend.contains(word))
        return true;
    return std::nullopt;
}

std::optional<Birthday> BirthdayValue(const QString& text)
{
    return ParseBirthday(text, Clock::current().now().date());
}

bool ReadingLooksRight(const QString& reading)
{
    QString kana = reading;
    kana.remove(QLatin1Char(' '));
    return !kana.isEmpty() && IsKanaOnly(kana);
}

} // namespace

ImportSource ReadImportFile(const QString& path, qint64 maxBytes)
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
    const QByteArray head = file.peek(8);
    if (head.startsWith("\xD0\xCF\x11\xE0"))
        Refuse(QelError::Kind::NotAWorkbook, path,
               QStringLiteral("古い Excel 形式（.xls）のブックは読めません。表計算ソフトで .xlsx か CSV "
                              "に保存し直してから選んでください。"));
    if (head.startsWith("PK\x03\x04")) {
        if (info.size() > maxBytes)
            Refuse(QelError::Kind::TooLarge, path,
                   QStringLiteral("ファイルが大きすぎます。取り込めるのは %1 までです。")
                       .arg(SizeText(maxBytes)));
        file.close();
        return ReadWorkbookSource(path);
    }
    if (info.size() > maxBytes)
        Refuse(
            QelError::Kind::TooLarge, path,
            QStringLiteral("ファイルが大きすぎます。取り込めるのは %1 までです。").arg(SizeText(maxBytes)));
    return ReadCsvSource(file, path, maxBytes);
}

QString ImportFieldName(int field)
{
    static const char* const names[kImportFields] = {
        "名前",     "フリガナ", "郵便番号",       "都道府県", "市区町村・番地", "建物", "電話番号",
        "携帯番号", "FAX番号",  "メールアドレス", "備考",     "誕生日",         "DM"};
    return field >= 0 && field < kImportFields ? QString::fromUtf8(names[field]) : QString();
}

int ImportFieldLimit(int field)
{
    static constexpr int limits[kImportFields] = {20, 40, 8, 0, 20, 20, 14, 14, 14, 40, 20, 0, 0};
    return field >= 0 && field < kImportFields ? limits[field] : 0;
}

ImportColumns GuessColumns(const QStringList& headings)
{
    ImportColumns columns;
    columns.fill(-1);
    QSet<int> used;
    for (int field = 0; field < kImportFields; ++field) {
        for (int c = 0; c < headings.size(); ++c) {
            if (!used.contains(c) && Synonyms()[field].contains(Normalized(headings.at(c)))) {
                columns[field] = c;
                used.insert(c);
                break;
            }
        }
    }
    return columns;
}

QString ImportStatusText(ImportStatus status)
{
    switch (status) {
    case ImportStatus::Import:
        return QStringLiteral("取込");
    case ImportStatus::Duplicate:
        return QStringLiteral("重複");
    case ImportStatus::Error:
        return QStringLiteral("エラー");
    case ImportStatus::CheckReading:
        return QStringLiteral("読み要確認");
    }
    return {};
}

QString ImportValue(int field, const QString& text)
{
    QString value = TrimBlanks(SingleLine(text));
    switch (field) {
    case FieldReading:
        return TrimBlanks(ToHalfKatakana(value));
    case FieldPostalCode:
        value = ToHalfAscii(value);
        if (value.startsWith(QChar(0x3012)))
            value = TrimBlanks(value.mid(1));
        return value;
    case FieldPhone:
    case FieldMobile:
    case FieldFax:
    case FieldMail:
        return ToHalfAscii(value);
    case FieldBirthday:
        if (const std::optional<Birthday> b = BirthdayValue(value))
            return BirthdayText(*b);
        return value;
    case FieldDm:
        if (const std::optional<bool> noMail = NoMailOf(value))
            return *noMail ? kNoSend : kSend;
        return value;
    default:
        return value;
    }
}

CustomerImport::CustomerImport(ImportSource source, Setting setting)
    : m_source(std::move(source)), m_setting(std::move(setting)), m_columns(GuessColumns(m_source.headings))
{
    for (const Customer& c : m_setting.stored) {
        const QString name = NameKey(c.name);
        const QString who = QStringLiteral("登録済みの「%1」").arg(c.name);
        for (const QString& phone : {NumOnly(c.phone), NumOnly(c.mobile)}) {
            if (!phone.isEmpty())
                m_storedIds.insert(name + QStringLiteral("\tT") + phone,
                                   who + QStringLiteral("と名前・電話番号が同じ"));
        }
        if (const QString zip = NumOnly(c.postalCode); !zip.isEmpty())
            m_storedIds.insert(name + QStringLiteral("\tZ") + zip,
                               who + QStringLiteral("と名前・郵便番号が同じ"));
    }
    m_setting.stored.clear();
    BuildProc();
}

void CustomerImport::setColumns(const ImportColumns& columns)
{
    m_columns = columns;
    BuildProc();
}

void CustomerImport::setCutLong(bool cut)
{
    m_cutLong = cut;
    EvaluateProc();
}

void CustomerImport::setTicked(int row, bool ticked)
{
    if (row < 0 || row >= static_cast<int>(m_entries.size()) || !m_rows[row].tickable)
        return;
    m_entries[row].tick = ticked;
    EvaluateProc();
}

void CustomerImport::setValue(int row, int field, const QString& text)
{
    if (row < 0 || row >= static_cast<int>(m_entries.size()) || field < 0 || field >= kImportFields)
        return;
    Entry& e = m_entries[row];
    e.values[field] = ImportValue(field, text);
    if (field == FieldReading) {
        e.readingConfirmed = true;
        e.readingSuggested = false;
    } else if (field == FieldName && e.readingSuggested && !e.readingConfirmed) {
        SuggestReading(e);
    }
    EvaluateProc();
}

void CustomerImport::SuggestReading(Entry& e) const
{
    e.values[FieldReading] = m_setting.reading && !e.values[FieldName].isEmpty()
                                 ? ImportValue(FieldReading, m_setting.reading(e.values[FieldName]))
                                 : QString();
    e.readingSuggested = true;
}

void CustomerImport::BuildProc()
{
    m_entries.clear();
    m_entries.reserve(m_source.lines.size());
    const QStringList& prefectures = m_setting.prefectures;
    for (const ImportSource::Line& line : m_source.lines) {
        Entry e;
        for (int field = 0; field < kImportFields; ++field) {
            const int column = m_columns[field];
            if (column >= 0 && column < line.cells.size())
                e.values[field] = ImportValue(field, line.cells.at(column));
        }
        // An address that starts with a prefecture gives it up to the prefecture, as a typed one
        // does; what the city field cannot take goes to the front of the building.
        QString& city = e.values[FieldCity];
        if (const int i = PrefectureAtStart(city, prefectures, 1); i > 0) {
            city = TrimBlanks(city.mid(prefectures.at(i).size()));
            e.values[FieldPrefecture] = prefectures.at(i);
        }
        const int cityLimit = ImportFieldLimit(FieldCity);
        if (CharCount(city) > cityLimit) {
            const QString kept = LeftChars(city, cityLimit);
            const QString rest = TrimBlanks(city.mid(kept.size()));
            QString& building = e.values[FieldBuilding];
            building = building.isEmpty() ? rest : rest + QLatin1Char(' ') + building;
            city = kept;
        }
        if (e.values[FieldReading].isEmpty())
            SuggestReading(e);
        m_entries.push_back(std::move(e));
    }
    EvaluateProc();
}

void CustomerImport::EvaluateProc()
{
    const QStringList& prefectures = m_setting.prefectures;
    QHash<QString, QString> ids = m_storedIds;
    m_rows.assign(m_entries.size(), ImportRow());
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        const Entry& e = m_entries[i];
        const ImportSource::Line& line = m_source.lines[i];
        ImportRow& row = m_rows[i];
        row.line = line.line;
        row.values = e.values;
        QStringList errors;
        if (!line.problem.isEmpty())
            errors << line.problem;
        if (e.values[FieldName].isEmpty())
            errors << QStringLiteral("名前がありません");

        const QString prefecture = e.values[FieldPrefecture];
        row.prefecture = -1;
        if (prefecture.isEmpty()) {
            row.prefecture = m_setting.defaultPrefecture;
            row.values[FieldPrefecture] = prefectures.value(row.prefecture);
        } else {
            bool number = false;
            const int n = prefecture.toInt(&number);
            for (int p = 1; p < prefectures.size() && row.prefecture < 0; ++p) {
                const QString& name = prefectures.at(p);
                const bool shortForm = name.size() > 2 && name != QStringLiteral("北海道") &&
                                       prefecture == name.left(name.size() - 1);
                if (prefecture == name || shortForm || (number && n == p))
                    row.prefecture = p;
            }
            if (row.prefecture > 0)
                row.values[FieldPrefecture] = prefectures.at(row.prefecture);
        }
        if (row.prefecture <= 0 || row.prefecture >= prefectures.size()) {
            errors << (prefecture.isEmpty()
                           ? QStringLiteral("都道府県がありません")
                           : QStringLiteral("都道府県「%1」が一覧にありません").arg(prefecture));
        }

        QStringList tooLong;
        for (int field = 0; field < kImportFields; ++field) {
            const int limit = ImportFieldLimit(field);
            const qsizetype count = CharCount(row.values[field]);
            if (limit == 0 || count <= limit)
                continue;
            if (m_cutLong)
                row.values[field] = LeftChars(row.values[field], limit);
            else
                tooLong << QStringLiteral("%1（%2 文字、上限 %3）")
                               .arg(ImportFieldName(field))
                               .arg(count)
                               .arg(limit);
        }
        if (!tooLong.isEmpty())
            errors << QStringLiteral("長すぎます: ") + tooLong.join(QStringLiteral("、"));
        if (!BirthdayValue(row.values[FieldBirthday]))
            errors << QStringLiteral("誕生日「%1」は日付として読めません").arg(row.values[FieldBirthday]);
        if (!NoMailOf(row.values[FieldDm]))
            errors
                << QStringLiteral("DM「%1」は「送る」か「送らない」にしてください").arg(row.values[FieldDm]);

        if (!errors.isEmpty()) {
            row.status = ImportStatus::Error;
            row.reason = errors.join(QStringLiteral("。"));
            row.ticked = false;
            row.tickable = false;
            continue;
        }

        const QString name = NameKey(row.values[FieldName]);
        QStringList keys;
        for (const QString& phone : {NumOnly(row.values[FieldPhone]), NumOnly(row.values[FieldMobile])}) {
            if (!phone.isEmpty())
                keys << name + QStringLiteral("\tT") + phone;
        }
        if (const QString zip = NumOnly(row.values[FieldPostalCode]); !zip.isEmpty())
            keys << name + QStringLiteral("\tZ") + zip;
        QString duplicateOf;
        for (const QString& key : keys) {
            if (const auto it = ids.constFind(key); it != ids.constEnd()) {
                duplicateOf = *it;
                break;
            }
        }
        row.tickable = true;
        if (!duplicateOf.isEmpty()) {
            row.status = ImportStatus::Duplicate;
            row.reason = duplicateOf;
        } else if (e.readingSuggested && !e.readingConfirmed) {
            row.status = ImportStatus::CheckReading;
            row.reason = row.values[FieldReading].isEmpty() ? QStringLiteral("フリガナがありません")
                                                            : QStringLiteral("フリガナは辞書の読みです");
        } else if (!ReadingLooksRight(row.values[FieldReading]) && !e.readingConfirmed) {
            row.status = ImportStatus::CheckReading;
            row.reason = row.values[FieldReading].isEmpty()
                             ? QStringLiteral("フリガナがありません")
                             : QStringLiteral("フリガナにかな以外の文字があります");
        } else {
            row.status = ImportStatus::Import;
        }
        row.ticked = e.tick.value_or(row.status != ImportStatus::Duplicate);
        if (row.ticked) {
            const QString who = QStringLiteral("%1 行目と").arg(row.line);
            for (const QString& key : keys) {
                if (!ids.contains(key))
                    ids.insert(key, who + (key.contains(QStringLiteral("\tT"))
                                               ? QStringLiteral("名前・電話番号が同じ")
                                               : QStringLiteral("名前・郵便番号が同じ")));
            }
        }
    }
}

ImportCounts CustomerImport::counts() const
{
    ImportCounts counts;
    counts.rows = static_cast<int>(m_rows.size());
    for (const ImportRow& row : m_rows) {
        counts.toStore += row.ticked ? 1 : 0;
        counts.duplicates += row.status == ImportStatus::Duplicate ? 1 : 0;
        counts.errors += row.status == ImportStatus::Error ? 1 : 0;
        counts.checkReading += row.status == ImportStatus::CheckReading ? 1 : 0;
    }
    return counts;
}

std::vector<Customer> CustomerImport::accepted() const
{
    std::vector<Customer> customers;
    for (const ImportRow& row : m_rows) {
        if (!row.ticked)
            continue;
        Customer c;
        c.name = row.values[FieldName];
        c.reading = row.values[FieldReading];
        c.postalCode = row.values[FieldPostalCode];
        c.prefecture = row.prefecture;
        c.city = row.values[FieldCity];
        c.building = row.values[FieldBuilding];
        c.phone = row.values[FieldPhone];
        c.mobile = row.values[FieldMobile];
        c.fax = row.values[FieldFax];
        c.mail = row.values[FieldMail];
        c.remarks = row.values[FieldRemarks];
        c.birthday = BirthdayValue(row.values[FieldBirthday]).value_or(Birthday());
        c.noMail = NoMailOf(row.values[FieldDm]).value_or(false);
        customers.push_back(std::move(c));
    }
    return customers;
}
