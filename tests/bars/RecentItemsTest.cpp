#include "bars/RecentItems.h"

#include <gtest/gtest.h>

#include <string>

TEST(RecentItems, ThresholdFromThePercentage) {
    const std::pair<int, int> cases[] = {{95, 20}, {100, 0}, {0, 1}, {50, 2}, {90, 10}, {99, 100}, {96, 25}, {150, 0}};
    for (auto [percents, threshold] : cases) {
        SCOPED_TRACE(percents);
        EXPECT_EQ(dxbar::recent_threshold(percents), threshold);
    }
}

// The "?" menu: "О программе..." and then "Мы в интернете", both most
// recently used, so both start at 20.
TEST(RecentItems, ALessUsedLeastRecentCommandHidesOnceTheSpreadReachesTen) {
    dxbar::RecentItems<std::string> recent;
    recent.add("about", true);
    recent.add("web", true);
    const std::vector<std::string> both{"about", "web"};
    EXPECT_EQ(recent.use_count("about"), 20);
    EXPECT_EQ(recent.shown(both, 95), both);
    for (int i = 0; i < 9; ++i) recent.use("about");
    EXPECT_EQ(recent.use_count("about"), 29);
    EXPECT_EQ(recent.shown(both, 95), both) << "a spread of 9 makes c = 0";
    recent.use("about");
    EXPECT_EQ(recent.shown(both, 95), std::vector<std::string>{"about"});
    // Used once more, the web page is the most recent again and shows.
    recent.use("web");
    EXPECT_EQ(recent.use_count("web"), 21);
    EXPECT_EQ(recent.shown(both, 95), both);
    EXPECT_EQ(recent.order(), (std::vector<std::string>{"web", "about"}));
    // At 100 percent everything shows, whatever the counts.
    recent.use("about");
    recent.restore("web", 0, 1);
    EXPECT_EQ(recent.shown(both, 100), both);
    EXPECT_EQ(recent.shown(both, 95), std::vector<std::string>{"about"});
    recent.check_invariants();
}

TEST(RecentItems, LimitWalksTheRecentOrderOfTheVisibleLinks) {
    // Collection order a b c d; stored counts and places.
    dxbar::RecentItems<char> recent(20);
    for (char id : {'a', 'b', 'c', 'd'}) recent.add(id, false);
    struct Case {
        const char* name;
        int counts[4];
        int places[4];  // recent index of a b c d
        std::vector<char> visible;
        std::vector<char> shown;
    };
    const Case cases[] = {
        {"all equal", {5, 5, 5, 5}, {0, 1, 2, 3}, {'a', 'b', 'c', 'd'}, {'a', 'b', 'c', 'd'}},
        // min 0 max 100: c = 5, limit 5; from the end: d(0) c(100): c marks it.
        {"used and recent", {1, 100, 100, 0}, {2, 0, 1, 3}, {'a', 'b', 'c', 'd'}, {'b', 'c'}},
        // A less used but more recent link stays before the limit.
        {"recent but rare", {1, 100, 0, 0}, {0, 1, 2, 3}, {'a', 'b', 'c', 'd'}, {'a', 'b'}},
        // An invisible link neither sets min/max nor marks the limit.
        {"invisible ignored", {0, 100, 60, 100}, {3, 1, 2, 0}, {'a', 'c', 'd'}, {'c', 'd'}},
        // c = round(1.5) = 2: the link at 1 is below the limit.
        {"half away from zero", {0, 30, 1, 0}, {2, 0, 1, 3}, {'a', 'b', 'c'}, {'b'}},
        // c = round(1.45) = 1: the link at 1 marks the limit.
        {"below the half", {0, 29, 1, 0}, {2, 0, 1, 3}, {'a', 'b', 'c'}, {'b', 'c'}},
        {"nothing visible", {0, 0, 0, 0}, {0, 1, 2, 3}, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Restore from the last place to the first so each lands where stored.
        for (int place = 3; place >= 0; --place)
            for (int i = 0; i < 4; ++i)
                if (c.places[i] == place) recent.restore(static_cast<char>('a' + i), c.counts[i], place);
        for (int i = 0; i < 4; ++i) ASSERT_EQ(recent.recent_index(static_cast<char>('a' + i)), c.places[i]);
        EXPECT_EQ(recent.shown(c.visible, 95), c.shown);
        recent.check_invariants();
    }
}

TEST(RecentItems, NewLinksAndUses) {
    dxbar::RecentItems<int> recent(20);
    recent.add(1, false);
    recent.add(2, true);
    recent.add(3, false);
    EXPECT_EQ(recent.order(), (std::vector<int>{2, 1, 3}));
    EXPECT_EQ(recent.use_count(2), 20);
    EXPECT_EQ(recent.use_count(3), 0);
    recent.use(3);
    EXPECT_EQ(recent.order(), (std::vector<int>{3, 2, 1}));
    EXPECT_EQ(recent.use_count(3), 1);
    recent.remove(2);
    recent.use(2);  // a removed link is no longer counted
    EXPECT_EQ(recent.order(), (std::vector<int>{3, 1}));
    EXPECT_EQ(recent.recent_index(2), -1);
    recent.check_invariants();
}
