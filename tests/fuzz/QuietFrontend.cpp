#include "QuietFrontend.h"

#include "FuzzChecks.h"

namespace lumaquill::fuzz {

namespace {

class QuietProgress : public ProgressSink {
public:
    void Show() override { }
    void Hide() override { }
    void SetText(const std::string& text) override { LUMAQUILL_FUZZ_CHECK(!text.empty()); }
    void SetRange(uint32_t) override { }
    void SetStep(int32_t) override { }
    void SetPos(int32_t) override { }
    void StepIt() override { }
};

} // namespace

void QuietFrontend::ShowMessage(const std::string& text, MessageIcon)
{
    LUMAQUILL_FUZZ_CHECK(!text.empty());
}

void QuietFrontend::Begin()
{
    ++BusyDepth;
}

void QuietFrontend::End()
{
    LUMAQUILL_FUZZ_CHECK(BusyDepth > 0);
    --BusyDepth;
}

std::unique_ptr<ProgressSink> QuietFrontend::CreateProgress()
{
    return std::make_unique<QuietProgress>();
}

} // namespace lumaquill::fuzz
