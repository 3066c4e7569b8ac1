#include "ReadingCapture.h"

#include "InputBehaviour.h"
#include "Twips.h"

#include "core/ReadingDictionary.h"
#include "core/TextRoutines.h"

#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QStringList>
#include <QTextFormat>

#include <algorithm>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace {

const char* const kMarkName = "qelReadingMark";

bool isLatinLetter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= 0xFF41 && u <= 0xFF5A) ||
           (u >= 0xFF21 && u <= 0xFF3A);
}

// A composition as the user types it: kana, then the romaji letters not yet turned into kana.
struct Typed
{
    bool valid = false;
    QString kana;
    // A single pending n, which the input method makes ん when it converts.
    bool pendingN = false;
};

Typed typedOf(const QString& text)
{
    qsizetype end = text.size();
    while (end > 0 && isLatinLetter(text.at(end - 1)))
        --end;
    const QString kana = text.left(end);
    if (text.isEmpty() || (!kana.isEmpty() && !IsKanaOnly(QString(kana).remove(QChar(0x30FB)))))
        return {};
    const QString pending = text.mid(end);
    return {true, kana, pending == QLatin1String("n") || pending == QStringLiteral("ｎ")};
}

bool hasKanji(const QString& text)
{
    for (char32_t c : text.toUcs4()) {
        if (QChar::script(c) == QChar::Script_Han)
            return true;
    }
    return false;
}

// Text of blanks only (the blank between a surname and a given name).
bool isBlanks(const QString& text)
{
    return !text.isEmpty() && IsAllBlank(text);
}

// Input methods draw the segment being converted highlighted; what is still being typed is
// only underlined.
bool isConversion(const QInputMethodEvent& event)
{
    for (const QInputMethodEvent::Attribute& a : event.attributes()) {
        if (a.type == QInputMethodEvent::TextFormat &&
            a.value.value<QTextFormat>().background().style() != Qt::NoBrush)
            return true;
    }
    return false;
}

// A key that types a character (which the input method composes), not one that commands it.
bool isTextKey(const QKeyEvent& key)
{
    const QString text = key.text();
    return !text.isEmpty() && text.at(0).isPrint() && text.at(0) != QLatin1Char(' ');
}

// The keys with which an input method converts the composition as typed (Space, 変換, F6 to F10).
// Any other key that turns a composition into a conversion (Tab, the arrows) chose a prediction,
// whose reading goes on beyond the kana typed.
bool convertsAsTyped(int key)
{
    return key == Qt::Key_Space || key == Qt::Key_Henkan || (key >= Qt::Key_F6 && key <= Qt::Key_F10);
}

QString readingOf(const QString& kana)
{
    return TrimBlank(ToHalfKatakana(kana));
}

// ヶ (and its hiragana form ゖ), which a name reads ｶﾞ or ｶ (一ヶ谷 ｲﾁｶﾞﾔ, 八ヶ岳 ﾔﾂｶﾞﾀｹ), never ｹ.
bool hasSmallKe(const QString& text)
{
    return text.contains(QChar(0x30F6)) || text.contains(QChar(0x3096));
}

// Half-width kana with which no reading begins: the voiced marks, the small kana, the prolonged mark.
bool continuesKana(QChar c)
{
    const char16_t u = c.unicode();
    return u == 0xFF9E || u == 0xFF9F || u == 0xFF70 || (u >= 0xFF67 && u <= 0xFF6F);
}

// The reading with its first kana voiced, as a later part of a compound often reads (田 ﾀ, in
// 山田 ﾀﾞ); empty when that kana has no voiced form.
QString voicedFirst(const QString& reading)
{
    const char16_t u = reading.isEmpty() ? 0 : reading.at(0).unicode();
    const bool voiceable = (u >= 0xFF76 && u <= 0xFF84) || (u >= 0xFF8A && u <= 0xFF8E);
    if (!voiceable || (reading.size() > 1 && continuesKana(reading.at(1))))
        return {};
    return reading.left(1) + QChar(0xFF9E) + reading.mid(1);
}

