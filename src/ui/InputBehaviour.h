#pragma once

#include <QObject>
#include <QPointer>

#include <deque>
#include <functional>
#include <initializer_list>
#include <vector>

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
// out of the field (it passes the keys through as typed); in mode 6 the text becomes half-width
// katakana; last, the text is cut at the field's limit.
void SetImeMode(QLineEdit* field, int mode);
int ImeModeOf(const QLineEdit* field);

// The field's limit in characters (code points); QLineEdit's own maximum length counts UTF-16
// units and would cut a surrogate pair. A cut never splits a character nor parts a letter from
// its marks. 32767 or more is no limit. Set limits with SetFieldLimit: a maximum length set on
// the field directly is taken over only at its next focus, mode change or screen show, and a
// text set by the program before that is cut by Qt's rule.
void SetFieldLimit(QLineEdit* field, int limit);
int FieldLimit(const QLineEdit* field);

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
    // Enter in `from` runs the handler instead of moving on; the character is swallowed.
    void onEnter(QWidget* from, std::function<void()> handler);

    void onFocusIn(QWidget* field, std::function<void()> handler);
    void onFocusOut(QWidget* field, std::function<void()> handler);

    static bool isEnterKey(int key);

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
        std::function<void()> enter;
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
