#pragma once
// Key codes with the suite's numbering (the Windows virtual-key codes): the
// windows and the toolbar exchange keys in this form, whatever toolkit delivered them.

namespace rt {

enum CodigoTecla : int {
    vbKeyBack = 8,
    vbKeyTab = 9,
    vbKeyReturn = 13,
    vbKeyEscape = 27,
    vbKeyLeft = 37,
    vbKeyUp = 38,
    vbKeyRight = 39,
    vbKeyDown = 40,
    vbKeyDelete = 46,
    vbKeyF1 = 112,
    vbKeyF2 = 113,
    vbKeyF3 = 114,
    vbKeyF4 = 115,
    vbKeyF5 = 116,
    vbKeyF6 = 117,
    vbKeyF10 = 121,
    vbKeyF12 = 123,
};

// Mouse buttons as the handlers number them.
enum BotonRaton : int { vbLeftButton = 1, vbRightButton = 2, vbMiddleButton = 4 };

// Modifier bits of the Shift argument of the key handlers.
enum Mayusculas : int { vbShiftMask = 1, vbCtrlMask = 2, vbAltMask = 4 };

}  // namespace rt
