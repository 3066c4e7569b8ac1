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

// Makes the folder (with every missing folder above it when withParents, else one level below an
// existing folder). Returns why it cannot be made, in Japanese with its path, or an empty text.
QString MakeFolder(const QString& folder, bool withParents);

// Creates the workbook and backup folders (one level each) when they are missing. Both are
// tried; FolderError names every folder that could not be made, each with its reason.
void MakeFolders();
