#include "FakeNotificationServer.h"

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

namespace {

std::vector<std::string> Fields(const std::string& Line)
{
    std::vector<std::string> Result(1);
    for (std::size_t Index = 0; Index < Line.size(); ++Index) {
        const char Character = Line[Index];
        if (Character == '\t') {
            Result.emplace_back();
        } else if (Character == '\\' && Index + 1 < Line.size()) {
            const char Next = Line[++Index];
            Result.back() += Next == 't' ? '\t' : Next == 'n' ? '\n' : Next;
        } else {
            Result.back() += Character;
        }
    }
    return Result;
}

std::vector<std::string> Split(const std::string& Text, char Separator)
{
    std::vector<std::string> Parts;
    if (Text.empty())
        return Parts;
    std::size_t Start = 0;
    for (std::size_t End; (End = Text.find(Separator, Start)) != std::string::npos; Start = End + 1)
        Parts.push_back(Text.substr(Start, End - Start));
    Parts.push_back(Text.substr(Start));
    return Parts;
}

} // namespace

TFakeNotificationServer::TFakeNotificationServer()
{
    std::string Template = (std::filesystem::temp_directory_path() / "zentavo-notices-XXXXXX").string();
    if (!::mkdtemp(Template.data())) {
        FFailureReason = "no temporary folder for the fake notification server";
        return;
    }
    FFolder = Template;
    FRecordFile = FFolder + "/notices";
    std::ofstream(FRecordFile).flush();

    std::vector<std::string> Words = {"/usr/bin/python3", ZENTAVO_FAKE_NOTIFICATIONS, "--record",
                                      FRecordFile};
    std::vector<char*> Arguments;
    for (std::string& Word : Words)
        Arguments.push_back(Word.data());
    Arguments.push_back(nullptr);

    int Output[2];
    int Input[2];
    if (::pipe(Output) != 0 || ::pipe(Input) != 0) {
        FFailureReason = "no pipes for the fake notification server";
        return;
    }
    FProcess = ::fork();
    if (FProcess == 0) {
        ::dup2(Output[1], 1);
        ::dup2(Input[0], 0);
        ::close(Output[0]);
        ::close(Output[1]);
        ::close(Input[0]);
        ::close(Input[1]);
        ::execv(Arguments[0], Arguments.data());
        ::_exit(127);
    }
    ::close(Output[1]);
    ::close(Input[0]);
    FCommands = Input[1];
    ::fcntl(FCommands, F_SETFD, FD_CLOEXEC);
    if (FProcess < 0) {
        ::close(Output[0]);
        FFailureReason = "cannot start python3 for the fake notification server";
        return;
    }
    const bool Ready = WaitForReadyLine(Output[0]);
    ::close(Output[0]);
    if (!Ready) {
        FFailureReason = "the fake notification server did not start (python3-dbus and python3-gi "
                         "installed? a bus running?)";
        return;
    }
    FStarted = true;
}

TFakeNotificationServer::~TFakeNotificationServer()
{
    if (FCommands >= 0)
        ::close(FCommands);
    if (FProcess > 0) {
        ::kill(FProcess, SIGTERM);
        ::waitpid(FProcess, nullptr, 0);
    }
    if (!FFolder.empty()) {
        std::error_code Ignored;
        std::filesystem::remove_all(FFolder, Ignored);
    }
}

std::vector<std::vector<std::string>> TFakeNotificationServer::Records() const
{
    std::vector<std::vector<std::string>> Result;
    std::ifstream File(FRecordFile);
    for (std::string Line; std::getline(File, Line);)
        if (!Line.empty())
            Result.push_back(Fields(Line));
    return Result;
}

std::vector<TFakeNotificationServer::TNotice> TFakeNotificationServer::Notices() const
{
    std::vector<TNotice> Result;
    for (const std::vector<std::string>& Record : Records()) {
        if (Record.size() != 10 || Record[0] != "Notify")
            continue;
        TNotice Notice;
        Notice.Id = static_cast<unsigned>(std::stoul(Record[1]));
        Notice.AppName = Record[2];
        Notice.ReplacesId = static_cast<unsigned>(std::stoul(Record[3]));
        Notice.Icon = Record[4];
        Notice.Summary = Record[5];
        Notice.Body = Record[6];
        Notice.Actions = Split(Record[7], '|');
        Notice.Urgency = std::stoi(Record[8]);
        Notice.ExpireTimeout = std::stoi(Record[9]);
        Result.push_back(std::move(Notice));
    }
    return Result;
}

std::vector<unsigned> TFakeNotificationServer::Closed() const
{
    std::vector<unsigned> Result;
    for (const std::vector<std::string>& Record : Records())
        if (Record.size() == 2 && Record[0] == "CloseNotification")
            Result.push_back(static_cast<unsigned>(std::stoul(Record[1])));
    return Result;
}

void TFakeNotificationServer::InvokeAction(unsigned Id, const std::string& Key)
{
    Command("invoke " + std::to_string(Id) + " " + Key + "\n");
}

void TFakeNotificationServer::Dismiss(unsigned Id)
{
    Command("dismiss " + std::to_string(Id) + "\n");
}

void TFakeNotificationServer::Command(const std::string& Line)
{
    if (FCommands < 0)
        return;
    // One short line: a pipe writes it whole.
    [[maybe_unused]] const ssize_t Written = ::write(FCommands, Line.data(), Line.size());
}

} // namespace Zentavo::Testing
