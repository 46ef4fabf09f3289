#pragma once

#include <string>

namespace Zentavo::Testing {

// Points HOME, XDG_CONFIG_HOME, XDG_DATA_HOME, XDG_CACHE_HOME and
// XDG_RUNTIME_DIR at fresh folders and makes another one the working folder, so that nothing a test does can reach the real user's files.
// Called once by the test mains before any test runs.
void EnterTemporaryHome();

// The folders made by EnterTemporaryHome.
const std::string& TemporaryRoot();
const std::string& TemporaryWorkingFolder();

// A new empty folder below the temporary root, for one test.
std::string MakeScratchFolder(const std::string& Prefix);

} // namespace Zentavo::Testing
