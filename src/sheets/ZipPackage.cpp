#include "ZipPackage.h"

#include "SheetError.h"

#include <QDir>
#include <QFile>

#include <zip.h>

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
    const auto result =
        doc.load_buffer(data.data(), data.size(), pugi::parse_default | pugi::parse_ws_pcdata_single);
    if (!result) {
        why = QString::fromStdString(name) + QStringLiteral(": ") + QString::fromUtf8(result.description());
        return false;
    }
    return true;
}

void ZipPackage::replace(const std::string& name, const std::string& data)
{
    zip_source_t* source = zip_source_buffer(m_zip, data.data(), data.size(), 0);
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
        throw SheetError(SheetError::PermissionDenied, QStringLiteral("書き込みできません。 ") +
                                                           QDir::toNativeSeparators(path) +
                                                           QStringLiteral(" (") + text + QLatin1Char(')'));
    }
    m_zip = nullptr;
}

void ZipPackage::discard()
{
    if (m_zip)
        zip_discard(m_zip);
    m_zip = nullptr;
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