// The readings of what stays of a run read `reading` when a part of it is taken out: the reading
// before that part and the one after it, where exactly one place of one of the part's possible
// readings fits (the part's reading never empty, each side that has text with a reading of its own).
std::optional<std::pair<QString, QString>> readingAround(const QString& reading, bool textBefore,
                                                         bool textAfter, const QStringList& partReadings)
{
    std::optional<std::pair<QString, QString>> found;
    for (const QString& candidate : partReadings) {
        for (const QString& part : {candidate, textBefore ? voicedFirst(candidate) : QString()}) {
            if (part.isEmpty())
                continue;
            for (qsizetype at = reading.indexOf(part); at >= 0; at = reading.indexOf(part, at + 1)) {
                const qsizetype end = at + part.size();
                if (textBefore != (at > 0) || textAfter != (end < reading.size()) ||
                    (end < reading.size() && continuesKana(reading.at(end))))
                    continue;
                const std::pair<QString, QString> sides{reading.left(at), reading.mid(end)};
                if (found && *found != sides)
                    return std::nullopt;
                found = sides;
            }
        }
    }
    return found;
}

// A run of the name's text and the reading of it; the text that the field held when the capture
// started is one run with no reading of its own (its reading is in the reading field already).
struct Piece
{
    qsizetype start;
    qsizetype end;
    QString reading;
    int id = 0;
    bool earlier = false;
    // The reading may not be the whole reading of the text: a prediction, a run cut short,
    // text that came without the input method (pasted, typed with it off), letters.
    bool unsure = false;
    // Blanks between words: one half-width blank in the reading, between readings.
    bool blank = false;
    // Text entered without the input method; the next such text next to it joins it.
    bool typed = false;
    // Put before the text the field had: its reading is known, but appended it comes after that
    // text's reading in the reading field.
    bool before = false;
    // Holds a ヶ typed as kana: the reading of its word is the dictionary's where it has one.
    bool smallKe = false;
    // A part taken out at `cutAt` whose reading could not be told: the reading the run had before.
    // A conversion put in its place that reads as a part of it tells the rest's.
    QString cutReading = {};
    qsizetype cutAt = -1;
};

// What a commit is about to insert.
struct PendingCommit
{
    QString text;
    QString reading;
    int id = 0;
    bool unsure = false;
    // The rest of a conversion of which a part was committed before: its reading went with that part.
    int joins = 0;
    bool blank = false;
    // A conversion of text already in the name (re-conversion) that stands for the text of the
    // field's start: its reading is in the reading field.
    bool earlier = false;
    bool smallKe = false;
};

// The text that an input method took out of the name to convert it again, with its reading.
struct Replaced
{
    QString reading;
    bool unsure = false;
    bool earlier = false;
};

// Follows one name field: each commit makes a piece of its text with its reading, and every later
// edit of the text moves, cuts or drops the pieces it touches. The captured reading is the readings
// of the pieces still there, in the order of the text. Where an edit leaves a reading that can no
// longer be known (a piece cut into, a conversion put before the text the field had, text that
// came without the input method), what is known is kept and the capture says that the reading
// needs a look.
class Capture : public QObject
{
  public:
    void start(QLineEdit* field, const std::optional<QString>& earlierReading = std::nullopt)
    {
        stop();
        m_kept.clear();
        m_keptLook = false;
        m_keptPieces.clear();
        m_keptText.clear();
        m_keptEarlierLost = false;
        resetText();
        m_earlierReading = earlierReading;
        if (!field)
            return;
        m_field = field;
        m_text = field->text();
        if (!m_text.isEmpty())
            m_pieces.push_back({0, m_text.size(), QString(), 0, true});
        field->installEventFilter(this);
        WatchInputMethod(field, [this](const QInputMethodEvent& event) { inputMethod(event); });
        m_changed =
            connect(field, &QLineEdit::textChanged, this, [this](const QString& text) { edited(text); });
    }

    void stop()
    {
        if (!m_field)
            return;
        m_kept = reading();
        m_keptLook = needsLook();
        m_keptPieces = m_pieces;
        m_keptText = m_text;
        m_keptEarlierLost = m_earlierLost;
        m_field->removeEventFilter(this);
        WatchInputMethod(m_field, {});
        disconnect(m_changed);
        m_field = nullptr;
        resetText();
    }

