// fileops_rules_test.cpp: the primitives' rules, over the substitute
// platform: what is read, what is written back, and what each answer means.
#include <gtest/gtest.h>

#include "fake_platform.h"
#include "fileops.h"
#include "platform.h"

namespace {

class Rules : public ::testing::Test {
protected:
    void SetUp() override { fake() = FakePlatform{}; }
    FakeEntry& entry(const std::string& path, std::uint32_t attributes) {
        FakeEntry& e = fake().entries[path];
        e.attributes = attributes;
        return e;
    }
};

TEST_F(Rules, TheAttributeWordIsWrittenBackWholeWithOnlyTheReadOnlyBitChanged) {
    // Bits the platform reports but a caller cannot set go back too.
    const std::uint32_t others = 0xA5A5A5A4;
    entry("p", others);
    EXPECT_EQ(fileops::setFileMode("p", S_IREAD), 0);
    EXPECT_EQ(fake().entries["p"].attributes, others | FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(fileops::setFileMode("p", S_IWRITE), 0);
    EXPECT_EQ(fake().entries["p"].attributes, others);
    EXPECT_EQ(fake().lastPath, "p");
}

TEST_F(Rules, OnlyBit0x0080OfTheModeIsLookedAt) {
    const struct {
        int mode;
        bool readOnly;
    } cases[] = {
        {S_IREAD, true}, {S_IWRITE, false}, {0, true}, {0x0180, false}, {0x0100 | 0x0040, true},
        {~0x0080, true}, {-1, false},       {0x7FFFFF7F, true},
    };
    for (const auto& c : cases) {
        entry("p", c.readOnly ? 0x20 : 0x21);
        EXPECT_EQ(fileops::setFileMode("p", c.mode), 0) << c.mode;
        EXPECT_EQ(fake().entries["p"].attributes, c.readOnly ? 0x21u : 0x20u) << "mode " << c.mode;
    }
}

TEST_F(Rules, TheWordIsWrittenEvenWhenTheBitAlreadyHasTheWantedValue) {
    entry("p", FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(fileops::setFileMode("p", S_IREAD), 0);
    EXPECT_EQ(fake().sets, 1);
    fake().entries["p"].refuseSet = true;  // the platform's answer to the write decides
    EXPECT_EQ(fileops::setFileMode("p", S_IREAD), -1);
}

TEST_F(Rules, AnUnreadableEntryAnswersMinusOneAndNothingIsWritten) {
    EXPECT_EQ(fileops::setFileMode("missing", S_IREAD), -1);
    EXPECT_EQ(fileops::setFileMode("missing", S_IWRITE), -1);
    EXPECT_EQ(fake().sets, 0);
}

TEST_F(Rules, ARefusedWriteAnswersMinusOneAndChangesNothing) {
    entry("p", 0x26).refuseSet = true;
    EXPECT_EQ(fileops::setFileMode("p", S_IREAD), -1);
    EXPECT_EQ(fake().entries["p"].attributes, 0x26u);
}

TEST_F(Rules, DeleteAnswersByWhetherTheEntryIsGone) {
    entry("p", 0);
    entry("kept", 0).refuseDelete = true;
    EXPECT_EQ(fileops::deletePath("p"), 0);
    EXPECT_EQ(fake().entries.count("p"), 0u);
    // A refused delete is a failure whatever error code the platform leaves
    // behind; a zero code after a failed DeleteFile is no success.
    EXPECT_EQ(fileops::deletePath("kept"), -1);
    EXPECT_EQ(fake().entries.count("kept"), 1u);
    EXPECT_EQ(fileops::deletePath("missing"), -1);
}

TEST_F(Rules, DeleteNeverTouchesTheReadOnlyAttribute) {
    entry("p", FILE_ATTRIBUTE_READONLY).refuseDelete = true;
    EXPECT_EQ(fileops::deletePath("p"), -1);
    EXPECT_EQ(fake().gets + fake().sets, 0);
    EXPECT_EQ(fake().entries["p"].attributes, FILE_ATTRIBUTE_READONLY);
}

}  // namespace
