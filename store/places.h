#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Where the desk's files live, as UTF-8 texts, from the environment alone:
//   Linux    ${XDG_CONFIG_HOME:-~/.config}/kalvor/materiali.txt
//            ${XDG_DATA_HOME:-~/.local/share}/kalvor/           (offers)
//   Windows  %APPDATA%\Kalvor\materiali.txt; %APPDATA%\Kalvor\ for offers
// An XDG variable that is empty or not an absolute path counts as unset. No value when
// neither the variable nor HOME (APPDATA on Windows) gives a place.
namespace kalvor::store {

enum class System : unsigned char { Linux, Windows };
#ifdef _WIN32
inline constexpr System kThisSystem = System::Windows;
#else
inline constexpr System kThisSystem = System::Linux;
#endif

// A variable's value; no value when it is not set.
using Environment = std::function<std::optional<std::string>(std::string_view name)>;
Environment ProcessEnvironment(); // the program's own, in UTF-8

std::optional<std::string> MaterialsFile(const Environment &environment,
                                         System system = kThisSystem);
std::optional<std::string> OfferFolder(const Environment &environment, System system = kThisSystem);

} // namespace kalvor::store
