#include "app/settings/SettingsKey.h"
#include "platform/testing/FakeRegistry.h"

#include <gtest/gtest.h>

using namespace Platform;

namespace {
const char* const Path = "Software\\Zentavo-3D\\geovalues";

class SettingsKeyTest : public testing::Test
{
protected:
    TSettingsKey Key() { return TSettingsKey(Registry.CreateKey(Path)); }
    void Store(const std::string& Name, const TRegistryValue& Value) { Registry.SetValue(Path, Name, Value); }
    TFakeRegistry Registry;
};
} // namespace

TEST_F(SettingsKeyTest, IntegersReadDecimalTextAndFallBackToTheDefault)
{
    Store("Plain", TRegistryValue::FromString("42"));
    Store("Negative", TRegistryValue::FromString("-7"));
    Store("Words", TRegistryValue::FromString("doze"));
    Store("Trailing", TRegistryValue::FromString("12px"));
    Store("Empty", TRegistryValue::FromString(""));
    Store("Expand", TRegistryValue::FromString("300", TRegistryType::ExpandString));
    EXPECT_EQ(Key().ReadInteger("Plain", 0), 42);
    EXPECT_EQ(Key().ReadInteger("Negative", 0), -7);
    EXPECT_EQ(Key().ReadInteger("Words", 5), 5);
    EXPECT_EQ(Key().ReadInteger("Trailing", 5), 5);
    EXPECT_EQ(Key().ReadInteger("Empty", 5), 5);
    EXPECT_EQ(Key().ReadInteger("Missing", -1), -1);
    EXPECT_EQ(Key().ReadInteger("Expand", 0), 300);
}

TEST_F(SettingsKeyTest, AValueOfAnotherRegistryTypeIsAReadFailure)
{
    Store("Top", TRegistryValue::FromDWord(12));
    EXPECT_THROW(Key().ReadInteger("Top", 0), ESettingsReadError);
    EXPECT_THROW(Key().ReadFlag("Top", true), ESettingsReadError);
    EXPECT_THROW(Key().ReadText("Top"), ESettingsReadError);
}

TEST_F(SettingsKeyTest, FlagsAreAnyNonZeroNumber)
{
    Store("One", TRegistryValue::FromString("1"));
    Store("Zero", TRegistryValue::FromString("0"));
    Store("Many", TRegistryValue::FromString("-3"));
    Store("Junk", TRegistryValue::FromString("sim"));
    EXPECT_TRUE(Key().ReadFlag("One", false));
    EXPECT_FALSE(Key().ReadFlag("Zero", true));
    EXPECT_TRUE(Key().ReadFlag("Many", false));
    EXPECT_TRUE(Key().ReadFlag("Junk", true));
    EXPECT_FALSE(Key().ReadFlag("Junk", false));
    EXPECT_TRUE(Key().ReadFlag("Missing", true));
}

TEST_F(SettingsKeyTest, FloatsMustBeExactlyEightBinaryBytes)
{
    const double Focal = 119.99996;
    Store("Good", TRegistryValue::FromBinary(&Focal, 8));
    Store("Short", TRegistryValue::FromBinary(&Focal, 4));
    Store("Text", TRegistryValue::FromString("1.5"));
    EXPECT_EQ(Key().ReadFloat("Good"), Focal);
    EXPECT_THROW(Key().ReadFloat("Short"), ESettingsReadError);
    EXPECT_THROW(Key().ReadFloat("Text"), ESettingsReadError);
    EXPECT_THROW(Key().ReadFloat("Missing"), ESettingsReadError);
}

TEST_F(SettingsKeyTest, WritesUseTheKindsForms)
{
    TSettingsKey Writer = Key();
    Writer.WriteInteger("Task", 255);
    Writer.WriteInteger("Playtime", -56);
    Writer.WriteFlag("Waiting", true);
    Writer.WriteFloat("Turn", -157.5);
    Writer.WriteText("UF", "São Paulo|BRXX0232");
    EXPECT_EQ(Registry.Value(Path, "Task"), TRegistryValue::FromString("255"));
    EXPECT_EQ(Registry.Value(Path, "Playtime"), TRegistryValue::FromString("-56"));
    EXPECT_EQ(Registry.Value(Path, "Waiting"), TRegistryValue::FromString("1"));
    const double Turn = -157.5;
    EXPECT_EQ(Registry.Value(Path, "Turn"), TRegistryValue::FromBinary(&Turn, 8));
    EXPECT_EQ(Key().ReadText("UF"), "São Paulo|BRXX0232");
    Writer.DeleteValue("UF");
    Writer.DeleteValue("UF"); // deleting a missing value is no error
    EXPECT_FALSE(Registry.Value(Path, "UF").has_value());
}
