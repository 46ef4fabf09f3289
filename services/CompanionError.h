#pragma once

#include <stdexcept>

// A companion library's export failed in a way that reached the clock (an
// exception thrown by a library written in C++, or a failure of the host
// while handling the call's results).
class ECompanionError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};
