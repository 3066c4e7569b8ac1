#include "Workbook.h"

#include "CellRef.h"
#include "PageHeader.h"
#include "SheetData.h"
#include "Styles.h"
#include "WorkbookFailure.h"
#include "XmlParts.h"
#include "ZipPackage.h"

#include "core/FileSave.h"
#include "core/Globals.h"
#include "core/TextRoutines.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <pugixml.hpp>

#include <algorithm>
#include <vector>

namespace {

// Excel refuses longer sheet names and header strings.
constexpr qsizetype kMaxSheetName = 31;
constexpr qsizetype kMaxHeader = 255;

[[noreturn]] void appError(const QString& detail = {})
{
    ThrowApplicationError(detail);
}

const char* const kHeaderFooterOrder[] = {"oddHeader",  "oddFooter",   "evenHeader",
                                          "evenFooter", "firstHeader", "firstFooter"};

// A sheet name that the spreadsheet applications accept.
QString ValidSheetName(const QString& wanted)
{
    QString name = wanted;
    for (QChar& c : name) {
        if (QStringLiteral("[]:*?/\\").contains(c) || c.unicode() < 0x20)
            c = QLatin1Char('_');
    }
    name.truncate(kMaxSheetName);
    while (name.startsWith(QLatin1Char('\'')))
        name.remove(0, 1);
    while (name.endsWith(QLatin1Char('\'')))
        name.chop(1);
    return name;
}

QString QuotedSheetName(const QString& name)
{
    return QLatin1Char('\'') + QString(name).replace(QLatin1Char('\''), QStringLiteral("''")) +
           QLatin1Char('\'');
}

// Replaces references to the old sheet name in a defined name's formula.
QString RenameInFormula(const QString& formula, const QString& oldName, const QString& newName)
{
    QStringList parts = formula.split(QLatin1Char(','));
    for (QString& part : parts) {
        for (const QString& prefix :
             {QuotedSheetName(oldName) + QLatin1Char('!'), oldName + QLatin1Char('!')}) {
            if (part.startsWith(prefix)) {
                part = QuotedSheetName(newName) + QLatin1Char('!') + part.mid(prefix.size());
                break;
            }
        }
    }
    return parts.join(QLatin1Char(','));
}

} // namespace

struct Workbook::Impl
{
    QString templatePath, targetPath, copyPath;
    std::unique_ptr<FileSave> save; // copyPath is its temporary file
    bool prepared = false, opened = false, saved = false;

    ZipPackage zip;
    std::string sheetPart, workbookPart = "xl/workbook.xml", stylesPart = "xl/styles.xml";
    pugi::xml_document workbookXml, stylesXml, sheetXml, appXml;
    bool workbookChanged = false, appChanged = false;
    Styles styles;
    pugi::xml_node sheet;
    SheetData data;
    PartText sheetText;               // alive until the archive is closed
    std::vector<std::string> buffers; // likewise

    void parse(pugi::xml_document& doc, const std::string& part)
    {
        QString why;
        if (!zip.parse(part, doc, why))
            appError(QStringLiteral(" テンプレートの ") + why);
    }

    void requireOpen() const
    {
        if (!opened || saved)
            appError(QStringLiteral(" (ブックが開かれていません)"));
    }

    void setHeaderSection(int section, const QString& text, const char* property)
    {
        requireOpen();
        pugi::xml_node hf = XmlChildInOrder(sheet, "headerFooter", WorksheetOrder());
        std::vector<pugi::xml_node> headers;
        for (const char* name : {"oddHeader", "evenHeader", "firstHeader"}) {
            if (pugi::xml_node h = hf.child(name))
                headers.push_back(h);
        }
        if (headers.empty())
            headers.push_back(XmlChildInOrder(hf, "oddHeader", kHeaderFooterOrder));
        std::vector<QString> composed;
        for (pugi::xml_node h : headers) {
            HeaderSections sections = ParseHeader(QString::fromUtf8(h.text().get()));
            sections.text[section] = QString(text).replace(QLatin1Char('&'), QStringLiteral("&&"));
            composed.push_back(ComposeHeader(sections));
            if (composed.back().size() > kMaxHeader) {
                throw QelError(
                    QelError::Kind::PageSetup,
                    QStringLiteral("PageSetup クラスの %1 プロパティを設定できません。ヘッダーが長すぎます。")
                        .arg(QLatin1String(property)),
                    {}, SheetNumber::Application);
            }
        }
        for (std::size_t i = 0; i < headers.size(); ++i) {
            headers[i].remove_children();
            headers[i].append_child(pugi::node_pcdata).set_value(composed[i].toUtf8().constData());
        }
    }
};

