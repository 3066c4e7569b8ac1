#include "LateFailure.h"

#include "DialogService.h"

#include "db/DbError.h"

#include <QTimer>
#include <QWidget>

void ShowFailureLater(QWidget* form, const QString& formName, const DbError& error)
{
    QTimer::singleShot(
        0, form, [formName, error] { Dialogs().failure(formName, error.message(), error.engineText()); });
}
