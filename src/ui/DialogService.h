#pragma once

#include <QString>

#include <memory>

class QDialog;

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
    // A prepared modal window (the print preview), shown until the user closes it.
    virtual void preview(QDialog& dialog);
};

DialogService& Dialogs();
// Replaces the service; nullptr restores the real message boxes.
void InstallDialogs(std::unique_ptr<DialogService> service);
