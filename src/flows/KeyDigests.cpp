#include "flows/KeyDigests.h"

#include "keys/Md5Digest.h"
#include "keys/Sha1Context.h"

namespace lumaquill {

KeyDigests KeyDigests::FromText(std::string_view keyText)
{
    return { lumaquill::Sha1(keyText), lumaquill::Md5Digest(keyText) };
}

} // namespace lumaquill
