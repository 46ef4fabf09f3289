#include "TemporaryHome.h"

#include <gtest/gtest.h>
#include <QApplication>

// Tests that need widgets, timers or an event loop share one application object.
int main(int ArgumentCount, char** Arguments)
{
    Zentavo::Testing::EnterTemporaryHome();
    testing::InitGoogleTest(&ArgumentCount, Arguments);
    QApplication Application(ArgumentCount, Arguments);
    return RUN_ALL_TESTS();
}
