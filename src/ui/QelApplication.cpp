#include "QelApplication.h"

#include "DialogService.h"
#include "FormBase.h"

#include "db/EngineError.h"

#include <QTimer>

QelApplication::QelApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool QelApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        reportLater(receiver, &e);
    } catch (...) {
        reportLater(receiver, nullptr);
    }
    return false;
}

void QelApplication::reportLater(QObject* receiver, const std::exception* e)
{
    if (m_reporting)
        return;
    const QelError failure = e ? EngineError(*e) : QelError(QelError::Kind::Unexpected);
    QString title = applicationDisplayName();
    if (auto* widget = qobject_cast<QWidget*>(receiver)) {
        if (auto* form = qobject_cast<FormBase*>(widget->window()))
            title = form->boxTitle();
    }
    m_reporting = true;
    // No box may open in the middle of the event (a paint, a key press): after it.
    QTimer::singleShot(0, this, [this, title, failure] {
        Dialogs().failure(title, failure.message(), failure.detail());
        m_reporting = false;
    });
}
