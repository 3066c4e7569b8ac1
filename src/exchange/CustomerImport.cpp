#include "CustomerImport.h"

#include "core/Clock.h"
#include "core/Cp932.h"
#include "core/DateInput.h"
#include "core/QelError.h"
#include "core/TextRoutines.h"

#include <QSet>

#include <algorithm>

namespace {

QString Normalized(const QString& heading)
{
    QString text = heading.normalized(QString::NormalizationForm_KC).toLower();
    text.remove(QLatin1Char(' '));
    text.remove(QChar(0x3000));
    for (const char c : {'*', ':', '_', '-', '.', '(', ')', '[', ']', '/'})
        text.remove(QLatin1Char(c));
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

// The usual English headings of each field (address books and web services write these).
const std::array<QStringList, kImportFields>& EnglishHeadings()
{
    static const std::array<QStringList, kImportFields> headings = [] {
        const std::initializer_list<std::initializer_list<const char*>> words = {
            {"full name", "display name", "customer", "customer name", "client name", "contact name"},
            {"phonetic", "phonetic name", "name phonetic", "furigana", "yomi", "yomigana", "reading",
             "name kana", "name reading"},
            {"zip code", "postal", "postcode", "post code", "postal code"},
            {"prefecture", "state", "province", "region", "state/province"},
            {"address 1", "address line 1", "street", "street address", "home address", "street 1"},
            {"address 2", "address line 2", "building", "building name", "apartment", "suite", "street 2"},
            {"phone", "telephone", "phone number", "telephone number", "home phone", "phone 1", "tel no"},
            {"mobile phone", "mobile number", "cell", "cell phone", "cellphone", "mobile tel"},
            {"fax number", "facsimile", "fax no"},
            {"e-mail address", "email address", "mail address", "e-mail 1", "email 1"},
            {"notes", "memo", "remarks", "remark", "comment", "comments"},
        };
        std::array<QStringList, kImportFields> out;
        int field = 0;
        for (const auto& list : words) {
            for (const char* w : list)
                out[std::size_t(field)] << Normalized(QString::fromUtf8(w));
            ++field;
        }
        return out;
    }();
    return headings;
}

bool IsHeadingOf(int field, const QString& heading)
{
    const QString text = Normalized(heading);
    return !text.isEmpty() && (Synonyms()[std::size_t(field)].contains(text) ||
                               EnglishHeadings()[std::size_t(field)].contains(text));
}

// The rows looked at for the headings, and how many known headings make a row the heading row.
constexpr int kHeadingSearchRows = 20;
constexpr int kHeadingsNeeded = 2;

int KnownHeadings(const QStringList& cells)
{
    int known = 0;
    for (const QString& cell : cells) {
        for (int field = 0; field < kImportFields; ++field) {
            if (IsHeadingOf(field, cell)) {
                ++known;
                break;
            }
        }
    }
    return known;
}

bool IsDigit(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
           (c.unicode() >= 0xFF10 && c.unicode() <= 0xFF19);
}

bool IsKanjiDigit(QChar c)
{
    return QStringView(u"〇一二三四五六七八九十百千").contains(c);
}

bool IsDash(QChar c)
{
    return QStringView(u"-－‐‑–—―−ーｰ").contains(c);
}

bool IsIdeograph(QChar c)
{
    return c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF;
}

// The end of the house number that starts at `i`, or -1 when no house number starts there. A
// house number is a chain of numbers joined by dashes, 丁目, 番地, 番 or の, ended by 号, by the
// end of the address or by what no longer continues it; a number alone counts only before a blank
// or at the end (北1条 is a place, not a house number).
qsizetype HouseNumberEnd(const QString& text, qsizetype i)
{
    const qsizetype n = text.size();
    bool marked = false;
    for (;;) {
        const bool kanji = IsKanjiDigit(text.at(i));
        qsizetype j = i;
        while (j < n && (kanji ? IsKanjiDigit(text.at(j)) : IsDigit(text.at(j))))
            ++j;
        const QStringView rest = QStringView(text).mid(j);
        if (rest.startsWith(u"号"))
            return j + 1;
        qsizetype next = -1;
        if (rest.startsWith(u"丁目"))
            next = j + 2;
        else if (rest.startsWith(u"番地"))
            next = j + 2;
        else if (rest.startsWith(u"番"))
            next = j + 1;
        if (next >= 0) {
            marked = true;
            if (next < n && text.at(next) == QChar(u'の'))
                ++next;
            if (next < n && (IsDigit(text.at(next)) || IsKanjiDigit(text.at(next)))) {
                i = next;
                continue;
            }
            // 二番町 is a town: a mark followed by a further ideograph is no house number.
            if (next < n && IsIdeograph(text.at(next)) && !rest.startsWith(u"丁目") &&
                !rest.startsWith(u"番地"))
                return -1;
            return next;
        }
        if (!kanji && j + 1 < n && IsDash(text.at(j)) && IsDigit(text.at(j + 1))) {
            marked = true;
            i = j + 1;
            continue;
        }
        if (kanji)
            return marked ? j : -1;
        if (marked || j == n || IsBlankChar(text.at(j)))
            return j;
        return -1;
    }
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

// The prefecture's index in the list for its name, its name without 都・府・県, or its number;
// -1 when none matches.
int PrefectureIndex(const QString& given, const QStringList& prefectures)
{
    bool number = false;
    const int n = given.toInt(&number);
    for (int p = 1; p < prefectures.size(); ++p) {
        const QString& name = prefectures.at(p);
        const bool shortForm =
            name.size() > 2 && name != QStringLiteral("北海道") && given == name.left(name.size() - 1);
        if (given == name || shortForm || (number && n == p))
            return p;
    }
    return -1;
}

// Cuts the fields longer than they may be when the user chose so; otherwise lists them.
QStringList CutOrListTooLong(std::array<QString, kImportFields>& values, bool cut)
{
    QStringList tooLong;
    for (int field = 0; field < kImportFields; ++field) {
        const int limit = ImportFieldLimit(field);
        const qsizetype count = CharCount(values[field]);
        if (limit == 0 || count <= limit)
            continue;
        if (cut)
            values[field] = LeftChars(values[field], limit);
        else
            tooLong
                << QStringLiteral("%1（%2 文字、上限 %3）").arg(ImportFieldName(field)).arg(count).arg(limit);
    }
    return tooLong;
}

// The keys under which a customer counts as one already known: name with a phone number, name
// with the postal code.
QStringList DuplicateKeys(const std::array<QString, kImportFields>& values)
{
    const QString name = NameKey(values[FieldName]);
    QStringList keys;
    for (const QString& phone : {NumOnly(values[FieldPhone]), NumOnly(values[FieldMobile])}) {
        if (!phone.isEmpty())
            keys << name + QStringLiteral("\tT") + phone;
    }
    if (const QString zip = NumOnly(values[FieldPostalCode]); !zip.isEmpty())
        keys << name + QStringLiteral("\tZ") + zip;
    return keys;
}

} // namespace

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
    const auto take = [&](int field, int headingOf) {
        for (int c = 0; c < headings.size() && columns[field] < 0; ++c) {
            if (!used.contains(c) && IsHeadingOf(headingOf, headings.at(c))) {
                columns[field] = c;
                used.insert(c);
            }
        }
    };
    for (int field = 0; field < kImportFields; ++field)
        take(field, field);
    // A second telephone is most likely the mobile, a second address line the building.
    if (columns[FieldMobile] < 0)
        take(FieldMobile, FieldPhone);
    if (columns[FieldBuilding] < 0)
        take(FieldBuilding, FieldCity);
    return columns;
}

std::pair<QString, QString> SplitAddress(const QString& address)
{
    const qsizetype n = address.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = address.at(i);
        if (!IsDigit(c) && !IsKanjiDigit(c))
            continue;
        if (i > 0 && (IsDigit(address.at(i - 1)) || IsKanjiDigit(address.at(i - 1))))
            continue;
        const qsizetype end = HouseNumberEnd(address, i);
        if (end < 0)
            continue;
        // What follows the number begins after the blanks and dashes that part them ("1-2-3 -A棟").
        qsizetype rest = end;
        while (rest < n && (IsBlankChar(address.at(rest)) || IsDash(address.at(rest))))
            ++rest;
        return {TrimBlanks(address.left(end)), TrimBlanks(address.mid(rest))};
    }
    return {address, QString()};
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
    case ImportStatus::CheckPrefecture:
        return QStringLiteral("都道府県要確認");
    }
    return {};
}

