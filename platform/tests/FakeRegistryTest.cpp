#include "platform/testing/FakeRegistry.h"

#include <gtest/gtest.h>

using namespace Platform;

TEST(FakeRegistry, BehavesLikeTheRegistry)
{
    TFakeRegistry Registry;
    EXPECT_EQ(Registry.OpenKey("Software\\Zentavo-3D\\geovalues"), nullptr);
    auto Key = Registry.CreateKey("Software\\Zentavo-3D\\geovalues");
    EXPECT_NE(Registry.OpenKey("SOFTWARE"), nullptr);
    Key->SetValue("Top", TRegistryValue::FromString("5"));
    Key->SetValue("TOP", TRegistryValue::FromString("6"));
    EXPECT_EQ(Registry.Value("software\\zentavo-3d\\GEOVALUES", "top")->AsText(), "6");
    EXPECT_EQ(Registry.ValueNames("Software\\Zentavo-3D\\geovalues"), std::vector<std::string>{"Top"});
    EXPECT_TRUE(Key->DeleteValue("top"));
    EXPECT_FALSE(Key->DeleteValue("top"));
    EXPECT_FALSE(Key->QueryValue("Top").has_value());
    EXPECT_EQ(Registry.WrittenNames(), (std::vector<std::string>{"Top", "TOP", "top", "top"}));
}

TEST(FakeRegistry, WritesFailWhenTheTestSaysSo)
{
    TFakeRegistry Registry;
    auto Key = Registry.CreateKey("K");
    Registry.FailWritesOf("pass");
    Key->SetValue("User", TRegistryValue::FromString("u"));
    EXPECT_THROW(Key->SetValue("Pass", TRegistryValue::FromString("p")), ERegistryError);
    EXPECT_FALSE(Registry.Value("K", "Pass").has_value());
    Registry.SetFailAllWrites(true);
    EXPECT_THROW(Key->DeleteValue("User"), ERegistryError);
    EXPECT_TRUE(Registry.Value("K", "User").has_value());
    Registry.SetValue("K", "Direct", TRegistryValue::FromDWord(1)); // arranging a test never fails
}
