#include "InputBehaviour.h"

#include "core/TextRoutines.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>

namespace {

const char* const kModeProperty = "qelImeMode";

void convertToHalfKatakana(QLineEdit* field, const QString& text)
{
    const QString converted = ToHalfKatakana(text);
    if (converted == text)
        return;
    // Keep the caret where the user was, measured from the end (conversion may lengthen the text).
    const int fromEnd = static_cast<int>(text.size()) - field->cursorPosition();
    field->setText(converted.left(field->maxLength()));
    field->setCursorPosition(qMax(0, static_cast<int>(field->text().size()) - fromEnd));
}

} // namespace

void SetImeMode(QLineEdit* field, int mode)
{
    const int previous = ImeModeOf(field);
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
    if (mode == ImeHalfKatakana && previous != ImeHalfKatakana) {
        QObject::connect(field, &QLineEdit::textEdited, field, [field](const QString& text) {
            if (ImeModeOf(field) == ImeHalfKatakana)
                convertToHalfKatakana(field, text);
        });
    }
}

int ImeModeOf(const QLineEdit* field)
{
    const QVariant mode = field->property(kModeProperty);
    return mode.isValid() ? mode.toInt() : 0;
}

void SelectWhole(QLineEdit* field)
{
    field->setCursorPosition(static_cast<int>(field->text().size()));
    field->cursorBackward(true, static_cast<int>(field->text().size()));
}

InputBehaviour::InputBehaviour(QWidget* screen) : QObject(screen) {}

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

bool InputBehaviour::eventFilter(QObject* watched, QEvent* event)
{
    Entry* e = find(watched);
    if (!e)
        return QObject::eventFilter(watched, event);
    auto* field = qobject_cast<QLineEdit*>(watched);

    switch (event->type()) {
    case QEvent::FocusIn:
        // The widget takes the focus first; then the design's focus-gain behaviour runs.
        watched->event(event);
        if (field && e->selectAll) {
            SelectWhole(field);
            e->mousePending = static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason;
        }
        if (e->focusIn)
            e->focusIn();
        return true;
    case QEvent::FocusOut:
        e->mousePending = false;
        watched->event(event);
        if (e->focusOut)
            e->focusOut();
        return true;
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
        if (auto* combo = qobject_cast<QComboBox*>(watched); combo && combo->view() && combo->view()->isVisible())
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
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
