// Databases of our table engine.
#include "platform/db/Session.h"

namespace db {

Connector engine_connector() { return {}; }

}  // namespace db