QString ImportValue(int field, const QString& text)
{
    QString value = TrimBlanks(SingleLine(text));
    switch (field) {
    case FieldReading:
        return TrimBlanks(ToHalfKatakana(WithoutVariationSelectors(value)));
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

CustomerImport::CustomerImport(ImportSource source, Setting setting, const ImportProgress& progress)
    : m_source(std::move(source)), m_setting(std::move(setting))
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
    const int searched = std::min<int>(kHeadingSearchRows, int(m_source.lines.size()));
    for (int row = 0; row < searched; ++row) {
        if (KnownHeadings(m_source.lines[std::size_t(row)].cells()) >= kHeadingsNeeded) {
            m_headingRow = row;
            break;
        }
    }
    setHeadingRow(m_headingRow, progress);
}

void CustomerImport::setHeadingRow(int row, const ImportProgress& progress)
{
    if (row < 0 || std::size_t(row) >= m_source.lines.size())
        return;
    const QStringList headings = m_source.lines[std::size_t(row)].cells();
    const ImportColumns columns = GuessColumns(headings);
    m_entries = BuildProc(row, columns, progress);
    m_headingRow = row;
    m_headings = headings;
    m_columns = columns;
    EvaluateProc();
}

void CustomerImport::setColumns(const ImportColumns& columns, const ImportProgress& progress)
{
    m_entries = BuildProc(m_headingRow, columns, progress);
    m_columns = columns;
    EvaluateProc();
}

int CustomerImport::fieldOf(int column) const
{
    if (column < 0)
        return -1;
    const auto it = std::find(m_columns.begin(), m_columns.end(), column);
    return it == m_columns.end() ? -1 : int(it - m_columns.begin());
}

QStringList CustomerImport::notices() const
{
    QStringList notices;
    if (!m_source.notice.isEmpty())
        notices << m_source.notice;
    for (int c = 0; c < m_headings.size(); ++c) {
        const QString heading = Normalized(m_headings.at(c));
        if (heading.isEmpty() || fieldOf(c) >= 0)
            continue;
        for (int field = 0; field < kImportFields; ++field) {
            const int used = m_columns[field];
            if (used >= 0 && used < c && Normalized(m_headings.at(used)) == heading) {
                notices << QStringLiteral(
                               "「%1」の列がもう一つあります（%2 列目）。取り込むときは欄を選んでください")
                               .arg(m_headings.at(c))
                               .arg(c + 1);
                break;
            }
        }
    }
    return notices;
}

void CustomerImport::setCutLong(bool cut)
{
    m_cutLong = cut;
    // A long name's reading is the reading of what is kept of it.
    const int limit = ImportFieldLimit(FieldName);
    for (Entry& e : m_entries) {
        if (e.readingSuggested && !e.readingConfirmed && CharCount(e.values[FieldName]) > limit)
            SuggestReading(e);
    }
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
    } else if (field == FieldPrefecture) {
        e.addressPrefecture.clear();
    }
    EvaluateProc();
}

