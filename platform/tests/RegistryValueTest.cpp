#include "platform/Registry.h"

#include <gtest/gtest.h>

using namespace Platform;

TEST(RegistryValue, DWordIsStoredLittleEndian)
{
    const TRegistryValue Value = TRegistryValue::FromDWord(0x0000012c);
    EXPECT_EQ(Value.Type, 4u);
    EXPECT_EQ(Value.Data, (std::vector<std::uint8_t>{0x2c, 0x01, 0x00, 0x00}));
}

TEST(RegistryValue, TextKindsAreTextAndReadBack)
{
    EXPECT_TRUE(TRegistryValue::FromString("abc").IsText());
    EXPECT_TRUE(TRegistryValue::FromString("abc", TRegistryType::ExpandString).IsText());
    EXPECT_EQ(TRegistryValue::FromString("São Paulo").AsText(), "São Paulo");
    const double Number = 1.5;
    EXPECT_FALSE(TRegistryValue::FromBinary(&Number, sizeof Number).IsText());
}
