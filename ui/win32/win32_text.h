#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// form/ and calc/ speak UTF-8; Windows speaks UTF-16. Texts cross here and nowhere else.
namespace kalvor::win32 {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

// A window's text (a control's caption or contents) as UTF-8.
std::string TextOf(HWND window);
void SetText(HWND window, std::string_view utf8);

// Puts the text on the clipboard as Unicode text, its "\n" line ends written as Windows wants
// them: "a\nb" becomes "a\r\nb".
void CopyToClipboard(HWND owner, std::string_view utf8);

} // namespace kalvor::win32
