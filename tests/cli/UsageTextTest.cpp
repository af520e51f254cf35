#include "cli/options/UsageText.h"

#include "cli/commands/CommandLine.h"
#include "cli/options/DecodeOptions.h"
#include "cli/options/EncodeOptions.h"
#include "cli/options/InfoOptions.h"

#include <array>
#include <gtest/gtest.h>

namespace lumaquill {
namespace {

TEST(UsageTextTest, SynopsesStandUnderOneUsage)
{
    const std::array<std::string_view, 2> usages = {
        "Usage: tool one A\n"
        "                B\n"
        "\n"
        "What one does.\n",
        "Usage: tool two\n",
    };
    EXPECT_EQ(UsageText::Synopsis(usages[0]), "Usage: tool one A\n                B\n");
    EXPECT_EQ(UsageText::Synopses(usages), "Usage: tool one A\n                B\n       tool two\n");
}

// The program's usage lists every command's synopsis as the command's own
// usage gives it, continuation lines included.
TEST(UsageTextTest, ProgramUsageHoldsEachCommandsSynopsis)
{
    const std::string usage = CommandLine::Usage();
    EXPECT_TRUE(usage.starts_with(UsageText::Synopsis(EncodeOptions::Usage())));
    for (const char* command : { EncodeOptions::Usage(), DecodeOptions::Usage(), InfoOptions::Usage() }) {
        const std::string_view synopsis = UsageText::Synopsis(command).substr(UsageText::kPrefix.size());
        EXPECT_NE(usage.find(synopsis), std::string::npos) << synopsis;
    }
}

} // namespace
} // namespace lumaquill
