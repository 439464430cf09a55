#pragma once

// Where a host finds the control library. The installed CMake package compiles the folder it
// installed the library in into every program that links Kivaro::Host; a program built inside
// this project has the library beside itself instead.

#include <QString>

namespace kivaro {

// The folder to hand to platform::ControlHost::CreateControl; empty means the program's own.
inline QString ControlFolder() {
#ifdef KIVARO_CONTROL_DIR
    return QString::fromUtf8(KIVARO_CONTROL_DIR);
#else
    return {};
#endif
}

} // namespace kivaro
