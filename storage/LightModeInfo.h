#pragma once

// One lighting mode a keyboard model offers, in the order of the model's layouts file
// (its light/info elements).
struct LightModeInfo {
    int textId = 0;    // language text id of the mode's display name
    int mode = 0;      // mode number sent to the keyboard
    int attribute = 0; // capability bits: 0x100 per-key custom, 0x200 music, 0x400 screen sync
};
