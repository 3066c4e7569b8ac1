#include "DialogService.h"

#include <QApplication>
#include <QDialog>
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
    // An exclamation is the warning icon: the platform has no other.
    show(QMessageBox::Warning, title, text, QMessageBox::Ok, QMessageBox::Ok);
}

void DialogService::failure(const QString& title, const QString& message, const QString& detail)
{
    if (detail.isEmpty()) {
        warning(title, message);
        return;
    }
    const auto html = [](const QString& text) {
        return text.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>"));
    };
    QMessageBox box(QMessageBox::Warning, title, QString(), QMessageBox::Ok, QApplication::activeWindow());
    box.setTextFormat(Qt::RichText);
    box.setText(html(message) + QStringLiteral("<br><br><small>") + html(detail) +
                QStringLiteral("</small>"));
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
}

DialogService& Dialogs()
{
    return *slot();
}

void InstallDialogs(std::unique_ptr<DialogService> service)
{
    slot() = service ? std::move(service) : std::make_unique<DialogService>();
}

void DialogService::preview(QDialog& dialog)
{
    dialog.exec();
}
