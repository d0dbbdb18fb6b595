// Databases, tables and cursors of our table engine behind the dataset
// layer's table-store interface. Engine failures become EDBEngineError with
// the engine's code and message.
#include "platform/db/EDatabaseError.h"
#include "platform/db/Session.h"

#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/EngineError.h"
#include "engine/FieldScan.h"
#include "text/Cp1251.h"

#include <algorithm>
#include <cstdio>

namespace db {

namespace {

[[noreturn]] void rethrow(const engine::EngineError& e) { throw EDBEngineError(e.code(), e.Message()); }

FieldType field_type(engine::FieldType t) {
    switch (t) {
    case engine::FieldType::Alpha: return FieldType::String;
    case engine::FieldType::Short: return FieldType::SmallInt;
    case engine::FieldType::Long: return FieldType::Integer;
    case engine::FieldType::AutoInc: return FieldType::AutoInc;
    case engine::FieldType::Number:
    case engine::FieldType::Currency:
    case engine::FieldType::Bcd: return FieldType::Float;
    default: return FieldType::Other;
    }
}

AnsiString two(std::int64_t v) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d", static_cast<int>(v));
    return buf;
}

AnsiString date_text(std::int64_t days) {
    const engine::CivilDate d = engine::date_from_days(days);
    return two(d.day) + "." + two(d.month) + "." + std::to_string(d.year);
}

AnsiString time_text(std::int64_t ms) {
    const std::int64_t s = ms / 1000;
    return two(s / 3600) + ":" + two(s / 60 % 60) + ":" + two(s % 60);
}

Value from_engine(engine::Value&& v) {
    switch (v.kind) {
    case engine::ValueKind::Null: return {};
    case engine::ValueKind::Integer: return static_cast<std::int32_t>(v.integer);
    case engine::ValueKind::Float: return v.number;
    case engine::ValueKind::Text: return std::move(v.text);
    case engine::ValueKind::Logical: return AnsiString(v.integer ? "True" : "False");
    case engine::ValueKind::Date: return date_text(v.integer);
    case engine::ValueKind::Time: return time_text(v.integer);
    case engine::ValueKind::Timestamp: {
        const std::int64_t ms = static_cast<std::int64_t>(v.number);
        return date_text(ms / 86400000) + " " + time_text(ms % 86400000);
    }
    case engine::ValueKind::Bytes:
    case engine::ValueKind::Blob: break;
    }
    return {};
}

engine::Value to_engine(const Value& v) {
    if (auto* i = std::get_if<std::int32_t>(&v)) return engine::Value::of_int(*i);
    if (auto* d = std::get_if<double>(&v)) return engine::Value::of_float(*d);
    if (auto* s = std::get_if<AnsiString>(&v)) return engine::Value::of_text(*s);
    return engine::Value::null();
}

class EngineCursor final : public TableCursor {
public:
    explicit EngineCursor(std::shared_ptr<engine::Table> table) : m_cursor(std::move(table)) {
        for (const engine::FieldDesc& f : m_cursor.table().fields())
            m_fields.push_back({f.name, field_type(f.type), f.type == engine::FieldType::Alpha ? f.size : 0});
        m_order = &m_cursor.table().order(m_cursor.index());
        find_covered();
    }

    const std::vector<FieldDef>& field_defs() const override { return m_fields; }

    std::vector<IndexDef> index_defs() const override {
        std::vector<IndexDef> out;
        for (const engine::IndexDesc& d : m_cursor.table().indexes()) {
            IndexDef def{d.name, {}, d.primary, d.unique, d.descending, d.case_insensitive, d.expression, d.maintained};
            for (int f : d.fields) def.fields.push_back(m_cursor.table().fields()[static_cast<std::size_t>(f)].name);
            out.push_back(std::move(def));
        }
        return out;
    }

    std::int64_t set_order(int index, std::int64_t current) override {
        try {
            // The engine finds the current record in the new order by a search.
            if (current > 0) m_cursor.set_sequence_number(current);
            m_cursor.switch_index_number(index, current > 0);
            m_order = &m_cursor.table().order(index);
            find_covered();
            return current > 0 ? m_cursor.current().sequence : 0;
        } catch (const engine::EngineError& e) {
            rethrow(e);
        }
    }

    std::int64_t record_count() const override { return m_order->size(); }

    RecordId record_at(std::int64_t seq) const override {
        try {
            const RecordId id = m_order->record_at(static_cast<std::uint32_t>(seq - 1));
            m_cursor.check_intact();
            return id;
        } catch (const engine::EngineError& e) {
            rethrow(e);
        }
    }

    std::int64_t seq_of(RecordId id) const override {
        if (id < 0 || id >= static_cast<RecordId>(m_order->size())) return 0;
        try {
            const std::int64_t seq = static_cast<std::int64_t>(m_order->position_of(static_cast<std::uint32_t>(id))) + 1;
            m_cursor.check_intact();
            return seq;
        } catch (const engine::EngineError& e) {
            rethrow(e);
        }
    }

