#include "TemporaryHome.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <unistd.h>

namespace Zentavo::Testing {

namespace {
std::string Root;
std::string WorkingFolder;

std::string MakeFolder(const std::string& Pattern)
{
    std::string Name = Pattern + "XXXXXX";
    if (mkdtemp(Name.data()) == nullptr)
        throw std::runtime_error("cannot make temporary folder " + Pattern);
    return Name;
}

void RemoveRoot()
{
    if (!Root.empty() && std::getenv("ZENTAVO_KEEP_TEST_HOME") == nullptr) {
        std::error_code Ignored;
        std::filesystem::remove_all(Root, Ignored);
    }
}
} // namespace

void EnterTemporaryHome()
{
    const char* Base = std::getenv("TMPDIR");
    Root = MakeFolder(std::string(Base && *Base ? Base : "/tmp") + "/zentavo-test-");
    const std::string Home = Root + "/home";
    const std::string Config = Home + "/.config";
    WorkingFolder = Root + "/work";
    std::filesystem::create_directories(Config);
    std::filesystem::create_directories(WorkingFolder);
    // Tests expect the permissions they create, whatever the caller's umask.
    std::filesystem::permissions(Root, std::filesystem::perms::owner_all);
    setenv("HOME", Home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", Config.c_str(), 1);
    setenv("XDG_DATA_HOME", (Home + "/.local/share").c_str(), 1);
    setenv("XDG_CACHE_HOME", (Home + "/.cache").c_str(), 1);
    // The clocks a test starts take their one-per-display lock here, not in the user's session.
    const std::string Runtime = Root + "/runtime";
    std::filesystem::create_directories(Runtime);
    std::filesystem::permissions(Runtime, std::filesystem::perms::owner_all);
    setenv("XDG_RUNTIME_DIR", Runtime.c_str(), 1);
    setenv("XDG_STATE_HOME", (Home + "/.local/state").c_str(), 1);
    // No test may reach the real desktop's sound server; a private one sets its own address.
    setenv("PULSE_SERVER", ("unix:" + Home + "/no-sound-server").c_str(), 1);
    if (std::getenv("TZ") == nullptr)
        setenv("TZ", "UTC", 1);
    if (chdir(WorkingFolder.c_str()) != 0)
        throw std::runtime_error("cannot enter " + WorkingFolder);
    std::atexit(RemoveRoot);
}

const std::string& TemporaryRoot()
{
    return Root;
}
const std::string& TemporaryWorkingFolder()
{
    return WorkingFolder;
}

std::string MakeScratchFolder(const std::string& Prefix)
{
    return MakeFolder(Root + "/" + Prefix + "-");
}

} // namespace Zentavo::Testing
