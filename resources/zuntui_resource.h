#pragma once
// Resource ids of ZuntUI.dll (resource types "PNG" and "TTF").
#define IDR_SCROLL_H 101 // horizontal scroll-bar skin, 22 x 20, four stacked frames
#define IDR_SCROLL_V 102 // vertical scroll-bar skin, 28 x 239, four frames side by side
#define IDR_FONT_TTF 106 // Open Sans Semibold
