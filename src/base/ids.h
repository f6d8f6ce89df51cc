// Control identifiers of the settings window, grouped by hundreds, and its
// page tags. Shared by the settings window and its end-to-end tests.
#pragma once

enum ControlId {
    kIdSliderSize = 200, kIdSliderGap = 201, kIdSliderThickness = 202, kIdSliderOutline = 203,
    kIdSliderAlpha = 204, kIdSliderOffsetX = 205, kIdSliderOffsetY = 206,
    kIdSliderImageScale = 207,
    kIdLabelSize = 300, kIdLabelGap = 301, kIdLabelThickness = 302, kIdLabelOutline = 303,
    kIdLabelAlpha = 304, kIdLabelOffsetX = 305, kIdLabelOffsetY = 306,
    kIdLabelImageScale = 307,
    kIdCheckOutline = 400, kIdCheckDot = 401, kIdCheckTStyle = 402, kIdCheckOutsideGame = 403,
    kIdCheckAutostart = 404, kIdCheckEnabled = 405, kIdCheckAimOnly = 406,
    kIdCheckHideWithCursor = 407, kIdCheckPerServer = 408,
    kIdColourList = 500, kIdColourChoose = 501, kIdColourSwatch = 502, kIdRestoreDefault = 503,
    kIdCopyCode = 504, kIdImportBox = 505, kIdStatusLine = 506,
    kIdCopyShareCode = 507,  // the copy button's menu: the crosshair as a share code
    // The " Imagem " tab.
    kIdChooseImage = 508, kIdUseDrawn = 509, kIdImageStatus = 510, kIdNoteImage = 511,
    kIdSavedList = 600, kIdNameBox = 601, kIdSaveButton = 602, kIdDeleteButton = 603,
    kIdSwitchHotkey = 604,  // the hotkey that wears the next saved crosshair
    kIdTabStrip = 700, kIdGameStatus = 701, kIdNoteAuto = 702, kIdHotkeyControl = 703,
    kIdOpenFolder = 705, kIdResetAll = 706, kIdNoteHotkey = 707,
    // Every heading has kIdHeading and the footer kIdFooter: the identifier
    // picks the text's colour; nothing looks these controls up by it.
    kIdHeading = 708, kIdFooter = 709,
    kIdServerLabel = 711,  // the last FiveM server seen, under the game status label
    kIdUnnamed = -1,
};

// Page tags kept in each settings-window control's user data.
enum PageTag {
    kTagCrosshair = 1, kTagSaved = 2, kTagOptions = 3, kTagImage = 4, kTagAlways = 9,
};
