#pragma once

// Font handles of a backend without GDI. A handle keeps the request of
// CreateFontA; what is drawn from it is the business of the backend's
// wglUseFontOutlinesA. Header-only, so that a backend that builds only its own
// folder can use it as it is.

#include "toolkit/platform/common/DeviceContext.h"

#include <set>
#include <string>

struct HFONT__ {
    std::string face;
    int height = 0;
    int weight = 0;
    bool italic = false;
    int selections = 0; // device contexts it is selected into; those keep it alive
};

namespace TovarPlatform {

// Every font handle we handed out and did not delete; anything else passed in
// as a font is refused instead of being dereferenced. Fonts still selected at
// exit (the game never deletes its own) are released with the registry.
struct FontRegistry {
    std::set<HFONT__*> fonts;
    ~FontRegistry()
    {
        for (HFONT__* font : fonts)
            delete font;
    }
};

inline std::set<HFONT__*>& LiveFonts()
{
    static FontRegistry registry;
    return registry.fonts;
}

inline HFONT__* AsFont(HGDIOBJ object)
{
    if (!object)
        return nullptr;
    auto& fonts = LiveFonts();
    auto it = fonts.find(static_cast<HFONT__*>(object));
    return it == fonts.end() ? nullptr : *it;
}

inline HFONT NewFont(int height, int weight, bool italic, LPCSTR face)
{
    HFONT__* font = new HFONT__;
    font->face = face ? face : "";
    font->height = height;
    font->weight = weight;
    font->italic = italic;
    LiveFonts().insert(font);
    return font;
}

inline HGDIOBJ SelectFont(HDC hdc, HGDIOBJ h)
{
    HFONT__* font = AsFont(h);
    if (!hdc || !font)
        return nullptr;
    HGDIOBJ previous = hdc->selected;
    if (previous == font)
        return previous;
    if (HFONT__* old = AsFont(previous))
        --old->selections;
    ++font->selections;
    hdc->selected = font;
    return previous;
}

inline BOOL DeleteFont(HGDIOBJ ho)
{
    HFONT__* font = AsFont(ho);
    if (!font || font->selections > 0)
        return FALSE; // unknown, or a device context still draws with it
    LiveFonts().erase(font);
    delete font;
    return TRUE;
}

} // namespace TovarPlatform
