#include "ui/dialogs/StoredText.h"

#include "io/Utf8.h"

#include <QByteArray>

namespace lumaquill {

namespace {

QString FromUtf8Bytes(const std::string& bytes)
{
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

} // namespace

std::string ToStoredText(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

QString FromStoredText(const std::string& bytes)
{
    return FromUtf8Bytes(IsValidUtf8(bytes) ? bytes : Windows1252ToUtf8(bytes));
}

} // namespace lumaquill
