#include "engine/Table.h"

#include "engine/EngineError.h"
#include "engine/FieldCodec.h"
#include "text/Cp1251.h"

#include <algorithm>
#include <sys/stat.h>
#include <unistd.h>

namespace engine {
namespace {

int hex_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// ".X0A" -> single-field index on field 10; ".XG3" -> composite index file 3.
struct IndexFileName { bool composite = false; int number = -1; };
std::optional<IndexFileName> parse_index_extension(const std::string& ext) {
    if (ext.size() < 3 || ext[0] != '.' || (ext[1] != 'X' && ext[1] != 'x')) return std::nullopt;
    if (ext[2] == 'G' || ext[2] == 'g') {
        if (ext.size() != 4 || hex_value(ext[3]) < 0) return std::nullopt;
        return IndexFileName{true, hex_value(ext[3])};
    }
    if (ext.size() != 4 || hex_value(ext[2]) < 0 || hex_value(ext[3]) < 0) return std::nullopt;
    return IndexFileName{false, hex_value(ext[2]) * 16 + hex_value(ext[3])};
}

}  // namespace

std::shared_ptr<Table> Table::open(const std::filesystem::path& path, const OpenOptions& options, const Config& cfg) {
    return std::make_shared<Table>(Key{}, path, options, cfg);
}

Table::Table(Key, const std::filesystem::path& path, const OpenOptions& options, const Config& cfg)
    : m_file(path, cfg.default_code_page, options.passwords),
      m_cp(&CodePage::get(m_file.code_page())),
      m_collation(collation_for(m_file.header().sort_order)),
      m_default_code_page(cfg.default_code_page),
      m_index_check_limit(cfg.index_check_limit),
      m_passwords(options.passwords) {
    const int t = m_file.header().file_type;
    if (t != 0 && t != 2)
        throw EngineError(kErrUnsupported, text::utf8_to_cp1251(path.string()) + ": an index file, not a table");
    if (options.read_write) {
        // A file marked read-only counts as one even for a user the system would let write it.
        struct stat st {};
        if (::access(path.c_str(), W_OK) != 0 || ::stat(path.c_str(), &st) != 0 ||
            (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
            throw EngineError(kErrNoWriteAccess, text::utf8_to_cp1251(path.string()) + ": no write access");
        m_read_only = false;
    }
    if (keyed()) {
        IndexDesc primary;
        primary.primary = true;
        primary.unique = true;
        for (int i = 0; i < key_field_count(); ++i) {
            primary.fields.push_back(i);
            if (fields()[static_cast<std::size_t>(i)].type == FieldType::Alpha && m_collation != Collation::Binary)
                primary.case_insensitive = true;
        }
        m_indexes.push_back(std::move(primary));
    }
    find_index_files(cfg.default_code_page);
    m_orders.resize(m_indexes.size());
    m_encoders.resize(m_indexes.size());
}

void Table::find_index_files(int default_code_page) {
    const auto dir = path().has_parent_path() ? path().parent_path() : std::filesystem::path(".");
    const std::string stem = path().stem().string();
    struct Found { IndexFileName kind; std::filesystem::path file; };
    std::vector<Found> found;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) {
        const auto& p = entry.path();
        if (text::ansi_compare_text(p.stem().string(), stem) != 0) continue;
        if (auto kind = parse_index_extension(p.extension().string())) found.push_back({*kind, p});
    }
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        if (a.kind.composite != b.kind.composite) return !a.kind.composite;
        if (a.kind.number != b.kind.number) return a.kind.number < b.kind.number;
        return a.file < b.file;
    });
    for (const auto& f : found) {
        // The header says which fields the index holds and how; the entries are
        // checked against the table when its order is first needed.
        IndexDesc d;
        d.file = f.file;
        try {
            ParadoxFile x(f.file, default_code_page, {}, false);
            const bool composite_type = x.header().file_type == 6 || x.header().file_type == 8;
            if (composite_type != f.kind.composite) continue;
            auto l = SecondaryIndexFile::describe(x.header(), m_file.header());
            if (!l) continue;
            d.fields = l->fields;
            d.unique = l->unique;
            d.descending = l->descending;
            d.case_insensitive = l->case_insensitive;
            d.maintained = l->maintained;
            d.name = f.kind.composite ? x.header().index_name : fields()[static_cast<std::size_t>(d.fields.front())].name;
            if (d.name.empty()) d.name = text::utf8_to_cp1251(f.file.extension().string().substr(1));
        } catch (const EngineError&) {
            continue;  // an index file we cannot read is left out; the table stays readable
        }
        for (int n : d.fields)
            if (fields()[static_cast<std::size_t>(n)].type == FieldType::Alpha && m_collation != Collation::Binary)
                d.case_insensitive = true;
        if (find_index(d.name) >= 0) continue;
        m_indexes.push_back(std::move(d));
    }
}

