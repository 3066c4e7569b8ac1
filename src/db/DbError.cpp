#include "DbError.h"

DbError::DbError(QString message, QString engineText)
    : std::runtime_error((message + QLatin1Char(' ') + engineText).toStdString()), m_message(std::move(message)),
      m_engineText(std::move(engineText))
{
}

QString DbError::userText() const
{
    return m_engineText.isEmpty() ? m_message : m_message + QLatin1Char('\n') + m_engineText;
}
