#include "ui/QtProgressFactory.h"

#include "ui/ProgressDialog.h"

namespace lumaquill {

std::unique_ptr<ProgressSink> QtProgressFactory::CreateProgress()
{
    return std::make_unique<ProgressDialog>();
}

} // namespace lumaquill
