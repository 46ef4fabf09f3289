#include "TemporaryHome.h"

#include <gtest/gtest.h>

int main(int ArgumentCount, char** Arguments)
{
    Zentavo::Testing::EnterTemporaryHome();
    testing::InitGoogleTest(&ArgumentCount, Arguments);
    return RUN_ALL_TESTS();
}
