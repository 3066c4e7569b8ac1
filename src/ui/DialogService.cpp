#include "DialogService.h"

#include <QApplication>
#include <QMessageBox>

namespace {

std::unique_ptr<DialogService>& slot()
{
    static std::unique_ptr<DialogService> service = std::make_unique<DialogService>();
    return service;
}

int show(QMessageBox::Icon icon, const QString& title, const QString& text,
         QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(icon, title, text, buttons, QApplication::activeWindow());
    box.setDefaultButton(defaultButton);
    return box.exec();
}

} // namespace

DialogService::Answer DialogService::question(const QString& title, const QString& text)
{
    const int result =
        show(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    return result == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

void DialogService::information(const QString& title, const QString& text)
{
    show(QMessageBox::Information, title, text, QMessageBox::Ok, QMessageBox::Ok);
}

void DialogService::warning(const QString& title, const QString& text)
{
    show(QMessageBox::Warning, title, text, QMessageBox::Ok, QMessageBox::Ok);
}

void DialogService::exclamation(const QString& title, const QString& text)
{
    // The exclamation mark of the original is the warning icon here.
    show(QMessageBox::Warning, title, text, QMessageBox::Ok, QMessageBox::Ok);
}

DialogService& Dialogs()
{
    return *slot();
}

void InstallDialogs(std::unique_ptr<DialogService> service)
{
    slot() = service ? std::move(service) : std::make_unique<DialogService>();
}
