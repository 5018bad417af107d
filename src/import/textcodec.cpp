#include "import/textcodec.h"

#include <QStringDecoder>

namespace kro::import {

QString textFromBytes(std::string_view bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    if (utf8.hasError())
        return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
    return text;
}

} // namespace kro::import