Workbook::Workbook(QString templatePath, QString targetPath) : d(std::make_unique<Impl>())
{
    d->templatePath = std::move(templatePath);
    d->targetPath = std::move(targetPath);
}

Workbook::~Workbook()
{
    // The archive first: the unsaved copy goes with the save after it.
    d->zip.discard();
    d->save.reset();
}

const QString& Workbook::targetPath() const
{
    return d->targetPath;
}

void Workbook::prepare()
{
    if (d->prepared)
        appError();
    const QFileInfo source(d->templatePath);
    if (!source.isFile())
        throw WorkbookFailure(SheetNumber::FileNotFound,
                              QStringLiteral("ファイルが見つかりません。 ") + ShownPath(d->templatePath));

    const QFileInfo target(d->targetPath);
    const QString folder = target.absolutePath();
    if (!QFileInfo(folder).isDir() && !QDir().mkpath(folder))
        throw WorkbookFailure(SheetNumber::PathNotFound,
                              QStringLiteral("パスが見つかりません。 ") + ShownPath(folder));
    // Nothing here locks a file that another program has open: the spreadsheet programs leave
    // a lock file beside it, and a file marked read-only is the user's word not to replace it.
    if (QFileInfo::exists(SpreadsheetLockFile(d->targetPath)))
        throw WorkbookFailure(SheetNumber::PermissionDenied,
                              QStringLiteral("書き込みできません。 ") + ShownPath(d->targetPath) +
                                  QStringLiteral("（他のプログラムで開かれています）"));
    if (target.exists() && !target.isDir() &&
        (!target.isWritable() || !target.permissions().testFlag(QFileDevice::WriteOwner)))
        throw WorkbookFailure(SheetNumber::PermissionDenied, QStringLiteral("書き込みできません。 ") +
                                                                 ShownPath(d->targetPath) +
                                                                 QStringLiteral("（読み取り専用です）"));
    // The new workbook replaces the old one only when it is complete: until save() the old file
    // stays as it was, and the rename leaves no moment without a file.
    if (target.isDir())
        throw WorkbookFailure(SheetNumber::PermissionDenied,
                              QStringLiteral("書き込みできません。 ") + ShownPath(d->targetPath));

    QFile from(d->templatePath);
    if (!from.open(QIODevice::ReadOnly))
        throw WorkbookFailure(SheetNumber::FileNotFound,
                              QStringLiteral("ファイルが見つかりません。 ") + ShownPath(d->templatePath));
    const QByteArray bytes = from.readAll();
    try {
        d->save = std::make_unique<FileSave>(d->targetPath, FileSave::Existing::Replace);
        if (d->save->file().write(bytes) != bytes.size())
            throw QelError(QelError::Kind::FileOperation, {}, d->save->file().errorString());
        d->copyPath = d->save->temporaryPath();
    } catch (const QelError&) {
        d->save.reset();
        throw WorkbookFailure(SheetNumber::PermissionDenied,
                              QStringLiteral("書き込みできません。 ") + ShownPath(folder));
    }
    d->prepared = true;
}

void Workbook::open()
{
    if (!d->prepared || d->opened)
        appError();
    QString why;
    if (!d->zip.open(d->copyPath, false, why))
        appError(QStringLiteral(" テンプレートを開けません: ") + why);
    d->parse(d->workbookXml, d->workbookPart);
    pugi::xml_document rels;
    d->parse(rels, "xl/_rels/workbook.xml.rels");
    d->sheetPart = FirstSheetPart(d->workbookXml, rels);
    if (d->sheetPart.empty())
        appError(QStringLiteral(" (ワークシートがありません)"));

    d->parse(d->sheetXml, d->sheetPart);
    d->sheet = d->sheetXml.document_element();
    d->parse(d->stylesXml, d->stylesPart);
    d->styles.load(d->stylesXml.document_element());
    if (d->zip.has("docProps/app.xml"))
        d->parse(d->appXml, "docProps/app.xml");
    d->data.load(d->sheet, d->copyPath + QStringLiteral(".rows.XXXXXX"));
    d->opened = true;
}

void Workbook::setText(int row, int column, const QString& text)
{
    d->requireOpen();
    DataCell& cell = d->data.cellAt(row, column);
    cell.body.clear();
    // An empty value empties the cell, as the spreadsheet applications do.
    if (text.isEmpty()) {
        cell.kind = DataCell::Blank;
        return;
    }
    const bool preserve = XmlAppendCellText(cell.body, text);
    cell.kind = preserve ? DataCell::TextPreserved : DataCell::Text;
}

