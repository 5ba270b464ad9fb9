#include "editor/MainTables.h"

#include <gtest/gtest.h>

namespace {

class MainTablesTest : public ::testing::Test {
protected:
    void SetUp() override { ResetMainTables(); }
    void TearDown() override { ResetMainTables(); }
};

} // namespace

TEST_F(MainTablesTest, IndexesFromTheModuleOutsideATableAreIgnored)
{
    EXPECT_FALSE(StoreUserPhone(10, 0xFF, "123"));
    EXPECT_FALSE(StoreUserPhone(-1, 0xFF, "123"));
    EXPECT_FALSE(StoreUserAddCR(10, 0xFF));
    EXPECT_FALSE(StoreRemotePhone(50, 0x80, "1"));
    EXPECT_FALSE(StoreInputSetting(6, 1, 2, 3, 4, tduomenys(5, 1)));
    EXPECT_FALSE(StoreInputSMSText(6, "t"));
    EXPECT_FALSE(StoreOutputSetting(4, 1, 2));
    EXPECT_FALSE(StoreAdditionalSMSText(2, "t"));
    // Name group and index are each checked: name 32 of group 1 is not name 0 of group 2.
    EXPECT_FALSE(StoreItemName(1, 32, "n"));
    EXPECT_FALSE(StoreItemName(0, 0, "n"));
    EXPECT_FALSE(StoreItemName(5, 0, "n"));
    EXPECT_FALSE(StoreItemName(4, -1, "n"));

    for (const auto& u : UserPhones)
        EXPECT_TRUE(u.PhoneNr.isEmpty() && u.PnCR == 0 && u.PnAddCR == 0);
    for (const auto& n : ItemNames)
        EXPECT_TRUE(n.isEmpty());
    for (const auto& o : OutputTable)
        EXPECT_EQ(o.CR, 0);
    EXPECT_EQ(UserPhoneAt(10), nullptr);
    EXPECT_EQ(RemotePhoneAt(-1), nullptr);
    EXPECT_EQ(InputAt(6), nullptr);
    EXPECT_EQ(OutputAt(4), nullptr);
    EXPECT_EQ(ItemNameAt(1, 32), QByteArray());
    EXPECT_EQ(ItemNameIndex(4, 31), 127);
}

TEST_F(MainTablesTest, StoresFillTheirEntryAndCutTexts)
{
    ASSERT_TRUE(StoreUserPhone(9, 0x41, "+3706000000012345"));
    EXPECT_EQ(UserPhones[9].PhoneNr, "+37060000000123");
    EXPECT_EQ(UserPhones[9].PnCR, 0x41);
    ASSERT_TRUE(StoreUserAddCR(9, 0x10));
    EXPECT_EQ(UserPhones[9].PnAddCR, 0x10);
    EXPECT_EQ(UserPhones[9].PnCR, 0x41);

    ASSERT_TRUE(StoreRemotePhone(49, 0xA0, "12345678901234567"));
    EXPECT_EQ(RemotePhoneAt(49)->Number.size(), PhoneNumberWidth);
    EXPECT_EQ(RemotePhones[49].PGMPnCR, 0xA0);

    ASSERT_TRUE(StoreInputSMSText(5, QByteArray(60, 'x')));
    EXPECT_EQ(InputTable[5].SMSText, QByteArray(50, 'x'));
    ASSERT_TRUE(StoreAdditionalSMSText(1, QByteArray(51, 'y')));
    EXPECT_EQ(AdditionalSMSTexts[1].size(), 50);

    ASSERT_TRUE(StoreItemName(2, 3, "Module 4"));
    EXPECT_EQ(ItemNames[35], "Module 4");
    EXPECT_EQ(ItemNameAt(2, 3), "Module 4");

    ASSERT_TRUE(StoreOutputSetting(3, 0x0D, 3));
    EXPECT_EQ(OutputTable[3].ImpLength, 3);
}

TEST_F(MainTablesTest, ContactIDIsAFreshFiveByteCopy)
{
    tduomenys cid{6, 1, 3, 0, 1};
    ASSERT_TRUE(StoreInputSetting(0, 0x41, 2, 25, 65535, cid));
    cid[0] = 7;
    const TInputRecord& r = InputTable[0];
    EXPECT_EQ(r.CID, (tduomenys{6, 1, 3, 0, 1}));
    EXPECT_EQ(r.CR, 0x41);
    EXPECT_EQ(r.Violations, 2);
    EXPECT_EQ(r.Sensivity, 25);
    EXPECT_EQ(r.NoSenseInterval, 65535);

    ASSERT_TRUE(StoreInputSetting(1, 0, 0, 0, 0, tduomenys{6, 1}));
    EXPECT_EQ(InputTable[1].CID, (tduomenys{6, 1, 0, 0, 0}));
    ASSERT_TRUE(StoreInputSetting(2, 0, 0, 0, 0, tduomenys(9, 2)));
    EXPECT_EQ(InputTable[2].CID.size(), 5u);
}
