#include "PopupProgram.h"

#include "DesktopBrowser.h"
#include "LibraryHold.h"

#include <QGuiApplication>

#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

TPopupProgram* Running = nullptr;
int LastNumber = 0;

} // namespace

TPopupProgram::TPopupProgram(const QString& Program) : FProgram(Program)
{
    TLibraryHold::Acquire();
}

TPopupProgram::~TPopupProgram()
{
    if (Running == this)
        Running = nullptr;
    if (FProcess != nullptr) {
        FProcess->disconnect(this);
        delete FProcess;
    }
    TLibraryHold::Release();
}

bool TPopupProgram::Show(const QString& Program, const TPopupRequest& Request)
{
    TPopupRequest Numbered = Request;
    Numbered.Number = ++LastNumber;
    if (Running == nullptr || Running->FEnding) {
        auto* Started = new TPopupProgram(Program);
        if (!Started->Start()) {
            delete Started;
            return false;
        }
        Running = Started;
    }
    Running->Send(Numbered);
    return true;
}

bool TPopupProgram::Start()
{
    // Called from the ended program's own signal: it goes later.
    if (FProcess != nullptr) {
        FProcess->disconnect(this);
        FProcess->deleteLater();
    }
    FProcess = new QProcess(this);
    FProcess->setProgram(FProgram);
    FProcess->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // The clock's own display platform: under XWayland the windows must be X windows, placed as asked.
    QProcessEnvironment Environment = QProcessEnvironment::systemEnvironment();
    Environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QGuiApplication::platformName());
    FProcess->setProcessEnvironment(Environment);
    const pid_t Clock = ::getpid();
    // In the child before the program runs: it must not outlive the thread that started it.
    FProcess->setChildProcessModifier([Clock] {
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != Clock)
            ::_exit(127);
    });
    connect(FProcess, &QProcess::readyReadStandardOutput, this, [this] { ReadAnswers(); });
    connect(FProcess, &QProcess::finished, this,
            [this](int Code, QProcess::ExitStatus Status) { Ended(Code, Status); });
    FProcess->start(QIODevice::ReadWrite);
    return FProcess->waitForStarted(5000);
}

void TPopupProgram::Send(const TPopupRequest& Request)
{
    FUnanswered[Request.Number] = Request;
    FProcess->write(Request.ToLine());
}

void TPopupProgram::ReadAnswers()
{
    while (FProcess->canReadLine()) {
        const QList<QByteArray> Fields = FProcess->readLine().trimmed().split(' ');
        if (Fields.size() == 2 && (Fields[0] == "shown" || Fields[0] == "outside")) {
            FUnanswered.erase(Fields[1].toInt());
            FResent = false;
        }
    }
}

void TPopupProgram::Ended(int ExitCode, QProcess::ExitStatus Status)
{
    ReadAnswers();
    std::map<int, TPopupRequest> Unanswered;
    Unanswered.swap(FUnanswered);
    // A program that ended with its last window while a new one was on its way leaves that
    // one to a new program; one that failed leaves its links to the desktop's browser.
    const bool Clean = Status == QProcess::NormalExit && ExitCode == 0;
    if (Clean && !Unanswered.empty() && !FResent && Start()) {
        FResent = true;
        for (const auto& [Number, Request] : Unanswered)
            Send(Request);
        return;
    }
    for (const auto& [Number, Request] : Unanswered)
        OpenInDesktopBrowser(Request.Link);
    FEnding = true;
    if (Running == this)
        Running = nullptr;
    deleteLater();
}
