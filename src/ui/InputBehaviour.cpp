#include "InputBehaviour.h"

#include "core/Services.h"
#include "core/TextRoutines.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QInputMethodQueryEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QValidator>

#include <algorithm>

namespace {

const char* const kModeProperty = "qelImeMode";
const char* const kRulesName = "qelFieldRules";
constexpr int kNoLimit = 32767;

bool hasContent(const QInputMethodEvent& event)
{
    return !event.commitString().isEmpty() || !event.preeditString().isEmpty() ||
           event.replacementLength() > 0;
}

// The rules of one text field. As its validator it may rewrite the text before the field takes
// it, so the field emits its change signals once, with the text as stored, and the caret stays
// behind what was entered. As its event filter it decides which input-method events the field
// takes: none in mode 2, and no commit that the input method meant for another composition.
class FieldRules : public QValidator
{
  public:
    explicit FieldRules(QLineEdit* field) : QValidator(field), m_field(field)
    {
        setObjectName(QString::fromLatin1(kRulesName));
        field->installEventFilter(this);
    }

    int mode = 0;
    int limit = kNoLimit;
    // Set while a stored text is shown: it is taken whole, beyond the limit.
    bool takeWhole = false;
    std::function<void(const QInputMethodEvent&)> watcher;

    State validate(QString& input, int& pos) const override
    {
        // QLineEdit clears its undo history when the program sets the text: a change that leaves
        // the field modified is the user's.
        const bool entered = m_field->isModified();
        QString before = fit(input.left(pos), entered);
        QString after = fit(input.mid(pos), entered);
        if (limit < kNoLimit && !takeWhole) {
            // What stays of a text already over the limit (a stored one shown whole) is kept; the
            // limit holds for the rest.
            const qsizetype room = std::max<qsizetype>(limit, keptCount(input));
            // As with a plain length limit, what was just inserted before the caret gives way,
            // not the text behind it.
            const qsizetype afterCount = CharCount(after);
            if (afterCount >= room) {
                before.clear();
                after = LeftChars(after, room);
            } else {
                before = LeftChars(before, room - afterCount);
            }
        }
        const QString result = before + after;
        if (result != input) {
            input = result;
            pos = static_cast<int>(before.size());
        }
        m_held = result;
        return Acceptable;
    }

    // Takes over a maximum length set on the field since the last look.
    void adoptLimit()
    {
        if (m_field->maxLength() != m_applied)
            setLimit(m_field->maxLength());
    }

    void setLimit(int characters)
    {
        limit = characters >= kNoLimit ? kNoLimit : std::max(characters, 0);
        // Room for every character being a surrogate pair (or a kana that splits in two); the
        // cut itself is the validator's.
        applyLength(limit >= kNoLimit ? kNoLimit : std::min(kNoLimit, limit * 2));
        // A text that fits the new length in units may still be too long in characters.
        m_held.clear();
        if (limit < kNoLimit && CharCount(m_field->text()) > limit)
            m_field->setText(LeftChars(m_field->text(), limit));
        m_held = m_field->text();
    }

    void showWhole(const QString& text)
    {
        if (text.size() > m_applied)
            applyLength(static_cast<int>(std::min<qsizetype>(text.size(), kNoLimit)));
        takeWhole = true;
        m_field->setText(text);
        takeWhole = false;
    }

