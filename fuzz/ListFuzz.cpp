// Any bytes must read as a list: the header is taken or refused with a
// message, every row comes back good or with a reason, the same whatever
// sizes the bytes come in, and no message carries a control byte, bytes that
// are not UTF-8 or an unbounded piece of the input.
#include "tools/ListReader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

void check_message(std::string_view m) {
    if (m.size() > 2000) std::abort();
    for (std::size_t i = 0; i < m.size();) {
        const auto c = static_cast<unsigned char>(m[i]);
        if (c < 0x20 || c == 0x7F) std::abort();
        std::size_t n = c < 0x80 ? 1 : c >= 0xC2 && c < 0xE0 ? 2 : c >= 0xE0 && c < 0xF0 ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
        if (n == 0 || i + n > m.size()) std::abort();
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(m[i + k]) & 0xC0) != 0x80) std::abort();
        if (c == 0xC2 && static_cast<unsigned char>(m[i + 1]) < 0xA0) std::abort();  // a C1 control
        i += n;
    }
}

std::vector<std::string> read_all(std::string_view input, std::size_t chunk, tools::ListEncoding encoding) {
    std::vector<std::string> out;
    tools::MemorySource source(input, chunk);
    try {
        tools::ListReader reader(source, encoding, "list.csv: ");
        tools::ListRow row;
        std::size_t last = 0;
        while (reader.next(row)) {
            if (row.line <= last || reader.position() > input.size()) std::abort();
            last = row.line;
            std::string seen = std::to_string(row.line) + (row.good ? "+" : "-");
            if (row.good) {
                for (const auto& f : row.fields) {
                    if (f.size() > 25) std::abort();
                    for (unsigned char c : f)
                        if (c < 0x20 || c == 0x7F || c == 0x98) std::abort();
                    seen += f + '\0';
                }
            } else {
                check_message(row.reason);
                seen += row.reason;
            }
            out.push_back(std::move(seen));
        }
    } catch (const std::runtime_error& e) {
        check_message(e.what());
        if (std::string_view(e.what()).substr(0, 17) != "list.csv: line 1:") std::abort();
        out.push_back(std::string("!") + e.what());
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    for (auto encoding : {tools::ListEncoding::Detect, tools::ListEncoding::Cp1251}) {
        const auto whole = read_all(input, SIZE_MAX, encoding);
        if (read_all(input, 1 + size % 5, encoding) != whole) std::abort();
    }
    return 0;
}
