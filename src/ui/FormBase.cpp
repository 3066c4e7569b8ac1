#include "FormBase.h"

#include "BusyRun.h"
#include "FlexGrid.h"
#include "InputBehaviour.h"
#include "Twips.h"
#include "WaitService.h"

#include <QCloseEvent>
#include <QFrame>
#include <QPalette>

#include <vector>

QFont ScreenFont(double pointSize)
{
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic"),
                      QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans CJK JP")});
    font.setPointSizeF(pointSize);
    return font;
}

void SetBackColor(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    palette.setColor(QPalette::Base, colour);
    palette.setColor(QPalette::Button, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void SetBordered(QLabel* label)
{
    label->setFrameShape(QFrame::Box);
    label->setLineWidth(1);
}

FormBase::~FormBase()
{
    delete m_input;
    m_input = nullptr;
}

InputBehaviour* FormBase::Input()
{
    if (!m_input)
        m_input = new InputBehaviour(this);
    return m_input;
}

FormBase::FormBase(const QString& formName, QWidget* parent, Qt::WindowFlags flags)
    : QWidget(parent, flags), m_formName(formName)
{
    setObjectName(formName);
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(ScreenFont());
}

void FormBase::Cmd_Click(int) {}

void FormBase::ShowFailure(const QelError& failure, const QString& title) const
{
    Dialogs().failure(title.isEmpty() ? boxTitle() : title, failure.message(), failure.detail());
}

void FormBase::StyleRoleLabels(const RoleLabelStyle& style)
{
    if (Lbl_Ttl.contains(14)) {
        QLabel* title = Lbl_Ttl(14);
        title->setFont(ScreenFont(18));
        if (style.framedTitle) {
            title->setAlignment(Qt::AlignCenter);
            SetBordered(title);
        }
        if (style.titleBack.isValid())
            SetBackColor(title, style.titleBack);
    }
    if (style.messageLine && Lbl_Ttl.contains(11))
        SetBackColor(Lbl_Ttl(11), Colors::LightRed);
    if (Lbl_Ttl.contains(13)) {
        QLabel* panel = Lbl_Ttl(13);
        if (style.framedPanel)
            SetBordered(panel);
        if (style.panelBack.isValid())
            SetBackColor(panel, style.panelBack);
        panel->hide();
    }
    if (Lbl_Ttl.contains(12)) {
        QLabel* notice = Lbl_Ttl(12);
        notice->setFont(ScreenFont(style.noticePoints));
        notice->setAlignment(Qt::AlignCenter);
        if (style.noticeBack.isValid())
            SetBackColor(notice, style.noticeBack);
        notice->hide();
    }
}

void FormBase::closeForm()
{
    m_closing = true;
    close();
}

void FormBase::BuildControls(std::initializer_list<ControlRow> layout)
{
    for (const ControlRow& row : layout) {
        QWidget* container = this;
        if (row.parent && *row.parent) {
            if (auto* found = findChild<QWidget*>(QString::fromLatin1(row.parent)))
                container = found;
        }
        const QLatin1String name(row.name);
        QWidget* widget = nullptr;
        switch (row.kind) {
        case ControlRow::Kind::Label: {
            auto* label = new QLabel(row.caption, container);
            label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            widget = label;
            if (name == QLatin1String("Lbl_Ttl"))
                Lbl_Ttl.add(row.index, label);
            else if (name == QLatin1String("Lbl_Dat"))
                Lbl_Dat.add(row.index, label);
            break;
        }
        case ControlRow::Kind::Button: {
            auto* button = new QPushButton(row.caption, container);
            // Enter on a focused button presses it, as the keyboard-driven screens expect.
            button->setAutoDefault(true);
            widget = button;
            if (name == QLatin1String("Cmd")) {
                Cmd.add(row.index, button);
                const int index = row.index;
                connect(button, &QPushButton::clicked, this, [this, index] { Cmd_Click(index); });
            }
            break;
        }
        case ControlRow::Kind::Text: {
            auto* edit = new QLineEdit(row.caption, container);
            ApplyFieldRules(edit);
            if (row.limit > 0)
                SetFieldLimit(edit, row.limit);
            widget = edit;
            if (name == QLatin1String("Txt_Inp"))
                Txt_Inp.add(row.index, edit);
            break;
        }
        case ControlRow::Kind::Combo:
            widget = new QComboBox(container);
            break;
        case ControlRow::Kind::List:
            widget = new QListWidget(container);
            break;
        case ControlRow::Kind::Check:
            widget = new QCheckBox(row.caption, container);
            break;
        case ControlRow::Kind::Frame:
            widget = new QGroupBox(row.caption, container);
            break;
        case ControlRow::Kind::Panel: {
            auto* frame = new QFrame(container);
            frame->setFrameShape(QFrame::NoFrame);
            widget = frame;
            break;
        }
        case ControlRow::Kind::Grid:
            widget = new FlexGrid(container);
            break;
        case ControlRow::Kind::Scroll:
            widget = new QScrollBar(Qt::Vertical, container);
            break;
        }
        widget->setObjectName(row.index >= 0 ? QStringLiteral("%1_%2").arg(name).arg(row.index)
                                             : QString(name));
        widget->setGeometry(TwRect(row.left, row.top, row.width, row.height));
        widget->show();
    }
}

void FormBase::FlashNotice(std::initializer_list<QWidget*> shown, std::initializer_list<QWidget*> disabled,
                           int milliseconds)
{
    for (QWidget* w : shown) {
        w->show();
        w->raise();
    }
    const BusyRun notice(disabled, nullptr, BusyRun::Kind::Notice);
    Waits().wait(this, milliseconds);
    for (QWidget* w : shown)
        w->hide();
}

int FormBase::FirstFailedCheck(std::initializer_list<InputCheck> checks, QWidget* parking)
{
    Lbl_Ttl(11)->clear();
    int number = 0;
    for (const InputCheck& check : checks) {
        ++number;
        if (!check.failed)
            continue;
        Lbl_Ttl(11)->setText(check.message);
        if (parking)
            ParkFocus(parking, check.focus);
        else
            check.focus->setFocus(Qt::OtherFocusReason);
        return number;
    }
    return 0;
}

void FormBase::ParkFocus(QWidget* hidden, QWidget* target)
{
    hidden->setFocus(Qt::OtherFocusReason);
    target->setFocus(Qt::OtherFocusReason);
}

void FormBase::closeEvent(QCloseEvent* event)
{
    if (!m_closing && !m_closeBoxAllowed) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}
