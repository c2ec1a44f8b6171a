#pragma once

#include "form/controls.h"
#include "form/model.h"
#include "form/offer_desk.h"
#include "form/own_materials.h"
#include "ui/win32/colours.h"
#include "ui/win32/gdi.h"
#include "ui/win32/offer_window.h"

#include <windows.h>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kalvor::win32 {

// The one window of Kalvor on the standard window classes: STATIC, EDIT, COMBOBOX and BUTTON.
// The controls come from the table of form/controls.h (form1_layout.cpp). The handlers
// (form1_handlers.cpp) turn what happens to the controls into events of form::Model and apply
// the changes it answers; the window keeps no state of its own beyond focus and drawing.
class Form1 {
public:
    explicit Form1(HINSTANCE instance);
    Form1(const Form1 &) = delete;
    Form1 &operator=(const Form1 &) = delete;

    // Builds the window, shows it and applies the model's start (the lists, the focus in the
    // material box). False when the window could not be made.
    bool Form_Load(int showCommand);

    // The desk's own materials: read once the window has painted, then kept or removed from
    // the material box's menu. Without it the list is the catalogue's alone.
    void UseOwnMaterials(std::shared_ptr<form::OwnMaterials> materials);

    // Where the offer is kept. Nothing is read until the offer is first needed: a line added
    // or the offer shown. Without it the offer's commands beep.
    void UseOffer(std::shared_ptr<form::OfferKeeper> keeper);

    // The keys the window takes before the focused control sees them: Tab and Shift+Tab in the
    // designed order, the arrows between the price options, Enter where it calculates, and
    // Ctrl+Shift+C, Ctrl+Shift+A and Ctrl+Shift+O; and the offer window's. True when the message
    // has been handled.
    bool PreTranslate(const MSG &message);

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK FieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR id, DWORD_PTR self);
    static LRESULT CALLBACK ButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR self);
    static LRESULT CALLBACK MaterialEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam,
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
    void MakeResultTips();
    void MakeExplainTip();
    RECT PlaceOf(std::size_t row) const; // the row's box for dpi_, in its container
    void Layout(bool place);             // fits the controls to dpi_; place: moves them too
    int Scaled(int twips) const;
    Font MakeFont(const form::FontSpec &face, double points) const;
    HFONT FontOf(const form::FontSpec *face) const;
    void SetDensityLook(bool framed, bool readOnly);
    LRESULT OnControlColour(HDC dc, HWND control);
    void OnDrawItem(const DRAWITEMSTRUCT &item) const;
    void DrawCentredCaption(const DRAWITEMSTRUCT &item, const form::ControlSpec &entry) const;
    void UseColours();
    void OnColoursChanged();
    static void ShowFromStart(HWND field);
    LRESULT TextWidth(HWND control) const;
    void PaintFrame(HWND frame) const;
    void OnDpiChanged(UINT dpi, const RECT &suggested);
    void FitResultCaption(std::size_t line);
    SIZE FrameSize() const; // the outer size that gives the designed client area at dpi_
    void ResizeToClientArea(const RECT *suggested);

    // handlers (form1_handlers.cpp)
    void Apply(const form::Changes &changes);
    void Apply(const form::Change &change);
    void OnCommand(HWND control, UINT code);
    void OnListCommand(HWND list, form::Id id, UINT code);
    void OnContextMenu(HWND control, POINT at);
    bool OnSetCursor(HWND control);
    LRESULT Text_KeyPress(HWND field, form::Id id, WPARAM typed, LPARAM lParam);
    void Text_Paste(HWND field, form::Id id);
    void Control_GotFocus(form::Id id);
    void ShowMessage(std::string_view prompt, std::string_view title);
    void Explain(form::Id id, std::string_view reason);
    void OpenSite(std::string_view address);
    void ReadOwnMaterials();
    void RefreshOwnMaterials();                // when another window changed the file
    bool MaterialBoxMenu(HWND edit, POINT at); // false: the edit's own menu
    OfferWindow *Offer();                      // made when first needed; nullptr without a keeper
    void MoveTab(bool backwards);
    void MoveOption(form::Id from);
    const form::ControlSpec *TableRowOf(HWND control) const;
    std::optional<form::Id> IdOf(HWND control) const;
    HWND OwnerOf(HWND window) const; // the table's control that holds the window, or nullptr
    HWND OwnerOfFocus() const;
    HWND Of(form::Id id) const { return ids_[static_cast<std::size_t>(id)]; }

    HINSTANCE instance_;
    HWND hwnd_ = nullptr;
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
    std::array<HWND, form::kControls.size()> controls_{}; // by table row
    std::array<HWND, form::kIdCount> ids_{};              // the controls the model speaks of
    // Where each control sits in the window it was made in, in twips: the table's place, or
    // for a caption made beside its input in another container, the same place on screen.
    std::array<POINT, form::kControls.size()> origins_{};
    HWND image_ = nullptr;
    HWND tooltip_ = nullptr;    // the result lines' whole captions
    HWND explainTip_ = nullptr; // a balloon at a field: why a change was refused

    std::vector<std::pair<const form::FontSpec *, Font>> fonts_;
    std::array<Font, 6> resultFonts_; // the result lines, each shrunk to fit its caption
    Bitmap logo_;
    Colours colours_{};
    Brush faceBrush_;
    Brush fieldBrush_;
    Icon icon_;
    Icon hand_;

    form::Model model_{form::Catalogue::Standard()};
    HWND lastFocus_ = nullptr;    // given back when the window is active again
    bool restoringFocus_ = false; // the focus coming back is not a control being entered
    bool clickEntering_ = false;  // a click brings the focus: entered once the click is done
    bool painted_ = false;
    std::shared_ptr<form::OwnMaterials> ownMaterials_;
    std::shared_ptr<form::OfferKeeper> offerKeeper_;
    std::unique_ptr<OfferWindow> offer_;
};

} // namespace kalvor::win32