    QString readingText() const { return m_field ? reading() : m_kept; }
    bool readingNeedsLook() const { return m_field ? needsLook() : m_keptLook; }

    // The reading of the name as the last capture left it, where each piece whose reading is not
    // known for sure takes `fill`'s reading of its text (runs of such pieces together), when
    // `fill` has one, and a word with a ヶ typed as kana takes `fill`'s reading of the word. The
    // text the field had at the start reads as `earlierReading` when it was kept whole. None when
    // that says no more than the captured reading appended to the field.
    std::optional<QString> filledReading(const std::function<QString(const QString&)>& fill,
                                         const QString& earlierReading, bool earlierSure) const
    {
        const std::vector<Piece>& pieces = m_keptPieces;
        const auto known = [&](const Piece& p) {
            return !p.unsure && (!p.earlier || (earlierSure && !m_keptEarlierLost));
        };
        const auto textOf = [&](size_t from, size_t to) {
            return m_keptText.mid(pieces[from].start, pieces[to - 1].end - pieces[from].start);
        };
        QStringList words;
        bool filled = std::any_of(pieces.cbegin(), pieces.cend(), [](const Piece& p) { return p.before; });
        for (size_t i = 0; i < pieces.size();) {
            const Piece& p = pieces[i];
            if (p.blank) {
                words << QStringLiteral(" ");
                ++i;
                continue;
            }
            if (i == 0 || pieces[i - 1].blank) {
                size_t wordEnd = i;
                while (wordEnd < pieces.size() && !pieces[wordEnd].blank)
                    ++wordEnd;
                const bool ke = std::any_of(pieces.cbegin() + static_cast<std::ptrdiff_t>(i),
                                            pieces.cbegin() + static_cast<std::ptrdiff_t>(wordEnd),
                                            [](const Piece& q) { return q.smallKe; });
                if (const QString word = ke ? fill(textOf(i, wordEnd)) : QString(); !word.isEmpty()) {
                    words << word;
                    filled = true;
                    i = wordEnd;
                    continue;
                }
            }
            if (known(p)) {
                words << (p.earlier ? earlierReading : p.reading);
                ++i;
                continue;
            }
            // A run of pieces not known for sure, up to the next sure piece or blank.
            size_t end = i;
            QString captured;
            bool earlier = false;
            while (end < pieces.size() && !pieces[end].blank && !known(pieces[end])) {
                const Piece& q = pieces[end];
                captured += q.earlier ? earlierReading : q.reading;
                earlier = earlier || q.earlier;
                ++end;
            }
            const QString dictionary = fill(textOf(i, end));
            // Part of the text the field had, unread: its reading is only in the reading field, whole.
            if (dictionary.isEmpty() && earlier)
                return std::nullopt;
            filled = filled || !dictionary.isEmpty();
            words << (dictionary.isEmpty() ? captured : dictionary);
            i = end;
        }
        if (!filled)
            return std::nullopt;
        return joinWords(words);
    }

    // Whether the whole text that the field had when the capture started was taken out: its reading,
    // in the reading field, went with it.
    bool earlierGone() const
    {
        return m_keptEarlierLost && std::none_of(m_keptPieces.cbegin(), m_keptPieces.cend(),
                                                 [](const Piece& p) { return p.earlier; });
    }

