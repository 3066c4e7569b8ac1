#include "DialogService.h"

#include "FormBase.h"

#include "core/Services.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QRegularExpression>

#include <algorithm>

namespace {

// A file path keeps each of its names on one line: its characters are joined (word joiner) and a
// line may break only after a separator (zero-width space), never inside "サンプルデータ.mdb".
QString keepNamesWhole(const QString& text)
{
    static const QRegularExpression path(QStringLiteral("[^\\s「」『』。、→]*/[^\\s「」『』。、→]*"));
    QString out;
    qsizetype done = 0;
    for (auto it = path.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        out += QStringView(text).mid(done, match.capturedStart() - done);
        const QString run = match.captured();
        for (qsizetype i = 0; i < run.size(); ++i) {
            if (i > 0)
                out += run[i - 1] == QLatin1Char('/') ? QChar(0x200B) : QChar(0x2060);
            out += run[i];
        }
        done = match.capturedEnd();
    }
    out += QStringView(text).mid(done);
    return out;
}

int show(QMessageBox::Icon icon, const QString& title, const QString& text,
         QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(icon, title, keepNamesWhole(text), buttons, QApplication::activeWindow());
    box.setFont(ScreenFont());
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
        return keepNamesWhole(text).toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>"));
    };
    QMessageBox box(QMessageBox::Warning, title, QString(), QMessageBox::Ok, QApplication::activeWindow());
    box.setFont(ScreenFont());
    box.setTextFormat(Qt::RichText);
    box.setText(html(message) + QStringLiteral("<br><br><small>") + html(detail) +
                QStringLiteral("</small>"));
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
}

QString DialogService::openFile(const QString& title, const QString& folder, const QStringList& filters)
{
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), title, folder,
                                        filters.join(QStringLiteral(";;")));
}

QString DialogService::saveFile(const QString& title, const QString& suggested, const QStringList& filters,
                                int& filter)
{
    QString chosen = filters.value(filter);
    const QString path = QFileDialog::getSaveFileName(QApplication::activeWindow(), title, suggested,
                                                      filters.join(QStringLiteral(";;")), &chosen);
    filter = std::max<int>(0, static_cast<int>(filters.indexOf(chosen)));
    return path;
}

DialogService& Dialogs()
{
    return Service<DialogService>::current();
}

void InstallDialogs(std::unique_ptr<DialogService> service)
{
    Service<DialogService>::install(std::move(service));
}

void DialogService::preview(QDialog& dialog)
{
    dialog.exec();
}

bool DialogService::print(QPrinter& printer, const QString& title)
{
    QPrintDialog dialog(&printer, QApplication::activeWindow());
    dialog.setWindowTitle(title);
    return dialog.exec() == QDialog::Accepted;
}
