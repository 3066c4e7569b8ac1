#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <deque>
#include <functional>
#include <initializer_list>
#include <vector>

class QInputMethodEvent;
class QLineEdit;
class QWidget;

// Input-method modes of a text field.
enum ImeMode : int {
    ImeOff = 2,          // no input method: direct half-width input
    ImeHiragana = 4,     // the input method may act
    ImeHalfKatakana = 6, // the input method may act; whatever is entered becomes half-width katakana
};

// Sets the field's mode and puts the field under the rules of every text field. Every change of
// the text (typed, pasted, committed by the input method, set by the program) is made to fit
// before any change signal is emitted: line breaks and tabs become blanks and other control
// characters are dropped; in mode 2 full-width ASCII is narrowed and the input method is kept
// out of the field (it passes the keys through as typed, and nothing it commits is taken); in
// mode 6 the text becomes half-width katakana, and whatever else the user enters is dropped,
// blanks aside (a stored text set by the program keeps it); last, the text is cut at the
// field's limit.
//
// In every mode, a commit that the input method delivers again after the focus left a field whose
// conversion was open (to the field that took the focus, or late, to one the screen focused
// afterwards, that field itself included), or that repeats a composition the user cancelled, is
// not taken: a field keeps only what was typed into it.
void SetImeMode(QLineEdit* field, int mode);
int ImeModeOf(const QLineEdit* field);

// The field's limit in characters (code points); QLineEdit's own maximum length counts UTF-16
// units and would cut a surrogate pair. A cut never splits a character nor parts a letter from
// its marks. 32767 or more is no limit. Set limits with SetFieldLimit: a maximum length set on
// the field directly is taken over only at its next focus, mode change or screen show, and a
// text set by the program before that is cut by Qt's rule.
void SetFieldLimit(QLineEdit* field, int limit);
int FieldLimit(const QLineEdit* field);

// Shows a stored value whole, even where it is longer than the field's limit: the limit holds for
// what the user enters, so such a text may shrink but not grow.
void ShowStoredText(QLineEdit* field, const QString& text);

// Hands every input-method event that the field takes to `watcher` before the field applies it
// (one watcher a field; an empty function ends the watch).
void WatchInputMethod(QLineEdit* field, std::function<void(const QInputMethodEvent&)> watcher);

// Puts the field under the rules without changing its mode (every text field of a form's layout
// is, from its making), taking over a maximum length that was set on it since.
void ApplyFieldRules(QLineEdit* field);

// Puts the caret at the start with the whole text selected.
void SelectWhole(QLineEdit* field);

// The keyboard behaviour of one screen: select-all on focus gain, the Enter order, and focus
// gain and loss hooks. The screen owns it.
//
// Every text field of the screen is put under the field rules (see SetImeMode) when the screen
// is shown.
//
// Focus gain and loss mean the user's move from one control to another. A window that loses and
// regains activation, or a popup (a context menu, the drop-down of a list) that opens and closes,
// leaves the field focused as far as these hooks are concerned.
class InputBehaviour : public QObject
{
    Q_OBJECT

  public:
    explicit InputBehaviour(QWidget* screen);

    // Selects the whole text whenever the field gains the focus, also through a mouse click.
    void selectAllOnFocus(QLineEdit* field);
    void selectAllOnFocus(std::initializer_list<QLineEdit*> fields);

    // Enter (either key) in `from` moves the focus to the first of `to` that is enabled and
    // visible; the Enter character itself never reaches the field.
    void enterMovesTo(QWidget* from, std::initializer_list<QWidget*> to);
    // A whole Enter order: each row is a field and its next field(s).
    struct EnterStep
    {
        QWidget* from;
        std::vector<QWidget*> to;
    };
    void setEnterOrder(std::initializer_list<EnterStep> steps);
    void setEnterOrder(const std::vector<EnterStep>& steps);
    // Enter in the field is swallowed and nothing else happens.
    void swallowEnter(QWidget* field);

    void onFocusIn(QWidget* field, std::function<void()> handler);
    void onFocusOut(QWidget* field, std::function<void()> handler);

    static bool isEnterKey(int key);
    static bool isModifierKey(int key);
    // Focus moves that are no move of the user's from one control to another (a window's
    // activation, a popup).
    static bool isPassingFocus(Qt::FocusReason reason);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Entry
    {
        QPointer<QWidget> widget;
        bool selectAll = false;
        bool mousePending = false;
        bool swallowEnter = false;
        std::vector<QPointer<QWidget>> next;
        std::function<void()> focusIn;
        std::function<void()> focusOut;
    };
    Entry& entry(QWidget* widget);
    Entry* find(QObject* widget);
    void focusGained(Entry& e, QWidget* widget, Qt::FocusReason reason);
    void focusLost(Entry& e, QWidget* widget);

    // Stable addresses: hooks may add entries while an event of another entry is handled.
    std::deque<Entry> m_entries;
    QPointer<QWidget> m_screen;
    // The entry that holds the focus as the hooks see it.
    QPointer<QWidget> m_focused;
};
