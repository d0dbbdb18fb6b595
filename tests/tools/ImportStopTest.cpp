// abonix-db import stopped half-way (Ctrl+C, SIGTERM, kill -9, a full disk)
// leaves the old tables byte for byte, and no import leaves files behind; its
// memory stays flat as the list grows.
#include "engine/EngineError.h"
#include "tests/support/TempDir.h"
#include "tools/ListImport.h"
#include "tools/SampleDirectory.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>

#include <fcntl.h>
#include <spawn.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;

namespace {

std::string read_bytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Every file of a folder with its bytes, hidden ones included.
std::map<std::string, std::string> snapshot(const fs::path& dir) {
    std::map<std::string, std::string> out;
    for (const auto& e : fs::directory_iterator(dir)) out[e.path().filename().string()] = fs::is_directory(e.path()) ? "<folder>" : read_bytes(e.path());
    return out;
}

// A list of n made-up subscribers, each row different.
std::string rows(int from, int n) {
    std::string out;
    for (int i = from; i < from + n; ++i)
        out += std::to_string(100000 + i % 900000) + ",Иванов" + std::to_string(i % 997) + ",Иван,Иванович,Ольмарск,ул. Ленина," +
               std::to_string(i % 300) + "," + std::to_string(i % 97) + "\n";
    return out;
}
const std::string kHeader = "Phone,LastName,FirstName,MiddleName,City,Street,House,Flat\n";

pid_t spawn(const std::vector<std::string>& args, const fs::path& err) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : -1;
}

TEST(ImportStop, ASignalOrAKillHalfWayLeavesTheOldTablesByteForByte) {
    std::signal(SIGPIPE, SIG_IGN);
    const struct { int signal; int status; const char* line; } cases[] = {
        {SIGINT, 128 + SIGINT, "abonix-db: interrupted: the import was stopped; the directory is left as it was"},
        {SIGTERM, 128 + SIGTERM, "abonix-db: terminated: the import was stopped; the directory is left as it was"},
        {SIGKILL, -1, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(strsignal(c.signal));
        TempDir tmp;
        const fs::path dir = tmp / "dir";
        tools::SampleOptions o;
        o.subscribers = 300;
        tools::generate_sample_directory(dir, o);
        const auto before = snapshot(dir);
        const fs::path fifo = tmp / "list.csv";
        ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
        const pid_t pid = spawn({ABONIX_DB, "import", fifo.string(), dir.string(), "--encoding", "utf-8"}, tmp / "err");
        ASSERT_GT(pid, 0);
        // Opening waits for the import to open its end; more than a pipe holds
        // is written only once the import is reading rows.
        const int fd = ::open(fifo.c_str(), O_WRONLY);
        ASSERT_GE(fd, 0);
        const std::string first = kHeader + rows(0, 3000);
        ASSERT_EQ(::write(fd, first.data(), first.size()), static_cast<ssize_t>(first.size()));
        ASSERT_EQ(::kill(pid, c.signal), 0);
        const std::string more = rows(3000, 10);
        (void)!::write(fd, more.data(), more.size());  // wakes a read that began just before the signal
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        ::close(fd);
        if (c.status < 0) {
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
        } else {
            ASSERT_TRUE(WIFEXITED(status));
            EXPECT_EQ(WEXITSTATUS(status), c.status);
            EXPECT_EQ(read_bytes(tmp / "err"), std::string(c.line) + "\n");
            EXPECT_EQ(snapshot(dir), before);  // no staging folder either
        }
        auto after = snapshot(dir);
        for (auto it = after.begin(); it != after.end();)
            it = it->first.starts_with(".abonix-import-") ? after.erase(it) : std::next(it);
        EXPECT_EQ(after, before);

        // The next import clears what a killed one left.
        fs::remove(fifo);
        std::ofstream(tmp / "small.csv", std::ios::binary) << kHeader << rows(0, 20);
        ASSERT_TRUE(tools::import_list(tmp / "small.csv", dir, {}).written);
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
        EXPECT_EQ(names.size(), before.size());
        for (const auto& n : names) EXPECT_TRUE(before.count(n)) << n;
    }
}

TEST(ImportStop, AFullDiskLeavesTheOldTablesByteForByte) {
    TempDir tmp;
    const fs::path disk = tmp / "disk";
    fs::create_directory(disk);
    if (::mount("abonix-test", disk.c_str(), "tmpfs", 0, "size=3m") != 0)
        GTEST_SKIP() << "a small tmpfs cannot be mounted here (" << std::strerror(errno) << "; needs root), so no full disk to test on";
    struct Unmount {
        fs::path at;
        ~Unmount() { ::umount2(at.c_str(), MNT_DETACH); }
    } unmount{disk};
    const fs::path dir = disk / "dir";
    tools::SampleOptions o;
    o.subscribers = 100;
    tools::generate_sample_directory(dir, o);
    const auto before = snapshot(dir);
    std::ofstream(tmp / "list.csv", std::ios::binary) << kHeader << rows(0, 60000);
    try {
        tools::import_list(tmp / "list.csv", dir, {});
        ADD_FAILURE() << "a list larger than the disk was imported";
    } catch (const engine::EngineError& e) {
        EXPECT_EQ(e.code(), engine::kErrIo);
    }
    EXPECT_EQ(snapshot(dir), before);
    // A list that fits goes in and leaves nothing else behind.
    std::ofstream(tmp / "small.csv", std::ios::binary) << kHeader << rows(0, 100);
    ASSERT_TRUE(tools::import_list(tmp / "small.csv", dir, {}).written);
    const auto after = snapshot(dir);
    ASSERT_EQ(after.size(), before.size());
    for (const auto& [name, bytes] : after) EXPECT_TRUE(before.count(name)) << name;
}

// Peak memory (kB) of abonix-db importing a list of n rows, as /usr/bin/time tells it.
long peak_kb_of_import(const TempDir& tmp, int n) {
    const fs::path list = tmp / ("list" + std::to_string(n) + ".csv");
    std::ofstream(list, std::ios::binary) << kHeader << rows(0, n);
    const fs::path out = tmp / "time.txt";
    const pid_t pid = spawn({"/usr/bin/time", "-f", "%M", "-o", out.string(), ABONIX_DB, "import", list.string(), (tmp / "dir").string()},
                            tmp / "err");
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    return std::stol(read_bytes(out));
}

TEST(ImportStop, MemoryStaysFlatAsTheListGrows) {
    if (!fs::exists("/usr/bin/time")) GTEST_SKIP() << "no /usr/bin/time to measure with";
    // Freed memory is reused at once, as without the address sanitizer.
    ::setenv("ASAN_OPTIONS", "detect_leaks=0:quarantine_size_mb=0", 1);
    TempDir tmp;
    const long small = peak_kb_of_import(tmp, 20000);
    const long large = peak_kb_of_import(tmp, 160000);
    ASSERT_GT(small, 0);
    ASSERT_GT(large, 0);
    // Holding the rows would take about 400 bytes each: 55 MB more for the larger list.
    EXPECT_LT(large - small, 16 * 1024) << small << " kB for 20,000 rows, " << large << " kB for 160,000";
}

}  // namespace