    // Whether a reading of the pieces alone (without the reading field's) needs a look.
    bool piecesNeedLook() const
    {
        return std::any_of(m_keptPieces.cbegin(), m_keptPieces.cend(),
                           [](const Piece& p) { return p.unsure; });
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_field && event->type() == QEvent::KeyRelease) {
            const auto* key = static_cast<QKeyEvent*>(event);
            // The input method takes the key presses of a composition, but their releases come
            // through: the first command key released after the conversion appeared made it.
            if (m_converted && m_conversionKey == 0 && !InputBehaviour::isModifierKey(key->key()) &&
                !isTextKey(*key))
                m_conversionKey = key->key();
        }
        if (watched == m_field && event->type() == QEvent::KeyPress)
            m_inInputMethod = false;
        return false;
    }

  private:
    // Readings and blanks joined: a blank only between two readings, one however many blanks.
    static QString joinWords(const QStringList& words)
    {
        QString text;
        bool blank = false;
        for (const QString& w : words) {
            if (w == QLatin1String(" ")) {
                blank = !text.isEmpty();
            } else if (!w.isEmpty()) {
                if (blank)
                    text += QLatin1Char(' ');
                text += w;
                blank = false;
            }
        }
        return text;
    }

    QString reading() const
    {
        // The reading of the text the field had is in the reading field already: a blank after
        // it still separates what comes next.
        QStringList words;
        for (const Piece& p : m_pieces)
            words << (p.blank ? QStringLiteral(" ") : p.earlier ? QStringLiteral("\x01") : p.reading);
        QString text = joinWords(words);
        if (text.startsWith(QLatin1Char('\x01')))
            text.remove(0, 1);
        return text.remove(QLatin1Char('\x01'));
    }

    bool needsLook() const
    {
        if (m_earlierLost)
            return true;
        return std::any_of(m_pieces.cbegin(), m_pieces.cend(),
                           [](const Piece& p) { return p.unsure || p.before; });
    }

    void resetText()
    {
        m_pieces.clear();
        m_earlierLost = false;
        m_pending.reset();
        m_replaced.reset();
        resetComposition();
        m_open = 0;
        m_afterCommit = false;
        m_inInputMethod = false;
    }

    void resetComposition()
    {
        m_kana.clear();
        m_kanaKnown = true;
        m_pendingN = false;
        m_converted = false;
        m_conversionKey = 0;
    }

    Piece* piece(int id)
    {
        for (Piece& p : m_pieces) {
            if (p.id == id && id != 0)
                return &p;
        }
        return nullptr;
    }

    void inputMethod(const QInputMethodEvent& event)
    {
        const QString commit = event.commitString();
        const QString preedit = event.preeditString();
        const Typed typed = typedOf(preedit);
        const bool typing = typed.valid && !isConversion(event);
        // Text that the input method takes out of the name without a commit, showing a conversion
        // at once or nothing, is text it converts again; typing over a selection is not.
        m_inInputMethod = commit.isEmpty() && (preedit.isEmpty() || isConversion(event));
        if (!commit.isEmpty())
            committed(commit, preedit, typed);
        if (preedit.isEmpty()) {
            if (commit.isEmpty()) {
                // The composition is over (committed before, or cancelled).
                m_open = 0;
                m_afterCommit = false;
            }
            resetComposition();
            return;
        }
        if (m_afterCommit) {
            m_afterCommit = false;
            // Fresh typing after a commit; a conversion shown at once is the rest of the last one.
            if (typing)
                m_open = 0;
        }
        if (Piece* open = piece(m_open); open && typed.valid) {
            // The rest shown as kana again (Escape): that kana is its own reading, not the
            // committed part's, which keeps what comes before it.
            if (m_openKana.size() > typed.kana.size() && m_openKana.endsWith(typed.kana) &&
                !typed.kana.isEmpty())
                open->reading = readingOf(m_openKana.chopped(typed.kana.size()));
            else
                open->unsure = true;
            m_open = 0;
        }
        if (typing) {
            m_kana = typed.kana;
            m_kanaKnown = true;
            m_pendingN = typed.pendingN;
            m_converted = false;
            m_conversionKey = 0;
            m_replaced.reset();
        } else if (isConversion(event)) {
            // A conversion that shows its reading (the kana candidate of a re-conversion) before
            // any kana were typed tells the reading.
            if (m_kana.isEmpty() && typed.valid && !typed.kana.isEmpty() && typed.kana == preedit) {
                m_kana = typed.kana;
                m_kanaKnown = true;
            }
            m_converted = true;
        } else {
            // Composing something that is not kana (digits, signs): its reading is not known.
            if (!hasKanji(preedit))
                m_kanaKnown = false;
            m_converted = true;
            m_replaced.reset();
        }
    }

    void committed(const QString& commit, const QString& preedit, const Typed& rest)
    {
        PendingCommit pending;
        pending.text = commit;
        pending.id = ++m_lastId;
        if (isBlanks(commit) && preedit.isEmpty()) {
            // A blank committed between words (Space outside a composition).
            pending.blank = true;
        } else if (m_open != 0) {
            pending.joins = m_open;
        } else {
            QString kana;
            const Typed asTyped = typedOf(commit);
            if (IsKanaOnly(commit)) {
                kana = commit;
            } else if (asTyped.valid && !m_converted) {
                // Committed as typed: pending letters stay letters and have no reading.
                kana = asTyped.kana;
                pending.unsure = kana != commit;
            } else if (m_kana.isEmpty() && m_replaced && m_converted) {
                // A re-conversion of text taken out of the name: the same reading, other characters.
                pending.reading = m_replaced->reading;
                pending.unsure = m_replaced->unsure;
                pending.earlier = m_replaced->earlier;
            } else {
                // A conversion keeps the kana it converted, also to a candidate in letters (NTT,
                // ｙａｍａｄａ by F9).
                kana = m_kana + (m_pendingN ? QStringLiteral("ん") : QString());
                pending.unsure = (m_converted && m_conversionKey != 0 && !convertsAsTyped(m_conversionKey)) ||
                                 !m_kanaKnown || kana.isEmpty();
            }
            if (!preedit.isEmpty() && rest.valid && !rest.kana.isEmpty()) {
                // A part committed while the rest stays as kana: the rest's kana are its own.
                if (kana.size() > rest.kana.size() && kana.endsWith(rest.kana))
                    kana.chop(rest.kana.size());
            } else if (!kana.isEmpty()) {
                // Until the next event tells, the rest of this conversion may still be open.
                m_open = pending.id;
                m_openKana = kana;
            }
            if (hasSmallKe(commit) &&
                (hasSmallKe(kana) || kana.contains(QChar(0x3051)) || kana.contains(QChar(0x30B1)))) {
                // A ヶ typed as kana (or converted from け) reads ｹ, as no name does: ｶﾞ is the likelier.
                pending.smallKe = true;
                pending.unsure = true;
                kana.replace(QChar(0x30F6), QChar(0x304C)).replace(QChar(0x3096), QChar(0x304C));
            }
            if (pending.reading.isEmpty())
                pending.reading = readingOf(kana);
        }
        m_replaced.reset();
        m_pending = pending;
        m_afterCommit = preedit.isEmpty();
        resetComposition();
    }

    void edited(const QString& text)
    {
        const std::optional<PendingCommit> pending = std::exchange(m_pending, std::nullopt);
        const bool byInputMethod = std::exchange(m_inInputMethod, false);
        const QString before = std::exchange(m_text, text);
        const auto [from, tail] = ChangeBetween(before, text);
        if (byInputMethod && !pending && before.size() - tail > from && text.size() - tail == from) {
            // The input method took text out of the name to convert it again: the conversion it
            // commits has that text's reading.
            m_replaced = replacedBetween(from, before.size() - tail, text.isEmpty());
        }
        if (text.isEmpty()) {
            // An emptied name starts afresh (the reading field is emptied with it).
            m_pieces.clear();
            m_earlierLost = false;
            m_open = 0;
            return;
        }
        removed(before, from, before.size() - tail);
        inserted(from, text.size() - tail - from, text.mid(from, text.size() - tail - from), pending);
    }

    // The reading of the pieces wholly inside [from, to), as a re-conversion of them keeps it.
    std::optional<Replaced> replacedBetween(qsizetype from, qsizetype to, bool emptied) const
    {
        Replaced r;
        QStringList words;
        const auto inside = std::count_if(m_pieces.cbegin(), m_pieces.cend(),
                                          [&](const Piece& p) { return p.end > from && p.start < to; });
        if (inside == 0)
            return std::nullopt;
        for (const Piece& p : m_pieces) {
            if (p.end <= from || p.start >= to)
                continue;
            if (p.start < from || p.end > to)
                r.unsure = true; // part of a piece: its reading cannot be told apart
            if (p.earlier) {
                if (emptied && m_earlierReading) {
                    // The reading field is emptied with the name: the reading it had comes back.
                    words << *m_earlierReading;
                } else if (!emptied && inside == 1) {
                    // The text of the start alone converted again: its reading stays where it is.
                    r.earlier = true;
                } else {
                    r.unsure = true;
                }
            } else {
                words << (p.blank ? QStringLiteral(" ") : p.reading);
                r.unsure = r.unsure || p.unsure;
            }
        }
        r.reading = joinWords(words);
        return r;
    }

    void removed(const QString& before, qsizetype from, qsizetype to)
    {
        const qsizetype length = to - from;
        if (length <= 0)
            return;
        for (auto it = m_pieces.begin(); it != m_pieces.end();) {
            if (it->end <= from) {
                ++it;
            } else if (it->start >= to) {
                it->start -= length;
                it->end -= length;
                ++it;
            } else if (it->start >= from && it->end <= to) {
                // Gone whole, and its reading with it; the reading of earlier text is in the
                // reading field, where it stays.
                m_earlierLost = m_earlierLost || it->earlier;
                it = m_pieces.erase(it);
            } else {
                // Cut into: what is left keeps what can be told of its reading.
                const qsizetype cutFrom = std::max(it->start, from) - it->start;
                const qsizetype overlap = std::min(it->end, to) - std::max(it->start, from);
                const QString text = before.mid(it->start, it->end - it->start);
                const bool alone = from >= it->start && to <= it->end;
                it->start = std::min(it->start, from);
                it->end = it->start + text.size() - overlap;
                it->cutReading.clear();
                it->cutAt = -1;
                if (it->unsure || it->earlier || it->blank || it->reading.isEmpty()) {
                    it->unsure = !it->blank;
                    ++it;
                    continue;
                }
                it->unsure = true;
                it->cutReading = it->reading;
                it->cutAt = cutFrom;
                it = tellAround(it, DictionaryWordReadings(text.mid(cutFrom, overlap)));
                if (!alone) {
                    // A part of another run went with it: what is put in its place reads for both.
                    it->cutReading.clear();
                    it->cutAt = -1;
                }
                ++it;
            }
        }
    }

    // The readings of what stays of a piece cut at its `cutAt` where one of `partReadings` tells
    // them; a cut in the middle leaves two pieces. Returns the last of them.
    std::vector<Piece>::iterator tellAround(std::vector<Piece>::iterator it, const QStringList& partReadings)
    {
        const qsizetype cut = it->cutAt;
        const auto sides =
            cut < 0 ? std::nullopt
                    : readingAround(it->cutReading, cut > 0, cut < it->end - it->start, partReadings);
        if (!sides)
            return it;
        it->unsure = false;
        it->cutReading.clear();
        it->cutAt = -1;
        it->reading = sides->first + sides->second;
        if (sides->first.isEmpty() || sides->second.isEmpty())
            return it;
        Piece after = *it;
        after.id = 0;
        after.start = it->start + cut;
        after.reading = sides->second;
        it->end = after.start;
        it->reading = sides->first;
        return m_pieces.insert(it + 1, after);
    }

    void inserted(qsizetype at, qsizetype length, const QString& text,
                  const std::optional<PendingCommit>& commit)
    {
        if (length <= 0)
            return;
        if (commit && commit->joins == 0 && !commit->unsure && !commit->blank && !commit->earlier &&
            !commit->reading.isEmpty() && text == commit->text) {
            // A conversion put where a part of a run was taken out, reading as a part of that run
            // (a kanji corrected for another of the same sound): the rest reads as the rest.
            const auto cut = std::find_if(m_pieces.begin(), m_pieces.end(), [&](const Piece& p) {
                return p.cutAt >= 0 && p.start + p.cutAt == at;
            });
            if (cut != m_pieces.end())
                tellAround(cut, {commit->reading});
        }
        Piece* around = nullptr;
        for (Piece& p : m_pieces) {
            if (p.start >= at) {
                p.start += length;
                p.end += length;
            } else if (p.end > at) {
                around = &p;
            }
        }
        if (around) {
            around->cutReading.clear();
            around->cutAt = -1;
        }
        if (!commit) {
            // Typed without the input method, pasted or set: no reading of its own, so the
            // reading needs a look; blanks alone separate words as a committed blank does.
            if (around) {
                around->end += length;
                around->unsure = true;
                return;
            }
            const auto place = std::find_if(m_pieces.begin(), m_pieces.end(),
                                            [&](const Piece& p) { return p.start >= at + length; });
            if (place != m_pieces.begin() && std::prev(place)->typed && std::prev(place)->end == at &&
                !isBlanks(text)) {
                std::prev(place)->end += length;
                return;
            }
            Piece added{at,    at + length,     QString(),      0,
                        false, !isBlanks(text), isBlanks(text), !isBlanks(text)};
            m_pieces.insert(place, added);
            return;
        }
        if (Piece* open = piece(commit->joins)) {
            if (open->end == at && !around) {
                open->end += length;
                return;
            }
        }
        Piece added{at,           at + length, commit->reading,
                    commit->id,   false,       commit->unsure || text != commit->text,
                    commit->blank};
        if (commit->earlier) {
            // The text of the start converted again: it stands for that text again.
            added.earlier = true;
            added.reading.clear();
            m_earlierLost = false;
        }
        if (commit->joins != 0)
            added.unsure = true;
        added.smallKe = commit->smallKe;
        if (around) {
            // A reading put inside a run splits it; neither part's reading can be told apart.
            Piece after{at + length, around->end + length, QString(), 0, around->earlier, true};
            around->end = at;
            around->unsure = true;
            const auto place =
                std::find_if(m_pieces.begin(), m_pieces.end(), [&](const Piece& p) { return &p == around; });
            const auto next = m_pieces.insert(place + 1, added);
            m_pieces.insert(next + 1, after);
            return;
        }
        const auto place = std::find_if(m_pieces.begin(), m_pieces.end(),
                                        [&](const Piece& p) { return p.start >= added.end; });
        // A reading before the text that the field had goes before the reading already in the
        // reading field, where an appended one cannot be.
        if (!added.blank && !added.earlier &&
            std::any_of(place, m_pieces.end(), [](const Piece& p) { return p.earlier; }))
            added.before = true;
        m_pieces.insert(place, added);
    }

    QPointer<QLineEdit> m_field;
    QMetaObject::Connection m_changed;
    QString m_text;
    std::vector<Piece> m_pieces;
    bool m_earlierLost = false;
    // The reading in the reading field when the capture started, where the caller gave it.
    std::optional<QString> m_earlierReading;
    std::optional<PendingCommit> m_pending;
    std::optional<Replaced> m_replaced;
    int m_lastId = 0;
    // Set from an input-method event without a commit until the edit it makes, if any.
    bool m_inInputMethod = false;
    // The composition as last typed and how it was converted.
    QString m_kana;
    bool m_kanaKnown = true;
    bool m_pendingN = false;
    bool m_converted = false;
    int m_conversionKey = 0;
    // The piece whose reading also covers the rest of its conversion, still open, and its kana.
    int m_open = 0;
    QString m_openKana;
    bool m_afterCommit = false;
    // What the last capture found, for its caller.
    QString m_kept;
    bool m_keptLook = false;
    std::vector<Piece> m_keptPieces;
    QString m_keptText;
    bool m_keptEarlierLost = false;
};

