#include "flows/StealthMessages.h"

#include "core/MessageText.h"
#include "image/PictureFormatTable.h"

namespace lumaquill {

std::string StealthMessages::NoNoise()
{
    return message::kStealthNoNoiseStart + PictureFormatTable::KeptLosslessList() + message::kStealthNoNoiseEnd;
}

std::string StealthMessages::LossyCover(const std::string& formatName)
{
    return message::kStealthLossyCover + formatName + message::kStealthLossyCoverAdvice
        + PictureFormatTable::KeptLosslessList() + message::kStealthLossyCoverClose;
}

std::string StealthMessages::JpegNeedsJpegCover()
{
    return message::kStealthJpegNeedsJpegCoverStart + PictureFormatTable::SavedExtensionList()
        + message::kStealthJpegNeedsJpegCoverEnd;
}

} // namespace lumaquill
