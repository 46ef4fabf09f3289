#pragma once

#include <functional>

class Twatch;

// The program: the application, the window on the desktop, the event loop.
// Created is called with the window once it has been made and shown, before
// the first event is handled (the benchmarks' floor empties the scene there).
int RunClock(int ArgumentCount, char** Arguments, const std::function<void(Twatch&)>& Created = {});
