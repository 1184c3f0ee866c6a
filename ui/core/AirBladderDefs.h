#pragma once
// Kinds and placements of the balloon tip (MAirBladder), shared by the paint manager, the
// dialogs and the controls that show it.

// How long a balloon stays.
enum AIRBLADDER_TYPE : int {
    AIRBLADDER_TYPE_TIP = 1,   // hides itself after AIRBLADDER_HIDE_MS
    AIRBLADDER_TYPE_STAY = 4,  // stays until hidden
    AIRBLADDER_TYPE_HOVER = 5, // shown while a control is hovered; hides itself like type 1
};

// Where a balloon is placed against its anchor point (screen coordinates).
enum AIRBLADDER_MODE : int {
    AIRBLADDER_MODE_NONE = 0,  // a control shows no balloon (placed like below)
    AIRBLADDER_MODE_RIGHT = 1, // right of the anchor, centred vertically on it
    AIRBLADDER_MODE_LEFT = 2,  // left of the anchor
    AIRBLADDER_MODE_BELOW = 3, // below the anchor
    AIRBLADDER_MODE_ABOVE = 4, // above the anchor, centred horizontally
    AIRBLADDER_MODE_KEEP = 5,  // placed like below; stays when the balloon loses the focus
};

// A balloon of any type but AIRBLADDER_TYPE_STAY hides itself this long after it was set.
const unsigned AIRBLADDER_HIDE_MS = 5000;
