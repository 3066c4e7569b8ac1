#pragma once

#include "core/AppExit.h"
#include "ui/DialogService.h"
#include "ui/WaitService.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <vector>

// A message box as the test saw it.
struct ShownBox
{
    // Failure: a failed action's warning, with the engine's text as its smaller second line.
    // Preview: the print preview, its title the window's; it is closed at once.
    // Print: the printer chooser, answered Yes (print) or No (cancelled).
    enum class Kind {
        Question,
        Information,
        Warning,
        Exclamation,
        Failure,
        Preview,
        OpenFile,
        SaveFile,
        Print
    };
    Kind kind;
    QString title;
    QString text;
};

// Answers the message boxes a test expects, in order, and records every box shown. A box that
// the test did not script fails the test.
class ScriptedDialogs : public DialogService
{
  public:
    // Expects a box of this kind; an empty title or text matches any.
    ScriptedDialogs& expect(ShownBox::Kind kind, const QString& title, const QString& text,
                            Answer answer = Answer::Yes);
    ScriptedDialogs& expectQuestion(const QString& text, Answer answer)
    {
        return expect(ShownBox::Kind::Question, QStringLiteral("確認"), text, answer);
    }

    // Expects a file dialog of this title (empty: any), answered with the path (empty: cancelled)
    // and, for a save dialog, the file type chosen (-1: the one offered).
    ScriptedDialogs& expectFile(ShownBox::Kind kind, const QString& title, const QString& path,
                                int filter = -1);

    // Expects the completion box of a written file (an information box); `open`: the user clicks
    // "フォルダを開く".
    ScriptedDialogs& expectWritten(const QString& title, const QString& text, bool open = false);

    Answer question(const QString& title, const QString& text) override;
    void information(const QString& title, const QString& text) override;
    void warning(const QString& title, const QString& text) override;
    void exclamation(const QString& title, const QString& text) override;
    // Its text as the user reads it: the message, then the detail.
    void failure(const QString& title, const QString& message, const QString& detail) override;
    // Recorded with the folder or suggested path as the text (and the offered type after a tab).
    QString openFile(const QString& title, const QString& folder, const QStringList& filters) override;
    QString saveFile(const QString& title, const QString& suggested, const QStringList& filters,
                     int& filter) override;
    // Taken as a box; `onPreview`, when set, looks at the window first.
    void preview(QDialog& dialog) override;
    std::function<void(QDialog& dialog)> onPreview;
    // Taken as a box titled as the chooser; `onPrint`, when set, chooses the printer (a PDF file,
    // say) before the answer is given.
    bool print(QPrinter& printer, const QString& title) override;
    std::function<void(QPrinter& printer)> onPrint;

    // The folders the user had opened from a completion box; `folderOpens` false: the desktop
    // cannot open them.
    std::vector<QString> openedFolders;
    bool folderOpens = true;
    // Called with each box as it is shown, before it is answered: a test looks at the screen then.
    std::function<void(const ShownBox& box)> onShown;

    const std::vector<ShownBox>& shown() const { return m_shown; }
    bool allAnswered() const { return m_expected.empty(); }

  protected:
    bool writtenBox(const QString& title, const QString& text) override;
    bool openFolder(const QString& folder) override;

  private:
    Answer take(ShownBox::Kind kind, const QString& title, const QString& text);

    struct Expected
    {
        ShownBox box;
        Answer answer;
        QString path = {};
        int filter = -1;
        bool openFolder = false;
    };
    std::deque<Expected> m_expected;
    std::vector<ShownBox> m_shown;
};

// Records the waits instead of sleeping; `during` runs inside each wait so that a test can look
// at the screen while a notice is up.
class RecordingWaits : public WaitService
{
  public:
    void wait(QWidget* screen, int milliseconds) override;
    std::vector<int> waits;
    std::function<void()> during;
};

// Counts the ends of the application that the code asked for, instead of ending.
class RecordingExit : public AppExit
{
  public:
    void endApplication() override { ++calls; }
    int calls = 0;
};

// A fresh application folder per test: its own Qel.Ini, the operational database made by the
// same code as the shipped one, the globals reset, a fixed clock, scripted boxes and waits.
class AppFixture : public ::testing::Test
{
  protected:
    void SetUp() override;
    void TearDown() override;

    // Writes Qel.Ini (UTF-8) with these lines under [Ini] and reads the settings again.
    void writeIni(const QString& lines);
    QString appPath() const { return m_dir.path(); }
    // The user's documents folder as the desktop names it (XDG_DOCUMENTS_DIR), made for the test:
    // where the file choosers open first.
    QString documentsPath() const { return m_home.filePath(QStringLiteral("書類")); }
    QString dbPath() const;
    void setNow(const QDateTime& now);
    // A shop that keeps three backups in "バックアップ" beside the program, the clock at
    // 2026/12/08 14:30:05.
    void useBackupFolder();
    QString backups() const { return appPath() + QStringLiteral("/バックアップ"); }
    // Records the ends of the application from now on, until the test ends.
    RecordingExit* recordExits();

    ScriptedDialogs* dialogs = nullptr;
    RecordingWaits* waits = nullptr;

  private:
    QTemporaryDir m_dir;
    QTemporaryDir m_home;
    QByteArray m_configHome;
};

// The bytes of a file; none when it cannot be read.
QByteArray FileBytes(const QString& path);
// The names of the files in a folder, hidden ones included, in order.
QStringList FileNames(const QString& folder);

// Closes every top-level window left by a screen test.
void CloseAllScreens();

// Puts every service slot and registry of the program back as a fresh start finds it: the
// services (ResetServices, the text handed between fields included), the screen registry, the
// reading capture and the globals. Every fixture starts and ends with it, so that no test sees another's
// state.
void ResetProgramState();

// Numbered readings as a user can type them into a reading field, which takes half-width katakana
// only: each digit 0 to 9 becomes ｱ to ｺ, which keep the digits' order. KanaDigitsSql wraps an SQL
// text expression in the same mapping.
QString KanaDigits(const QString& digits);
QString KanaDigitsSql(const QString& expression);

// Processes events until the condition holds or the time runs out; a GoogleTest failure when it
// does not hold by then. Returns whether it held.
bool PollUntil(const std::function<bool()>& condition, int timeoutMs = 3000, const char* what = "condition");
