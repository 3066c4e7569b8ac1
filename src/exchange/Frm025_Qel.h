#pragma once

#include "ImportFile.h"

#include "ui/MainScreen.h"

#include <functional>
#include <vector>

class ImportPreviewModel;
class QTableView;

// The customer import, opened from registration: a CSV or workbook file read, its heading row and
// columns matched to the customer fields, every row previewed with its status, and the accepted
// rows stored at once after a backup. Reading and storing show their progress, can be stopped
// with 中止, and a 閉じる meanwhile asks and then stops them. The screen may grow with its window,
// and the preview with it.
class Frm025_Qel : public MainScreen
{
    Q_OBJECT

  public:
    Frm025_Qel();
    void LoadProc() override;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void Cmd_Click(int index) override;
    void Combo_Fld_Click(int field);
    void Combo1_Click();
    void Check1_Click();

    void FileReadProc();
    void ColumnListProc();
    void CountDispProc();
    bool ImportChk();
    void ImportProc();
    // Runs a long step: every control but 中止 and 閉じる held, "step　NN%" in the message line.
    // Returns whether it completed; false when it failed (the box shown) or was stopped.
    bool StepRun(const QString& step, const QString& closeQuestion,
                 const std::function<void(const ImportProgress& progress)>& work);
    void CloseDuringStepProc();
    // What 閉じる asks while the preview is being read.
    QString CloseQuestion();
    std::vector<QWidget*> HeldControls() const;

    QCheckBox* Check1 = nullptr;
    QComboBox* Combo1 = nullptr;
    ControlArray<QComboBox> Combo_Fld;
    QTableView* Grd_Preview = nullptr;
    ImportPreviewModel* m_model = nullptr;
    bool m_filling = false;
    // The step running, and what the user asked meanwhile.
    bool m_running = false;
    bool m_stop = false;
    bool m_closeAfter = false;
    QString m_closeQuestion;
    // Each control's place at the screen's first size, and how it follows a larger window.
    struct Anchor
    {
        QWidget* widget;
        QRect rect;
        bool wider, taller, right, down;
    };
    std::vector<Anchor> m_anchors;
};
