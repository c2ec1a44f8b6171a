#include "store/places.h"

#include <cstdlib>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif

namespace kalvor::store {

namespace {

std::optional<std::string> NonEmpty(const Environment &environment, std::string_view name) {
    std::optional<std::string> value = environment(name);
    if (!value || value->empty()) {
        return {};
    }
    return value;
}

// The folder Kalvor keeps its files of one kind in, with a separator at the end.
std::optional<std::string> KalvorFolder(const Environment &environment, System system,
                                        std::string_view xdgVariable, std::string_view underHome) {
    if (system == System::Windows) {
        std::optional<std::string> appData = NonEmpty(environment, "APPDATA");
        if (!appData) {
            return {};
        }
        if (appData->back() != '\\' && appData->back() != '/') {
            *appData += '\\';
        }
        return *appData + "Kalvor\\";
    }
    std::optional<std::string> base = NonEmpty(environment, xdgVariable);
    if (!base || base->front() != '/') {
        base = NonEmpty(environment, "HOME");
        if (!base) {
            return {};
        }
        if (base->back() != '/') {
            *base += '/';
        }
        *base += underHome;
    }
    if (base->back() != '/') {
        *base += '/';
    }
    return *base + "kalvor/";
}

} // namespace

Environment ProcessEnvironment() {
    return [](std::string_view name) -> std::optional<std::string> {
#ifdef _WIN32
        const std::wstring wide(name.begin(), name.end()); // the names are ASCII
        const wchar_t *value = _wgetenv(wide.c_str());
        if (value == nullptr) {
            return {};
        }
        const int size = WideCharToMultiByte(CP_UTF8, 0, value, -1, nullptr, 0, nullptr, nullptr);
        std::string text(static_cast<std::size_t>(size > 0 ? size : 1), '\0');
        WideCharToMultiByte(CP_UTF8, 0, value, -1, text.data(), size, nullptr, nullptr);
        text.pop_back();
        return text;
#else
        const char *value = std::getenv(std::string(name).c_str());
        return value == nullptr ? std::nullopt : std::optional<std::string>(value);
#endif
    };
}

std::optional<std::string> MaterialsFile(const Environment &environment, System system) {
    std::optional<std::string> folder =
        KalvorFolder(environment, system, "XDG_CONFIG_HOME", ".config");
    return folder ? std::optional<std::string>(*folder + "materiali.txt") : std::nullopt;
}

std::optional<std::string> OfferFolder(const Environment &environment, System system) {
    return KalvorFolder(environment, system, "XDG_DATA_HOME", ".local/share");
}

} // namespace kalvor::store
