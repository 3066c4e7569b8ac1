#pragma once

#include "ControlArray.h"
#include "DialogService.h"

#include "db/DbError.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QWidget>

#include <initializer_list>

// One row of a screen's layout table: a control, its array index (-1 for a single control),
// caption, position and size in twips, and the object name of its container (empty: the screen).
struct ControlSpec
{
    enum class Kind { Label, Button, Text, Combo, List, Check, Frame, Panel };
    Kind kind;
    const char* name;
    int index;
    QString caption;
    int left;
    int top;
    int width;
    int height;
    const char* parent = "";
};

// What every main screen shares: the client size, the placement, the font, the control arrays,
// navigation by form name, the refused close box and the guarded user action.
class MainScreen : public QWidget
{
    Q_OBJECT

public:
    explicit MainScreen(const QString& formName, QWidget* parent = nullptr);

    const QString& formName() const { return m_formName; }
    virtual void LoadProc() = 0;

    // Closes and destroys the screen.
    void Unload();

    ControlArray<QPushButton> Cmd;
    ControlArray<QLineEdit> Txt_Inp;
    ControlArray<QLabel> Lbl_Ttl;
    ControlArray<QLabel> Lbl_Dat;

protected:
    // Sets CallerForm to this form, opens the named screen and unloads this one.
    void OpenScreen(const QString& formName);
    // Places the window 30 twips from the top and the left of the desktop and shows it.
    void ShowScreen();
    void BuildControls(std::initializer_list<ControlSpec> layout);
    template <class T>
    T* Control(const char* name) const
    {
        return findChild<T*>(QString::fromLatin1(name));
    }
    // Whether the window's close box may close the screen (the menu and the bulk deletion).
    void setCloseBoxAllowed(bool allowed) { m_closeBoxAllowed = allowed; }

    // Runs one user action; a database failure is shown in a warning box captioned with the
    // form's name and the action is abandoned. Returns whether the action completed.
    template <class F>
    bool Guarded(F&& action)
    {
        try {
            action();
            return true;
        } catch (const DbError& e) {
            Dialogs().warning(m_formName, e.userText());
            return false;
        }
    }

    // The completion notice: shows the labels, disables the buttons, waits, then undoes both.
    void FlashNotice(std::initializer_list<QWidget*> shown, std::initializer_list<QWidget*> disabled,
                     int milliseconds = 1000);

    // Moves the focus through the hidden parking field to the target, so that the target's
    // focus-gain behaviour runs again.
    static void ParkFocus(QWidget* hidden, QWidget* target);

    void closeEvent(QCloseEvent* event) override;

private:
    QString m_formName;
    bool m_closeBoxAllowed = false;
    bool m_unloading = false;
};

// The screen font: the Japanese gothic families in order of preference.
QFont ScreenFont(double pointSize = 12.0);
void SetBackColor(QWidget* widget, const QColor& colour);
void SetBordered(QLabel* label);
