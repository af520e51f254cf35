#include "ui/qt/PictureFilters.h"

#include "core/MessageText.h"
#include "flows/StegFlows.h"
#include "image/PictureFormatTable.h"

#include <QFile>

namespace lumaquill {

QString PictureFilters::Open()
{
    return QString::fromStdString(PictureFormatTable::OpenFilter());
}

QString PictureFilters::Save()
{
    return QString::fromStdString(PictureFormatTable::SaveFilter());
}

QString PictureFilters::DefaultSaveExtension()
{
    return QString::fromUtf8(PictureFormatTable::Of(DefaultOutputFormat()).Extensions.front());
}

PictureFormat PictureFilters::SaveFormat(const QString& path)
{
    return OutputFormatForName(QFile::encodeName(path).toStdString()).value_or(DefaultOutputFormat());
}

bool PictureFilters::IsSavedSuffix(const QString& suffix)
{
    const PictureFormatTable::Row* row = PictureFormatTable::ByExtension(suffix.toStdString());
    return row && row->Written == PictureFormatTable::Output::Saved;
}

QString PictureFilters::LossyNameWarning(const QString& fileName)
{
    return fileName + QString::fromUtf8(message::kLossySaveNameStart)
        + QString::fromStdString(PictureFormatTable::LossyNameList(" or "))
        + QString::fromUtf8(message::kLossySaveNameAdvice) + QString::fromStdString(PictureFormatTable::SavedNameList())
        + QLatin1Char('.');
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