    bool read(std::int64_t seq, int field, Value& out) const override {
        try {
            // The engine reads the active index's own fields from its file.
            if (m_fields[static_cast<std::size_t>(field)].type == FieldType::String) {
                // Text straight into the value; a blank field is null.
                AnsiString* text = std::get_if<AnsiString>(&out);
                if (!text) text = &out.emplace<AnsiString>();
                m_cursor.text_at(seq, field, *text);
                if (text->empty()) out = Value{};
            } else {
                out = from_engine(m_cursor.value_at(seq, field));
            }
            return !m_covered[static_cast<std::size_t>(field)];
        } catch (const engine::EngineError& e) {
            rethrow(e);
        }
    }

    void prefetch(std::int64_t seq) const override {
        if (seq < 1 || seq > static_cast<std::int64_t>(m_order->size())) return;
        try {
            __builtin_prefetch(m_cursor.table().raw_record(m_order->record_at(static_cast<std::uint32_t>(seq - 1))));
        } catch (const engine::EngineError&) {
            // A bad index entry is reported when the record is read.
        }
    }

    std::int64_t seek_nearest(const Value& key) const override {
        try {
            // The cursor lands in the gap before the found record; next() steps onto it.
            m_cursor.set_to_key(to_engine(key));
            return m_cursor.next().sequence;
        } catch (const engine::EngineError& e) {
            if (e.code() == engine::kErrEof) return record_count() + 1;
            rethrow(e);
        }
    }

    std::int64_t seek_key(const Value& key) const override {
        try {
            return m_cursor.get_record_for_key(to_engine(key)) ? m_cursor.current().sequence : 0;
        } catch (const engine::EngineError& e) {
            rethrow(e);
        }
    }

    std::int64_t find_prefix(int field, std::string_view prefix, std::int64_t from, std::int64_t to) const override {
        try {
            const engine::FieldScan scan(m_cursor.table(), m_cursor.index(), field);
            if (!scan.text_searchable()) return -1;
            return found(scan.find_prefix(prefix, position(from), position(to)));
        } catch (const engine::EngineError& e) {
            rethrow(e);
        }
    }

    std::int64_t find_integer(int field, const std::vector<std::int64_t>& sorted_values, std::int64_t from,
                              std::int64_t to) const override {
        try {
            const engine::FieldScan scan(m_cursor.table(), m_cursor.index(), field);
            if (!scan.integer_searchable()) return -1;
            return found(scan.find_integer(sorted_values, position(from), position(to)));
        } catch (const engine::EngineError& e) {
            rethrow(e);
        }
    }

    std::unique_ptr<TableCursor> clone() const override {
        auto c = std::make_unique<EngineCursor>(m_cursor.table_ptr());
        c->set_order(-1, 0);
        return c;
    }

private:
    std::uint32_t position(std::int64_t seq) const {
        return static_cast<std::uint32_t>(std::clamp<std::int64_t>(seq, 1, std::max<std::int64_t>(record_count(), 1)) - 1);
    }
    static std::int64_t found(std::int64_t position) { return position < 0 ? 0 : position + 1; }

    void find_covered() {
        m_covered.assign(m_fields.size(), false);
        if (m_cursor.index() < 0 || !m_order->from_file()) return;
        for (int f : m_cursor.table().indexes()[static_cast<std::size_t>(m_cursor.index())].fields)
            m_covered[static_cast<std::size_t>(f)] = true;
    }

    // Searches and reads position the engine's cursor; the dataset keeps its own current record.
    mutable engine::Cursor m_cursor;
    const engine::IndexOrder* m_order = nullptr;
    std::vector<FieldDef> m_fields;
    std::vector<bool> m_covered;
};

class EngineDatabase final : public Connection {
public:
    explicit EngineDatabase(const ConnectParams& params) {
        if (!params.driver_name.empty() && text::ansi_compare_text(params.driver_name, "STANDARD") != 0)
            throw EDatabaseError("Unknown driver: " + params.driver_name);
        // A PATH parameter names the folder of this database alone.
        for (const AnsiString& p : params.params)
            if (text::ansi_starts_with_text(p, "PATH="))
                m_config.aliases[params.database_name] = text::cp1251_to_utf8(p.substr(5));
        try {
            m_database = std::make_unique<engine::Database>(engine::Database::connect(params.database_name, m_config));
        } catch (const engine::EngineError& e) {
            rethrow(e);
        }
    }

    std::unique_ptr<TableCursor> open_table(const AnsiString& table_name, bool read_only,
                                            const std::vector<AnsiString>& passwords) override {
        engine::OpenOptions options;
        options.read_write = !read_only;
        options.passwords = passwords;
        try {
            return std::make_unique<EngineCursor>(m_database->open_table(table_name, options));
        } catch (const engine::EngineError& e) {
            rethrow(e);
        }
    }

private:
    engine::Config m_config = engine::config();
    std::unique_ptr<engine::Database> m_database;
};

}  // namespace

Connector engine_connector() {
    return [](const ConnectParams& params) -> std::unique_ptr<Connection> {
        return std::make_unique<EngineDatabase>(params);
    };
}

}  // namespace db
