#include "MainScreen.h"

#include "Navigator.h"
#include "Twips.h"
#include "WaitService.h"

#include "core/Globals.h"

#include <QCloseEvent>
#include <QFrame>
#include <QPalette>

QFont ScreenFont(double pointSize)
{
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic"), QStringLiteral("IPAGothic"),
                      QStringLiteral("Noto Sans CJK JP")});
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

MainScreen::MainScreen(const QString& formName, QWidget* parent) : QWidget(parent), m_formName(formName)
{
    setObjectName(formName);
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(ScreenFont());
    setFixedSize(Tw(kScreenWidthTw), Tw(kScreenHeightTw));
}

void MainScreen::Unload()
{
    m_unloading = true;
    close();
}

void MainScreen::OpenScreen(const QString& formName)
{
    G().CallerForm = m_formName;
    if (!Screens().open(formName))
        return;
    Unload();
}

void MainScreen::ShowScreen()
{
    move(Tw(30), Tw(30));
    show();
    activateWindow();
}

void MainScreen::BuildControls(std::initializer_list<ControlSpec> layout)
{
    for (const ControlSpec& row : layout) {
        QWidget* container = this;
        if (row.parent && *row.parent) {
            if (auto* found = findChild<QWidget*>(QString::fromLatin1(row.parent)))
                container = found;
        }
        QWidget* widget = nullptr;
        switch (row.kind) {
        case ControlSpec::Kind::Label: {
            auto* label = new QLabel(row.caption, container);
            label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            widget = label;
            if (QString::fromLatin1(row.name) == QLatin1String("Lbl_Ttl"))
                Lbl_Ttl.add(row.index, label);
            else if (QString::fromLatin1(row.name) == QLatin1String("Lbl_Dat"))
                Lbl_Dat.add(row.index, label);
            break;
        }
        case ControlSpec::Kind::Button: {
            auto* button = new QPushButton(row.caption, container);
            // Enter on a focused button presses it, as the keyboard-driven screens expect.
            button->setAutoDefault(true);
            widget = button;
            if (QString::fromLatin1(row.name) == QLatin1String("Cmd"))
                Cmd.add(row.index, button);
            break;
        }
        case ControlSpec::Kind::Text: {
            auto* edit = new QLineEdit(row.caption, container);
            widget = edit;
            if (QString::fromLatin1(row.name) == QLatin1String("Txt_Inp"))
                Txt_Inp.add(row.index, edit);
            break;
        }
        case ControlSpec::Kind::Combo:
            widget = new QComboBox(container);
            break;
        case ControlSpec::Kind::List:
            widget = new QListWidget(container);
            break;
        case ControlSpec::Kind::Check:
            widget = new QCheckBox(row.caption, container);
            break;
        case ControlSpec::Kind::Frame:
            widget = new QGroupBox(row.caption, container);
            break;
        case ControlSpec::Kind::Panel: {
            auto* frame = new QFrame(container);
            frame->setFrameShape(QFrame::NoFrame);
            widget = frame;
            break;
        }
        }
        widget->setObjectName(row.index >= 0 ? QStringLiteral("%1_%2").arg(QString::fromLatin1(row.name)).arg(row.index)
                                              : QString::fromLatin1(row.name));
        widget->setGeometry(TwRect(row.left, row.top, row.width, row.height));
        widget->show();
    }
}

void MainScreen::FlashNotice(std::initializer_list<QWidget*> shown, std::initializer_list<QWidget*> disabled,
                             int milliseconds)
{
    for (QWidget* w : shown) {
        w->show();
        w->raise();
    }
    for (QWidget* w : disabled)
        w->setEnabled(false);
    Waits().wait(this, milliseconds);
    for (QWidget* w : shown)
        w->hide();
    for (QWidget* w : disabled)
        w->setEnabled(true);
}

void MainScreen::ParkFocus(QWidget* hidden, QWidget* target)
{
    hidden->setFocus(Qt::OtherFocusReason);
    target->setFocus(Qt::OtherFocusReason);
}

void MainScreen::closeEvent(QCloseEvent* event)
{
    if (!m_unloading && !m_closeBoxAllowed) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}
