#pragma once

#include "core/QelError.h"

#include <QString>

#include <pugixml.hpp>

#include <cstdint>
#include <string>

struct zip;

// A zip archive opened for reading only (a workbook from outside, or one the program wrote and
// reads back). A part is read in pieces and counted as it unpacks, so that neither the size its
// directory claims nor the size it really unpacks to can take more memory than the caps allow.
class ZipReader
{
  public:
    // The most one part and all the parts read from one archive may unpack to.
    static constexpr std::int64_t kPartCap = 128LL << 20;
    static constexpr std::int64_t kTotalCap = 256LL << 20;

    ZipReader() = default;
    ~ZipReader();
    ZipReader(const ZipReader&) = delete;
    ZipReader& operator=(const ZipReader&) = delete;

    // Throws a QelError of the kind NotAWorkbook, naming the file, when it is no zip archive.
    void open(const QString& path);
    bool has(const std::string& name) const;
    // The part's bytes. Throws NotAWorkbook when it is missing or cannot be unpacked, TooLarge when
    // it unpacks to more than `cap` or takes the archive past kTotalCap.
    std::string read(const std::string& name, std::int64_t cap = kPartCap);
    // The part read as XML; throws as read(), and NotAWorkbook when it is no XML.
    void parse(const std::string& name, pugi::xml_document& doc, std::int64_t cap = kPartCap);

    const QString& path() const { return m_path; }

  private:
    [[noreturn]] void refuse(QelError::Kind kind, const QString& why) const;

    struct zip* m_zip = nullptr;
    QString m_path;
    std::int64_t m_total = 0;
};