void CustomerImport::SuggestReading(Entry& e)
{
    // The dictionary reads a name only once its length is accepted: what is too long is an error
    // row, unless long fields are cut, and then the part kept is read.
    QString name = e.values[FieldName];
    const int limit = ImportFieldLimit(FieldName);
    if (CharCount(name) > limit)
        name = m_cutLong ? LeftChars(name, limit) : QString();
    QString reading;
    if (m_setting.reading && !name.isEmpty()) {
        const auto known = m_readings.constFind(name);
        reading = known != m_readings.constEnd()
                      ? *known
                      : *m_readings.insert(name, ImportValue(FieldReading, m_setting.reading(name)));
    }
    e.values[FieldReading] = reading;
    e.readingSuggested = true;
}

const ImportSource::Line& CustomerImport::lineOf(std::size_t entry) const
{
    return m_source.lines[std::size_t(m_headingRow) + 1 + entry];
}

std::vector<CustomerImport::Entry> CustomerImport::BuildProc(int headingRow, const ImportColumns& columns,
                                                             const ImportProgress& progress)
{
    std::vector<Entry> entries;
    const std::size_t first = std::size_t(headingRow) + 1;
    const std::size_t count = m_source.lines.size() > first ? m_source.lines.size() - first : 0;
    entries.reserve(count);
    const QStringList& prefectures = m_setting.prefectures;
    int shown = -1;
    for (std::size_t i = 0; i < count; ++i) {
        const ImportSource::Line& line = m_source.lines[first + i];
        if (const int percent = int(i * 100 / count); progress && percent != shown) {
            shown = percent;
            progress(percent);
        }
        Entry e;
        for (int field = 0; field < kImportFields; ++field) {
            const int column = columns[field];
            if (column >= 0 && column < line.size())
                e.values[field] = ImportValue(field, line.cell(column));
        }
        // An address that starts with a prefecture gives it up to the prefecture, as a typed one
        // does, unless the file's own prefecture column says another: that one wins, and the
        // address is kept whole for the user to see.
        QString& city = e.values[FieldCity];
        if (const int p = PrefectureAtStart(city, prefectures, 1); p > 0) {
            const QString& found = prefectures.at(p);
            const QString given = e.values[FieldPrefecture];
            bool number = false;
            const bool same =
                given == found || found.startsWith(given) || (given.toInt(&number) == p && number);
            if (given.isEmpty() || same) {
                city = TrimBlanks(city.mid(found.size()));
                e.values[FieldPrefecture] = given.isEmpty() ? found : given;
            } else {
                e.addressPrefecture = found;
            }
        }
        // The building and room after the house number go to the building, as a user types them.
        if (const auto [address, rest] = SplitAddress(city); !rest.isEmpty()) {
            QString& building = e.values[FieldBuilding];
            building = building.isEmpty() ? rest : rest + QLatin1Char(' ') + building;
            city = address;
        }
        if (e.values[FieldReading].isEmpty())
            SuggestReading(e);
        entries.push_back(std::move(e));
    }
    return entries;
}

