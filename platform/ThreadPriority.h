#pragma once

namespace Platform {

// Lowers the calling thread below the normal priority (a positive nice value
// of its own), still scheduled under load.
void LowerCurrentThreadPriority();
// The calling thread's nice value.
int CurrentThreadNiceness();

} // namespace Platform
