#pragma once

#include <QDate>
#include <QString>

#include <cstdint>
#include <memory>

// One workbook made from a template, edited through the operations the writers use, in
// their order: prepare(), open(), the content writes, scrollToTop(), save(). Every failure
// throws QelError. Until save() the target is as it was: the copy being written has a temporary
// name in the same folder (FileSave), is renamed over the target by save(), and is removed if the
// workbook is dropped unsaved.
class Workbook
{
  public:
    Workbook(QString templatePath, QString targetPath);
    ~Workbook();
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    // Copies the template beside the target, which save() replaces. A target open in a
    // spreadsheet program (its lock file beside it) or marked read-only is refused.
    void prepare();
    // Opens the copy; the first worksheet is the one written.
    void open();

    // Rows and columns count from 1. An empty text leaves the cell blank, its format kept.
    void setText(int row, int column, const QString& text);
    void setNumber(int row, int column, std::int64_t value);
    // A real date serial; a cell still in the General format gets "yyyy/m/d".
    void setDate(int row, int column, const QDate& date);
    // The number format of a whole column, its existing cells included.
    void setColumnFormat(int column, const QString& formatCode);

    // Rows above this one are complete: they are written out now instead of being held until
    // save(), so that a long sheet takes little memory. A write to them afterwards fails, and
    // column formats must be set before.
    void finishRowsBefore(int row);

    void setLeftHeader(const QString& text);
    void setCenterHeader(const QString& text);
    void setRightHeader(const QString& text);
    void setSheetName(const QString& name);

    // Continuous lines on the left, right, inside vertical and bottom edges of the range.
    void drawBorders(int row1, int column1, int row2, int column2);

    // The window scrolled back to row 1 with A1 selected.
    void scrollToTop();

    // Writes the edited parts and puts the workbook in the target's place.
    void save();

    const QString& targetPath() const;

  private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// The column-B formats of the sales detail.
inline constexpr char16_t kEraDateFormat[] = u"[$-411]ge.m.d";
inline constexpr char16_t kWesternDateFormat[] = u"yyyy/m/d";

// The lock file that LibreOffice keeps beside a file it has open.
QString SpreadsheetLockFile(const QString& path);

// AppPath + "/" + DataPath + "/" + file name: where every workbook is written.
QString WorkbookTarget(const QString& fileName);
