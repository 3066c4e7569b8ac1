#pragma once

#include "BusyRun.h"
#include "ControlArray.h"
#include "DialogService.h"

#include "db/EngineError.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QWidget>

#include <initializer_list>
#include <optional>
#include <vector>

class FlexGrid;
class InputBehaviour;

// How a form draws its labels of fixed role: the title Lbl_Ttl(14), the message line
// Lbl_Ttl(11), the completion notice Lbl_Ttl(12) and the panel behind it Lbl_Ttl(13).
struct RoleLabelStyle
{
    // The title centred in a box; otherwise left-aligned and plain.
    bool framedTitle = false;
    QColor titleBack = QColor();
    // Lbl_Ttl(11) is the message line (the menu's is its version line).
    bool messageLine = true;
    double noticePoints = 18;
    QColor noticeBack = QColor();
    QColor panelBack = QColor();
    bool framedPanel = false;
};

// One row of a form's layout table: a control, its array index (-1 for a single control),
// caption, position and size in twips, the object name of its container (empty: the form), and
// for a text field the most characters it takes (0: no limit).
struct ControlRow
{
    enum class Kind { Label, Button, Text, Combo, List, Check, Frame, Panel, Grid, Scroll };
    Kind kind;
    const char* name;
    int index;
    QString caption;
    int left;
    int top;
    int width;
    int height;
    const char* parent = "";
    int limit = 0;
};

// A check of the input: when it fails, its message goes to the message line and the focus to
// the control to correct.
struct InputCheck
{
    bool failed;
    QString message;
    QWidget* focus;
};

// What every form shares, main screen or modal dialog: the font, the layout table, the control
// arrays with Cmd wired to Cmd_Click, the guarded user action, the completion notice, focus
// parking and the refused close box.
class FormBase : public QWidget
{
    Q_OBJECT

  public:
    explicit FormBase(const QString& formName, QWidget* parent = nullptr, Qt::WindowFlags flags = {});
    ~FormBase() override;

    const QString& formName() const { return m_formName; }
    // The caption of the form's failure boxes: its name, or what the screen set (its caption).
    const QString& boxTitle() const { return m_boxTitle.isEmpty() ? m_formName : m_boxTitle; }

    ControlArray<QPushButton> Cmd;
    ControlArray<QLineEdit> Txt_Inp;
    ControlArray<QLabel> Lbl_Ttl;
    ControlArray<QLabel> Lbl_Dat;

    // The form's focus and Enter rules, made at first use. The form deletes it before its
    // controls, so that no focus handler runs while they are destroyed.
    InputBehaviour* Input();

  protected:
    // Builds the controls of the table in its order (which is also the tab order). Every Cmd
    // button calls Cmd_Click with its index.
    void BuildControls(std::initializer_list<ControlRow> layout);
    template <class T> T* Control(const char* name) const { return findChild<T*>(QString::fromLatin1(name)); }
    // Gathers the built controls named name + "_" + index into a control array of the form's own.
    template <class T> void CollectArray(ControlArray<T>& array, const char* name) const
    {
        const QString prefix = QString::fromLatin1(name) + QLatin1Char('_');
        for (T* control : findChildren<T*>()) {
            bool number = false;
            const QString name = control->objectName();
            const int index = name.startsWith(prefix) ? name.mid(prefix.size()).toInt(&number) : 0;
            if (number)
                array.add(index, control);
        }
    }
    // Styles the role labels the form has: the title in the 18-point font, the message line on
    // light red, the notice and its panel hidden until a notice shows them.
    void StyleRoleLabels(const RoleLabelStyle& style = {});
    virtual void Cmd_Click(int index);

    // Whether the window's close box may close the form (the menu and the bulk deletion).
    void setCloseBoxAllowed(bool allowed) { m_closeBoxAllowed = allowed; }
    // Closes the form for good, past the refused close box.
    void closeForm();

    // Runs one user action; any failure of it (a failed allocation included) is shown in a
    // warning box captioned with boxTitle(), in a Japanese sentence with the library's own
    // text below it, and the action is abandoned. Returns whether the action completed.
    template <class F> bool Guarded(F&& action)
    {
        try {
            action();
            return true;
        } catch (const std::exception& e) {
            ShowFailure(EngineError(e));
            return false;
        }
    }
    // Runs one long user action under a BusyRun of the held controls with the status line, as
    // Guarded does; a failure box shows once the run has given the controls back, never while it
    // holds them. The action gets the run, for its status texts and its painting.
    //     read = GuardedRun({Cmd(0), Cmd(1)}, Lbl_Ttl(11), [&](BusyRun& busy) { ... });
    // A Stoppable run leaves the controls it does not hold usable; its action throws RunStopped
    // when the user stops it, which ends the run without a box (and returns false).
    template <class F>
    bool GuardedRun(const std::vector<QWidget*>& held, QLabel* status, F&& action,
                    BusyRun::Kind kind = BusyRun::Kind::Work)
    {
        std::optional<QelError> failure;
        bool stopped = false;
        {
            BusyRun busy(held, status, kind);
            try {
                action(busy);
            } catch (const RunStopped&) {
                stopped = true;
            } catch (const std::exception& e) {
                failure = EngineError(e);
            }
        }
        if (failure)
            ShowFailure(*failure);
        return !failure && !stopped;
    }
    // The failure box of the form: captioned with boxTitle(), or with `title` when given.
    void ShowFailure(const QelError& failure, const QString& title = {}) const;
    // A new screen's boxes carry its caption.
    void setBoxTitle(const QString& title) { m_boxTitle = title; }

    // The completion notice: shows the labels and disables the controls, waits, then hides the
    // labels and gives each control back the enabled state it had before.
    void FlashNotice(std::initializer_list<QWidget*> shown, std::initializer_list<QWidget*> disabled,
                     int milliseconds = 1000);

    // Runs the checks in their order, after emptying the message line Lbl_Ttl(11). The first that
    // fails writes its message there and moves the focus to its control, through the parking
    // field when one is given. Returns its number (1 for the first), or 0 when every check passes.
    int FirstFailedCheck(std::initializer_list<InputCheck> checks, QWidget* parking = nullptr);

    // Moves the focus through the hidden parking field to the target, so that the target's
    // focus-gain behaviour runs again.
    static void ParkFocus(QWidget* hidden, QWidget* target);

    void closeEvent(QCloseEvent* event) override;

  private:
    QString m_formName;
    QString m_boxTitle;
    bool m_closeBoxAllowed = false;
    bool m_closing = false;
    InputBehaviour* m_input = nullptr;
};

// The screen font: the Japanese gothic families in order of preference.
QFont ScreenFont(double pointSize = 12.0);
void SetBackColor(QWidget* widget, const QColor& colour);
void SetBordered(QLabel* label);
