#include "ReadingCapture.h"

#include "InputBehaviour.h"
#include "Twips.h"

#include "core/TextRoutines.h"

#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTextFormat>

#include <algorithm>
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
    if (text.isEmpty() || (!kana.isEmpty() && !IsKanaOnly(kana)))
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

// A run of the name's text and the reading of it; the text that the field held when the capture
// started is one run with no reading of its own (its reading is in the reading field already).
struct Piece
{
    qsizetype start;
    qsizetype end;
    QString reading;
    int id = 0;
    bool earlier = false;
    // The reading may not be the whole reading of the text: a prediction, a run cut short.
    bool unsure = false;
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
};

// Follows one name field: each commit makes a piece of its text with its reading, and every later
// edit of the text moves, cuts or drops the pieces it touches. The captured reading is the readings
// of the pieces still there, in the order of the text. Where an edit leaves a reading that can no
// longer be known (a piece cut into, a conversion put before the text the field had), what is known
// is kept and the capture says that the reading needs a look.
class Capture : public QObject
{
  public:
    void start(QLineEdit* field)
    {
        stop();
        m_kept.clear();
        m_keptLook = false;
        resetText();
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
        m_field->removeEventFilter(this);
        WatchInputMethod(m_field, {});
        disconnect(m_changed);
        m_field = nullptr;
        resetText();
    }

    QString readingText() const { return m_field ? reading() : m_kept; }
    bool readingNeedsLook() const { return m_field ? needsLook() : m_keptLook; }

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
        return false;
    }

  private:
    QString reading() const
    {
        QString text;
        for (const Piece& p : m_pieces)
            text += p.reading;
        return text;
    }

    bool needsLook() const
    {
        if (m_earlierLost)
            return true;
        for (const Piece& p : m_pieces) {
            if (p.unsure)
                return true;
        }
        return false;
    }

    void resetText()
    {
        m_pieces.clear();
        m_earlierLost = false;
        m_pending.reset();
        resetComposition();
        m_open = 0;
        m_afterCommit = false;
    }

    void resetComposition()
    {
        m_kana.clear();
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
            m_pendingN = typed.pendingN;
            m_converted = false;
            m_conversionKey = 0;
        } else {
            m_converted = true;
        }
    }

    void committed(const QString& commit, const QString& preedit, const Typed& rest)
    {
        PendingCommit pending;
        pending.text = commit;
        pending.id = ++m_lastId;
        if (m_open != 0) {
            pending.joins = m_open;
        } else {
            QString kana;
            const Typed asTyped = typedOf(commit);
            if (IsKanaOnly(commit)) {
                kana = commit;
            } else if (asTyped.valid) {
                // Committed as typed: pending letters stay letters and have no reading.
                kana = asTyped.kana;
            } else {
                kana = m_kana + (m_pendingN ? QStringLiteral("ん") : QString());
                pending.unsure = (m_converted && m_conversionKey != 0 && !convertsAsTyped(m_conversionKey)) ||
                                 (kana.isEmpty() && hasKanji(commit));
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
            pending.reading = readingOf(kana);
        }
        m_pending = pending;
        m_afterCommit = preedit.isEmpty();
        resetComposition();
    }

    void edited(const QString& text)
    {
        const std::optional<PendingCommit> pending = std::exchange(m_pending, std::nullopt);
        const QString before = std::exchange(m_text, text);
        if (text.isEmpty()) {
            // An emptied name starts afresh.
            m_pieces.clear();
            m_earlierLost = false;
            m_open = 0;
            return;
        }
        const auto [from, tail] = ChangeBetween(before, text);
        removed(from, before.size() - tail);
        inserted(from, text.size() - tail - from, text.mid(from, text.size() - tail - from), pending);
    }

    void removed(qsizetype from, qsizetype to)
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
                // Cut into: what is left keeps the reading, which may now say too much.
                const qsizetype overlap = std::min(it->end, to) - std::max(it->start, from);
                const qsizetype left = it->end - it->start - overlap;
                it->start = std::min(it->start, from);
                it->end = it->start + left;
                it->unsure = true;
                ++it;
            }
        }
    }

    void inserted(qsizetype at, qsizetype length, const QString& text,
                  const std::optional<PendingCommit>& commit)
    {
        if (length <= 0)
            return;
        Piece* around = nullptr;
        for (Piece& p : m_pieces) {
            if (p.start >= at) {
                p.start += length;
                p.end += length;
            } else if (p.end > at) {
                around = &p;
            }
        }
        if (!commit) {
            // Typed without the input method, pasted or set: no reading of its own.
            if (around)
                around->end += length;
            return;
        }
        if (Piece* open = piece(commit->joins)) {
            if (open->end == at && !around) {
                open->end += length;
                return;
            }
        }
        Piece added{at,         at + length, commit->reading,
                    commit->id, false,       commit->unsure || text != commit->text};
        if (commit->joins != 0)
            added.unsure = true;
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
        if (std::any_of(place, m_pieces.end(), [](const Piece& p) { return p.earlier; }))
            added.unsure = true;
        m_pieces.insert(place, added);
    }

    QPointer<QLineEdit> m_field;
    QMetaObject::Connection m_changed;
    QString m_text;
    std::vector<Piece> m_pieces;
    bool m_earlierLost = false;
    std::optional<PendingCommit> m_pending;
    int m_lastId = 0;
    // The composition as last typed and how it was converted.
    QString m_kana;
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

void AppendCapturedReading(QLineEdit* reading)
{
    StopReadingCapture();
    SetImeMode(reading, ImeHalfKatakana);
    const QString captured = ReadingText();
    if (!captured.isEmpty())
        reading->setText(reading->text() + captured);
    if (ReadingNeedsLook() && !findMark(reading))
        new ReadingMark(reading);
}

void AttachReadingCapture(InputBehaviour& input, QLineEdit* name, QLineEdit* reading,
                          bool emptyNameEmptiesReading)
{
    input.selectAllOnFocus(name);
    input.onFocusIn(name, [name] { StartReadingCapture(name); });
    input.onFocusOut(name, [reading] { AppendCapturedReading(reading); });
    if (emptyNameEmptiesReading) {
        QObject::connect(name, &QLineEdit::textChanged, reading, [reading](const QString& text) {
            if (text.isEmpty())
                reading->clear();
        });
    }
}
