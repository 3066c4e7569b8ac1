#include "DialogService.h"

#include "FormBase.h"

#include "core/Services.h"
#include "core/TextRoutines.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPushButton>
#include <QScreen>
#include <QUrl>

#include <algorithm>

namespace {

// A message box as wide as its longest line that holds a path, up to the screen's width, so
// that a path stands on one line and no name in it is broken; beyond the screen's width it wraps
// as any text. The text stays what the user reads: a copy of it is the path.
class MessageBox : public QMessageBox
{
  public:
    MessageBox(Icon icon, const QString& title, const QString& text, StandardButtons buttons)
        : QMessageBox(icon, title, text, buttons, QApplication::activeWindow())
    {
        setFont(ScreenFont());
        setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    }

    // The lines of the text as the user reads them, the ones holding a path measured.
    void widenFor(const QString& plainText) { m_lines = plainText.split(QLatin1Char('\n')); }

  protected:
    void showEvent(QShowEvent* event) override
    {
        QMessageBox::showEvent(event);
        auto* label = findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        if (!label || !layout())
            return;
        const QFontMetrics metrics(label->font());
        int widest = 0;
        for (const QString& line : std::as_const(m_lines)) {
            if (line.contains(QLatin1Char('/')))
                widest = std::max(widest, metrics.horizontalAdvance(line) + metrics.averageCharWidth());
        }
        // The box's own limit may be narrower than the path's line: it grows by what is missing.
        layout()->activate();
        const int lacking = widest - (label->contentsRect().width() - 2 * label->margin());
        const QScreen* shownOn = screen();
        if (lacking <= 0 || !shownOn)
            return;
        const int wanted = std::min(width() + lacking, shownOn->availableGeometry().width() - kScreenMargin);
        if (wanted <= width())
            return;
        const int height = layout()->hasHeightForWidth() ? layout()->totalHeightForWidth(wanted)
                                                         : layout()->totalMinimumSize().height();
        setFixedSize(wanted, height);
    }

  private:
    static constexpr int kScreenMargin = 40; // the window's frame and a margin
    QStringList m_lines;
};

int show(QMessageBox::Icon icon, const QString& title, const QString& text,
         QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton)
{
    MessageBox box(icon, title, text, buttons);
    box.widenFor(text);
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
    MessageBox box(QMessageBox::Warning, title, QString(), QMessageBox::Ok);
    box.widenFor(message + QLatin1Char('\n') + detail);
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

void DialogService::fileWritten(const QString& title, const QString& text, const QString& path)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (writtenBox(title, text) && !openFolder(folder))
        warning(title, QStringLiteral("フォルダを開けませんでした。\n") + FolderLine(folder));
}

bool DialogService::writtenBox(const QString& title, const QString& text)
{
    MessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok);
    box.widenFor(text);
    QPushButton* open = box.addButton(QStringLiteral("フォルダを開く"), QMessageBox::ActionRole);
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
    return box.clickedButton() == open;
}

bool DialogService::openFolder(const QString& folder)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}
