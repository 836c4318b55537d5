#pragma once

#include "forms/Twips.h"

#include <QRect>

#include <span>
#include <string_view>

// Where every control of the main window stands inside the skin picture, in twips.
namespace MainFormLayout {

struct Placement
{
    std::string_view name;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    constexpr QRect pixels() const { return Twips::rect(left, top, width, height); }
};

// Stacking order, topmost first, after the skin picture itself. Labels and lines always lie beneath the
// text boxes, buttons and the check box; among labels and lines an earlier row lies over a later one.
// Lines are given as a one-pixel-high box from their start to their end.
inline constexpr Placement Controls[] = {
    {"picMainSkin", 0, 0, 8415, 7470},
    {"cmdGo", 6480, 5710, 495, 255},
    {"tbSearchNorvane", 3480, 5715, 2775, 285},
    {"tbInput", 600, 2760, 7095, 1455},
    {"cmdPaste", 2400, 2475, 1095, 255},
    {"cmdCopy", 3600, 2475, 1095, 255},
    {"cmdScore", 840, 4560, 1095, 255},
    {"tbPhrases", 5400, 4560, 2295, 735},
    {"chkStep", 840, 4920, 1335, 255},
    {"tbSubject", 600, 2040, 7095, 285},
    {"cmdSubCopy", 3600, 1755, 1095, 255},
    {"cmdSubPaste", 2400, 1755, 1095, 255},
    {"cmdSubClear", 4800, 1755, 1095, 255},
    {"cmdClear", 4800, 2475, 1095, 255},
    {"Label7", 1320, 6700, 6015, 255},
    {"Line3", 480, 6200, 7440, 15},
    {"Line2", 480, 5520, 7440, 15},
    {"lblNorvane", 1920, 5760, 1455, 255},
    {"Label6", 1200, 5760, 615, 255},
    {"lblTitle", 360, 600, 3015, 495},
    {"lblPassFail", 2640, 4320, 2415, 255},
    {"lblBar1", 2640, 5130, 1095, 135},
    {"lblBar2", 3600, 5130, 735, 135},
    {"lblBar3", 4320, 5130, 615, 135},
    {"lblStatus", 2280, 1400, 3735, 255},
    {"lblAbout", 6960, 160, 735, 255},
    {"lblExit", 7800, 160, 375, 255},
    {"Label1", 2640, 4560, 1575, 255},
    {"lblScore", 4200, 4560, 735, 255},
    {"Label2", 2640, 4800, 1575, 255},
    {"lblPercent", 4200, 4800, 735, 255},
    {"Label3", 600, 1800, 855, 255},
    {"Label4", 600, 2520, 1575, 255},
    // Directly above the phrase list.
    {"Label5", 5400, 4560 - 255, 1575, 255},
    {"lbProvidedby", 1320, 6420, 2055, 255},
    // Two empty captions that show nothing.
    {"lblTotalCount", 360, 2160, 3735, 255},
    {"lbURLsToGo", 360, 2520, 3735, 255},
};

// The width that the label styling gives the gauge bars before the first gauge update.
constexpr int StartUpBarWidth = 25;

// The white panel of the skin on which the controls stand, in pixels of the skin.
constexpr QRect SkinPanel {26, 94, 509, 378};

consteval const Placement& placement(std::string_view name)
{
    for (const Placement& row : Controls) {
        if (row.name == name)
            return row;
    }
    throw "no such control"; // a misspelt name fails to compile
}

constexpr std::span<const Placement> controls()
{
    return Controls;
}

} // namespace MainFormLayout
