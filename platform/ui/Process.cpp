#include "platform/ui/Process.h"

#include "text/Cp1251.h"

#include <spawn.h>
#include <sys/wait.h>

#include <thread>

extern char** environ;

namespace ui {

namespace {

bool spawn_detached(const std::vector<std::string>& argv) {
    if (argv.empty()) return false;
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0) return false;
    // Nobody waits for the program, but its exit status must still be
    // collected or it would linger as a zombie until we end.
    std::thread([pid] {
        int status = 0;
        waitpid(pid, &status, 0);
    }).detach();
    return true;
}

ProcessStarter& starter() {
    static ProcessStarter s = spawn_detached;
    return s;
}

}  // namespace

std::vector<std::string> command_arguments(std::string_view line) {
    std::vector<std::string> args;
    std::string current;
    bool in_quotes = false;
    bool have = false;
    for (char c : line) {
        if (c == '"') {
            in_quotes = !in_quotes;
            have = true;
        } else if ((c == ' ' || c == '\t') && !in_quotes) {
            if (have) args.push_back(text::cp1251_to_utf8(current));
            current.clear();
            have = false;
        } else {
            current += c;
            have = true;
        }
    }
    if (have) args.push_back(text::cp1251_to_utf8(current));
    if (args.size() >= 2 && text::ansi_compare_text(args[0], "start") == 0) {
        args.erase(args.begin());
        args.insert(args.begin(), "xdg-open");
    }
    return args;
}

bool win_exec(std::string_view line, int) {
    auto args = command_arguments(line);
    if (args.empty()) return false;
    if (starter()(args)) return true;
    // Without xdg-utils, an address still opens in the browser Debian's own
    // sensible-browser picks ($BROWSER, then the x-www-browser alternative).
    if (args[0] != "xdg-open") return false;
    args[0] = "sensible-browser";
    return starter()(args);
}

ProcessStarter set_process_starter(ProcessStarter s) {
    ProcessStarter old = std::move(starter());
    starter() = s ? std::move(s) : ProcessStarter(spawn_detached);
    return old;
}

}  // namespace ui