Capture& capture()
{
    static Capture instance;
    return instance;
}

// The mark of a reading field that needs a look: a yellow field with a hint, until the user has
// been in the field or its text changes.
class ReadingMark : public QObject
{
  public:
    explicit ReadingMark(QLineEdit* field) : QObject(field), m_field(field), m_palette(field->palette())
    {
        setObjectName(QString::fromLatin1(kMarkName));
        m_toolTip = field->toolTip();
        QPalette marked = m_palette;
        marked.setColor(QPalette::Base, Colors::LightYellow);
        field->setPalette(marked);
        field->setToolTip(QStringLiteral("フリガナを確認してください"));
        field->installEventFilter(this);
        connect(field, &QLineEdit::textChanged, this, &ReadingMark::remove);
    }

    void remove()
    {
        m_field->removeEventFilter(this);
        disconnect(m_field, nullptr, this, nullptr);
        m_field->setPalette(m_palette);
        m_field->setToolTip(m_toolTip);
        setObjectName(QString());
        deleteLater();
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_field && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            const bool passing = InputBehaviour::isPassingFocus(reason);
            if (event->type() == QEvent::FocusIn && !passing)
                m_visited = true;
            else if (event->type() == QEvent::FocusOut && !passing && m_visited)
                remove();
        }
        return false;
    }

  private:
    QLineEdit* m_field;
    QPalette m_palette;
    QString m_toolTip;
    bool m_visited = false;
};

