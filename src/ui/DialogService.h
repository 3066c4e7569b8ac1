#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class QDialog;
class QPrinter;

// Every message box of the program goes through here, so that tests can answer them.
class DialogService
{
  public:
    enum class Answer { Yes, No };

    virtual ~DialogService() = default;
    // Yes and No, No the default, question icon.
    virtual Answer question(const QString& title, const QString& text);
    virtual void information(const QString& title, const QString& text);
    virtual void warning(const QString& title, const QString& text);
    virtual void exclamation(const QString& title, const QString& text);
    // A failed action: the warning box with the sentence for the user, and below it, smaller,
    // the engine's own text for support.
    virtual void failure(const QString& title, const QString& message, const QString& detail);

    // A file to read, chosen in the folder given; empty when the user cancelled.
    virtual QString openFile(const QString& title, const QString& folder, const QStringList& filters);
    // A file to write, starting at the suggested path; `filter` comes in as the type offered first
    // (an index into filters) and goes out as the type chosen. The dialog asks before an existing
    // file is replaced. Empty when the user cancelled.
    virtual QString saveFile(const QString& title, const QString& suggested, const QStringList& filters,
                             int& filter);
    // The completion box of a file written for the user: the text (the file's path on a line of
    // its own) with "フォルダを開く" beside OK, which shows the file's folder in the desktop's file
    // manager, or says that it could not.
    void fileWritten(const QString& title, const QString& text, const QString& path);
    // A prepared modal window (the print preview), shown until the user closes it.
    virtual void preview(QDialog& dialog);
    // The printer chooser for the printer given (its paper and pages as the run set them); true
    // when the user chose to print, with the printer as chosen.
    virtual bool print(QPrinter& printer, const QString& title);

  protected:
    // The box of fileWritten; true when the user chose to open the folder.
    virtual bool writtenBox(const QString& title, const QString& text);
    // Opens the folder in the desktop's file manager; false when the desktop could not.
    virtual bool openFolder(const QString& folder);
};

DialogService& Dialogs();
// Replaces the service; nullptr restores the real message boxes.
void InstallDialogs(std::unique_ptr<DialogService> service);
