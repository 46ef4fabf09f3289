#include "LinuxSound.h"

#include <QApplication>

namespace Platform {

void TLinuxSound::Beep()
{
    if (qApp != nullptr) // without an application there is no desktop to ring
        QApplication::beep();
}

} // namespace Platform
