#include "ZipPackage.h"

#include "core/TextRoutines.h"

#include "WorkbookFailure.h"
#include "XmlParts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <zip.h>

#include <algorithm>
#include <cstring>
#include <ctime>

ZipPackage::ZipPackage() = default;

ZipPackage::~ZipPackage()
{
    discard();
}

bool ZipPackage::open(const QString& path, bool readOnly, QString& why)
{
    discard();
    int error = 0;
    m_zip = zip_open(QFile::encodeName(path).constData(), readOnly ? ZIP_RDONLY : 0, &error);
    if (m_zip)
        return true;
    zip_error_t z;
    zip_error_init_with_code(&z, error);
    why = QString::fromLocal8Bit(zip_error_strerror(&z));
    zip_error_fini(&z);
    return false;
}

bool ZipPackage::has(const std::string& name) const
{
    return m_zip && zip_name_locate(m_zip, name.c_str(), 0) >= 0;
}

bool ZipPackage::read(const std::string& name, std::string& data) const
{
    const zip_int64_t index = m_zip ? zip_name_locate(m_zip, name.c_str(), 0) : -1;
    zip_stat_t st;
    if (index < 0 || zip_stat_index(m_zip, index, 0, &st) != 0)
        return false;
    data.assign(st.size, '\0');
    zip_file_t* file = zip_fopen_index(m_zip, index, 0);
    const zip_int64_t got = file ? zip_fread(file, data.data(), st.size) : -1;
    if (file)
        zip_fclose(file);
    return got == zip_int64_t(st.size);
}

bool ZipPackage::parse(const std::string& name, pugi::xml_document& doc, QString& why) const
{
    std::string data;
    if (!read(name, data)) {
        why = QString::fromStdString(name) + QStringLiteral(" がありません。");
        return false;
    }
    return LoadXmlPart(name, data, doc, why);
}

// Feeds a PartText to the archive as it compresses the part.
struct ZipPackage::PartReader
{
    const PartText& part;
    QFile file;
    int phase = 0; // head, file, tail, done
    std::size_t offset = 0;
    zip_error_t error;

    explicit PartReader(const PartText& p) : part(p) { zip_error_init(&error); }
    ~PartReader() { zip_error_fini(&error); }

    zip_int64_t read(char* out, zip_uint64_t size)
    {
        zip_uint64_t done = 0;
        while (done < size && phase < 3) {
            if (phase == 1) {
                const qint64 got = file.read(out + done, qint64(size - done));
                if (got < 0) {
                    zip_error_set(&error, ZIP_ER_READ, 0);
                    return -1;
                }
                done += zip_uint64_t(got);
                if (got == 0)
                    phase = 2;
                continue;
            }
            const std::string& text = phase == 0 ? part.head : part.tail;
            const std::size_t n = std::min<std::size_t>(text.size() - offset, size - done);
            std::memcpy(out + done, text.data() + offset, n);
            offset += n;
            done += n;
            if (offset == text.size()) {
                offset = 0;
                phase = phase == 0 ? (part.file.isEmpty() ? 2 : 1) : 3;
            }
        }
        return zip_int64_t(done);
    }

    static zip_int64_t callback(void* self, void* data, zip_uint64_t size, zip_source_cmd_t command)
    {
        PartReader& r = *static_cast<PartReader*>(self);
        switch (command) {
        case ZIP_SOURCE_OPEN:
            r.phase = 0;
            r.offset = 0;
            if (!r.part.file.isEmpty()) {
                r.file.setFileName(r.part.file);
                if (!r.file.open(QIODevice::ReadOnly)) {
                    zip_error_set(&r.error, ZIP_ER_OPEN, 0);
                    return -1;
                }
            }
            return 0;
        case ZIP_SOURCE_READ:
            return r.read(static_cast<char*>(data), size);
        case ZIP_SOURCE_CLOSE:
            r.file.close();
            return 0;
        case ZIP_SOURCE_STAT: {
            auto* st = static_cast<zip_stat_t*>(data);
            zip_stat_init(st);
            st->size = r.part.head.size() + r.part.tail.size() +
                       zip_uint64_t(r.part.file.isEmpty() ? 0 : QFileInfo(r.part.file).size());
            st->mtime = std::time(nullptr);
            st->valid |= ZIP_STAT_SIZE | ZIP_STAT_MTIME;
            return sizeof(zip_stat_t);
        }
        case ZIP_SOURCE_ERROR:
            return zip_error_to_data(&r.error, data, size);
        case ZIP_SOURCE_FREE:
            return 0;
        case ZIP_SOURCE_SUPPORTS:
            return ZIP_SOURCE_SUPPORTS_READABLE;
        default:
            zip_error_set(&r.error, ZIP_ER_OPNOTSUPP, 0);
            return -1;
        }
    }
};

void ZipPackage::replace(const std::string& name, const std::string& data)
{
    add(name, zip_source_buffer(m_zip, data.data(), data.size(), 0));
}

void ZipPackage::replace(const std::string& name, const PartText& part)
{
    m_readers.push_back(std::make_unique<PartReader>(part));
    add(name, zip_source_function(m_zip, &PartReader::callback, m_readers.back().get()));
}

void ZipPackage::add(const std::string& name, zip_source_t* source)
{
    const zip_int64_t added =
        source ? zip_file_add(m_zip, name.c_str(), source, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8) : -1;
    if (added < 0) {
        if (source)
            zip_source_free(source);
        ThrowApplicationError(QStringLiteral(" ") + QString::fromLocal8Bit(zip_strerror(m_zip)));
    }
    // The maximum level that libzip picks by itself costs several times the time for a few percent.
    zip_set_file_compression(m_zip, added, ZIP_CM_DEFAULT, 6);
}

void ZipPackage::close(const QString& path)
{
    if (zip_close(m_zip) != 0) {
        const QString text = QString::fromLocal8Bit(zip_strerror(m_zip));
        discard();
        throw WorkbookFailure(SheetNumber::PermissionDenied, QStringLiteral("書き込みできません。 ") +
                                                                 ShownPath(path) + QStringLiteral(" (") +
                                                                 text + QLatin1Char(')'));
    }
    m_zip = nullptr;
    m_readers.clear();
}

void ZipPackage::discard()
{
    if (m_zip)
        zip_discard(m_zip);
    m_zip = nullptr;
    m_readers.clear();
}

std::string FirstSheetPart(const pugi::xml_document& workbook, const pugi::xml_document& rels)
{
    const pugi::xml_node sheet = workbook.document_element().child("sheets").child("sheet");
    std::string relId;
    for (pugi::xml_attribute a : sheet.attributes()) {
        const std::string_view name = a.name();
        if (name.size() >= 3 && name.substr(name.size() - 3) == ":id")
            relId = a.value();
    }
    if (relId.empty())
        return {};
    for (pugi::xml_node rel : rels.document_element().children("Relationship")) {
        if (relId == rel.attribute("Id").value()) {
            const std::string target = rel.attribute("Target").value();
            return !target.empty() && target[0] == '/' ? target.substr(1) : "xl/" + target;
        }
    }
    return {};
}
