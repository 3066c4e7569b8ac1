#pragma once

#include "core/QelError.h"

#include <QString>

#include <pugixml.hpp>

#include <QByteArray>

#include <cstdint>
#include <memory>
#include <string>

struct zip;
struct zip_file;

// A zip archive opened for reading only (a workbook from outside, or one the program wrote and
// reads back). A part is read in pieces and counted as it unpacks, so that neither the size its
// directory claims nor the size it really unpacks to can take more memory than the caps allow.
class ZipReader
{
  public:
    // The most one part and all the parts read from one archive may unpack to: four and eight
    // times the largest file the import takes, far more than any sheet of customers needs.
    static constexpr std::int64_t kPartCap = 128LL << 20;
    static constexpr std::int64_t kTotalCap = 256LL << 20;

    // A part unpacked a piece at a time, for a reader that never holds it whole.
    class Part
    {
      public:
        ~Part();
        Part(const Part&) = delete;
        Part& operator=(const Part&) = delete;
        // The next piece, empty at the end. Throws TooLarge as soon as the part unpacks past its
        // cap or takes the archive past kTotalCap, NotAWorkbook when it cannot be unpacked.
        QByteArray next();
        std::int64_t unpacked() const { return m_unpacked; }
        // The size the directory claims (checked against the cap, never trusted); 0 when none.
        std::int64_t claimed() const { return m_claimed; }

      private:
        friend class ZipReader;
        Part(ZipReader& archive, zip_file* file, std::string name, std::int64_t allowed,
             std::int64_t claimed);
        ZipReader& m_archive;
        zip_file* m_file;
        std::string m_name;
        std::int64_t m_allowed;
        std::int64_t m_claimed;
        std::int64_t m_unpacked = 0;
    };

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
    // The part to be read piece by piece; throws as read() when it is missing or its directory
    // entry claims more than the cap.
    std::unique_ptr<Part> stream(const std::string& name, std::int64_t cap = kPartCap);
    // The part read as XML; throws as read(), and NotAWorkbook when it is no XML.
    void parse(const std::string& name, pugi::xml_document& doc, std::int64_t cap = kPartCap);

    const QString& path() const { return m_path; }

  private:
    [[noreturn]] void refuse(QelError::Kind kind, const QString& why) const;
    QString tooLarge(const std::string& name, std::int64_t allowed) const;

    struct zip* m_zip = nullptr;
    QString m_path;
    std::int64_t m_total = 0;
};
