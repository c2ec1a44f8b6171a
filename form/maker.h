#pragma once

// The maker's details, kept in one place: the window shows them under the logo and on the
// link line, and a click on the link line opens the web site.
namespace kalvor::form::maker {

inline constexpr const char *kWebAddress = "www.example.com";      // as the link line shows it
inline constexpr const char *kWebSite = "https://www.example.com"; // what a click on it opens
inline constexpr const char *kStreet = "Via dell'Esempio 1";
inline constexpr const char *kTown = "20100 Milano (MI) - Italia";
inline constexpr const char *kPhone = "Tel. +39 02 0000 0000";
inline constexpr const char *kFax = "Fax +39 02 0000 0001";

} // namespace kalvor::form::maker
