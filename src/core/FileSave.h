#pragma once

#include <QFile>
#include <QString>

// How every file the user will open is written (a workbook, a CSV file, a PDF, a picture): into a
// temporary file in the target's folder, flushed to the disk, then renamed over the target in one
// step. Until that step the target is as it was, and at no moment is there no file: nothing deletes
// the old one first. A save that fails or is dropped removes its temporary file.
class FileSave
{
  public:
    // Replace: the target is replaced (its name is the program's own, or the user agreed to it).
    // Keep: a file of that name is never replaced; the new one takes the first free name beside it,
    // "name (2).ext", "name (3).ext", ...
    enum class Existing { Replace, Keep };

    // Makes the temporary file, open for writing. Throws QelError naming the folder when it
    // cannot, and when a folder stands where the file belongs.
    FileSave(const QString& target, Existing existing);
    ~FileSave();
    FileSave(const FileSave&) = delete;
    FileSave& operator=(const FileSave&) = delete;

    // The temporary file, open for writing, for a writer that takes a device.
    QFile& file();
    // Its path, for a writer that opens the file itself; the device is closed from then on.
    QString temporaryPath();

    // Flushes the temporary file to the disk and puts it in the target's place. Returns the path
    // written: the target, or under Keep the free name chosen. Throws QelError naming the target.
    QString commit();

  private:
    QString m_target;
    QString m_temporary;
    Existing m_existing;
    QFile m_file;
    bool m_committed = false;
};

// The name that a file saved under Keep takes when `path` is taken: "name (2).ext", and so on.
QString NumberedName(const QString& path, int number);
