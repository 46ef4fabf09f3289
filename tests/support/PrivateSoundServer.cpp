#include "PrivateSoundServer.h"

#include "TemporaryHome.h"

#include <pulse/error.h>
#include <pulse/simple.h>
#include <pulse/timeval.h>

#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace Zentavo::Testing {

namespace {

constexpr auto StartTimeout = std::chrono::seconds(10);
constexpr unsigned PieceMilliseconds = 10;

std::string FindProgram(const std::string& Name)
{
    const char* Path = std::getenv("PATH");
    std::stringstream Folders(Path != nullptr ? Path : "/usr/bin:/bin");
    std::string Folder;
    while (std::getline(Folders, Folder, ':')) {
        const std::string Candidate = (Folder.empty() ? "." : Folder) + "/" + Name;
        if (access(Candidate.c_str(), X_OK) == 0)
            return Candidate;
    }
    return {};
}

pa_sample_spec SinkFormat()
{
    return {PA_SAMPLE_FLOAT32NE, TPrivateSoundServer::Rate, TPrivateSoundServer::Channels};
}

// Opens a recording of the sink's monitor; nullptr with Error set when the server does not answer.
pa_simple* OpenMonitor(const std::string& Address, int& Error)
{
    const pa_sample_spec Format = SinkFormat();
    pa_buffer_attr Attributes;
    Attributes.maxlength = static_cast<std::uint32_t>(-1);
    Attributes.tlength = static_cast<std::uint32_t>(-1);
    Attributes.prebuf = static_cast<std::uint32_t>(-1);
    Attributes.minreq = static_cast<std::uint32_t>(-1);
    Attributes.fragsize =
        static_cast<std::uint32_t>(pa_usec_to_bytes(PieceMilliseconds * PA_USEC_PER_MSEC, &Format));
    const std::string Monitor = std::string(TPrivateSoundServer::SinkName) + ".monitor";
    return pa_simple_new(Address.c_str(), "Zentavo test recorder", PA_STREAM_RECORD, Monitor.c_str(),
                         "Sink monitor", &Format, nullptr, &Attributes, &Error);
}

} // namespace

TPrivateSoundServer::TPrivateSoundServer()
{
    try {
        Start();
    } catch (const std::exception& Error) {
        FFailureReason = Error.what();
        StopServer();
    }
}

TPrivateSoundServer::~TPrivateSoundServer()
{
    StopServer();
}

