#pragma once

#include <QString>

#include <pugixml.hpp>

#include <string>

#include <memory>
#include <vector>

struct zip;

// A part written as text, then the contents of a file (none when empty), then more text.
struct PartText
{
    std::string head;
    QString file;
    std::string tail;
};

// The zip archive that holds a workbook's parts.
class ZipPackage
{
  public:
    ZipPackage();
    ~ZipPackage();
    ZipPackage(const ZipPackage&) = delete;
    ZipPackage& operator=(const ZipPackage&) = delete;

    // False, with the library's reason in why, when the file is no zip archive.
    bool open(const QString& path, bool readOnly, QString& why);
    bool has(const std::string& name) const;
    // False when the part is missing or cannot be read.
    bool read(const std::string& name, std::string& data) const;
    // False when the part is missing or is no XML; why says which.
    bool parse(const std::string& name, pugi::xml_document& doc, QString& why) const;

    // Writing, each failure thrown as QelError. The data (and the part's file) must stay
    // alive until close(): the archive reads them only then.
    void replace(const std::string& name, const std::string& data);
    void replace(const std::string& name, const PartText& part);
    // Writes the archive; path names the target in the message of a failure.
    void close(const QString& path);
    // Drops every change; the file stays as it was.
    void discard();

  private:
    struct PartReader;
    void add(const std::string& name, struct zip_source* source);

    struct zip* m_zip = nullptr;
    std::vector<std::unique_ptr<PartReader>> m_readers;
};

// The part of the first worksheet ("xl/worksheets/sheet1.xml"), from the workbook part and its
// relationships; empty when the workbook has no sheet.
std::string FirstSheetPart(const pugi::xml_document& workbook, const pugi::xml_document& rels);
