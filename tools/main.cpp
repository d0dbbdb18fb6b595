// abonix-db: generate the sample directory, describe and dump Paradox tables.
#include "engine/EngineError.h"
#include "text/Cp1251.h"

#include <cerrno>
#include "engine/Table.h"
#include "tools/SampleDirectory.h"
#include "tools/TableReport.h"

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

namespace {

int usage() {
    std::cerr << "usage: abonix-db generate DIR [--subscribers N] [--seed S]\n"
                 "       abonix-db info TABLE\n"
                 "       abonix-db dump TABLE [--index NAME]\n";
    return 2;
}

bool parse_number(const char* s, std::uint64_t& out) {
    if (!*s) return false;
    char* end = nullptr;
    errno = 0;
    out = std::strtoull(s, &end, 10);
    return errno == 0 && *end == 0 && s[0] != '-';
}

}  // namespace

int main(int argc, char** argv) {
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
                } else {
                    return usage();
                }
            }
            options.progress = &std::cerr;
            tools::generate_sample_directory(argv[2], options);
            return 0;
        }
        if (command == "info" && argc == 3) {
            tools::print_info(*engine::Table::open(argv[2]), std::cout);
            return 0;
        }
        if (command == "dump" && (argc == 3 || (argc == 5 && !std::strcmp(argv[3], "--index")))) {
            const auto table = engine::Table::open(argv[2]);
            tools::print_csv(*table, argc == 5 ? text::utf8_to_cp1251(argv[4]) : AnsiString(), std::cout);
            return std::cout.good() ? 0 : 1;
        }
    } catch (const engine::EngineError& e) {
        std::cerr << "abonix-db: " << text::cp1251_to_utf8(e.Message()) << "\n";
        return 1;
    } catch (const std::exception& e) {
        std::cerr << "abonix-db: " << e.what() << "\n";
        return 1;
    }
    return usage();
}
