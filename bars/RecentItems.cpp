#include "bars/RecentItems.h"

namespace dxbar {

int recent_threshold(int percents) {
    percents = std::clamp(percents, 0, 100);
    if (percents == 100) return 0;
    int n = 1;
    while (n * (100 - percents) / 100 == 0) ++n;
    return n;
}

}  // namespace dxbar
