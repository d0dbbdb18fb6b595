#include "XSession.h"

#include "platform/gfx/Png.h"
#include "platform/gfx/TBitmap.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstring>
#include <stdexcept>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace e2e {

namespace {

using Clock = std::chrono::steady_clock;

int remaining_ms(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

std::vector<std::string> make_env(const std::vector<std::string>& changes) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) env.emplace_back(*e);
    for (const std::string& change : changes) {
        const std::string name = change.substr(0, change.find('='));
        std::erase_if(env, [&](const std::string& v) { return v.compare(0, name.size() + 1, name + "=") == 0; });
        if (change.find('=') != std::string::npos) env.push_back(change);
    }
    return env;
}

std::vector<char*> c_strings(std::vector<std::string>& v) {
    std::vector<char*> out;
    for (std::string& s : v) out.push_back(s.data());
    out.push_back(nullptr);
    return out;
}

// Starts argv; stdout and stderr go to out_fd when given (else /dev/null),
// extra_fd is passed on as descriptor 3.
pid_t spawn(std::vector<std::string> argv, const std::vector<std::string>& env_changes, int out_fd, int extra_fd) {
    std::vector<std::string> env = make_env(env_changes);
    auto args = c_strings(argv);
    auto envp = c_strings(env);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (out_fd >= 0) {
        posix_spawn_file_actions_adddup2(&actions, out_fd, 1);
        posix_spawn_file_actions_adddup2(&actions, out_fd, 2);
    } else {
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    }
    if (extra_fd >= 0) posix_spawn_file_actions_adddup2(&actions, extra_fd, 3);
    pid_t pid = -1;
    const int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : -1;
}

int decode_status(int status) {
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
}

std::optional<int> wait_pid(pid_t pid, int timeout_ms) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
    for (;;) {
        int status = 0;
        const pid_t r = waitpid(pid, &status, WNOHANG);
        if (r == pid) return decode_status(status);
        if (r < 0) return -1;
        if (remaining_ms(deadline) == 0) return std::nullopt;
        // Polling an outside process: there is no descriptor to wait on.
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

void kill_and_reap(pid_t pid) {
    if (pid <= 0) return;
    ::kill(pid, SIGTERM);
    if (!wait_pid(pid, 2000)) {
        ::kill(pid, SIGKILL);
        wait_pid(pid, 2000);
    }
}

}  // namespace

// ---- Child --------------------------------------------------------------------------

Child::Child(const std::vector<std::string>& argv, const std::vector<std::string>& env_changes) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    m_pid = spawn(argv, env_changes, fds[1], -1);
    close(fds[1]);
    m_out = fds[0];
    if (m_pid < 0) {
        close(m_out);
        throw std::runtime_error("cannot start " + argv.front());
    }
}

Child::~Child() {
    kill();
    if (m_out >= 0) close(m_out);
}

void Child::kill() {
    if (m_pid > 0 && !m_status) {
        kill_and_reap(m_pid);
        m_status = -1;
    }
}

void Child::read_available(int timeout_ms) {
    pollfd p{m_out, POLLIN, 0};
    if (poll(&p, 1, timeout_ms) <= 0) return;
    char buf[4096];
    const ssize_t n = read(m_out, buf, sizeof buf);
    if (n > 0) m_output.append(buf, static_cast<std::size_t>(n));
}

std::optional<std::string> Child::wait_for_line(const std::string& prefix, int timeout_ms) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
    for (;;) {
        std::size_t eol;
        while ((eol = m_output.find('\n', m_consumed)) != std::string::npos) {
            std::string line = m_output.substr(m_consumed, eol - m_consumed);
            m_consumed = eol + 1;
            if (line.compare(0, prefix.size(), prefix) == 0) return line;
        }
        const int left = remaining_ms(deadline);
        if (left == 0) return std::nullopt;
        read_available(std::min(left, 100));
    }
}

std::optional<int> Child::wait_exit(int timeout_ms) {
    if (m_status) return m_status;
    m_status = wait_pid(m_pid, timeout_ms);
    // Keep its last words (an error message) for the test's report.
    if (m_status) {
        for (std::size_t before = std::string::npos; before != m_output.size();) {
            before = m_output.size();
            read_available(0);
        }
    }
    return m_status;
}

