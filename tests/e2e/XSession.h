// The end-to-end harness: a private X server (Xvfb) for one test, programs
// started on it without a shell, xdotool to type and click, and the screen
// read back. Every wait is a poll with a bound, and whatever was started is
// killed when its owner goes away, also when a test fails half-way.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <sys/types.h>

// Xlib's own, kept out of the tests that include this header (its macros
// clash with GoogleTest's names).
typedef struct _XDisplay Display;

namespace e2e {

// A started program with its standard output (and error) readable line by line.
class Child {
public:
    // env_changes: "NAME=value" sets, "NAME" alone removes.
    Child(const std::vector<std::string>& argv, const std::vector<std::string>& env_changes);
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    // Reads output until a line starting with prefix arrives; returns that line.
    std::optional<std::string> wait_for_line(const std::string& prefix, int timeout_ms);
    // The exit status, or nullopt when it is still running after the timeout.
    // A program killed by a signal reports 128 + the signal.
    std::optional<int> wait_exit(int timeout_ms);
    const std::string& output() const { return m_output; }
    void kill();

private:
    void read_available(int timeout_ms);

    pid_t m_pid = -1;
    int m_out = -1;
    std::string m_output;
    std::size_t m_consumed = 0;
    std::optional<int> m_status;
};

// Runs a program to its end (xdotool); its exit status or nullopt on timeout.
std::optional<int> run(const std::vector<std::string>& argv, const std::vector<std::string>& env_changes,
                       int timeout_ms);

class Xvfb {
public:
    // Starts a server on a display number it chooses itself and waits until
    // it accepts clients. Throws std::runtime_error when it cannot.
    Xvfb(int width, int height);
    ~Xvfb();
    const std::string& display() const { return m_display; }
    std::string env() const { return "DISPLAY=" + m_display; }

    struct Shot {
        int width = 0;
        int height = 0;
        std::vector<std::uint32_t> pixels;  // 0xRRGGBB
        std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    };
    Shot screenshot() const;
    // Writes a screenshot as a PNG file, to look at when a test fails.
    static void save_png(const Shot& shot, const std::string& path);

private:
    pid_t m_pid = -1;
    std::string m_display;
};

// A client connection of the test's own to the server: it finds the program's
// windows by title and does to them what a window manager or user would.
class XClient {
public:
    // Throws std::runtime_error when the server cannot be reached.
    explicit XClient(const Xvfb& x);
    ~XClient();
    XClient(const XClient&) = delete;
    XClient& operator=(const XClient&) = delete;

    // A mapped top-level window whose title is exactly this (UTF-8), waiting
    // for the server to report changes until the timeout; 0 when none comes.
    unsigned long wait_for_window(const std::string& title, int timeout_ms);
    bool is_viewable(unsigned long window);
    // The name of the window's _NET_WM_WINDOW_TYPE; empty when it has none.
    std::string window_type(unsigned long window);
    // The shown top-level windows a window manager is told to keep above
    // this one (WM_TRANSIENT_FOR), inside the manager's frames too.
    std::vector<unsigned long> transients_of(unsigned long owner);
    // What a window manager sends when the user clicks the close box.
    void close_window(unsigned long window);
    Display* display() const { return m_display; }

private:
    unsigned long find_window(const std::string& title);
    unsigned long find_window_in(unsigned long parent, const std::string& title, int depth);
    void add_transients_in(unsigned long parent, unsigned long owner, int depth, std::vector<unsigned long>& found);

    Display* m_display = nullptr;
};

// xdotool with these arguments on the server; its exit status, -1 on timeout.
int xdotool(const Xvfb& x, std::vector<std::string> args);

// Polls until the condition holds or the time is up; false when it never did.
bool eventually(const std::function<bool()>& holds, int timeout_ms);

// The environment entry that points the sanitizers' leak check at the rules
// for the platform libraries' own leaks.
std::string leak_rules();

}  // namespace e2e
