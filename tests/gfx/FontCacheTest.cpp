// Fontconfig's answers kept between runs: given back while the font file and
// the configuration are unchanged, asked again otherwise, the same answers
// either way.
#include "platform/gfx/FontCache.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

gfx::FontMatch match_of(const std::filesystem::path& file, const char* family = "Liberation Sans") {
    gfx::FontMatch m;
    m.family = family;
    m.file = file.string();
    m.index = 0;
    return m;
}

void write(const std::filesystem::path& p, const std::string& text) { std::ofstream(p, std::ios::binary) << text; }

TEST(FontCacheTest, AnAnswerIsKeptAcrossRunsWhileItsFileAndTheConfigurationStand) {
    TempDir dir;
    const auto font = dir / "Face.ttf";
    write(font, "not really a face");
    const auto file = dir / "cache" / "fonts";
    {
        gfx::FontCache cache(file, "key-1");
        EXPECT_FALSE(cache.find("arial||0").has_value());
        gfx::FontMatch fallback = match_of(font, "Liberation Mono");
        fallback.fallback = true;
        cache.store("arial||0", match_of(font));
        cache.store("nonexistent|b|2", fallback);
#ifndef NDEBUG
        cache.check_invariants();
#endif
    }
    {
        gfx::FontCache cache(file, "key-1");  // the next run
        const auto found = cache.find("arial||0");
        ASSERT_TRUE(found.has_value());
        EXPECT_EQ(found->family, "Liberation Sans");
        EXPECT_EQ(found->file, font.string());
        EXPECT_FALSE(found->fallback);
        const auto fallback = cache.find("nonexistent|b|2");
        ASSERT_TRUE(fallback.has_value());
        EXPECT_TRUE(fallback->fallback);
        EXPECT_EQ(fallback->family, "Liberation Mono");
    }
    // Another configuration or set of fonts: nothing is taken from the file.
    EXPECT_FALSE(gfx::FontCache(file, "key-2").find("arial||0").has_value());
    // The face's file replaced by another: asked again.
    write(font, "a different face file");
    EXPECT_FALSE(gfx::FontCache(file, "key-1").find("arial||0").has_value());
    std::filesystem::remove(font);
    EXPECT_FALSE(gfx::FontCache(file, "key-1").find("nonexistent|b|2").has_value());
}

TEST(FontCacheTest, ADamagedOrUnwritableFileOnlyCostsTheSpeed) {
    TempDir dir;
    const auto font = dir / "Face.ttf";
    write(font, "face");
    const auto file = dir / "fonts";
    write(file, "key\tk\nonly\tthree\tfields\narial||0\tLiberation Sans\t" + font.string() + "\tx\t0\t4\t1\n");
    gfx::FontCache damaged(file, "k");
    EXPECT_FALSE(damaged.find("arial||0").has_value());
    EXPECT_FALSE(damaged.find("only").has_value());
    // A folder in the file's place: storing keeps the answer for this run and writes nothing.
    const auto blocked = dir / "blocked";
    std::filesystem::create_directories(blocked / "fonts");
    gfx::FontCache cache(blocked / "fonts", "k");
    cache.store("arial||0", match_of(font));
    EXPECT_TRUE(cache.find("arial||0").has_value());
    EXPECT_TRUE(std::filesystem::is_directory(blocked / "fonts"));
}

TEST(FontCacheTest, ResolvingThroughTheCacheGivesFontconfigsAnswers) {
    TempDir dir;
    const auto file = dir / "fonts";
    const gfx::FontMatch direct = gfx::resolve_font("Courier New", {}, fpDefault);
    const gfx::FontMatch bold = gfx::resolve_font("Arial", {fsBold}, fpDefault);
    gfx::use_font_cache(file);
    const gfx::FontMatch first = gfx::resolve_font("Courier New", {}, fpDefault);
    const gfx::FontMatch kept = gfx::resolve_font("Courier New", {}, fpDefault);
    const gfx::FontMatch kept_bold = gfx::resolve_font("Arial", {fsBold}, fpDefault);
    gfx::use_font_cache({});
    for (const gfx::FontMatch* m : {&first, &kept}) {
        EXPECT_EQ(m->family, direct.family);
        EXPECT_EQ(m->file, direct.file);
        EXPECT_EQ(m->index, direct.index);
    }
    EXPECT_EQ(kept_bold.file, bold.file);
    // Kept in the file for the next run.
    EXPECT_TRUE(gfx::FontCache(file, gfx::FontCache::config_key()).find("courier new||0").has_value());
}

}  // namespace
