// The gallery's pages: each page is a form of its own, registered by name in
// its own unit, so `vexel-gallery.exe NAME` opens that page (the first one
// registered, "painting", when no name is given).
//
//     class TButtonsPage : public TForm { ... };
//     VEXEL_GALLERY_PAGE("buttons", TButtonsPage);
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "framework/win32/forms.h"

namespace vexel {

struct TGalleryPage {
    std::string Name;
    std::function<TForm*()> Create;  // makes the page's form, owned by Application
};

std::vector<TGalleryPage>& GalleryPages();

struct TGalleryPageRegistration {
    TGalleryPageRegistration(std::string Name, std::function<TForm*()> Create) {
        GalleryPages().push_back({std::move(Name), std::move(Create)});
    }
};

// The caption every page's form carries, which the screenshot script waits for.
inline std::string GalleryCaption(const std::string& Page) {
    return "Html Vexel gallery - " + Page;
}

// What every page's form shares: its caption, a fixed frame, the gallery's
// font, its client size and a place near the screen's top-left corner.
void SetUpGalleryPage(TForm* Page, const std::string& Name, int ClientWidth, int ClientHeight);

// A bold section heading on Page; returns the top of the section's content.
int AddGalleryHeading(TForm* Page, int Left, int Top, int Width, int Height, const std::string& Text);

}  // namespace vexel

#define VEXEL_GALLERY_PAGE_CONCAT2(a, b) a##b
#define VEXEL_GALLERY_PAGE_CONCAT(a, b) VEXEL_GALLERY_PAGE_CONCAT2(a, b)
#define VEXEL_GALLERY_PAGE(NAME, FORM)                                                             \
    static ::vexel::TGalleryPageRegistration VEXEL_GALLERY_PAGE_CONCAT(galleryPage, __LINE__)(    \
        NAME, [] {                                                                                 \
            FORM* form = nullptr;                                                                  \
            ::vexel::Application->CreateForm(form);                                                \
            return static_cast<::vexel::TForm*>(form);                                             \
        })
