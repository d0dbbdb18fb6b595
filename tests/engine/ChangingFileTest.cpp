// A table and its index files changed by another program while they are open
// and mapped: cut short, grown, rewritten in place, rewritten after being
// emptied, or replaced by a rename, between two reads, on every way the
// engine reads. Every read after the change either fails with an error that
// names the file or gives what the new file holds; the process never gets a
// bus error and no read hands out a record of neither file.
#include "engine/Cursor.h"
#include "engine/EngineError.h"
#include "engine/FieldScan.h"
#include "engine/LostPages.h"
#include "engine/Table.h"
#include "tests/support/TempDir.h"
#include "text/Cp1251.h"
#include "tools/SampleDirectory.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <unistd.h>

using namespace engine;

namespace {

constexpr std::uint32_t kSubscribers = 3000;

std::vector<char> bytes_of(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write_at(const std::filesystem::path& p, int flags, const std::vector<char>& data) {
    const int fd = ::open(p.c_str(), O_WRONLY | flags);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, data.data(), data.size()), static_cast<ssize_t>(data.size()));
    ::close(fd);
}

// Two directories of the same size with different subscribers, plain and protected.
struct Sources {
    TempDir root;
    Sources() {
        for (const char* password : {"", "Тайна"}) {
            for (std::uint64_t seed : {1, 2}) {
                tools::SampleOptions o;
                o.subscribers = kSubscribers;
                o.seed = seed;
                o.password = text::utf8_to_cp1251(password);
                tools::generate_sample_directory(dir(!o.password.empty(), seed == 2), o);
            }
        }
    }
    std::filesystem::path dir(bool locked, bool second) const {
        return root.path() / (std::string(locked ? "locked-" : "plain-") + (second ? "b" : "a"));
    }
};

const Sources& sources() {
    static const Sources s;
    return s;
}

// One way of reading: a first step before the change (it opens orders and
// touches pages), then the read whose answer counts.
struct Path {
    const char* name;
    std::function<void(Cursor&)> before;
    std::function<std::string(Cursor&)> read;
};

std::string fields(Cursor& c) {
    std::string code = std::to_string(c.value(c.table().field_index("Code")).integer);
    std::string last;
    c.text(c.table().field_index("LastName"), last);
    return code + " " + last + " #" + std::to_string(c.sequence_number());
}

// The record a scan along the cursor's order finds first, read through the cursor.
std::string found(Cursor& c, int index, const char* field, const char* prefix) {
    const FieldScan scan(c.table(), index, c.table().field_index(field));
    const std::int64_t at = scan.find_prefix(text::utf8_to_cp1251(prefix), 0, kSubscribers - 1);
    if (at < 0) return "none";
    c.set_sequence_number(at + 1);
    return fields(c);
}

std::vector<Path> paths() {
    const auto none = [](Cursor&) {};
    return {
        {"next", [](Cursor& c) { c.set_sequence_number(kSubscribers - 10); },
         [](Cursor& c) { c.next(); return fields(c); }},
        {"prior", [](Cursor& c) { c.to_end(); },
         [](Cursor& c) { c.prior(); c.prior(); return fields(c); }},
        {"position", none, [](Cursor& c) { c.set_sequence_number(kSubscribers / 2 + 7); return fields(c); }},
        {"nearest", [](Cursor& c) { c.switch_index("LastName Index", false); },
         [](Cursor& c) { c.set_to_key(Value::of_text(text::utf8_to_cp1251("Ш"))); c.next(); return fields(c); }},
        {"key", none,
         [](Cursor& c) { return c.get_record_for_key(Value::of_int(kSubscribers - 3)) ? fields(c) : std::string("none"); }},
        {"index switch", [](Cursor& c) { c.set_sequence_number(kSubscribers - 7); },
         [](Cursor& c) { c.switch_index("Phone", true); return fields(c); }},
        {"scan by index", [](Cursor& c) { c.switch_index("LastName Index", false); },
         [](Cursor& c) { return found(c, c.index(), "LastName", "Я"); }},
        {"scan", none, [](Cursor& c) { return found(c, -1, "FirstName", "Ю"); }},
    };
}

enum class Change { Shrink, Grow, Rewrite, EmptyAndRewrite, Rename };

struct ChangeCase {
    const char* name;
    Change change;
    // What a read may give besides an error: the old file's answer, the new one's.
    bool old_allowed, new_allowed, error_allowed;
};

constexpr ChangeCase kChanges[] = {
    // Cut to its first page: the records are gone, only an error is right.
    {"shrink", Change::Shrink, false, false, true},
    // Bytes added at the end, the records and the header as they were: the same records.
    {"grow", Change::Grow, true, false, false},
    {"rewrite in place", Change::Rewrite, false, true, true},
    {"empty and rewrite", Change::EmptyAndRewrite, false, true, true},
    // The file we opened stays whole under its new name: it is read as opened.
    {"replace by rename", Change::Rename, true, true, false},
};

