// Small tables written with our own writer into a private folder, a
// database component pointing at it, and a data link that records every
// notification it receives.
#pragma once

#include "engine/TableWriter.h"
#include "platform/db/EDatabaseError.h"
#include "platform/db/TDataLink.h"
#include "platform/db/TDataSet.h"
#include "platform/db/TField.h"
#include "tests/support/TempDir.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <utility>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace dbtest {



// The message of the dataset error an operation raises, or "no error".
inline std::string error_of(const std::function<void()>& op) {
    try {
        op();
    } catch (const EDatabaseError& e) {
        return e.Message();
    }
    return "no error";
}

inline engine::Value num(std::int64_t v) { return engine::Value::of_int(v); }
inline engine::Value txt(std::string_view s) { return engine::Value::of_text(s); }

// Nums.db: N = 1..count (the primary key), Name "n001".., Rev = count + 1 - N
// and Grp = N mod 7, each with an index of its own.
inline void write_nums(const std::filesystem::path& dir, int count, const char* file = "Nums.db") {
    engine::TableSchema schema;
    schema.fields = {{"N", engine::FieldType::Long},
                   {"Name", engine::FieldType::Alpha, 10},
                   {"Rev", engine::FieldType::Long},
                   {"Grp", engine::FieldType::Long}};
    schema.key_fields = 1;
    schema.indexes = {{"Rev", {"Rev"}}, {"Name", {"Name"}}, {"Grp", {"Grp"}}};
    std::vector<std::vector<engine::Value>> rows;
    for (int n = 1; n <= count; ++n) {
        char name[16];
        std::snprintf(name, sizeof name, "n%03d", n);
        rows.push_back({num(n), txt(name), num(count + 1 - n), num(n % 7)});
    }
    engine::write_table(dir / file, schema, rows);
}

class RecordingLink : public TDataLink {
public:
    std::vector<std::string> log;
    // When set, FocusControl takes the field.
    bool takes_focus = false;

    std::vector<std::string> take() { return std::exchange(log, {}); }

    // The integer value of `field` on every row of the link's window.
    std::vector<int> rows(const char* field) {
        std::vector<int> out;
        const int saved = ActiveRecord();
        for (int i = 0; i < RecordCount(); ++i) {
            SetActiveRecord(i);
            out.push_back(DataSet()->FieldByName(field)->AsInteger());
        }
        SetActiveRecord(saved);
        return out;
    }

protected:
    void ActiveChanged() override { log.push_back(Active() ? "active" : "inactive"); }
    void DataSetChanged() override { log.push_back("changed"); }
    void DataSetScrolled(int distance) override { log.push_back("scrolled " + std::to_string(distance)); }
    void RecordChanged(TField*) override { log.push_back("record"); }
    void LayoutChanged() override { log.push_back("layout"); }
    void FocusControl(TField*& field) override {
        log.push_back("focus " + field->FieldName());
        if (takes_focus) field = nullptr;
    }
    void UpdateData() override { log.push_back("update"); }
    void CheckBrowseMode() override { log.push_back("check"); }
};

}  // namespace dbtest
