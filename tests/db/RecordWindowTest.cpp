#include "platform/db/RecordWindow.h"

#include <gtest/gtest.h>

TEST(PlaceWindow, KeepsTheRowAsFarAsRecordsPrecedeAndFillsFromFurtherBack) {
    struct Case {
        std::int64_t count;
        int capacity;
        std::int64_t current;
        int row;
        db::Placement expected;
    } const cases[] = {
        {100, 10, 50, 4, {46, 10, 4}},    // room on both sides
        {100, 10, 3, 4, {1, 10, 2}},      // too few before: moves up
        {100, 10, 1, 9, {1, 10, 0}},
        {100, 10, 99, 4, {91, 10, 8}},    // too few after: filled from further back
        {100, 10, 100, 0, {91, 10, 9}},
        {5, 10, 3, 4, {1, 5, 2}},         // fewer records than rows
        {0, 10, 1, 0, {1, 0, 0}},         // empty table
        {100, 1, 37, 0, {37, 1, 0}},
        {100, 10, 500, 4, {91, 10, 9}},   // past the end is the last record
        {100, 10, 50, 20, {41, 10, 9}},   // a row below the window is its last row
    };
    for (const Case& c : cases) {
        const db::Placement p = db::place_window(c.count, c.capacity, c.current, c.row);
        EXPECT_EQ(p.top, c.expected.top) << c.count << " " << c.current << " " << c.row;
        EXPECT_EQ(p.rows, c.expected.rows) << c.count << " " << c.current << " " << c.row;
        EXPECT_EQ(p.active, c.expected.active) << c.count << " " << c.current << " " << c.row;
    }
}
