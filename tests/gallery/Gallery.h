#pragma once
// ZuntGallery.exe: one skinned dialog that shows every toolkit control in its main states,
// with the program's own skin, so that a person (or a screenshot) can look at them.
//
// Each file of this folder adds one section by defining a registration at namespace scope:
//
//     static GallerySection buttons(L"Buttons", 420, 260, [](GalleryContext& g) {
//         auto* b = static_cast<MButton*>(g.Create(L"MButton", CRect(0, 0, 120, 32), L"Normal"));
//         ...
//     }, [](GalleryContext& g) { /* optional: after the window is shown (hover, open menu) */ });
//
// Sections are laid out in registration order (file name order is not guaranteed: keep
// them independent), left to right, then in a new row. A section gets a rectangle of the
// size it asked for below its caption; GalleryContext::Create places a control relative to
// that rectangle. Skin file names are relative to the skin folder, as in the program.
#include <windows.h>

#include <functional>

#include "ui/core/ZuntUI.h"

struct GalleryContext {
    MDialog* dialog = nullptr; // the gallery window; owns every control (not owned here)
    CRect area;                // the section's rectangle in client coordinates

    // A control of `className` with a fresh id at `rect` (relative to the section's
    // top-left corner), created by the dialog's class-name factory; null when the class is
    // unknown to this build.
    MControl* Create(const wchar_t* className, CRect rect, const wchar_t* title = L"", int visible = 1,
                     int enabled = 1);
    // The same rect in client coordinates.
    CRect At(CRect rect) const;
    // A fresh control id for controls constructed directly (then GalleryContext::Add).
    UINT NextId();
    void Add(MControl* control);
};

using GalleryStep = std::function<void(GalleryContext&)>;

struct GallerySection {
    GallerySection(const wchar_t* title, int width, int height, GalleryStep build, GalleryStep shown = nullptr);
};
