#include "tools/TableReport.h"

#include "engine/Cursor.h"
#include "engine/EngineError.h"
#include "text/Cp1251.h"

#include <charconv>
#include <cstdio>

namespace tools {
namespace {

std::string two(int v) {
    char b[8];
    std::snprintf(b, sizeof b, "%02d", v);
    return b;
}

std::string date_text(std::int64_t days) {
    const auto d = engine::date_from_days(days);
    char b[32];
    std::snprintf(b, sizeof b, "%04d-%02d-%02d", d.year, d.month, d.day);
    return b;
}

std::string time_text(std::int64_t ms) {
    const std::int64_t s = ms / 1000;
    return two(static_cast<int>(s / 3600)) + ":" + two(static_cast<int>(s / 60 % 60)) + ":" + two(static_cast<int>(s % 60));
}

}  // namespace

std::string format_value(const engine::Value& v) {
    using engine::ValueKind;
    switch (v.kind) {
    case ValueKind::Null:
    case ValueKind::Blob: return {};
    case ValueKind::Integer: return std::to_string(v.integer);
    case ValueKind::Float: {
        char b[64];
        auto r = std::to_chars(b, b + sizeof b, v.number);
        return std::string(b, r.ptr);
    }
    case ValueKind::Text: return text::cp1251_to_utf8(v.text);
    case ValueKind::Logical: return v.integer ? "true" : "false";
    case ValueKind::Date: return date_text(v.integer);
    case ValueKind::Time: return time_text(v.integer);
    case ValueKind::Timestamp: {
        const auto ms = static_cast<std::int64_t>(v.number);
        const std::int64_t day_ms = 86400000;
        std::int64_t days = ms / day_ms;
        if (ms % day_ms < 0) --days;
        return date_text(days) + " " + time_text(ms - days * day_ms);
    }
    case ValueKind::Bytes: {
        static const char* hex = "0123456789abcdef";
        std::string out;
        for (unsigned char c : v.text) {
            out.push_back(hex[c >> 4]);
            out.push_back(hex[c & 15]);
        }
        return out;
    }
    }
    return {};
}

std::string csv_field(std::string_view s) {
    if (s.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(s);
    std::string out = "\"";
    for (char c : s) {
        if (c == '"') out.push_back('"');
        out.push_back(c);
    }
    out.push_back('"');
    return out;
}

void print_info(const engine::Table& t, std::ostream& out) {
    out << "Table:       " << t.path().string() << "\n";
    out << "Version:     " << t.version() / 10 << "." << t.version() % 10 << "\n";
    out << "Code page:   " << t.code_page() << "\n";
    out << "Sort order:  " << (t.sort_order().empty() ? std::string("(none)") : text::cp1251_to_utf8(t.sort_order())) << "\n";
    out << "Records:     " << t.record_count() << "\n";
    out << "Fields:\n";
    for (const auto& f : t.fields()) {
        out << "  " << text::cp1251_to_utf8(f.name) << "  " << engine::field_type_name(f.type);
        if (f.type == engine::FieldType::Alpha || f.type == engine::FieldType::Bytes || f.type == engine::FieldType::Bcd ||
            engine::is_blob_type(f.type))
            out << f.size;
        out << "\n";
    }
    out << "Indexes:\n";
    if (t.indexes().empty()) out << "  (none)\n";
    for (const auto& ix : t.indexes()) {
        out << "  " << (ix.primary ? std::string("(primary)") : text::cp1251_to_utf8(ix.name)) << "  (";
        for (std::size_t i = 0; i < ix.fields.size(); ++i)
            out << (i ? "; " : "") << text::cp1251_to_utf8(t.fields()[static_cast<std::size_t>(ix.fields[i])].name);
        out << ")";
        if (ix.primary) out << " primary";
        if (ix.unique) out << " unique";
        if (ix.descending) out << " descending";
        if (ix.case_insensitive) out << " case-insensitive";
        if (ix.maintained) out << " maintained";
        out << "\n";
    }
}

void print_csv(const engine::Table& t, std::string_view index_name, std::ostream& out) {
    int index = -1;
    if (!index_name.empty()) {
        index = t.find_index(index_name);
        if (index < 0) throw engine::EngineError(engine::kErrInvalidArgument, "Index " + std::string(index_name) + " does not exist");
    }
    const auto& fields = t.fields();
    for (std::size_t i = 0; i < fields.size(); ++i) out << (i ? "," : "") << csv_field(text::cp1251_to_utf8(fields[i].name));
    out << "\r\n";
    const engine::IndexOrder& order = t.order(index);
    std::string line;
    for (std::uint32_t p = 0; p < order.size(); ++p) {
        const std::uint32_t r = order.record_at(p);
        line.clear();
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (i) line.push_back(',');
            line += csv_field(format_value(t.value(r, static_cast<int>(i))));
        }
        line += "\r\n";
        out << line;
    }
}

}  // namespace tools
