// A companion written in C++ that breaks the rule and lets an exception out.
#include "services/zentavo_companion.h"

#include <stdexcept>

ZT_EXPORT ZTGetConnectionStatusFunction getConnectionStatus;

uint8_t getConnectionStatus()
{
    throw std::runtime_error("modem on fire");
}
