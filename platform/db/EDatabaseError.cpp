#include "platform/db/EDatabaseError.h"

#include "platform/classes/TComponent.h"

namespace db {

AnsiString format_message(std::string_view pattern, std::string_view arg) {
    AnsiString out(pattern);
    const auto at = out.find("%s");
    if (at != AnsiString::npos) out.replace(at, 2, arg);
    return out;
}

void database_error(std::string_view message, const TComponent* component) {
    if (component && !component->Name().empty())
        throw EDatabaseError(component->Name() + ": " + AnsiString(message));
    throw EDatabaseError(AnsiString(message));
}

}  // namespace db
