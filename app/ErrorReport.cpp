#include "ErrorReport.h"

#include "ZentavoApplication.h"

#include <QCoreApplication>
#include <QMessageBox>

#include <atomic>
#include <cstdio>

namespace {
std::atomic<bool> ToStandardError = false;

std::function<void(const QString&)>& ErrorBoxHandler()
{
    static std::function<void(const QString&)> Handler;
    return Handler;
}
} // namespace

void SetErrorBoxHandler(std::function<void(const QString&)> Handler)
{
    ErrorBoxHandler() = std::move(Handler);
}

void SetReportToStandardError(bool Value)
{
    ToStandardError = Value;
}

bool ReportsToStandardError()
{
    return ToStandardError;
}

namespace {
void ShowBox(QMessageBox::Icon Icon, const QString& Text)
{
    if (ToStandardError) {
        std::fprintf(stderr, "zentavo-3d: %s\n", Text.toLocal8Bit().constData());
        return;
    }
    if (ErrorBoxHandler()) {
        ErrorBoxHandler()(Text);
        return;
    }
    QMessageBox Box(Icon, TZentavoApplication::Title(), Text, QMessageBox::Ok);
    Box.exec();
}
} // namespace

void ShowErrorBox(const QString& Text)
{
    ShowBox(QMessageBox::Critical, Text);
}

void ShowMessageBox(const QString& Text)
{
    ShowBox(QMessageBox::NoIcon, Text);
}

void ReportException(const std::exception& Error)
{
    ShowErrorBox(QString::fromUtf8(Error.what()));
}

void ReportUnknownException()
{
    ShowErrorBox(QCoreApplication::translate("ErrorReport", "Erro desconhecido."));
}

bool RunGuarded(const std::function<void()>& Action)
{
    try {
        Action();
        return true;
    } catch (const std::exception& Error) {
        ReportException(Error);
    } catch (...) {
        ReportUnknownException();
    }
    return false;
}
