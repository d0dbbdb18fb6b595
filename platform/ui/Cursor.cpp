#include "platform/ui/Cursor.h"

#include "platform/gfx/TBitmap.h"
#include "text/Cp1251.h"

#include <map>
#include <mutex>
#include <string>

namespace ui {

Cursor named_cursor(std::string_view name) {
    static std::mutex mutex;
    static std::map<std::string, std::shared_ptr<const gfx::MaskedImage>> loaded;
    const std::string key = text::ansi_upper_case(name);
    std::lock_guard lock(mutex);
    auto it = loaded.find(key);
    if (it == loaded.end())
        it = loaded.emplace(key, std::make_shared<const gfx::MaskedImage>(gfx::load_cursor(name))).first;
    Cursor c;
    c.image = it->second;
    return c;
}

}  // namespace ui
