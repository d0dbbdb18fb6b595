#include "platform/db/IndexSelection.h"

#include <gtest/gtest.h>

namespace {

db::IndexDef idx(const char* name, std::vector<AnsiString> fields, bool descending = false, bool expression = false) {
    db::IndexDef d;
    d.name = name;
    d.fields = std::move(fields);
    d.descending = descending;
    d.expression = expression;
    return d;
}

struct Case {
    const char* what;
    std::vector<db::IndexDef> indexes;
    const char* names;
    int expected;
};

}  // namespace

TEST(SelectIndex, FirstPassThenSecondPassSkippingDescendingAndExpressionIndexes) {
    const Case cases[] = {
        {"exact match", {idx("A", {"LastName"}), idx("B", {"Phone"})}, "Phone", 1},
        {"letter case ignored", {idx("A", {"Phone"})}, "pHONE", 0},
        {"exact beats an earlier prefix", {idx("A", {"Phone", "LastName"}), idx("B", {"Phone"})}, "Phone", 1},
        {"second pass: longer index", {idx("A", {"LastName"}), idx("B", {"Phone", "LastName"})}, "Phone", 1},
        {"second pass takes the first in list order",
         {idx("A", {"Phone", "City"}), idx("B", {"Phone", "LastName"})}, "Phone", 0},
        {"prefix must end at a field boundary", {idx("A", {"PhoneBook"}), idx("B", {"Phones", "X"})}, "Phone", -1},
        {"several fields", {idx("A", {"LastName"}), idx("B", {"LastName", "FirstName"})}, "lastname;firstname", 1},
        {"several fields by prefix", {idx("A", {"LastName", "FirstName", "MiddleName"})}, "LastName;FirstName", 0},
        {"descending skipped", {idx("A", {"Phone"}, true), idx("B", {"Phone"})}, "Phone", 1},
        {"expression skipped", {idx("A", {"Phone"}, false, true)}, "Phone", -1},
        {"descending skipped in the second pass", {idx("A", {"Phone", "X"}, true), idx("B", {"Phone", "Y"})}, "Phone", 1},
        {"no index at all", {}, "Phone", -1},
        {"no index on the field", {idx("A", {"LastName"})}, "Phone", -1},
        {"more names than the index has", {idx("A", {"Phone"})}, "Phone;LastName", -1},
    };
    for (const Case& c : cases) EXPECT_EQ(db::select_index(c.indexes, c.names), c.expected) << c.what;
}

TEST(SelectIndex, ByNameIgnoresLetterCase) {
    const std::vector<db::IndexDef> list = {idx("", {"Code"}), idx("LastName Index", {"LastName", "FirstName"})};
    EXPECT_EQ(db::find_index_by_name(list, "lastname index"), 1);
    EXPECT_EQ(db::find_index_by_name(list, "LastName"), -1);
}
