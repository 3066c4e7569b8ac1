#pragma once

#include <QString>

class QelError;
class QWidget;

// Shows a database failure met while a list was drawing its rows once the event that drew them
// is over, in the form's failure box: no message box may open in the middle of a paint. Nothing
// is shown if the form is gone by then.
void ShowFailureLater(QWidget* form, const QString& formName, const QelError& error);
