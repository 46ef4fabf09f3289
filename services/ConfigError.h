#pragma once

#include <stdexcept>

// The configuration document could not be read, parsed or written, or lacks
// something a reader needs.
class EConfigError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};
