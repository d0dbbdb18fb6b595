#include "engine/KeyEncoder.h"

#include "engine/EngineError.h"
#include "engine/FieldCodec.h"
#include "text/Cp1251.h"

#include <algorithm>
#include <cstring>

namespace engine {
namespace {

bool contains_text(std::string_view s, std::string_view part) {
    if (part.size() > s.size()) return false;
    for (std::size_t i = 0; i + part.size() <= s.size(); ++i)
        if (text::ansi_compare_text(s.substr(i, part.size()), part) == 0) return true;
    return false;
}

}  // namespace

Collation collation_for(std::string_view sort_order) {
    if (sort_order.empty() || contains_text(sort_order, "ascii")) return Collation::Binary;
    if (contains_text(sort_order, "cyr") || contains_text(sort_order, "rus")) return Collation::Russian;
    return Collation::CaseInsensitive;
}

KeyEncoder::KeyEncoder(std::vector<FieldDesc> key_fields, Collation collation, const CodePage& cp,
                       bool case_insensitive, bool descending)
    : m_fields(std::move(key_fields)), m_descending(descending), m_cp(&cp) {
    if (collation == Collation::Binary && case_insensitive) collation = Collation::CaseInsensitive;
    for (int c = 0; c < 256; ++c) {
        const auto raw = static_cast<unsigned char>(c);
        unsigned char w = raw;
        if (collation != Collation::Binary) {
            const bool cyrillic_page = cp.number() == 1251 || cp.number() == 866;
            if (raw < 0x80 || cyrillic_page) {
                w = text::ansi_upper(cp.to_ansi(raw));
                if (collation == Collation::Russian && w == 0xA8) w = 0xC5;  // Ё sorts as Е
            }
        }
        m_weight[static_cast<std::size_t>(c)] = w == 0 ? 1 : w;
    }
    for (const auto& f : m_fields) m_max_length += static_cast<std::size_t>(f.width) + (f.type == FieldType::Alpha ? 1 : 0);
}

void KeyEncoder::encode_field(const FieldDesc& f, const unsigned char* raw, std::string& out) const {
    const std::size_t start = out.size();
    if (f.type == FieldType::Alpha) {
        for (int i = 0; i < f.width && raw[i] != 0; ++i) out.push_back(static_cast<char>(m_weight[raw[i]]));
        out.push_back('\0');
    } else {
        out.append(reinterpret_cast<const char*>(raw), static_cast<std::size_t>(f.width));
    }
    if (m_descending)
        for (std::size_t i = start; i < out.size(); ++i) out[i] = static_cast<char>(~static_cast<unsigned char>(out[i]));
}

void KeyEncoder::encode_record(const unsigned char* record, std::string& out) const {
    out.clear();
    for (const auto& f : m_fields) encode_field(f, record + f.offset, out);
}

int KeyEncoder::compare_records(const unsigned char* a, const unsigned char* b) const {
    for (const auto& f : m_fields) {
        const unsigned char* x = a + f.offset;
        const unsigned char* y = b + f.offset;
        int c = 0;
        if (f.type == FieldType::Alpha) {
            // Weights are never zero, so the end of the text sorts first, like the key's zero byte.
            for (int i = 0; i < f.width; ++i) {
                const unsigned wx = x[i] ? m_weight[x[i]] : 0;
                const unsigned wy = y[i] ? m_weight[y[i]] : 0;
                if (wx != wy) {
                    c = wx < wy ? -1 : 1;
                    break;
                }
                if (wx == 0) break;
            }
        } else {
            c = std::memcmp(x, y, static_cast<std::size_t>(f.width));
            c = c < 0 ? -1 : c > 0 ? 1 : 0;
        }
        if (c != 0) return m_descending ? -c : c;
    }
    return 0;
}

std::uint64_t KeyEncoder::head(const unsigned char* record, std::size_t from) const {
    std::uint64_t h = 0;
    int n = 0;
    std::size_t skip = from;
    const unsigned char flip = m_descending ? 0xFF : 0x00;
    auto put = [&](unsigned char byte) {
        if (skip > 0) {
            --skip;
            return false;
        }
        h = (h << 8) | static_cast<unsigned char>(byte ^ flip);
        return ++n == 8;
    };
    for (const auto& f : m_fields) {
        const unsigned char* raw = record + f.offset;
        if (f.type == FieldType::Alpha) {
            int i = 0;
            for (; i < f.width && raw[i] != 0; ++i)
                if (put(m_weight[raw[i]])) return h;
            if (put(0)) return h;
        } else {
            for (int i = 0; i < f.width; ++i)
                if (put(raw[i])) return h;
        }
    }
    return n == 0 ? 0 : h << (8 * (8 - n));
}

std::string KeyEncoder::encode_target(const Value& key) const {
    const FieldDesc& f = m_fields.front();
    std::string out;
    if (f.type == FieldType::Alpha) {
        if (key.kind != ValueKind::Text && !key.is_null())
            throw EngineError(kErrInvalidArgument, "Field " + f.name + " needs a text key");
        const std::size_t n = std::min(key.text.size(), static_cast<std::size_t>(f.width));
        for (std::size_t i = 0; i < n && key.text[i] != 0; ++i)
            out.push_back(static_cast<char>(m_weight[m_cp->from_ansi(static_cast<unsigned char>(key.text[i]))]));
    } else {
        if (is_blob_type(f.type)) throw EngineError(kErrInvalidArgument, "Field " + f.name + " cannot be a key");
        out.resize(static_cast<std::size_t>(f.width));
        engine::encode_field(f, key, *m_cp, reinterpret_cast<unsigned char*>(out.data()));
    }
    if (m_descending)
        for (auto& c : out) c = static_cast<char>(~static_cast<unsigned char>(c));
    return out;
}

int KeyEncoder::compare_first(const unsigned char* raw, std::string_view target) const {
    const FieldDesc& f = m_fields.front();
    const auto* t = reinterpret_cast<const unsigned char*>(target.data());
    if (f.type == FieldType::Alpha) {
        // Only as much of the field as the target is long takes part: a field
        // that begins with the target compares equal (the prefix rule).
        const unsigned char flip = m_descending ? 0xFF : 0x00;
        for (std::size_t i = 0; i < target.size(); ++i) {
            if (static_cast<int>(i) >= f.width || raw[i] == 0) {
                // The field ended first: it is a shorter string than the target.
                return m_descending ? 1 : -1;
            }
            const unsigned char w = static_cast<unsigned char>(m_weight[raw[i]] ^ flip);
            if (w != t[i]) return w < t[i] ? -1 : 1;
        }
        return 0;
    }
    for (std::size_t i = 0; i < target.size(); ++i) {
        const unsigned char w = m_descending ? static_cast<unsigned char>(~raw[i]) : raw[i];
        if (w != t[i]) return w < t[i] ? -1 : 1;
    }
    return 0;
}

bool KeyEncoder::equals_first(const unsigned char* raw, std::string_view target) const {
    if (compare_first(raw, target) != 0) return false;
    const FieldDesc& f = m_fields.front();
    // Text: the field must end where the target does.
    return f.type != FieldType::Alpha || static_cast<int>(target.size()) >= f.width || raw[target.size()] == 0;
}

std::vector<std::uint32_t> KeyEncoder::sort(std::uint32_t count,
                                            const std::function<const unsigned char*(std::uint32_t)>& record) const {
    // Fixed-stride keys with an 8-byte big-endian head: most comparisons end
    // on the head, the rest fall back to memcmp of the tail.
    const std::size_t stride = std::max<std::size_t>(m_max_length, 8);
    std::vector<unsigned char> keys(static_cast<std::size_t>(count) * stride, 0);
    struct Entry { std::uint64_t head; std::uint32_t record; };
    std::vector<Entry> entries(count);
    std::string key;
    key.reserve(m_max_length);
    for (std::uint32_t n = 0; n < count; ++n) {
        encode_record(record(n), key);
        unsigned char* k = keys.data() + static_cast<std::size_t>(n) * stride;
        std::memcpy(k, key.data(), key.size());
        std::uint64_t head = 0;
        for (int i = 0; i < 8; ++i) head = (head << 8) | k[i];
        entries[n] = {head, n};
    }
    std::sort(entries.begin(), entries.end(), [&](const Entry& a, const Entry& b) {
        if (a.head != b.head) return a.head < b.head;
        if (stride > 8) {
            int c = std::memcmp(keys.data() + static_cast<std::size_t>(a.record) * stride + 8,
                                keys.data() + static_cast<std::size_t>(b.record) * stride + 8, stride - 8);
            if (c != 0) return c < 0;
        }
        return a.record < b.record;
    });
    std::vector<std::uint32_t> order(count);
    for (std::uint32_t i = 0; i < count; ++i) order[i] = entries[i].record;
    return order;
}

std::int64_t KeyEncoder::first_duplicate(const std::vector<std::uint32_t>& order,
                                         const std::function<const unsigned char*(std::uint32_t)>& record) const {
    std::string previous, current;
    for (std::size_t i = 0; i < order.size(); ++i) {
        encode_record(record(order[i]), current);
        if (i > 0 && current == previous) return static_cast<std::int64_t>(order[i]);
        std::swap(previous, current);
    }
    return -1;
}

}  // namespace engine