    // The focus left this field.
    void focusLeft()
    {
        // A conversion still open, or closed by the commit that the focus change itself caused,
        // may be delivered once more to whatever field has the focus when the input method gets
        // to it: the one that took the focus, or, when the screen was busy meanwhile (a save),
        // the one it put the focus on afterwards, this one included.
        const QString pending = m_composing ? m_preedit : m_closingCommit;
        if (!pending.isEmpty())
            echo() = pending;
        m_composing = false;
        m_closingCommit.clear();
        m_abandoned.clear();
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != m_field)
            return false;
        switch (event->type()) {
        case QEvent::FocusIn:
            adoptLimit();
            break;
        case QEvent::InputMethodQuery:
            // QLineEdit answers that it accepts the input method whenever it is enabled, whatever
            // its WA_InputMethodEnabled says; the input-method plugins (ibus, fcitx) ask this.
            if (mode == ImeOff && (static_cast<QInputMethodQueryEvent*>(event)->queries() & Qt::ImEnabled)) {
                watched->event(event);
                static_cast<QInputMethodQueryEvent*>(event)->setValue(Qt::ImEnabled, false);
                return true;
            }
            break;
        case QEvent::InputMethod:
            return !take(*static_cast<QInputMethodEvent*>(event));
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
            if (!InputBehaviour::isModifierKey(static_cast<QKeyEvent*>(event)->key()))
                m_closingCommit.clear();
            break;
        default:
            break;
        }
        return false;
    }

  private:
    // The text of a conversion that the input method may still deliver again, in whichever field.
    // It comes before anything else the input method sends, so the first other input-method event
    // with content ends the wait. One focus at a time, so one for every field; a reset of the
    // services drops it.
    static QString& echo()
    {
        static QString text = [] {
            OnServiceReset([] { echo().clear(); });
            return QString();
        }();
        return text;
    }

    // Whether the field takes the event; keeps track of the composition either way.
    bool take(const QInputMethodEvent& event)
    {
        if (mode == ImeOff) {
            if (hasContent(event))
                echo().clear();
            return !hasContent(event);
        }
        const QString commit = event.commitString();
        const QString preedit = event.preeditString();
        const bool bareCommit = !commit.isEmpty() && preedit.isEmpty() && event.replacementLength() == 0;
        // ibus delivers the commit of a conversion that was open when the focus moved to the old
        // field and again, later, to the field focused then; and its Qt plugin commits a composition
        // the user cancelled (Escape) when the focus leaves. Neither was typed into this field.
        const bool again = bareCommit && !m_composing && commit == echo();
        const bool stale = bareCommit && !m_composing && commit == m_abandoned;
        if (hasContent(event)) {
            echo().clear();
            m_abandoned.clear();
        }
        // The end of a conversion that the focus change committed is the last thing the field
        // hears of it before the focus moves; anything after it ends the wait for an echo.
        m_closingCommit.clear();
        if (again || stale)
            return false;
        if (!commit.isEmpty() && m_composing && preedit.isEmpty())
            m_closingCommit = commit;
        else if (commit.isEmpty() && preedit.isEmpty() && m_composing)
            m_abandoned = m_preedit;
        m_composing = !preedit.isEmpty();
        if (m_composing)
            m_preedit = preedit;
        if (watcher)
            watcher(event);
        return true;
    }

    // The characters of the text held so far that are still there, unchanged, in the new one.
    qsizetype keptCount(const QString& input) const
    {
        const auto [head, tail] = ChangeBetween(m_held, input);
        return CharCount(QStringView(m_held).left(head)) + CharCount(QStringView(m_held).right(tail));
    }

    void applyLength(int units)
    {
        m_applied = units;
        m_field->setMaxLength(units);
    }

    QString fit(const QString& text, bool entered) const
    {
        const QString line = SingleLine(text);
        switch (mode) {
        case ImeOff:
            return ToHalfAscii(line);
        case ImeHalfKatakana: {
            // A stored reading shown by the program keeps what it has; only what the user enters
            // is held to half-width katakana.
            const QString half = ToHalfKatakana(line);
            return entered ? ReadingCharsOnly(half) : half;
        }
        default:
            return line;
        }
    }

    QLineEdit* m_field;
    int m_applied = -1;
    // The text as last taken.
    mutable QString m_held;
    // The input method's work in this field as the events tell it.
    bool m_composing = false;
    QString m_preedit;
    QString m_closingCommit;
    QString m_abandoned;
};

