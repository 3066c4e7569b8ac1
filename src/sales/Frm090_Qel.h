#pragma once

#include "SaleBrowser.h"

#include "ui/MainScreen.h"

#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>

// Sales correction: pages through every stored sale in key order, changes its fields through
// the field dialogs, stores or undoes the change, or deletes the sale.
class Frm090_Qel : public MainScreen
{
    Q_OBJECT

  public:
    Frm090_Qel();
    void LoadProc() override;

    // The change check, run by this screen and by every field dialog as it closes: while a shown
    // field differs from the sale as read, paging and deletion are locked.
    void HenkouChk();

    ControlArray<QPushButton> Syu;

  private:
    void Cmd_Click(int index) override;
    void Syu_Click(int index);
    void VScroll1_Change();

    std::int64_t KeyListProc();
    void EmptyProc();
    bool DataReadProc();
    int InputChk();
    bool SaveProc();
    bool DeleteProc();

    void CorrectProc();
    void DeleteButtonProc();
    void UndoProc();
    void CloseProc();
    // Reads the key list again and shows the sale at the position, or the last one when fewer
    // remain.
    void ReloadAt(std::int64_t position);
    void Banner(const QString& text);
    void FocusAfterAction(QWidget* otherwise);

    QScrollBar* VScroll1 = nullptr;
    std::optional<SaleBrowser> m_sales;
    // The nine captions and the six public strings as last read from the database.
    QStringList m_loaded;
    std::array<QString, 6> m_loadedStrings;
};
