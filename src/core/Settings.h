#pragma once

#include <QString>

#include <stdexcept>

// Start-up steps 2 to 5: AppPath, then the keys of "Qel.Ini" in their order, SalesDate, Kessan
// validation.
void ReadSettings(const QString& appPath);

class FolderError : public std::runtime_error
{
  public:
    explicit FolderError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {
    }
    const QString& message() const { return m_message; }

  private:
    QString m_message;
};

// Creates the workbook and backup folders (one level each) when they are missing. Both are
// tried; FolderError names every folder that could not be made, each with its reason.
void MakeFolders();
