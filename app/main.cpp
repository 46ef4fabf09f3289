#include "RunClock.h"

int main(int ArgumentCount, char** Arguments)
{
    return RunClock(ArgumentCount, Arguments);
}
