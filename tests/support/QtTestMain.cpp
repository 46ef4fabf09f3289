#include "TemporaryHome.h"

#include <QApplication>
#include <gtest/gtest.h>

// Tests that need widgets, timers or an event loop share one application object.
int main(int ArgumentCount, char** Arguments)
{
    Zentavo::Testing::EnterTemporaryHome();
    testing::InitGoogleTest(&ArgumentCount, Arguments);
    QApplication Application(ArgumentCount, Arguments);
    return RUN_ALL_TESTS();
}
