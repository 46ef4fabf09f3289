#pragma once

#include <chrono>

namespace Zentavo::Testing {

// Reads File until a fake service says "ready" on a line of its own, the
// file ends or Limit passes; true when it said so. Does not close File.
bool WaitForReadyLine(int File, std::chrono::milliseconds Limit = std::chrono::seconds(10));

} // namespace Zentavo::Testing
