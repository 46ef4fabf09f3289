#pragma once

#include <QString>

#include <exception>
#include <functional>

// The application's general error report: a modal error box titled with the
// application title. Every handler, timer callback and start-up step ends
// here when it fails; the program keeps running.
void ShowErrorBox(const QString& Text);
// A message that is no error (no icon), through the same handler in tests.
void ShowMessageBox(const QString& Text);
void ReportException(const std::exception& Error);
void ReportUnknownException();

// Runs Action, sending any exception it throws to the error report instead
// of letting it cross the event loop. True when Action completed.
bool RunGuarded(const std::function<void()>& Action);

// Once the program is being ended by the system nobody may be there to
// confirm a box: from then on reports go to standard error.
void SetReportToStandardError(bool Value);
bool ReportsToStandardError();

// Tests replace the modal box with a recorder; an empty function restores it.
void SetErrorBoxHandler(std::function<void(const QString&)> Handler);