std::optional<int> run(const std::vector<std::string>& argv, const std::vector<std::string>& env_changes,
                       int timeout_ms) {
    const pid_t pid = spawn(argv, env_changes, -1, -1);
    if (pid < 0) return -1;
    auto status = wait_pid(pid, timeout_ms);
    if (!status) kill_and_reap(pid);
    return status;
}

// ---- Xvfb ---------------------------------------------------------------------------------

Xvfb::Xvfb(int width, int height) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    // -displayfd: the server picks a free display number itself and writes it
    // to descriptor 3 once it accepts connections.
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    m_pid = spawn({"Xvfb", "-displayfd", "3", "-screen", "0", screen, "-nolisten", "tcp", "-noreset"}, {}, -1, fds[1]);
    close(fds[1]);
    if (m_pid < 0) {
        close(fds[0]);
        throw std::runtime_error("cannot start Xvfb");
    }
    std::string number;
    const auto deadline = Clock::now() + std::chrono::seconds(20);
    while (number.find('\n') == std::string::npos) {
        pollfd p{fds[0], POLLIN, 0};
        const int left = remaining_ms(deadline);
        if (left == 0 || poll(&p, 1, left) <= 0) break;
        char buf[32];
        const ssize_t n = read(fds[0], buf, sizeof buf);
        if (n <= 0) break;
        number.append(buf, static_cast<std::size_t>(n));
    }
    close(fds[0]);
    if (number.find('\n') == std::string::npos) {
        kill_and_reap(m_pid);
        throw std::runtime_error("Xvfb did not become ready");
    }
    m_display.push_back(':');
    m_display += std::to_string(std::stoi(number));
}

Xvfb::~Xvfb() { kill_and_reap(m_pid); }

Xvfb::Shot Xvfb::screenshot() const {
    Shot shot;
    Display* d = XOpenDisplay(m_display.c_str());
    if (!d) return shot;
    const Window root = DefaultRootWindow(d);
    XWindowAttributes attrs;
    XGetWindowAttributes(d, root, &attrs);
    XImage* image = XGetImage(d, root, 0, 0, static_cast<unsigned>(attrs.width), static_cast<unsigned>(attrs.height),
                              AllPlanes, ZPixmap);
    if (image) {
        shot.width = attrs.width;
        shot.height = attrs.height;
        shot.pixels.resize(static_cast<std::size_t>(shot.width) * shot.height);
        for (int y = 0; y < shot.height; ++y)
            for (int x = 0; x < shot.width; ++x)
                shot.pixels[static_cast<std::size_t>(y) * shot.width + x] =
                    static_cast<std::uint32_t>(XGetPixel(image, x, y) & 0xFFFFFF);
        XDestroyImage(image);
    }
    XCloseDisplay(d);
    return shot;
}

void Xvfb::save_png(const Shot& shot, const std::string& path) {
    TBitmap bitmap(shot.width, shot.height);
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x) bitmap.set_pixel(x, y, 0xFF000000u | shot.at(x, y));
    gfx::save_png(bitmap, path);
}

// ---- XClient ------------------------------------------------------------------------------

namespace {

// The program's windows come and go while a test looks at them: a request about
// one that has just been destroyed fails with BadWindow, which Xlib's default
// handler turns into the end of the test process. Such a window simply counts
// as not there.
int ignore_x_error(Display*, XErrorEvent*) { return 0; }

}  // namespace

XClient::XClient(const Xvfb& x) : m_display(XOpenDisplay(x.display().c_str())) {
    if (!m_display) throw std::runtime_error("cannot connect to " + x.display());
    XSetErrorHandler(ignore_x_error);
    XSelectInput(m_display, DefaultRootWindow(m_display), SubstructureNotifyMask | PropertyChangeMask);
}

XClient::~XClient() { XCloseDisplay(m_display); }

