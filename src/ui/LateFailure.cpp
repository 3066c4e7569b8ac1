#include "LateFailure.h"

#include "DialogService.h"

#include "core/QelError.h"

#include <QTimer>
#include <QWidget>

void ShowFailureLater(QWidget* form, const QString& formName, const QelError& error)
{
    QTimer::singleShot(0, form,
                       [formName, error] { Dialogs().failure(formName, error.message(), error.detail()); });
}
