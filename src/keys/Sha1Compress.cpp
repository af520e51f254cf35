#include "keys/Sha1Compress.h"

namespace lumaquill {

namespace {

Sha1CompressFunction g_forced = nullptr;

Sha1CompressFunction Detect()
{
    Sha1CompressFunction accelerated = Sha1CompressAccelerated();
    return accelerated != nullptr ? accelerated : Sha1CompressPortable;
}

} // namespace

Sha1CompressFunction ActiveSha1Compress()
{
    static const Sha1CompressFunction detected = Detect();
    return g_forced != nullptr ? g_forced : detected;
}

void ForceSha1Compress(Sha1CompressFunction function)
{
    g_forced = function;
}

} // namespace lumaquill