namespace {

// The window's title as the program set it (_NET_WM_NAME, UTF-8).
std::string window_name(Display* d, Window w) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::string name;
    if (XGetWindowProperty(d, w, XInternAtom(d, "_NET_WM_NAME", False), 0, 1024, False,
                           XInternAtom(d, "UTF8_STRING", False), &type, &format, &count, &after, &data) == Success &&
        data) {
        name.assign(reinterpret_cast<const char*>(data), count);
        XFree(data);
    }
    return name;
}

}  // namespace

unsigned long XClient::find_window(const std::string& title) { return find_window_in(DefaultRootWindow(m_display), title, 2); }

unsigned long XClient::find_window_in(unsigned long parent_window, const std::string& title, int depth) {
    Window root_return, parent;
    Window* children = nullptr;
    unsigned count = 0;
    Window found = 0;
    if (XQueryTree(m_display, parent_window, &root_return, &parent, &children, &count)) {
        for (unsigned i = 0; i < count && !found; ++i)
            if (is_viewable(children[i]) && window_name(m_display, children[i]) == title) found = children[i];
        // A window manager puts each top-level window into a frame of its own.
        for (unsigned i = 0; i < count && !found && depth > 1; ++i)
            if (is_viewable(children[i])) found = find_window_in(children[i], title, depth - 1);
        if (children) XFree(children);
    }
    return found;
}

unsigned long XClient::wait_for_window(const std::string& title, int timeout_ms) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
    for (;;) {
        if (const unsigned long w = find_window(title)) return w;
        const int left = remaining_ms(deadline);
        if (left == 0) return 0;
        // Sleep until the server reports a change of the window tree.
        pollfd p{ConnectionNumber(m_display), POLLIN, 0};
        if (XPending(m_display) == 0) ::poll(&p, 1, left);
        while (XPending(m_display) > 0) {
            XEvent e;
            XNextEvent(m_display, &e);
        }
    }
}

std::string XClient::window_type(unsigned long window) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::string name;
    if (XGetWindowProperty(m_display, window, XInternAtom(m_display, "_NET_WM_WINDOW_TYPE", False), 0, 1, False,
                           XA_ATOM, &type, &format, &count, &after, &data) == Success &&
        data) {
        if (count == 1) {
            char* atom_name = XGetAtomName(m_display, *reinterpret_cast<const Atom*>(data));
            name = atom_name;
            XFree(atom_name);
        }
        XFree(data);
    }
    return name;
}

std::vector<unsigned long> XClient::transients_of(unsigned long owner) {
    std::vector<unsigned long> found;
    add_transients_in(DefaultRootWindow(m_display), owner, 2, found);
    return found;
}

void XClient::add_transients_in(unsigned long parent_window, unsigned long owner, int depth,
                                std::vector<unsigned long>& found) {
    Window root_return, parent;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(m_display, parent_window, &root_return, &parent, &children, &count)) return;
    for (unsigned i = 0; i < count; ++i) {
        if (!is_viewable(children[i])) continue;
        Window transient_for = 0;
        if (XGetTransientForHint(m_display, children[i], &transient_for) && transient_for == owner)
            found.push_back(children[i]);
        else if (depth > 1)
            add_transients_in(children[i], owner, depth - 1, found);
    }
    if (children) XFree(children);
}

bool XClient::is_viewable(unsigned long window) {
    XWindowAttributes a;
    return XGetWindowAttributes(m_display, window, &a) && a.map_state == IsViewable;
}

void XClient::close_window(unsigned long window) {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = window;
    e.xclient.message_type = XInternAtom(m_display, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = static_cast<long>(XInternAtom(m_display, "WM_DELETE_WINDOW", False));
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(m_display, window, False, NoEventMask, &e);
    XFlush(m_display);
}

int xdotool(const Xvfb& x, std::vector<std::string> args) {
    args.insert(args.begin(), "xdotool");
    return run(args, {x.env()}, 20000).value_or(-1);
}

bool eventually(const std::function<bool()>& holds, int timeout_ms) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
    while (!holds()) {
        if (Clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

std::string leak_rules() {
    return "LSAN_OPTIONS=print_suppressions=0:suppressions=" ABONIX_SOURCE_DIR "/tests/e2e/lsan.supp";
}

}  // namespace e2e
