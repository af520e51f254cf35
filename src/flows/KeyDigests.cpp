#include "flows/KeyDigests.h"

#include "keys/Md5Digest.h"
#include "keys/Sha1Context.h"

namespace lumaquill {

KeyDigests KeyDigests::FromText(std::string_view keyText)
{
    return {Sha1(keyText), Md5Digest(keyText)};
}

} // namespace lumaquill