void Workbook::setNumber(int row, int column, std::int64_t value)
{
    d->requireOpen();
    DataCell& cell = d->data.cellAt(row, column);
    cell.body.clear();
    XmlAppendNumber(cell.body, value);
    cell.kind = DataCell::Number;
}

void Workbook::setDate(int row, int column, const QDate& date)
{
    d->requireOpen();
    // The serials of the spreadsheet applications agree from 1900-03-01 on.
    if (!date.isValid() || date < QDate(1900, 3, 1)) {
        setText(row, column, date.isValid() ? date.toString(QStringLiteral("yyyy/MM/dd")) : QString());
        return;
    }
    DataCell& cell = d->data.cellAt(row, column);
    cell.body.clear();
    XmlAppendNumber(cell.body, QDate(1899, 12, 30).daysTo(date));
    cell.kind = DataCell::Number;
    if (d->styles.numFmtOf(cell.style) == 0)
        cell.style = d->styles.withNumFmt(cell.style, QString::fromUtf16(kWesternDateFormat));
}

void Workbook::setColumnFormat(int column, const QString& formatCode)
{
    d->requireOpen();
    if (d->data.finishedRows() > 0)
        appError(QStringLiteral(" (列の書式は行を書き出す前に設定します)"));
    CheckCell(1, column);
    pugi::xml_node cols = XmlChildInOrder(d->sheet, "cols", WorksheetOrder());
    pugi::xml_node own;
    for (const ColumnRange& range : d->data.columns()) {
        if (column < range.min || column > range.max)
            continue;
        own = range.node;
        if (range.min < column) {
            pugi::xml_node before = cols.insert_copy_before(range.node, range.node);
            before.attribute("max") = column - 1;
        }
        if (range.max > column) {
            pugi::xml_node after = cols.insert_copy_after(range.node, range.node);
            after.attribute("min") = column + 1;
        }
        own.attribute("min") = column;
        own.attribute("max") = column;
        break;
    }
    if (!own) {
        pugi::xml_node next;
        for (const ColumnRange& range : d->data.columns()) {
            if (range.min > column) {
                next = range.node;
                break;
            }
        }
        own = next ? cols.insert_child_before("col", next) : cols.append_child("col");
        own.append_attribute("min") = column;
        own.append_attribute("max") = column;
        const double width = d->sheet.child("sheetFormatPr").attribute("defaultColWidth").as_double(9.140625);
        own.append_attribute("width") = width;
    }
    const int style = d->styles.withNumFmt(own.attribute("style").as_int(0), formatCode);
    if (!own.attribute("style"))
        own.append_attribute("style");
    own.attribute("style") = style;
    d->data.loadColumns();
    d->data.forEachInColumn(
        column, [&](DataCell& cell) { cell.style = d->styles.withNumFmt(cell.style, formatCode); });
}

void Workbook::finishRowsBefore(int row)
{
    d->requireOpen();
    d->data.finishRowsBefore(row);
}

void Workbook::setLeftHeader(const QString& text)
{
    d->setHeaderSection(0, text, "LeftHeader");
}

void Workbook::setCenterHeader(const QString& text)
{
    d->setHeaderSection(1, text, "CenterHeader");
}

void Workbook::setRightHeader(const QString& text)
{
    d->setHeaderSection(2, text, "RightHeader");
}

void Workbook::setSheetName(const QString& wanted)
{
    d->requireOpen();
    const QString name = ValidSheetName(wanted);
    if (name.isEmpty())
        appError(QStringLiteral(" (シート名)"));
    pugi::xml_node sheets = d->workbookXml.document_element().child("sheets");
    pugi::xml_node first = sheets.child("sheet");
    const QString oldName = QString::fromUtf8(first.attribute("name").value());
    if (oldName == name)
        return;
    for (pugi::xml_node other = first.next_sibling("sheet"); other; other = other.next_sibling("sheet")) {
        if (QString::fromUtf8(other.attribute("name").value()).compare(name, Qt::CaseInsensitive) == 0)
            appError(QStringLiteral(" (シート名 %1 は既にあります)").arg(name));
    }
    first.attribute("name") = name.toUtf8().constData();
    for (pugi::xml_node dn :
         d->workbookXml.document_element().child("definedNames").children("definedName")) {
        const QString formula = QString::fromUtf8(dn.text().get());
        const QString renamed = RenameInFormula(formula, oldName, name);
        if (renamed != formula)
            dn.text() = renamed.toUtf8().constData();
    }
    d->workbookChanged = true;

    // The document properties list the sheets and their named ranges by name as well.
    if (pugi::xml_node parts = d->appXml.document_element().child("TitlesOfParts")) {
        for (const pugi::xpath_node& found : parts.select_nodes(".//*[local-name()='lpstr']")) {
            pugi::xml_node s = found.node();
            const QString value = QString::fromUtf8(s.text().get());
            if (value == oldName)
                s.text() = name.toUtf8().constData();
            else if (value.startsWith(oldName + QLatin1Char('!')))
                s.text() = (name + value.mid(oldName.size())).toUtf8().constData();
        }
        d->appChanged = true;
    }
}

