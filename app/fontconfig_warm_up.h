#pragma once

#include <thread>

namespace kalvor::app {

// Loads the system's font configuration (on Debian some fifty files, parsed, and the font
// caches) on a second thread while Qt connects to the display; the window's first text would
// otherwise load it on the main thread. Join before the window is built. Where there is only
// one core, or no fontconfig (Windows), it starts no thread and the first text loads it.
class FontConfigWarmUp {
public:
    FontConfigWarmUp();
    ~FontConfigWarmUp();
    FontConfigWarmUp(const FontConfigWarmUp &) = delete;
    FontConfigWarmUp &operator=(const FontConfigWarmUp &) = delete;

    void Join();

private:
    std::thread thread_;
};

} // namespace kalvor::app
