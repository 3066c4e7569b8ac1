#include "FieldDialog.h"

#include "Twips.h"

#include <QEventLoop>

FieldDialog::FieldDialog(const QString& formName, QWidget* owner, std::function<void()> afterEither)
    : FormBase(formName, owner,
               Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_owner(owner), m_afterEither(std::move(afterEither))
{
    setWindowModality(Qt::ApplicationModal);
}

FieldDialog::~FieldDialog()
{
    if (m_loop)
        m_loop->quit();
}

void FieldDialog::BuildButtons(int left101, int left102, int top, int width, int height)
{
    using K = ControlRow::Kind;
    BuildControls({
        {K::Button, "Cmd", 101, QStringLiteral("修正"), left101, top, width, height},
        {K::Button, "Cmd", 102, QStringLiteral("ｷｬﾝｾﾙ"), left102, top, width, height},
    });
}

void FieldDialog::ShowUnder(const QWidget* label)
{
    const QPoint ownerTopLeft = m_owner ? m_owner->geometry().topLeft() : QPoint();
    const QPoint at = label ? label->mapTo(label->window(), QPoint(0, 0)) : QPoint();
    move(ownerTopLeft.x() + at.x(), ownerTopLeft.y() + at.y() + Tw(780));
    show();
    activateWindow();
    QEventLoop loop;
    m_loop = &loop;
    loop.exec(QEventLoop::DialogExec);
    m_loop = nullptr;
}

void FieldDialog::Cmd_Click(int index)
{
    if (index == 101)
        ApplyProc();
    if (index == 101 || index == 102)
        Finish();
}

void FieldDialog::Finish()
{
    if (m_afterEither)
        m_afterEither();
    if (m_loop)
        m_loop->quit();
    closeForm();
}
