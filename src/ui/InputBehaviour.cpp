#include "InputBehaviour.h"

#include "core/TextRoutines.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodQueryEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QValidator>

#include <algorithm>

namespace {

const char* const kModeProperty = "qelImeMode";
const char* const kRulesName = "qelFieldRules";
constexpr int kNoLimit = 32767;

// The rules of one text field. As its validator it may rewrite the text before the field takes
// it, so the field emits its change signals once, with the text as stored, and the caret stays
// behind what was entered. As its event filter it keeps the input method out in mode 2.
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

    State validate(QString& input, int& pos) const override
    {
        QString before = fit(input.left(pos));
        QString after = fit(input.mid(pos));
        if (limit < kNoLimit) {
            // As with a plain length limit, what was just inserted before the caret gives way,
            // not the text behind it.
            const qsizetype afterCount = CharCount(after);
            if (afterCount >= limit) {
                before.clear();
                after = LeftChars(after, limit);
            } else {
                before = LeftChars(before, limit - afterCount);
            }
        }
        const QString result = before + after;
        if (result != input) {
            input = result;
            pos = static_cast<int>(before.size());
        }
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
        m_applied = limit >= kNoLimit ? kNoLimit : std::min(kNoLimit, limit * 2);
        m_field->setMaxLength(m_applied);
        // A text that fits the new length in units may still be too long in characters.
        if (limit < kNoLimit && CharCount(m_field->text()) > limit)
            m_field->setText(LeftChars(m_field->text(), limit));
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_field && event->type() == QEvent::FocusIn)
            adoptLimit();
        // QLineEdit answers that it accepts the input method whenever it is enabled, whatever
        // its WA_InputMethodEnabled says; the input-method plugins (ibus, fcitx) ask this query.
        if (watched == m_field && mode == ImeOff && event->type() == QEvent::InputMethodQuery) {
            auto* query = static_cast<QInputMethodQueryEvent*>(event);
            if (query->queries() & Qt::ImEnabled) {
                watched->event(event);
                query->setValue(Qt::ImEnabled, false);
                return true;
            }
        }
        return false;
    }

  private:
    QString fit(const QString& text) const
    {
        const QString line = SingleLine(text);
        switch (mode) {
        case ImeOff:
            return ToHalfAscii(line);
        case ImeHalfKatakana:
            return ToHalfKatakana(line);
        default:
            return line;
        }
    }

    QLineEdit* m_field;
    int m_applied = -1;
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
    return made;
}

// Focus moves that are no move of the user's from one control to another.
bool isPassingFocus(Qt::FocusReason reason)
{
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
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

void InputBehaviour::onEnter(QWidget* from, std::function<void()> handler)
{
    Entry& e = entry(from);
    e.swallowEnter = true;
    e.enter = std::move(handler);
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
        if (e->enter) {
            e->enter();
            return true;
        }
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
