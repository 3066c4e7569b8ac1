#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <exception>
#include <utility>
#include <vector>

class QLabel;

// A long action on a screen, for as long as the object lives: the held controls disabled, the
// wait cursor, and the status line. At its end the input that queued meanwhile (clicks made
// during the action) reaches the held controls while they are still disabled and is dropped
// there, then each control gets back its own enabled state (not one inherited from a disabled
// container) and the cursor is restored.
//     {
//         BusyRun busy({Cmd(0), Cmd(1)}, Lbl_Ttl(11));
//         busy.say(QStringLiteral("しばらくお待ちください"));
//         written = WorkbookProc();
//     }
// A Notice only holds the controls: no wait cursor, queued input left to the screen.
// A Stoppable run leaves the controls it does not hold usable (its "中止" and "閉じる"): paint()
// hands them their input as it comes, and drops the clicks on the held ones at once.
class BusyRun
{
  public:
    enum class Kind { Work, Notice, Stoppable };

    explicit BusyRun(const std::vector<QWidget*>& held, QLabel* status = nullptr, Kind kind = Kind::Work);
    ~BusyRun();
    BusyRun(const BusyRun&) = delete;
    BusyRun& operator=(const BusyRun&) = delete;

    // Shows the text in the status line and paints the screen at once.
    void say(const QString& text);
    // Paints the screen while a long step works, a few times a second however often it is called
    // (the engine's progress calls, a loop over many rows); input stays queued, except in a
    // Stoppable run.
    void paint();

  private:
    // A held control can go while the run lasts (a screen closed by a click that was handled
    // meanwhile): it is then left alone.
    std::vector<std::pair<QPointer<QWidget>, bool>> m_held;
    QPointer<QLabel> m_status;
    Kind m_kind;
    QElapsedTimer m_painted;
};

// Thrown by a Stoppable run's action when the user stopped it: the run ends without a failure box.
class RunStopped : public std::exception
{
  public:
    const char* what() const noexcept override { return "stopped by the user"; }
};
