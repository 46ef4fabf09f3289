#pragma once

#include "PopupRequest.h"

#include <QObject>
#include <QProcess>

#include <map>

// The running popup program, seen from popup.so in the clock. Every window
// goes to the one program while it runs, through its input; it is started
// as a child of the clock's window thread, dies with the clock (its input
// closes, and the kernel's parent-death signal), and is reaped here. While
// it runs it holds popup.so loaded.
class TPopupProgram : public QObject
{
public:
    // Hands Request to the running program, or starts Program for it. False
    // when the program could not be started: the caller opens the link itself.
    static bool Show(const QString& Program, const TPopupRequest& Request);

private:
    explicit TPopupProgram(const QString& Program);
    ~TPopupProgram() override;

    bool Start();
    void Send(const TPopupRequest& Request);
    void ReadAnswers();
    void Ended(int ExitCode, QProcess::ExitStatus Status);

    QString FProgram;
    QProcess* FProcess = nullptr;
    std::map<int, TPopupRequest> FUnanswered;
    bool FResent = false; // the unanswered requests already went to a second program
    bool FEnding = false;
};
