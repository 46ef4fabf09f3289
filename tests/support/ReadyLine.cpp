#include "ReadyLine.h"

#include <poll.h>
#include <string>
#include <unistd.h>

namespace Zentavo::Testing {

bool WaitForReadyLine(int File, std::chrono::milliseconds Limit)
{
    std::string Text;
    const auto Deadline = std::chrono::steady_clock::now() + Limit;
    while (Text.find("ready\n") == std::string::npos && std::chrono::steady_clock::now() < Deadline) {
        pollfd Poll{File, POLLIN, 0};
        if (::poll(&Poll, 1, 50) <= 0)
            continue;
        char Buffer[256];
        const ssize_t Count = ::read(File, Buffer, sizeof Buffer);
        if (Count <= 0)
            break;
        Text.append(Buffer, static_cast<std::size_t>(Count));
    }
    return Text.find("ready\n") != std::string::npos;
}

} // namespace Zentavo::Testing