ReadingMark* findMark(const QLineEdit* field)
{
    return field->findChild<ReadingMark*>(QString::fromLatin1(kMarkName), Qt::FindDirectChildrenOnly);
}

} // namespace

void StartReadingCapture(QLineEdit* field)
{
    capture().start(field);
}

void StopReadingCapture()
{
    capture().stop();
}

QString ReadingText()
{
    return capture().readingText();
}

bool ReadingNeedsLook()
{
    return capture().readingNeedsLook();
}

bool ReadingMarked(const QLineEdit* reading)
{
    return findMark(reading) != nullptr;
}

namespace {

// The reading field's text with the captured reading after it: a blank that would start the
// reading or double one already there is left out.
QString appended(const QString& field, QString captured)
{
    if (captured.startsWith(QLatin1Char(' ')) && (field.isEmpty() || field.endsWith(QLatin1Char(' '))))
        captured.remove(0, 1);
    return field + captured;
}

// The reading field when the name gained the focus.
struct Earlier
{
    QString text;
    // Not marked for a look.
    bool sure = false;
    // Typed before the name: the name was empty.
    bool typedFirst = false;
};

QString withoutBlanks(QString text)
{
    return text.remove(QLatin1Char(' '));
}

// What leaving a name field does. With `earlier`, a reading that needs a look takes the
// dictionary's reading of the parts of the name whose reading the input method could not tell; a
// reading typed before the name is kept; the reading of a name replaced whole goes with it.
void appendReading(QLineEdit* reading, const std::optional<Earlier>& earlier)
{
    StopReadingCapture();
    SetImeMode(reading, ImeHalfKatakana);
    const Capture& c = capture();
    const auto filled = [&] { return c.filledReading(DictionaryReading, earlier->text, earlier->sure); };
    QString text;
    bool look = false;
    if (earlier && earlier->typedFirst && reading->text() == earlier->text) {
        // The user's own: kept, and marked where the name reads otherwise.
        text = reading->text();
        const QString name = c.piecesNeedLook() ? filled().value_or(ReadingText()) : ReadingText();
        look = !name.isEmpty() && withoutBlanks(name) != withoutBlanks(text);
    } else if (earlier && c.earlierGone()) {
        look = c.piecesNeedLook();
        text = look ? filled().value_or(ReadingText()) : ReadingText();
    } else {
        text = appended(reading->text(), ReadingText());
        look = ReadingNeedsLook();
        if (look && earlier)
            text = filled().value_or(text);
    }
    // What the field cannot hold is cut: the reading is then short of the name's.
    if (CharCount(text) > FieldLimit(reading))
        look = true;
    if (text != reading->text())
        reading->setText(text);
    if (look && !findMark(reading))
        new ReadingMark(reading);
}

} // namespace

void AppendCapturedReading(QLineEdit* reading)
{
    appendReading(reading, std::nullopt);
}

void AttachReadingCapture(InputBehaviour& input, QLineEdit* name, QLineEdit* reading,
                          bool emptyNameEmptiesReading)
{
    input.selectAllOnFocus(name);
    // The reading field's text when the name gains the focus: the reading of the name as it was.
    auto earlier = std::make_shared<Earlier>();
    input.onFocusIn(name, [name, reading, earlier] {
        *earlier = {reading->text(), !ReadingMarked(reading),
                    IsAllBlank(name->text()) && !IsAllBlank(reading->text())};
        capture().start(name, reading->text());
    });
    input.onFocusOut(name, [reading, earlier] { appendReading(reading, *earlier); });
    if (emptyNameEmptiesReading) {
        QObject::connect(name, &QLineEdit::textChanged, reading, [reading](const QString& text) {
            if (text.isEmpty())
                reading->clear();
        });
    }
}
