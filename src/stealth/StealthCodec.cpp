#include "stealth/StealthCodec.h"

#include "image/DibImage.h"

namespace lumaquill::stealth {

StealthStatus Hide(DibImage& image, const SecretBytes& password, std::span<const uint8_t> content,
    std::string_view storedName, ProgressSink* progress)
{
    (void)image;
    (void)password;
    (void)content;
    (void)storedName;
    (void)progress;
    return StealthStatus::Unsuitable;
}

StealthStatus Open(const DibImage& image, const SecretBytes& password, std::vector<uint8_t>& content,
    std::string& storedName, ProgressSink* progress)
{
    (void)image;
    (void)password;
    (void)content;
    (void)storedName;
    (void)progress;
    return StealthStatus::NotOpened;
}

} // namespace lumaquill::stealth
