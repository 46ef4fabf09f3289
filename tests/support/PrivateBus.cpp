#include "PrivateBus.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace Zentavo::Testing {

namespace {

const char* const DaemonPrograms[] = {"/usr/bin/dbus-daemon", "/bin/dbus-daemon"};

} // namespace

TPrivateBus::TPrivateBus()
{
    std::string Program;
    for (const char* Candidate : DaemonPrograms)
        if (::access(Candidate, X_OK) == 0) {
            Program = Candidate;
            break;
        }
    if (Program.empty()) {
        FFailureReason = "dbus-daemon is not installed";
        return;
    }
    FInstalled = true;

    std::string Template = (std::filesystem::temp_directory_path() / "zentavo-bus-XXXXXX").string();
    if (!::mkdtemp(Template.data())) {
        FFailureReason = "no temporary folder for the bus";
        return;
    }
    FFolder = Template;
    const std::string Configuration = FFolder + "/bus.conf";
    {
        std::ofstream File(Configuration);
        // Everyone may own and call anything: the bus is the test's alone.
        File << "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                "<busconfig>\n"
                "  <type>session</type>\n"
                "  <listen>unix:path="
             << FFolder
             << "/bus</listen>\n"
                "  <auth>EXTERNAL</auth>\n"
                "  <policy context=\"default\">\n"
                "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                "    <allow eavesdrop=\"true\"/>\n"
                "    <allow own=\"*\"/>\n"
                "  </policy>\n"
                "</busconfig>\n";
    }

    int Pipe[2];
    if (::pipe(Pipe) != 0) {
        FFailureReason = "no pipe for the bus address";
        return;
    }
    const std::string LogFile = FFolder + "/daemon.log";
    const std::string ConfigArgument = "--config-file=" + Configuration;
    const std::string AddressArgument = "--print-address=" + std::to_string(Pipe[1]);
    const char* Arguments[] = {Program.c_str(), ConfigArgument.c_str(), "--nofork", AddressArgument.c_str(),
                               nullptr};
    FProcess = ::fork();
    if (FProcess == 0) {
        ::close(Pipe[0]);
        const int Null = ::open("/dev/null", O_RDWR);
        ::dup2(Null, 0);
        // Its complaints (an fd limit it may not raise, ...) are not the test's.
        const int Log = ::open(LogFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(Log, 2);
        ::execv(Arguments[0], const_cast<char* const*>(Arguments));
        ::_exit(127);
    }
    ::close(Pipe[1]);
    if (FProcess < 0) {
        ::close(Pipe[0]);
        FFailureReason = "cannot start dbus-daemon";
        return;
    }

    // The daemon prints its address once it listens.
    std::string Line;
    const auto Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (Line.find('\n') == std::string::npos && std::chrono::steady_clock::now() < Deadline) {
        pollfd Poll{Pipe[0], POLLIN, 0};
        if (::poll(&Poll, 1, 50) <= 0)
            continue;
        char Buffer[512];
        const ssize_t Count = ::read(Pipe[0], Buffer, sizeof Buffer);
        if (Count <= 0)
            break;
        Line.append(Buffer, static_cast<std::size_t>(Count));
    }
    ::close(Pipe[0]);
    if (Line.find('\n') == std::string::npos) {
        FFailureReason = "dbus-daemon did not start";
        return;
    }
    FAddress = Line.substr(0, Line.find('\n'));
    ::setenv("DBUS_SYSTEM_BUS_ADDRESS", FAddress.c_str(), 1);
    ::setenv("DBUS_SESSION_BUS_ADDRESS", FAddress.c_str(), 1);
    FStarted = true;
}

TPrivateBus::~TPrivateBus()
{
    if (FProcess > 0) {
        ::kill(FProcess, SIGTERM);
        ::waitpid(FProcess, nullptr, 0);
    }
    if (!FFolder.empty()) {
        const std::string Gone = "unix:path=" + FFolder + "/bus";
        ::setenv("DBUS_SYSTEM_BUS_ADDRESS", Gone.c_str(), 1);
        ::setenv("DBUS_SESSION_BUS_ADDRESS", Gone.c_str(), 1);
        std::error_code Ignored;
        std::filesystem::remove_all(FFolder, Ignored);
    }
}

} // namespace Zentavo::Testing
