// SDL as Debian builds it (linked with ABONIX_SYSTEM_SDL) connects to the D-Bus session bus as it
// starts (for input methods and the screen saver). When the environment names no session bus, libdbus then
// forks the program to run `dbus-launch --autolaunch`, which finds or starts
// a bus for the X display: a copy of the whole process, whose pages every
// thread then writes through copy-on-write faults, and a daemon left behind,
// for services that have no bus to be on.
//
// While this object lives and no bus was named (or an empty one), DBUS_SESSION_BUS_ADDRESS
// names an address libdbus refuses at once ("disabled:"), so SDL goes on
// without D-Bus; destruction takes the variable back, and programs started
// later (the browser) get the user's environment unchanged. A named bus is
// left alone.
//
// The environment is changed: make and drop the object while no other thread runs.
#pragma once

namespace ui {

class NoBusAutolaunch {
public:
    NoBusAutolaunch();
    ~NoBusAutolaunch();
    NoBusAutolaunch(const NoBusAutolaunch&) = delete;
    NoBusAutolaunch& operator=(const NoBusAutolaunch&) = delete;

    // Whether the object set the variable.
    bool active() const { return m_set; }

private:
    bool m_set = false;
    bool m_was_empty = false;  // set, but to nothing
};

}  // namespace ui
