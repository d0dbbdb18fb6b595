// Where the program works: a named folder, the current one with its tables,
// or the user's own folder set up once from the installed sample.
#include "app/StartDirectory.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

void write_file(const fs::path& p, const std::string& bytes) {
    std::ofstream out(p, std::ios::binary);
    out << bytes;
}

std::string read_file(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A prefix with bin/ and an installed sample of read-only files, an empty
// current directory and a home without a directory folder yet.
class StartDirectoryTest : public ::testing::Test {
protected:
    StartDirectoryTest() {
        fs::create_directories(root / "usr" / "bin");
        fs::create_directories(root / "cwd");
        fs::create_directories(root / "home");
        places.current = root / "cwd";
        places.user_directory = app::user_directory(nullptr, (root / "home").c_str());
        places.installed_sample = app::installed_sample(root / "usr" / "bin" / "abonix");
        fs::create_directories(places.installed_sample);
        for (const char* f : {"Phone2k.db", "Phone2k.XG0", "City.db", "Street.db", "Abonix.ini"}) {
            write_file(places.installed_sample / f, std::string("sample ") + f);
            fs::permissions(places.installed_sample / f, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        }
    }
    TempDir root;
    app::StartPlaces places;
};

TEST_F(StartDirectoryTest, PlacesFollowTheXdgRulesAndTheInstallationPrefix) {
    EXPECT_EQ(places.installed_sample, root / "usr" / "share" / "abonix" / "sample");
    EXPECT_EQ(places.user_directory, root / "home" / ".local" / "share" / "abonix");
    EXPECT_EQ(app::user_directory("/data", "/home/u"), fs::path("/data/abonix"));
    EXPECT_EQ(app::user_directory("relative/data", "/home/u"), fs::path("/home/u/.local/share/abonix"));
    EXPECT_EQ(app::user_directory("", "/home/u"), fs::path("/home/u/.local/share/abonix"));
}

TEST_F(StartDirectoryTest, ANamedFolderIsUsedAsItIsEvenWithoutTables) {
    fs::create_directory(root / "mine");
    EXPECT_EQ(app::start_directory(root / "mine", places), root / "mine");
    EXPECT_THROW(app::start_directory(root / "missing", places), std::runtime_error);
    write_file(root / "file", "");
    EXPECT_THROW(app::start_directory(root / "file", places), std::runtime_error);
    EXPECT_FALSE(fs::exists(places.user_directory));
}

TEST_F(StartDirectoryTest, TheCurrentFolderIsUsedWhenItHoldsTheSubscriberTable) {
    write_file(places.current / "PHONE2K.DB", "");
    EXPECT_EQ(app::start_directory(std::nullopt, places), places.current);
    EXPECT_FALSE(fs::exists(places.user_directory));
}

TEST_F(StartDirectoryTest, TheFirstStartWithoutTablesSetsUpTheUsersFolderAndLaterStartsKeepIt) {
    ASSERT_EQ(app::start_directory(std::nullopt, places), places.user_directory);
    for (const char* f : {"Phone2k.db", "Phone2k.XG0", "City.db", "Street.db", "Abonix.ini"})
        EXPECT_EQ(read_file(places.user_directory / f), std::string("sample ") + f) << f;
    // The layout file is the user's to write.
    EXPECT_NE(fs::status(places.user_directory / "Abonix.ini").permissions() & fs::perms::owner_write, fs::perms::none);
    for (const auto& e : fs::directory_iterator(places.user_directory.parent_path()))
        EXPECT_EQ(e.path().filename(), "abonix") << "a staging folder was left";

    // The user's changes stay, even a removed table: the folder is theirs now.
    write_file(places.user_directory / "Abonix.ini", "[Grid]\n");
    fs::remove(places.user_directory / "Phone2k.db");
    EXPECT_EQ(app::start_directory(std::nullopt, places), places.user_directory);
    EXPECT_EQ(read_file(places.user_directory / "Abonix.ini"), "[Grid]\n");
    EXPECT_FALSE(fs::exists(places.user_directory / "Phone2k.db"));
}

TEST_F(StartDirectoryTest, WithoutAnInstalledSampleTheCurrentFolderIsUsedAndNothingIsMade) {
    fs::remove_all(places.installed_sample);
    EXPECT_EQ(app::start_directory(std::nullopt, places), places.current);
    EXPECT_FALSE(fs::exists(places.user_directory));
}

}  // namespace
