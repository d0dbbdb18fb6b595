// Runs a fuzz target's entry point over its committed seed corpus, so the
// target builds and its seeds pass in every build, not only with libFuzzer.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

TEST(FuzzCorpus, EverySeedRuns) {
    const std::filesystem::path dir = std::filesystem::path(ABONIX_SOURCE_DIR) / "fuzz" / "corpus" / ABONIX_FUZZ_CORPUS;
    int seeds = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(LLVMFuzzerTestOneInput(bytes.data(), bytes.size()), 0) << entry.path();
        ++seeds;
    }
    EXPECT_GT(seeds, 3);
}