void apply(Change change, const std::filesystem::path& file, const std::filesystem::path& replacement) {
    switch (change) {
    case Change::Shrink: ASSERT_EQ(::truncate(file.c_str(), 4096), 0); break;
    case Change::Grow: write_at(file, O_APPEND, std::vector<char>(65536, 0)); break;
    case Change::Rewrite: write_at(file, 0, bytes_of(replacement)); break;
    case Change::EmptyAndRewrite: write_at(file, O_TRUNC, bytes_of(replacement)); break;
    case Change::Rename: {
        const auto temp = file.parent_path() / "incoming.tmp";
        std::filesystem::copy_file(replacement, temp);
        std::filesystem::rename(temp, file);
        break;
    }
    }
}

struct Outcome {
    std::optional<std::string> answer;  // none: an error
    std::string error;
};

// The path run on a fresh copy of `from`, with `change` applied to `file` between its steps.
Outcome run(const Path& path, const std::filesystem::path& from, bool locked, std::optional<Change> change,
            const char* file, const std::filesystem::path& replacement_dir) {
    TempDir work;
    for (const auto& e : std::filesystem::directory_iterator(from))
        std::filesystem::copy_file(e.path(), work / e.path().filename().string());
    OpenOptions options;
    if (locked) options.passwords = {text::utf8_to_cp1251("Тайна")};
    Outcome out;
    try {
        auto table = Table::open(work / "Phone2k.db", options);
        Cursor c(table);
        path.before(c);
        if (change) apply(*change, work / file, replacement_dir / file);
        out.answer = path.read(c);
    } catch (const EngineError& e) {
        out.error = text::cp1251_to_utf8(e.Message());
    }
    return out;
}

struct Target {
    const char* file;
    std::vector<std::string> paths;  // the paths that read it
};

TEST(ChangingFile, EveryReadGivesAnErrorOrTheNewDataAndNeverASignal) {
    const std::vector<Target> targets = {
        {"Phone2k.db", {"next", "prior", "position", "nearest", "key", "index switch", "scan by index", "scan"}},
        {"Phone2k.XG0", {"nearest", "scan by index"}},
    };
    const unsigned long faults_before = LostPages::faults();
    int errors = 0;
    for (const bool locked : {false, true}) {
        const std::filesystem::path a = sources().dir(locked, false), b = sources().dir(locked, true);
        for (const Path& path : paths()) {
            const Outcome old_answer = run(path, a, locked, std::nullopt, "", b);
            const Outcome new_answer = run(path, b, locked, std::nullopt, "", b);
            ASSERT_TRUE(old_answer.answer && new_answer.answer) << path.name << ": " << old_answer.error << new_answer.error;
            for (const Target& target : targets) {
                if (std::find(target.paths.begin(), target.paths.end(), path.name) == target.paths.end()) continue;
                for (const ChangeCase& change : kChanges) {
                    SCOPED_TRACE(std::string(locked ? "protected, " : "") + path.name + ", " + target.file + " " + change.name);
                    const Outcome got = run(path, a, locked, change.change, target.file, b);
                    if (!got.answer) {
                        ++errors;
                        EXPECT_TRUE(change.error_allowed) << got.error;
                        EXPECT_NE(got.error.find(target.file), std::string::npos) << got.error;
                        continue;
                    }
                    const bool is_old = *got.answer == *old_answer.answer, is_new = *got.answer == *new_answer.answer;
                    EXPECT_TRUE((is_old && change.old_allowed) || (is_new && change.new_allowed))
                        << "read " << *got.answer << "; the old file gives " << *old_answer.answer << ", the new one "
                        << *new_answer.answer;
                }
            }
        }
    }
    // The cut-short files were noticed through the fault handler, not by chance.
    EXPECT_GT(LostPages::faults(), faults_before);
    EXPECT_GT(errors, 0);
}

// A table cut short fails at once, also where the pages a read needs are still
// there, keeps failing, and opening it again reports what is wrong with it.
TEST(ChangingFile, ACutShortTableKeepsFailingAndCannotBeOpenedAgain) {
    TempDir work;
    for (const auto& e : std::filesystem::directory_iterator(sources().dir(false, false)))
        std::filesystem::copy_file(e.path(), work / e.path().filename().string());
    auto table = Table::open(work / "Phone2k.db");
    Cursor c(table);
    c.set_sequence_number(1);
    ASSERT_NO_THROW(fields(c));
    ASSERT_EQ(::truncate((work / "Phone2k.db").c_str(), 4096), 0);
    // The first record lies in the page that is left; it is not handed out either.
    EXPECT_THROW(fields(c), EngineError);
    EXPECT_THROW(c.set_sequence_number(kSubscribers), EngineError);
    EXPECT_THROW(c.set_sequence_number(1), EngineError);
    try {
        Table::open(work / "Phone2k.db");
        ADD_FAILURE() << "a cut-short table opened";
    } catch (const EngineError& e) {
        EXPECT_EQ(e.code(), kErrCorrupt);
        EXPECT_NE(e.Message().find("Phone2k.db"), std::string::npos) << e.Message();
    }
}

}  // namespace
