#include "Cp932.h"

#include <QStringDecoder>

#include <iconv.h>

#include <cerrno>
#include <memory>

namespace {

QByteArray convert(const char* to, const char* from, const QByteArray& input)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return {};
    std::unique_ptr<void, int (*)(iconv_t)> guard(cd, iconv_close);

    QByteArray out;
    out.resize(input.size() * 4 + 16);
    char* in = const_cast<char*>(input.constData());
    size_t inLeft = static_cast<size_t>(input.size());
    char* dst = out.data();
    size_t outLeft = static_cast<size_t>(out.size());
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &dst, &outLeft) != static_cast<size_t>(-1))
            continue;
        if (errno == E2BIG) {
            const auto used = dst - out.data();
            out.resize(out.size() * 2);
            dst = out.data() + used;
            outLeft = static_cast<size_t>(out.size() - used);
            continue;
        }
        // An invalid or incomplete sequence: skip one byte and go on, as a lenient reader would.
        ++in;
        --inLeft;
    }
    out.resize(dst - out.data());
    return out;
}

} // namespace

QString DecodeCp932(const QByteArray& bytes)
{
    return QString::fromUtf8(convert("UTF-8", "CP932", bytes));
}

QByteArray EncodeCp932(const QString& text)
{
    return convert("CP932", "UTF-8", text.toUtf8());
}

bool IsValidUtf8(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    [[maybe_unused]] QString text = decoder.decode(bytes);
    return !decoder.hasError();
}
