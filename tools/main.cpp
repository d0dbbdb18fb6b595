// abonix-db: make a directory (a generated sample or one imported from a list
// of subscribers), describe and dump its tables.
#include "engine/EngineError.h"
#include "engine/Table.h"
#include "text/Cp1251.h"
#include "tools/ListImport.h"
#include "tools/SampleDirectory.h"
#include "tools/ShownText.h"
#include "tools/SubscriberList.h"
#include "tools/TableReport.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>

#include <unistd.h>

namespace {

const char* const kUsage =
    "usage: abonix-db generate DIR [--subscribers N] [--seed S] [--password P]\n"
    "       abonix-db import LIST.csv DIR [--skip-bad] [--encoding utf-8|cp1251]\n"
    "       abonix-db info TABLE [--password P]\n"
    "       abonix-db dump TABLE [--index NAME] [--password P]\n"
    "       abonix-db dump DIR\n"
    "\n"
    "generate  writes a made-up directory: Phone2k.db, City.db, Street.db and their indexes\n"
    "import    builds those tables from a CSV list of subscribers with a header row:\n"
    "          Phone,LastName,FirstName,MiddleName,City,Street,House,Flat (UTF-8 or CP1251;\n"
    "          cities and streets by name). Bad rows are reported by line and nothing is\n"
    "          written, unless --skip-bad leaves them out.\n"
    "          --password protects the three tables with a password.\n"
    "info      describes a table: version, code page, records, fields, indexes\n"
    "dump      prints a table's records as UTF-8 CSV, or a directory's subscribers as a\n"
    "          list that import reads back; --password opens a protected table\n";

int usage() {
    std::cerr << kUsage;
    return 2;
}

bool parse_number(const char* s, std::uint64_t& out) {
    if (!*s) return false;
    char* end = nullptr;
    errno = 0;
    out = std::strtoull(s, &end, 10);
    return errno == 0 && *end == 0 && s[0] != '-';
}

// The progress bar goes to the terminal only, never into a pipe or a file.
std::ostream* progress_stream() { return ::isatty(STDERR_FILENO) ? &std::cerr : nullptr; }

// Ctrl+C and SIGTERM stop an import at its next step; what it wrote so far goes.
std::atomic<bool> g_stop{false};
volatile std::sig_atomic_t g_stop_signal = 0;

extern "C" void on_stop_signal(int signal) {
    g_stop_signal = signal;
    g_stop.store(true);
}

void catch_stop_signals() {
    struct sigaction action {};
    action.sa_handler = on_stop_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no restart: a read waiting on a pipe returns to look at the flag
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

int import(int argc, char** argv) {
    tools::ImportOptions options;
    for (int i = 4; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--skip-bad")) {
            options.skip_bad = true;
        } else if (!std::strcmp(argv[i], "--encoding") && i + 1 < argc) {
            const std::string e = text::ansi_lower_case(argv[++i]);
            if (e == "utf-8" || e == "utf8") options.encoding = tools::ImportOptions::Encoding::Utf8;
            else if (e == "cp1251" || e == "windows-1251") options.encoding = tools::ImportOptions::Encoding::Cp1251;
            else return usage();
        } else {
            return usage();
        }
    }
    options.progress = progress_stream();
    options.stop = &g_stop;
    catch_stop_signals();
    tools::ImportResult result;
    try {
        result = tools::import_list(argv[2], argv[3], options);
    } catch (const tools::ImportStopped& e) {
        const int signal = g_stop_signal;
        std::cerr << "abonix-db: " << (signal == SIGINT ? "interrupted" : "terminated") << ": " << e.what() << "\n";
        return 128 + signal;
    }
    const std::string list = tools::shown_text(argv[2], false, 400);
    for (const auto& bad : result.bad_rows) std::cerr << list << ":" << bad.line << ": " << bad.reason << "\n";
    if (result.bad_row_count > result.bad_rows.size())
        std::cerr << "... and " << result.bad_row_count - result.bad_rows.size() << " more bad rows\n";
    if (!result.written) {
        std::cerr << "abonix-db: " << result.bad_row_count << " bad rows; nothing written (--skip-bad leaves them out)\n";
        return 1;
    }
    std::cerr << "abonix-db: " << result.subscribers << " subscribers written to " << argv[3];
    if (result.bad_row_count > 0) std::cerr << ", " << result.bad_row_count << " bad rows left out";
    std::cerr << "\n";
    return 0;
}

// info and dump of one table: [--index NAME] (dump only) and [--password P].
int table_command(const std::string& command, int argc, char** argv) {
    engine::OpenOptions open;
    AnsiString index;
    bool has_index = false;
    for (int i = 3; i < argc; ++i) {
        if (i + 1 < argc && !std::strcmp(argv[i], "--password")) {
            open.passwords.push_back(text::utf8_to_cp1251(argv[++i]));
        } else if (i + 1 < argc && !std::strcmp(argv[i], "--index") && command == "dump" && !has_index) {
            index = text::utf8_to_cp1251(argv[++i]);
            has_index = true;
        } else {
            return usage();
        }
    }
    const auto table = engine::Table::open(argv[2], open);
    if (command == "info") {
        tools::print_info(*table, std::cout);
        return 0;
    }
    tools::print_csv(*table, index, std::cout);
    return std::cout.good() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h"))) {
        std::cout << kUsage;
        return 0;
    }
    if (argc < 3) return usage();
    const std::string command = argv[1];
    try {
        if (command == "generate") {
            tools::SampleOptions options;
            for (int i = 3; i < argc; ++i) {
                std::uint64_t v = 0;
                if (i + 1 < argc && !std::strcmp(argv[i], "--subscribers") && parse_number(argv[i + 1], v) && v <= 2000000) {
                    options.subscribers = static_cast<std::uint32_t>(v);
                    ++i;
                } else if (i + 1 < argc && !std::strcmp(argv[i], "--seed") && parse_number(argv[i + 1], v)) {
                    options.seed = v;
                    ++i;
                } else if (i + 1 < argc && !std::strcmp(argv[i], "--password") && argv[i + 1][0]) {
                    options.password = text::utf8_to_cp1251(argv[++i]);
                } else {
                    return usage();
                }
            }
            options.progress = progress_stream();
            tools::generate_sample_directory(argv[2], options);
            return 0;
        }
        if (command == "import" && argc >= 4) return import(argc, argv);
        if (command == "dump" && argc == 3 && std::filesystem::is_directory(argv[2])) {
            tools::print_subscriber_list(argv[2], std::cout);
            return std::cout.good() ? 0 : 1;
        }
        if (command == "info" || command == "dump") return table_command(command, argc, argv);
    } catch (const engine::EngineError& e) {
        std::cerr << "abonix-db: " << text::cp1251_to_utf8(e.Message()) << "\n";
        return 1;
    } catch (const std::exception& e) {
        std::cerr << "abonix-db: " << e.what() << "\n";
        return 1;
    }
    return usage();
}