FieldRules* findRules(const QLineEdit* field)
{
    return field->findChild<FieldRules*>(QString::fromLatin1(kRulesName), Qt::FindDirectChildrenOnly);
}

// The field's rules, made on first use. A field with a validator of its own keeps it and gets
// no rules.
FieldRules* rules(QLineEdit* field)
{
    FieldRules* found = findRules(field);
    if (found)
        return found;
    if (field->validator())
        return nullptr;
    auto* made = new FieldRules(field);
    field->setValidator(made);
    made->adoptLimit();
    static const bool followingFocus = [] {
        QObject::connect(qApp, &QApplication::focusChanged, qApp, [](QWidget* old, QWidget*) {
            auto* from = qobject_cast<QLineEdit*>(old);
            if (FieldRules* r = from ? findRules(from) : nullptr)
                r->focusLeft();
        });
        return true;
    }();
    Q_UNUSED(followingFocus);
    return made;
}

} // namespace

void SetImeMode(QLineEdit* field, int mode)
{
    field->setProperty(kModeProperty, mode);
    field->setAttribute(Qt::WA_InputMethodEnabled, mode != ImeOff);
    switch (mode) {
    case ImeOff:
        field->setInputMethodHints(Qt::ImhPreferLatin | Qt::ImhNoPredictiveText);
        break;
    case ImeHalfKatakana:
        field->setInputMethodHints(Qt::ImhPreferLatin);
        break;
    default:
        field->setInputMethodHints(Qt::ImhNone);
    }
    if (FieldRules* r = rules(field)) {
        r->adoptLimit();
        r->mode = mode;
    }
    if (field->hasFocus())
        QGuiApplication::inputMethod()->update(Qt::ImEnabled | Qt::ImHints);
}

int ImeModeOf(const QLineEdit* field)
{
    const QVariant mode = field->property(kModeProperty);
    return mode.isValid() ? mode.toInt() : 0;
}

void SetFieldLimit(QLineEdit* field, int limit)
{
    if (FieldRules* r = rules(field))
        r->setLimit(limit);
    else
        field->setMaxLength(limit);
}

int FieldLimit(const QLineEdit* field)
{
    const FieldRules* r = findRules(field);
    return r ? r->limit : field->maxLength();
}

void ShowStoredText(QLineEdit* field, const QString& text)
{
    if (FieldRules* r = rules(field))
        r->showWhole(text);
    else
        field->setText(text);
}

void WatchInputMethod(QLineEdit* field, std::function<void(const QInputMethodEvent&)> watcher)
{
    if (FieldRules* r = rules(field))
        r->watcher = std::move(watcher);
}

void ApplyFieldRules(QLineEdit* field)
{
    if (FieldRules* r = rules(field))
        r->adoptLimit();
}

void SelectWhole(QLineEdit* field)
{
    field->setCursorPosition(static_cast<int>(field->text().size()));
    field->cursorBackward(true, static_cast<int>(field->text().size()));
}

InputBehaviour::InputBehaviour(QWidget* screen) : QObject(screen), m_screen(screen)
{
    screen->installEventFilter(this);
}

