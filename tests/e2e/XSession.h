// The end-to-end harness: a private X server (Xvfb) for one test, programs
// started on it without a shell, xdotool to type and click, and the screen
// read back. Every wait is a poll with a bound, and whatever was started is
// killed when its owner goes away, also when a test fails half-way.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <sys/types.h>

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

private:
    pid_t m_pid = -1;
    std::string m_display;
};

}  // namespace e2e
