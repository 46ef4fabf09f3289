#include "setup/RadioGroup.h"

#include <gtest/gtest.h>

#include <QRadioButton>

TEST(RadioGroupTest, TheIndexIsBroughtIntoMinusOneToTheLastItem)
{
    TRadioGroup Group("&Ação", {"Alarme", "Desligar", "Tarefa"});
    Group.resize(120, 157);
    EXPECT_EQ(Group.ItemIndex(), -1) << "none selected at first";
    for (const auto& [Set, Read] : {std::pair(1, 1), std::pair(3, 2), std::pair(255, 2), std::pair(0, 0),
                                    std::pair(-1, -1), std::pair(-7, -1), std::pair(2, 2)}) {
        Group.SetItemIndex(Set);
        EXPECT_EQ(Group.ItemIndex(), Read) << Set;
        for (int Index = 0; Index < 3; ++Index)
            EXPECT_EQ(Group.Item(Index)->isChecked(), Index == Read) << Set;
    }
    Group.Item(0)->click();
    EXPECT_EQ(Group.ItemIndex(), 0);
    EXPECT_FALSE(Group.Item(2)->isChecked()) << "one item at a time";
}
