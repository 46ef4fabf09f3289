#include "FakeBusServices.h"

#include "ReadyLine.h"

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

TFakeBusServices::TFakeBusServices(const TOptions& Options)
{
    std::string Template = (std::filesystem::temp_directory_path() / "zentavo-fakes-XXXXXX").string();
    if (!::mkdtemp(Template.data())) {
        FFailureReason = "no temporary folder for the fake services";
        return;
    }
    FFolder = Template;
    FRecordFile = FFolder + "/calls";
    std::ofstream(FRecordFile).flush();

    std::vector<std::string> Words = {"/usr/bin/python3", ZENTAVO_FAKE_BUS_SERVICES, "--record", FRecordFile};
    if (Options.Logind)
        Words.insert(Words.end(), {"--logind", *Options.Logind});
    if (Options.TimedatedNtp)
        Words.insert(Words.end(), {"--timedated", std::string(*Options.TimedatedNtp ? "1" : "0") + "," +
                                                      (Options.TimedatedSynchronised ? "1" : "0") + "," +
                                                      (Options.TimedatedAsksUser ? "1" : "0")});
    if (Options.NetworkState)
        Words.insert(Words.end(), {"--networkmanager", std::to_string(*Options.NetworkState) + "," +
                                                           std::to_string(Options.NetworkConnectivity)});
    if (Options.Session)
        Words.insert(Words.end(), {"--session", *Options.Session, "--session-can-shutdown",
                                   Options.SessionCanShutdown ? "yes" : "no"});
    std::vector<char*> Arguments;
    for (std::string& Word : Words)
        Arguments.push_back(Word.data());
    Arguments.push_back(nullptr);

    int Pipe[2];
    if (::pipe(Pipe) != 0) {
        FFailureReason = "no pipe for the fake services";
        return;
    }
    FProcess = ::fork();
    if (FProcess == 0) {
        ::dup2(Pipe[1], 1);
        ::close(Pipe[0]);
        ::close(Pipe[1]);
        ::execv(Arguments[0], Arguments.data());
        ::_exit(127);
    }
    ::close(Pipe[1]);
    if (FProcess < 0) {
        ::close(Pipe[0]);
        FFailureReason = "cannot start python3 for the fake services";
        return;
    }
    const bool Ready = WaitForReadyLine(Pipe[0]);
    ::close(Pipe[0]);
    if (!Ready) {
        FFailureReason =
            "the fake services did not start (python3-dbus and python3-gi installed? a bus running?)";
        return;
    }
    FStarted = true;
}

TFakeBusServices::~TFakeBusServices()
{
    if (FProcess > 0) {
        ::kill(FProcess, SIGTERM);
        ::waitpid(FProcess, nullptr, 0);
    }
    if (!FFolder.empty()) {
        std::error_code Ignored;
        std::filesystem::remove_all(FFolder, Ignored);
    }
}

std::vector<std::string> TFakeBusServices::Calls() const
{
    std::vector<std::string> Lines;
    std::ifstream File(FRecordFile);
    for (std::string Line; std::getline(File, Line);)
        if (!Line.empty())
            Lines.push_back(Line);
    return Lines;
}

std::vector<std::string> TFakeBusServices::CallsOf(const std::string& Prefix) const
{
    std::vector<std::string> Lines;
    for (std::string& Line : Calls())
        if (Line.compare(0, Prefix.size(), Prefix) == 0)
            Lines.push_back(std::move(Line));
    return Lines;
}

} // namespace Zentavo::Testing