void CustomerImport::EvaluateProc()
{
    const QStringList& prefectures = m_setting.prefectures;
    QHash<QString, QString> ids = m_storedIds;
    m_rows.assign(m_entries.size(), ImportRow());
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        const Entry& e = m_entries[i];
        const ImportSource::Line& line = lineOf(i);
        ImportRow& row = m_rows[i];
        row.line = line.line;
        row.values = e.values;
        QStringList errors;
        if (!line.problem.isEmpty())
            errors << line.problem;
        // What registration requires, except the reading, which the user may still supply here.
        if (e.values[FieldName].isEmpty())
            errors << QStringLiteral("名前がありません");
        if (e.values[FieldPostalCode].isEmpty())
            errors << QStringLiteral("郵便番号がありません");
        if (e.values[FieldCity].isEmpty())
            errors << QStringLiteral("住所（市区町村・番地）がありません");

        QStringList checks;
        const QString prefecture = e.values[FieldPrefecture];
        row.prefecture = -1;
        if (prefecture.isEmpty()) {
            row.prefecture = m_setting.defaultPrefecture;
            row.values[FieldPrefecture] = prefectures.value(row.prefecture);
            checks << QStringLiteral("都道府県がないため%1としました").arg(row.values[FieldPrefecture]);
        } else {
            row.prefecture = PrefectureIndex(prefecture, prefectures);
            if (row.prefecture > 0)
                row.values[FieldPrefecture] = prefectures.at(row.prefecture);
            if (!e.addressPrefecture.isEmpty())
                checks << QStringLiteral("住所は%1で始まります").arg(e.addressPrefecture);
        }
        if (row.prefecture <= 0 || row.prefecture >= prefectures.size()) {
            errors << (prefecture.isEmpty()
                           ? QStringLiteral("都道府県がありません")
                           : QStringLiteral("都道府県「%1」が一覧にありません").arg(prefecture));
        }

        if (const QStringList tooLong = CutOrListTooLong(row.values, m_cutLong); !tooLong.isEmpty())
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

        const QStringList keys = DuplicateKeys(row.values);
        QString duplicateOf;
        for (const QString& key : keys) {
            if (const auto it = ids.constFind(key); it != ids.constEnd()) {
                duplicateOf = *it;
                break;
            }
        }
        // A reading is stored only when it is one: kana and blanks.
        const QString& reading = row.values[FieldReading];
        const bool readingUsable = ReadingLooksRight(reading);
        QString readingCheck;
        if (reading.isEmpty())
            readingCheck = QStringLiteral("フリガナがありません");
        else if (!readingUsable)
            readingCheck = QStringLiteral("フリガナにかな以外の文字があります");
        else if (e.readingSuggested && !e.readingConfirmed)
            readingCheck = QStringLiteral("フリガナは辞書の読みです");

        QStringList reasons;
        if (!duplicateOf.isEmpty())
            reasons << duplicateOf;
        if (!readingCheck.isEmpty())
            reasons << readingCheck;
        reasons << checks;
        row.reason = reasons.join(QStringLiteral("。"));
        row.prefectureToCheck = !checks.isEmpty();
        row.status = !duplicateOf.isEmpty()    ? ImportStatus::Duplicate
                     : !readingCheck.isEmpty() ? ImportStatus::CheckReading
                     : !checks.isEmpty()       ? ImportStatus::CheckPrefecture
                                               : ImportStatus::Import;
        row.tickable = readingUsable;
        row.ticked = row.tickable && e.tick.value_or(row.status != ImportStatus::Duplicate);
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
        counts.checkPrefecture += row.status == ImportStatus::CheckPrefecture ? 1 : 0;
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