bool InputBehaviour::isEnterKey(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

bool InputBehaviour::isModifierKey(int key)
{
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Meta ||
           key == Qt::Key_AltGr;
}

bool InputBehaviour::isPassingFocus(Qt::FocusReason reason)
{
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
}

InputBehaviour::Entry& InputBehaviour::entry(QWidget* widget)
{
    if (Entry* e = find(widget))
        return *e;
    Entry added;
    added.widget = widget;
    m_entries.push_back(std::move(added));
    widget->installEventFilter(this);
    return m_entries.back();
}

InputBehaviour::Entry* InputBehaviour::find(QObject* widget)
{
    if (!widget)
        return nullptr;
    for (Entry& e : m_entries) {
        if (e.widget == widget)
            return &e;
    }
    return nullptr;
}

void InputBehaviour::selectAllOnFocus(QLineEdit* field)
{
    entry(field).selectAll = true;
}

void InputBehaviour::selectAllOnFocus(std::initializer_list<QLineEdit*> fields)
{
    for (QLineEdit* field : fields)
        selectAllOnFocus(field);
}

void InputBehaviour::enterMovesTo(QWidget* from, std::initializer_list<QWidget*> to)
{
    Entry& e = entry(from);
    e.swallowEnter = true;
    e.next.assign(to.begin(), to.end());
}

void InputBehaviour::setEnterOrder(std::initializer_list<EnterStep> steps)
{
    setEnterOrder(std::vector<EnterStep>(steps));
}

void InputBehaviour::setEnterOrder(const std::vector<EnterStep>& steps)
{
    for (const EnterStep& step : steps) {
        Entry& e = entry(step.from);
        e.swallowEnter = true;
        e.next.assign(step.to.begin(), step.to.end());
    }
}

void InputBehaviour::swallowEnter(QWidget* field)
{
    entry(field).swallowEnter = true;
}

void InputBehaviour::onFocusIn(QWidget* field, std::function<void()> handler)
{
    entry(field).focusIn = std::move(handler);
}

void InputBehaviour::onFocusOut(QWidget* field, std::function<void()> handler)
{
    entry(field).focusOut = std::move(handler);
}

void InputBehaviour::focusGained(Entry& e, QWidget* widget, Qt::FocusReason reason)
{
    // A field that lost the focus only to an inactive window, which then gave it to another
    // control, has its focus loss run now.
    if (m_focused && m_focused != widget) {
        QWidget* previous = m_focused;
        m_focused = nullptr;
        if (Entry* p = find(previous); p && !previous->hasFocus())
            focusLost(*p, previous);
    }
    m_focused = widget;
    auto* field = qobject_cast<QLineEdit*>(widget);
    if (field && e.selectAll) {
        SelectWhole(field);
        e.mousePending = reason == Qt::MouseFocusReason;
    }
    if (e.focusIn)
        e.focusIn();
}

void InputBehaviour::focusLost(Entry& e, QWidget* widget)
{
    e.mousePending = false;
    if (m_focused == widget)
        m_focused = nullptr;
    if (e.focusOut)
        e.focusOut();
}

bool InputBehaviour::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_screen && event->type() == QEvent::Show) {
        for (QLineEdit* field : m_screen->findChildren<QLineEdit*>())
            ApplyFieldRules(field);
    }
    Entry* e = find(watched);
    if (!e)
        return QObject::eventFilter(watched, event);
    auto* widget = static_cast<QWidget*>(watched);
    auto* field = qobject_cast<QLineEdit*>(watched);

    switch (event->type()) {
    case QEvent::FocusIn: {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (field)
            ApplyFieldRules(field);
        // The widget takes the focus first; then the screen's focus-gain behaviour runs.
        watched->event(event);
        if (isPassingFocus(reason) && m_focused == widget)
            return true;
        focusGained(*e, widget, reason);
        return true;
    }
    case QEvent::FocusOut: {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        watched->event(event);
        if (isPassingFocus(reason))
            return true;
        focusLost(*e, widget);
        return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        // The click that gave the focus must not undo the selection.
        if (field && e->mousePending)
            return true;
        break;
    case QEvent::MouseButtonRelease:
        if (field && e->mousePending) {
            e->mousePending = false;
            SelectWhole(field);
            return true;
        }
        break;
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (!isEnterKey(key->key()) || !e->swallowEnter)
            break;
        if (auto* combo = qobject_cast<QComboBox*>(watched);
            combo && combo->view() && combo->view()->isVisible())
            break;
        for (const QPointer<QWidget>& next : e->next) {
            if (next && next->isEnabled() && next->isVisible()) {
                next->setFocus(Qt::TabFocusReason);
                break;
            }
        }
        return true;
    }
    case QEvent::KeyRelease:
        if (isEnterKey(static_cast<QKeyEvent*>(event)->key()) && e->swallowEnter)
            return true;
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
