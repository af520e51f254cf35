#include "keys/QuestionSet.h"

#include "keys/DigestHex.h"
#include "keys/Md5Digest.h"
#include "keys/Sha1Context.h"

#include <gtest/gtest.h>

namespace lumaquill {
namespace {

TEST(QuestionSetTest, AnswerKeyIsTheSha1OfTheBytesAsTyped)
{
    EXPECT_EQ(DigestHex(AnswerKey("")), "DA39A3EE5E6B4B0D3255BFEF95601890AFD80709");
    EXPECT_EQ(DigestHex(AnswerKey("abc")), "A9993E364706816ABA3E25717850C26C9CD0D89D");
    EXPECT_NE(AnswerKey("Rex"), AnswerKey("rex"));
    EXPECT_NE(AnswerKey("Rex"), AnswerKey("Rex "));
}

TEST(QuestionSetTest, SetSlotMarksUseByTheQuestion)
{
    QuestionSet set;
    set.SetSlot(0, "Pet?", "Optional", "Rex");
    set.SetSlot(1, "", "hint", "typed anyway");
    EXPECT_TRUE(set.UsedFlags[0]);
    EXPECT_EQ(set.AnswerKeys[0], AnswerKey("Rex"));
    EXPECT_FALSE(set.UsedFlags[1]);
    EXPECT_EQ(set.AnswerKeys[1], AnswerKey("typed anyway"));
}

TEST(QuestionSetTest, ConfirmingASlotTwiceKeepsTheSecond)
{
    QuestionSet set;
    set.SetSlot(2, "First?", "h1", "one");
    set.SetSlot(2, "Second?", "h2", "two");
    EXPECT_EQ(set.Questions[2], "Second?");
    EXPECT_EQ(set.Hints[2], "h2");
    EXPECT_EQ(set.Answers[2], "two");
    EXPECT_EQ(set.AnswerKeys[2], AnswerKey("two"));
}

TEST(QuestionSetTest, CompactMovesUsedSlotsForwardInOrder)
{
    QuestionSet set;
    set.SetSlot(1, "Town?", "where", "Leeds");
    set.SetSlot(3, "Pet?", "", "Rex");
    set.Compact();

    EXPECT_EQ(set.Questions[0], "Town?");
    EXPECT_EQ(set.Hints[0], "where");
    EXPECT_EQ(set.Answers[0], "Leeds");
    EXPECT_EQ(set.AnswerKeys[0], AnswerKey("Leeds"));
    EXPECT_EQ(set.Questions[1], "Pet?");
    EXPECT_EQ(set.AnswerKeys[1], AnswerKey("Rex"));
    for (int k = 2; k < QuestionSet::kSlots; ++k) {
        EXPECT_FALSE(set.UsedFlags[k]) << k;
        EXPECT_TRUE(set.Questions[k].empty()) << k;
        EXPECT_TRUE(set.Answers[k].empty()) << k;
        EXPECT_EQ(set.AnswerKeys[k], Sha1Bytes {}) << k;
    }
    EXPECT_EQ(set.LeadingUsed(), 2);

    set.BuildKeyText();
    EXPECT_EQ(set.KeyText, "LeedsRex");
}

TEST(QuestionSetTest, AnswerWithoutQuestionIsDropped)
{
    QuestionSet set;
    set.SetSlot(0, "Town?", "", "Leeds");
    set.SetSlot(3, "", "", "stray");
    set.Compact();
    set.BuildKeyText();
    EXPECT_EQ(set.LeadingUsed(), 1);
    EXPECT_EQ(set.KeyText, "Leeds");
}

TEST(QuestionSetTest, NoSlotFilledGivesAnEmptyKeyText)
{
    QuestionSet set;
    set.ClearFlagsAndKeys();
    set.Compact();
    set.BuildKeyText();
    EXPECT_EQ(set.LeadingUsed(), 0);
    EXPECT_TRUE(set.KeyText.empty());
    EXPECT_EQ(DigestHex(Sha1(set.KeyText)), "DA39A3EE5E6B4B0D3255BFEF95601890AFD80709");
    EXPECT_EQ(DigestHex(Md5Digest(set.KeyText)), "D41D8CD98F00B204E9800998ECF8427E");
}

TEST(QuestionSetTest, ClearFlagsAndKeysLeavesTexts)
{
    QuestionSet set;
    set.SetSlot(4, "Q?", "H", "A");
    set.ClearFlagsAndKeys();
    EXPECT_EQ(set.UsedFlags, (std::array<bool, QuestionSet::kSlots> {}));
    EXPECT_EQ(set.AnswerKeys[4], Sha1Bytes {});
    EXPECT_EQ(set.Questions[4], "Q?");
}

TEST(QuestionSetTest, LeadingUsedStopsAtTheFirstGap)
{
    QuestionSet set;
    set.UsedFlags = { true, true, false, true, false };
    EXPECT_EQ(set.LeadingUsed(), 2);
    set.UsedFlags = { true, true, true, true, true };
    EXPECT_EQ(set.LeadingUsed(), 5);
}

} // namespace
} // namespace lumaquill
