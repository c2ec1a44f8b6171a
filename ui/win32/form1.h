#pragma once

#include "form/controls.h"
#include "form/rules.h"
#include "ui/win32/gdi.h"

#include <windows.h>

#include <array>
#include <string>
#include <vector>

namespace kalvor::win32 {

// The one window of Kalvor on the standard window classes: STATIC, EDIT, COMBOBOX and BUTTON.
// The controls come from the table of form/controls.h (form1_layout.cpp); the handlers
// (form1_handlers.cpp) read the controls, call form/ and calc/, and write the controls.
class Form1 {
public:
    explicit Form1(HINSTANCE instance);
    Form1(const Form1 &) = delete;
    Form1 &operator=(const Form1 &) = delete;

    // Builds the window, fills the two lists, shows the window and puts the focus in the
    // material list. False when the window could not be made.
    bool Form_Load(int showCommand);

    // The keys the window takes before the focused control sees them: Tab and Shift+Tab in the
    // designed order, the arrows between the price options, Enter where it calculates, and
    // Ctrl+Shift+C. True when the message has been handled.
    bool PreTranslate(const MSG &message);

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK FieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR, DWORD_PTR self);
    static LRESULT CALLBACK FrameProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR, DWORD_PTR self);
    static LRESULT CALLBACK ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR, DWORD_PTR self);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // layout (form1_layout.cpp)
    void BuildControls();
    void BindControls();
    void MakeFonts();
    void Layout(); // places and sizes every control for dpi_
    int Scaled(int twips) const;
    Font MakeFont(const form::FontSpec &face, double points) const;
    HFONT FontOf(const form::FontSpec *face) const;
    void SetDensityLook(bool framed, bool readOnly);
    LRESULT OnControlColour(HDC dc, HWND control);
    void OnDrawItem(const DRAWITEMSTRUCT &item) const;
    void PaintFrame(HWND frame) const;
    void OnDpiChanged(UINT dpi, const RECT &suggested);
    void FitResultCaption(std::size_t line);
    void ResizeToClientArea(const RECT *suggested);

    // handlers (form1_handlers.cpp)
    void OnCommand(HWND control, UINT code);
    void OnContextMenu(HWND control, POINT at);
    bool OnSetCursor(HWND control);
    void Combo1_Click();
    void Combo1_Change();
    void Combo2_Click();
    void Command1_Click();
    void Label8_Click();
    void Option_Click();
    void Text_KeyPress(HWND field);
    void Text_Change(HWND field);
    void Text_GotFocus(HWND field);
    void Text_Paste(HWND field);
    void HideResults(); // both frames: weights and costs
    void Hide(form::Stale stale);
    void PickTypedMaterial();
    void SetFieldText(HWND field, std::string_view text);
    void WriteResultCaption(std::size_t line, std::string_view caption);
    void CopyQuote(); // the quote block, while the weights are on show
    std::string QuoteText() const;
    void CopyToClipboard(std::string_view text);
    void MoveTab(bool backwards);
    void MoveOption();
    void ShowMessage(std::string_view prompt, std::string_view title);
    const form::ControlSpec *TableRowOf(HWND control) const;
    HWND OwnerOfFocus() const; // the table's control that has the focus, or nullptr

    HINSTANCE instance_;
    HWND hwnd_ = nullptr;
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
    std::array<HWND, form::kControls.size()> controls_{}; // by table row
    // Where each control sits in the window it was made in, in twips: the table's place, or
    // for a caption made beside its input in another container, the same place on screen.
    std::array<POINT, form::kControls.size()> origins_{};

    HWND Combo1 = nullptr;
    HWND Combo2 = nullptr;
    HWND Command1 = nullptr;
    std::array<HWND, 7> Text{}; // Text[1] .. Text[6]; Text[0] is unused
    HWND Option1 = nullptr;
    HWND Option2 = nullptr;
    std::array<HWND, 7> Frame{};  // Frame[1] .. Frame[6]
    std::array<HWND, 29> Label{}; // Label[1] .. Label[28]
    HWND Image1 = nullptr;
    std::array<HWND, 6> results_{}; // Label19 .. Label24
    HWND tooltip_ = nullptr;

    std::vector<std::pair<const form::FontSpec *, Font>> fonts_;
    std::array<Font, 6> resultFonts_; // the result lines, each shrunk to fit its caption
    Bitmap logo_;
    Icon icon_;
    Icon hand_;

    HWND lastFocus_ = nullptr;      // given back when the window is active again
    bool restoringFocus_ = false;   // the focus coming back is not a field being entered
    bool writingByProgram_ = false; // a text the program writes is no edit by the user
    bool materialEdited_ = false;   // the material box holds a name typed by the user
    bool densityFramed_ = false;
};

} // namespace kalvor::win32
