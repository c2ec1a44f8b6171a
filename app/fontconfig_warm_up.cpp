#include "app/fontconfig_warm_up.h"

#if KALVOR_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

namespace kalvor::app {

FontConfigWarmUp::FontConfigWarmUp() {
#if KALVOR_HAVE_FONTCONFIG
    // Fontconfig sets up its one configuration atomically: should Qt ask for it first after
    // all, both threads load it and one of the two is thrown away.
    if (std::thread::hardware_concurrency() > 1) {
        thread_ = std::thread([] { FcInit(); });
    }
#endif
}

FontConfigWarmUp::~FontConfigWarmUp() {
    Join();
}

void FontConfigWarmUp::Join() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

} // namespace kalvor::app