void Workbook::drawBorders(int row1, int column1, int row2, int column2)
{
    d->requireOpen();
    CheckCell(row1, column1);
    CheckCell(row2, column2);
    if (row1 > row2)
        std::swap(row1, row2);
    if (column1 > column2)
        std::swap(column1, column2);
    for (int r = row1; r <= row2; ++r) {
        // Left and right edges, and the inside verticals from both of their sides.
        for (int c = column1; c <= column2; ++c) {
            unsigned sides = LeftSide | RightSide;
            if (r == row2)
                sides |= BottomSide;
            DataCell& cell = d->data.cellAt(r, c);
            cell.style = d->styles.withBorders(cell.style, sides);
        }
    }
}

void Workbook::scrollToTop()
{
    d->requireOpen();
    pugi::xml_node views = XmlChildInOrder(d->sheet, "sheetViews", WorksheetOrder());
    pugi::xml_node view = views.child("sheetView");
    if (!view) {
        view = views.append_child("sheetView");
        view.append_attribute("workbookViewId") = 0;
    }
    if (!view.attribute("tabSelected"))
        view.prepend_attribute("tabSelected");
    view.attribute("tabSelected") = 1;
    if (!view.attribute("topLeftCell"))
        view.append_attribute("topLeftCell");
    view.attribute("topLeftCell") = "A1";
    std::string paneName;
    if (pugi::xml_node pane = view.child("pane")) {
        const int xSplit = pane.attribute("xSplit").as_int(0), ySplit = pane.attribute("ySplit").as_int(0);
        if (pane.attribute("topLeftCell"))
            pane.attribute("topLeftCell") = CellName(ySplit + 1, xSplit + 1).c_str();
        paneName = pane.attribute("activePane").value();
    }
    while (pugi::xml_node s = view.child("selection"))
        view.remove_child(s);
    pugi::xml_node selection = view.append_child("selection");
    if (!paneName.empty())
        selection.append_attribute("pane") = paneName.c_str();
    selection.append_attribute("activeCell") = "A1";
    selection.append_attribute("sqref") = "A1";
    if (pugi::xml_node wbView = d->workbookXml.document_element().child("bookViews").child("workbookView")) {
        if (wbView.attribute("activeTab").as_int(0) != 0) {
            wbView.attribute("activeTab") = 0;
            d->workbookChanged = true;
        }
    }
}

void Workbook::save()
{
    d->requireOpen();
    d->buffers.clear();
    d->buffers.reserve(4);
    d->sheetText = d->data.serialize(d->sheetXml);
    d->zip.replace(d->sheetPart, d->sheetText);
    if (d->styles.changed()) {
        d->styles.updateCounts();
        d->buffers.push_back(XmlDocumentText(d->stylesXml));
        d->zip.replace(d->stylesPart, d->buffers.back());
    }
    if (d->workbookChanged) {
        d->buffers.push_back(XmlDocumentText(d->workbookXml));
        d->zip.replace(d->workbookPart, d->buffers.back());
    }
    if (d->appChanged) {
        d->buffers.push_back(XmlDocumentText(d->appXml));
        d->zip.replace("docProps/app.xml", d->buffers.back());
    }
    d->zip.close(d->targetPath);
    d->buffers.clear();
    d->sheetText = {};
    d->data.clear();

    try {
        d->save->commit();
    } catch (const QelError&) {
        throw WorkbookFailure(SheetNumber::PermissionDenied,
                              QStringLiteral("書き込みできません。 ") + ShownPath(d->targetPath));
    }
    d->saved = true;
}

QString SpreadsheetLockFile(const QString& path)
{
    const QFileInfo file(path);
    return file.absolutePath() + QStringLiteral("/.~lock.") + file.fileName() + QLatin1Char('#');
}

QString WorkbookTarget(const QString& fileName)
{
    return AppFile(G().DataPath) + QLatin1Char('/') + fileName;
}
