// pxlib as an independent reader: every value of a table as our engine and
// pxlib see it must agree. Tests only.
#pragma once

#include "engine/CodePage.h"
#include "engine/Table.h"

#include <gtest/gtest.h>
extern "C" {
#include <paradox.h>
}

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace pxlib_check {

using namespace engine;

struct PxDoc {
    explicit PxDoc(const std::filesystem::path& p) : doc(PX_new()) { opened = PX_open_file(doc, p.c_str()) == 0; }
    ~PxDoc() {
        if (opened) PX_close(doc);
        PX_delete(doc);
    }
    pxdoc_t* doc;
    bool opened = false;
};

// Every value of every record as our engine and pxlib read it.
inline void expect_agrees_with_pxlib(const std::filesystem::path& path, const OpenOptions& options = {}) {
    const std::string name = path.filename().string();
    auto table = Table::open(path, options);
    PxDoc px(path);
    ASSERT_TRUE(px.opened);
    const int nf = PX_get_num_fields(px.doc);
    ASSERT_EQ(static_cast<std::size_t>(nf), table->fields().size());
    ASSERT_EQ(static_cast<std::uint32_t>(PX_get_num_records(px.doc)), table->record_count());
    pxfield_t* pf = PX_get_fields(px.doc);
    const CodePage& cp = CodePage::get(table->code_page());
    std::vector<char> rec(static_cast<std::size_t>(px.doc->px_head->px_recordsize));
    for (std::uint32_t r = 0; r < table->record_count(); ++r) {
        ASSERT_NE(PX_get_record(px.doc, static_cast<int>(r), rec.data()), nullptr);
        int off = 0;
        for (int i = 0; i < nf; ++i) {
            const FieldDesc& f = table->fields()[static_cast<std::size_t>(i)];
            ASSERT_EQ(static_cast<int>(f.type), pf[i].px_ftype);
            ASSERT_EQ(f.width, pf[i].px_flen);
            char* d = rec.data() + off;
            off += pf[i].px_flen;
            const Value v = table->value(r, i);
            SCOPED_TRACE(::testing::Message() << name << " record " << r << " field " << i);
            // pxlib hands out all-zero numbers as values; Paradox means blank by them.
            bool blank = true;
            for (int k = 0; k < f.width; ++k) blank = blank && d[k] == 0;
            if (blank && !is_blob_type(f.type)) {
                EXPECT_TRUE(v.is_null());
                continue;
            }
            switch (f.type) {
            case FieldType::Alpha: {
                char* s = nullptr;
                if (PX_get_data_alpha(px.doc, d, pf[i].px_flen, &s) > 0 && s) {
                    EXPECT_EQ(v.text, cp.to_ansi(s));
                    px.doc->free(px.doc, s);
                } else {
                    EXPECT_TRUE(v.is_null());
                }
                break;
            }
            case FieldType::Short: {
                short s = 0;
                if (PX_get_data_short(px.doc, d, 2, &s) > 0) EXPECT_EQ(v.integer, s); else EXPECT_TRUE(v.is_null());
                break;
            }
            case FieldType::Long:
            case FieldType::AutoInc:
            case FieldType::Date:
            case FieldType::Time: {
                long l = 0;
                if (PX_get_data_long(px.doc, d, 4, &l) > 0) EXPECT_EQ(v.integer, l); else EXPECT_TRUE(v.is_null());
                break;
            }
            case FieldType::Number:
            case FieldType::Currency:
            case FieldType::Timestamp: {
                double x = 0;
                if (PX_get_data_double(px.doc, d, 8, &x) > 0) EXPECT_EQ(v.number, x); else EXPECT_TRUE(v.is_null());
                break;
            }
            case FieldType::Logical: {
                char b = 0;
                if (PX_get_data_byte(px.doc, d, 1, &b) > 0) EXPECT_EQ(v.integer, b ? 1 : 0); else EXPECT_TRUE(v.is_null());
                break;
            }
            case FieldType::Bcd: {
                char* s = nullptr;
                if (!v.is_null() && PX_get_data_bcd(px.doc, reinterpret_cast<unsigned char*>(d), pf[i].px_fdc, &s) > 0 && s) {
                    EXPECT_NEAR(v.number, std::strtod(s, nullptr), 1e-9);
                    px.doc->free(px.doc, s);
                }
                break;
            }
            default:
                EXPECT_TRUE(v.kind == ValueKind::Blob || v.kind == ValueKind::Bytes || v.is_null());
                break;
            }
        }
    }
}

}  // namespace pxlib_check
