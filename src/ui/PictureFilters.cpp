#include "ui/PictureFilters.h"

#include "core/MessageText.h"
#include "flows/StegFlows.h"

#include <QFile>

namespace lumaquill {

QString PictureFilters::Open()
{
    return QStringLiteral("Images|*.png;*.jpg;*.jpeg;*.jpe;*.webp;*.heic;*.heif;*.avif;*.bmp|"
                          "Bitmap files (*.bmp)|*.bmp|All files (*.*)|*.*||");
}

QString PictureFilters::Save()
{
    return QStringLiteral("PNG image (*.png)|*.png|Bitmap files (*.bmp)|*.bmp|WebP image, lossless (*.webp)|*.webp||");
}

QString PictureFilters::DefaultSaveExtension()
{
    return QStringLiteral("png");
}

PictureFormat PictureFilters::SaveFormat(const QString& path)
{
    return OutputFormatForName(QFile::encodeName(path).toStdString()).value_or(PictureFormat::Png);
}

QString PictureFilters::Refusal(const QString& chosenName, const StegFlows& flows, bool forDecode)
{
    std::string detail;
    const LoadProblem problem = flows.CoverProblem(forDecode, detail);
    if (chosenName.isEmpty() || problem == LoadProblem::None || problem == LoadProblem::NotChosen)
        return QString::fromUtf8(message::kNoContainer);
    const QString verdict = forDecode ? QStringLiteral("cannot be decoded") : QStringLiteral("cannot be used");
    return QStringLiteral("%1 %2: %3.")
        .arg(chosenName, verdict, QString::fromStdString(LoadProblemText(problem, detail)));
}

QString PictureFilters::StealthJpegSave()
{
    return QStringLiteral("JPEG pictures (*.jpg *.jpeg)|*.jpg;*.jpeg||");
}

QString PictureFilters::StealthJpegExtension()
{
    return QStringLiteral("jpg");
}

} // namespace lumaquill
