// Any bytes must parse; what the parser keeps must survive a write and a
// re-read unchanged, and the typed readers must never fail.
#include "platform/forms/TMemIniFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    TMemIniFile ini("/nonexistent/fuzz.ini");
    ini.SetText(input);
    const AnsiString written = ini.Text();

    TMemIniFile again("/nonexistent/fuzz.ini");
    again.SetText(written);
    if (again.Text() != written) std::abort();

    for (const AnsiString& section : ini.ReadSections()) {
        if (!again.SectionExists(section)) std::abort();
        for (const AnsiString& ident : ini.ReadSection(section)) {
            (void)ini.ReadInteger(section, ident, 0);
            (void)ini.ReadBool(section, ident, false);
            try {
                ini.WriteString(section, ident, ini.ReadString(section, ident, ""));
            } catch (const EIniFileException&) {
                std::abort();  // anything read must be writable as it is
            }
        }
    }
    if (ini.Text() != written) std::abort();
    return 0;
}