int Table::field_index(std::string_view name) const {
    const auto& f = fields();
    for (std::size_t i = 0; i < f.size(); ++i)
        if (f[i].name.size() == name.size() && text::ansi_compare_text(f[i].name, name) == 0) return static_cast<int>(i);
    return -1;
}

int Table::find_index(std::string_view name) const {
    for (std::size_t i = 0; i < m_indexes.size(); ++i)
        if (m_indexes[i].name.size() == name.size() && text::ansi_compare_text(m_indexes[i].name, name) == 0)
            return static_cast<int>(i);
    return -1;
}

Value Table::value(std::uint32_t record, int field) const {
    const FieldDesc& f = fields()[static_cast<std::size_t>(field)];
    Value v = decode_field(f, m_file.record(record) + f.offset, *m_cp);
    m_file.check_intact();
    return v;
}

void Table::text(std::uint32_t record, int field, std::string& out) const {
    const FieldDesc& f = fields()[static_cast<std::size_t>(field)];
    if (f.type != FieldType::Alpha) throw EngineError(kErrInvalidArgument, "Field " + f.name + " is not text");
    decode_alpha(f, m_file.record(record) + f.offset, *m_cp, out);
    m_file.check_intact();
}

const KeyEncoder& Table::key_encoder(int index) const {
    auto& slot = m_encoders[static_cast<std::size_t>(index)];
    if (!slot) {
        const IndexDesc& d = m_indexes[static_cast<std::size_t>(index)];
        std::vector<FieldDesc> key;
        for (int n : d.fields) key.push_back(fields()[static_cast<std::size_t>(n)]);
        slot = std::make_unique<KeyEncoder>(std::move(key), m_collation, *m_cp, d.case_insensitive, d.descending);
    }
    return *slot;
}

const IndexOrder& Table::order(int index) const {
    if (index < 0) {
        if (!m_physical) m_physical = IndexOrder::identity(record_count());
        return *m_physical;
    }
    auto& slot = m_orders[static_cast<std::size_t>(index)];
    if (slot) return *slot;
    const IndexDesc& d = m_indexes[static_cast<std::size_t>(index)];
    if (d.primary) {
        slot = IndexOrder::identity(record_count());
        return *slot;
    }
    // An order made while the file changed under us is never kept.
    if (!d.file.empty()) {
        if (auto file = open_index_file(d)) {
            file->check_intact();
            slot = IndexOrder::mapped(std::move(file));
            return *slot;
        }
    }
    auto sorted = key_encoder(index).sort(record_count(), [this](std::uint32_t n) { return m_file.record(n); });
    m_file.check_intact();
    slot = IndexOrder::in_memory(std::move(sorted));
    return *slot;
}

std::unique_ptr<SecondaryIndexFile> Table::open_index_file(const IndexDesc& d) const {
    // Entries are checked one by one as they are used, which keeps the first
    // use of a big index quick; a small table or an index its writer does not
    // keep up to date is checked whole before it is trusted.
    try {
        auto x = std::make_unique<ParadoxFile>(d.file, m_default_code_page, m_passwords);
        const auto l = SecondaryIndexFile::describe(x->header(), m_file.header());
        if (!l || l->fields != d.fields || x->record_count() != record_count() || x->header().needs_rebuild)
            return nullptr;
        auto file = std::make_unique<SecondaryIndexFile>(std::move(x), m_file, *l);
        if ((record_count() <= m_index_check_limit || !l->maintained) && !file->verify_all()) return nullptr;
        return file;
    } catch (const EngineError&) {
        return nullptr;  // damaged: like a stale file, the order is rebuilt from the table itself
    }
}

bool Table::order_from_file(int index) const {
    return index >= 0 && m_orders[static_cast<std::size_t>(index)] && m_orders[static_cast<std::size_t>(index)]->from_file();
}

}  // namespace engine