void TPrivateSoundServer::Start()
{
    const std::string Program = FindProgram("pulseaudio");
    if (Program.empty()) {
        FFailureReason = "pulseaudio is not installed (package pulseaudio)";
        return;
    }
    FInstalled = true;

    if (TemporaryRoot().empty())
        throw std::runtime_error("the test main has not made the temporary home");
    FFolder = MakeScratchFolder("sound-server");
    for (const char* Name : {"home/.config", "run", "state"})
        std::filesystem::create_directories(FFolder + "/" + Name);
    std::filesystem::permissions(FFolder + "/run", std::filesystem::perms::owner_all);
    const std::string Socket = FFolder + "/native";
    FAddress = "unix:" + Socket;

    // The sink starts suspended so that it does not begin working ahead before
    // the listener is there; Resume wakes it through the command socket.
    const std::string Script = FFolder + "/start.pa";
    std::ofstream(Script) << "load-module module-null-sink sink_name=" << SinkName << " rate=" << Rate
                          << " channels=" << Channels << " format=float32le\n"
                          << "suspend-sink " << SinkName << " 1\n"
                          << "load-module module-cli-protocol-unix socket=" << FFolder << "/command\n"
                          << "load-module module-native-protocol-unix auth-anonymous=1 socket=" << Socket
                          << "\n";
    // Nothing of the real desktop: its own folders, no session bus, no X server,
    // no default script that would load the machine's sound cards.
    std::vector<std::string> Arguments = {
        Program,
        "-n",
        "-F",
        Script,
        "--daemonize=no",
        "--system=no",
        "--use-pid-file=no",
        "--exit-idle-time=-1",
        "--disallow-exit=yes",
        "--realtime=no",
        "--high-priority=no",
        "--log-target=stderr",
        "--log-level=info",
    };
    const char* Path = std::getenv("PATH");
    std::vector<std::string> Environment = {
        "PATH=" + std::string(Path != nullptr ? Path : "/usr/bin:/bin"),
        "HOME=" + FFolder + "/home",
        "XDG_CONFIG_HOME=" + FFolder + "/home/.config",
        "XDG_RUNTIME_DIR=" + FFolder + "/run",
        "PULSE_RUNTIME_PATH=" + FFolder + "/run",
        "PULSE_STATE_PATH=" + FFolder + "/state",
        "DBUS_SESSION_BUS_ADDRESS=unix:path=" + FFolder + "/no-bus",
        "DBUS_SYSTEM_BUS_ADDRESS=unix:path=" + FFolder + "/no-bus",
        "LC_ALL=C",
    };
    // Everything the child needs is made before fork: after it only async-signal-safe calls.
    std::vector<char*> ArgumentPointers;
    for (std::string& Argument : Arguments)
        ArgumentPointers.push_back(Argument.data());
    ArgumentPointers.push_back(nullptr);
    std::vector<char*> EnvironmentPointers;
    for (std::string& Variable : Environment)
        EnvironmentPointers.push_back(Variable.data());
    EnvironmentPointers.push_back(nullptr);
    const std::string LogName = FFolder + "/log";
    const pid_t Parent = getpid();

    FProcess = fork();
    if (FProcess < 0)
        throw std::runtime_error(std::string("cannot start pulseaudio: ") + std::strerror(errno));
    if (FProcess == 0) {
        // A crashed test must not leave a server behind.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != Parent)
            _exit(127);
        sigset_t Signals;
        sigemptyset(&Signals);
        sigprocmask(SIG_SETMASK, &Signals, nullptr);
        const int Input = open("/dev/null", O_RDONLY);
        const int Log = open(LogName.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (Input < 0 || Log < 0 || dup2(Input, 0) < 0 || dup2(Log, 1) < 0 || dup2(Log, 2) < 0)
            _exit(127);
        close_range(3, ~0U, 0);
        execve(ArgumentPointers[0], ArgumentPointers.data(), EnvironmentPointers.data());
        _exit(127);
    }

    const auto Deadline = TClock::now() + StartTimeout;
    for (;;) {
        int Status = 0;
        if (waitpid(FProcess, &Status, WNOHANG) == FProcess) {
            FProcess = -1;
            throw std::runtime_error("pulseaudio ended at start (status " + std::to_string(Status) + "):\n" +
                                     Log());
        }
        int Error = 0;
        FMonitor = OpenMonitor(FAddress, Error);
        if (FMonitor != nullptr)
            break;
        if (TClock::now() > Deadline)
            throw std::runtime_error("pulseaudio did not answer at " + FAddress + " (" + pa_strerror(Error) +
                                     "):\n" + Log());
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    FListening = true;
    FListener = std::thread([this] { Listen(); });
    Resume();
    std::unique_lock Lock(FLock);
    if (!FArrived.wait_until(Lock, Deadline, [this] { return FHeardAnything; }))
        throw std::runtime_error("the sink of pulseaudio does not run:\n" + Log());
    Lock.unlock();

    setenv("PULSE_SERVER", FAddress.c_str(), 1);
    FStarted = true;
}

void TPrivateSoundServer::Resume()
{
    const std::string Command = "suspend-sink " + std::string(SinkName) + " 0\n";
    sockaddr_un Address{};
    Address.sun_family = AF_UNIX;
    const std::string SocketName = FFolder + "/command";
    if (SocketName.size() >= sizeof Address.sun_path)
        throw std::runtime_error("the sound server's folder name is too long: " + FFolder);
    std::memcpy(Address.sun_path, SocketName.c_str(), SocketName.size() + 1);
    const int Socket = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const bool Sent = Socket >= 0 &&
                      connect(Socket, reinterpret_cast<const sockaddr*>(&Address), sizeof Address) == 0 &&
                      write(Socket, Command.data(), Command.size()) == static_cast<ssize_t>(Command.size());
    const int Error = errno;
    if (Socket >= 0)
        close(Socket);
    if (!Sent)
        throw std::runtime_error("cannot wake the sink of pulseaudio: " + std::string(std::strerror(Error)));
}

void TPrivateSoundServer::StopServer()
{
    // PULSE_SERVER keeps naming the dead socket: a client that comes late fails
    // at once instead of reaching the user's own server.
    FStarted = false;
    FListening = false;
    if (FListener.joinable())
        FListener.join();
    if (FMonitor != nullptr)
        pa_simple_free(FMonitor);
    FMonitor = nullptr;
    if (FProcess > 0) {
        kill(FProcess, SIGTERM);
        const auto Deadline = TClock::now() + std::chrono::seconds(3);
        while (waitpid(FProcess, nullptr, WNOHANG) == 0) {
            if (TClock::now() > Deadline) {
                kill(FProcess, SIGKILL);
                waitpid(FProcess, nullptr, 0);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        FProcess = -1;
    }
    if (!FFolder.empty() && std::getenv("ZENTAVO_KEEP_TEST_HOME") == nullptr) {
        std::error_code Ignored;
        std::filesystem::remove_all(FFolder, Ignored);
    }
    FFolder.clear();
}

std::string TPrivateSoundServer::Log() const
{
    std::ifstream File(FFolder + "/log");
    std::stringstream Text;
    Text << File.rdbuf();
    return Text.str();
}

void TPrivateSoundServer::Listen()
{
    const std::size_t PieceFrames = Rate * PieceMilliseconds / 1000;
    std::vector<float> Piece(PieceFrames * Channels);
    while (FListening) {
        int Error = 0;
        if (pa_simple_read(FMonitor, Piece.data(), Piece.size() * sizeof(float), &Error) < 0)
            break;
        const auto Arrival = TClock::now();
        {
            std::lock_guard Lock(FLock);
            FHeardAnything = true;
            if (FRecording)
                FRecorded.Append(Piece.data(), PieceFrames, Arrival);
        }
        FArrived.notify_all();
    }
}

void TPrivateSoundServer::StartRecording()
{
    if (!FStarted)
        throw std::logic_error("the sound server has not started: " + FFailureReason);
    std::lock_guard Lock(FLock);
    FRecorded = TSoundRecording(Rate, Channels, {});
    FRecording = true;
}

TSoundRecording TPrivateSoundServer::StopRecording()
{
    std::lock_guard Lock(FLock);
    FRecording = false;
    return std::move(FRecorded);
}

std::optional<TPrivateSoundServer::TClock::time_point>
TPrivateSoundServer::WaitForSound(float Threshold, std::chrono::milliseconds Timeout)
{
    std::unique_lock Lock(FLock);
    std::size_t Scanned = 0;
    std::optional<TClock::time_point> Result;
    FArrived.wait_for(Lock, Timeout, [&] {
        const std::vector<float>& Samples = FRecorded.Samples();
        for (; Scanned < Samples.size(); ++Scanned)
            if (std::fabs(Samples[Scanned]) > Threshold) {
                Result = FRecorded.ArrivalTime(1000.0 * static_cast<double>(Scanned / Channels) / Rate);
                return true;
            }
        return false;
    });
    return Result;
}

bool TPrivateSoundServer::WaitForSilence(float Threshold, std::chrono::milliseconds Quiet,
                                         std::chrono::milliseconds Timeout)
{
    std::unique_lock Lock(FLock);
    return FArrived.wait_for(Lock, Timeout, [&] {
        const std::vector<float>& Samples = FRecorded.Samples();
        const auto QuietSamples = static_cast<std::size_t>(Quiet.count()) * Rate / 1000 * Channels;
        if (Samples.size() < QuietSamples)
            return false;
        for (std::size_t Index = Samples.size() - QuietSamples; Index < Samples.size(); ++Index)
            if (std::fabs(Samples[Index]) > Threshold)
                return false;
        return true;
    });
}

} // namespace Zentavo::Testing
