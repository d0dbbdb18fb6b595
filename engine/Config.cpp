#include "engine/Config.h"

namespace engine {

Config& config() {
    static Config c;
    return c;
}

}  // namespace engine
