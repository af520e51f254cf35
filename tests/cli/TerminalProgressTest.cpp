#include "cli/terminal/TerminalProgress.h"

#include "cli/terminal/StderrMessageSink.h"
#include "cli/terminal/TerminalLine.h"

#include <gtest/gtest.h>
#include <sstream>

namespace lumaquill {
namespace {

TEST(TerminalProgressTest, DrawsCaptionAndBarInPlaceOnlyWhileShown)
{
    std::ostringstream err;
    TerminalLine line(err);
    TerminalProgress progress(line);
    progress.SetText("Initializing");
    EXPECT_EQ(err.str(), "");
    progress.Show();
    EXPECT_EQ(err.str(), "\rInitializing [------------------------]");

    // Strengthening 1000 passes: range 0..2, step 1, one step at pass 0.
    progress.SetText("Mangling Password");
    progress.SetRange(2);
    progress.SetStep(1);
    progress.SetPos(0);
    progress.StepIt();
    EXPECT_EQ(progress.Render(), "Mangling Password [############------------]");
    progress.StepIt();
    progress.StepIt();
    EXPECT_EQ(progress.Render(), "Mangling Password [########################]");

    err.str("");
    progress.SetText("Done");
    // The shorter caption blanks what the longer one left behind.
    EXPECT_EQ(err.str(), "\rDone [########################]" + std::string(13, ' '));
    err.str("");
    progress.Hide();
    EXPECT_EQ(err.str(), "\r" + std::string(31, ' ') + "\r");
}

TEST(TerminalProgressTest, EmptyRangeAndNegativePositionDrawAnEmptyBar)
{
    std::ostringstream err;
    TerminalLine line(err);
    TerminalProgress progress(line);
    progress.SetText("x");
    EXPECT_EQ(progress.Render(), "x [------------------------]");
    progress.SetRange(10);
    progress.SetPos(-5);
    EXPECT_EQ(progress.Render(), "x [------------------------]");
}

TEST(TerminalProgressTest, MessageStartsOnAClearedLine)
{
    std::ostringstream err;
    TerminalLine line(err);
    StderrMessageSink messages(err, &line);
    {
        TerminalProgress progress(line);
        progress.SetText("Encoding Data");
        progress.Show();
        err.str("");
        messages.ShowMessage("Unable to encode data.", MessageIcon::Exclamation);
    }
    EXPECT_EQ(err.str(), "\r" + std::string(40, ' ') + "\rUnable to encode data.\n");
}

// Without a progress line (standard error is not a terminal) each message
// is its text on a line of its own, nothing else.
TEST(TerminalProgressTest, MessageWithoutALineIsItsTextAlone)
{
    std::ostringstream err;
    StderrMessageSink messages(err);
    messages.ShowMessage("Invalid container image.", MessageIcon::Stop);
    messages.ShowMessage("Could not read \"a\tb\".", MessageIcon::Stop);
    EXPECT_EQ(err.str(), "Invalid container image.\nCould not read \"a\tb\".\n");
}

} // namespace
} // namespace lumaquill
