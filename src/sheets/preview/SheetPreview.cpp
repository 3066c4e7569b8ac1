#include "SheetPreview.h"

#include "SheetPrintout.h"
#include "SpreadsheetProgram.h"

#include "core/TextRoutines.h"
#include "ui/DialogService.h"

#include <QDir>
#include <QFileInfo>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>
#include <QToolBar>

#include <optional>

void ShowPrintPreview(QWidget* parent, QPrinter& printer, const QString& title,
                      const std::function<void(QPrinter*)>& paint,
                      const std::function<void(QPrintPreviewDialog&)>& extend)
{
    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setWindowTitle(title);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, paint);
    if (extend)
        extend(dialog);
    if (const QScreen* shown = parent ? parent->screen() : nullptr)
        dialog.resize(shown->availableGeometry().size() * 0.9);
    dialog.setWindowState(dialog.windowState() | Qt::WindowMaximized);
    Dialogs().preview(dialog);
}

void PreviewWorkbook(QWidget* parent, const QString& path)
{
    // The workbook is written whether or not it can be shown: a preview that fails says so and
    // the screen goes on.
    std::optional<SheetPrintout> printout;
    try {
        printout.emplace(SheetPrintout::fromFile(path));
    } catch (const std::exception& e) {
        Dialogs().failure(parent ? parent->objectName() : QStringLiteral("Qel"),
                          QStringLiteral("印刷プレビューを表示できません。\n%1").arg(ShownPath(path)),
                          QString::fromUtf8(e.what()));
    }
    if (printout) {
        QPrinter printer(QPrinter::HighResolution);
        printout->applyPageSetup(printer);
        ShowPrintPreview(
            parent, printer, QFileInfo(path).fileName(), [&](QPrinter* target) { printout->print(target); },
            [&](QPrintPreviewDialog& dialog) {
                QToolBar* bar = dialog.findChild<QToolBar*>();
                if (!bar)
                    return;
                bar->addSeparator();
                QAction* external = bar->addAction(QStringLiteral("表計算ソフトで開く"));
                external->setObjectName(QStringLiteral("OpenInSpreadsheet"));
                const QString caption = parent ? parent->objectName() : QStringLiteral("Qel");
                QObject::connect(external, &QAction::triggered, &dialog,
                                 [caption, path] { OpenInSpreadsheet(caption, path); });
            });
    }
    Dialogs().warning(QStringLiteral("確認"), QStringLiteral("前の画面に戻ります"));
}
