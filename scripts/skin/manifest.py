"""Every file of skins/theme1 the program and the toolkit ask for, with the frame layout
and the size their controls need. The skin generator must produce all of them and the
data checker holds the generated skin to these rules.

Arrangements:
  "h"      frames side by side (frame width = image width / frames, full height)
  "v"      frames stacked (frame height = image height / frames, full width)
  "whole"  one picture taken whole (frames is 1)
  "halves" slider track: upper half the filled part, lower half the empty track
  "gif"    animated GIF; its time frames are the frames

Size rules (any combination):
  size       exact image size (controls that draw frames unscaled into fixed slots)
  min_frame  smallest frame (nine-grid corners must fit twice)
  max_frame  largest frame (unscaled frames that must fit their slot)
  min_width  smallest image width
  same_as    the image must have the size of another file
  layered    drawn by a layered window: fully transparent pixels must be (0, 0, 0, 0)
  opaque     no transparent pixel at all
  wheel      colour wheel: nothing drawn farther than this radius from the centre
  also_counts  other frame counts a control may ask for without splitting the image
"""


class SkinFile:
    def __init__(self, name, frames, arrangement="h", **rules):
        self.name = name                # relative to skins/theme1, '/' separated
        self.frames = frames
        self.arrangement = arrangement
        self.rules = rules

    def __repr__(self):
        return "SkinFile(%r)" % self.name


def _buttons(names, size, frames=4):
    return [SkinFile(n, frames, size=size) for n in names]


FILES = [
    # Main window frame.
    SkinFile("main_bkg.png", 1, "whole", size=(1280, 720), opaque=True),
    SkinFile("pic_caption.png", 1, "whole", size=(1278, 49)),
    SkinFile("logo/logo.png", 1, "whole", max_frame=(240, 50)),
    *_buttons(["main_sysbtn_close.png", "main_sysbtn_min.png", "main_sysbtn_website.png"], (120, 30)),
    SkinFile("icon/icon_battery_bkg.png", 1, "whole"),
    SkinFile("icon/icon_batteryvalue.png", 1, "whole", same_as="icon/icon_battery_bkg.png"),
    SkinFile("icon/icon_charge.png", 1, "whole"),
    SkinFile("icon/mode_usb.png", 1, "whole"),
    # Tab strip: 80 x 80 tabs, the icon above a 20-pixel caption.
    *[SkinFile("icon/%s.png" % n, 4, max_frame=(80, 55))
      for n in ("tab_home", "tab_customkey", "tab_macro", "tab_light", "tab_config")],
    # Page header icons.
    *[SkinFile("icon/%s.png" % n, 1, "whole", max_frame=(60, 60))
      for n in ("icon_keyboard", "icon_macro", "icon_lightmode", "icon_config")],
    # Home page device list: rows 472 x 38, nine-grid corner 12.
    SkinFile("img_device_state.png", 2, min_frame=(24, 24), max_frame=(472, 38)),
    # Key page function list: items 28 high, nine-grid corner 8 when wider than 60.
    SkinFile("img_customkey.png", 4, min_frame=(16, 16)),
    *[SkinFile("icon/%s.png" % n, 1, "whole", max_frame=(43, 28))
      for n in ("icon_pc", "icon_cal", "icon_email", "icon_playpause", "icon_pre", "icon_next",
                "icon_vol_down", "icon_vol_up", "icon_vol_mute", "icon_home", "icon_web_search")],
    # Profile panel buttons.
    *_buttons(["imgbtn_add.png", "imgbtn_del.png", "imgbtn_edit.png", "imgbtn_import.png",
               "imgbtn_export.png"], (120, 30)),
    # List icon column (50 wide, rows 32 high).
    SkinFile("icon/icon_circle.png", 2, max_frame=(50, 32)),
    # Edit boxes: nine-grid corner 4 (edits) and 6 (list rename box).
    SkinFile("img_edit.png", 4, min_frame=(12, 12)),
    # Combo boxes: margins left 10, top 10, right 36, bottom 10.
    SkinFile("img_combobox.png", 4, min_frame=(46, 20)),
    # Push buttons: nine-grid corner 10.
    SkinFile("btn_apply.png", 4, min_frame=(20, 20)),
    SkinFile("btn_radiobox.png", 8, size=(160, 20)),
    # The colour swatch of the toolkit's DPI tile asks for it with 4 frames but stretches
    # the whole image, so that count splits nothing.
    SkinFile("btn_checkbox.png", 8, size=(160, 20), also_counts=(4,)),
    *_buttons(["btn_record_del.png", "btn_record_up.png", "btn_record_down.png",
               "btn_record_time.png"], (80, 20)),
    # Sliders: track as two halves, as wide as the widest slider (248); thumbs fit the
    # 30-pixel RGB sliders.
    SkinFile("img_slider_back.png", 1, "halves", min_width=248),
    SkinFile("img_thumb.png", 4, max_frame=(36, 30)),
    *[SkinFile("btn_direction_%s.png" % d, 8, size=(240, 30)) for d in ("left", "right", "top", "bottom")],
    SkinFile("btn_colorful.png", 4, "whole"),
    SkinFile("img_circlepalette.png", 1, "whole", size=(131, 131), wheel=65),
    # Message box background: layered window, nine-grid corner 30 over 380 x 200.
    SkinFile("bk_prompt.png", 1, "whole", min_frame=(60, 60), max_frame=(380, 200), layered=True),
    SkinFile("loading.gif", 1, "gif", size=(100, 100)),
    # Balloons: layered windows, nine-grid corner 6.
    SkinFile("img_tip_bk.png", 1, "whole", min_frame=(12, 12), layered=True),
    *[SkinFile("img_tip_arrow_%s.png" % d, 1, "whole", layered=True) for d in ("left", "right", "top")],
    # Scroll bars (fallback when a window has no scroll image ids).
    SkinFile("img_scroll_v.png", 4, size=(28, 239)),
    SkinFile("img_scroll_h.png", 4, "v", size=(22, 20)),
    SkinFile("img_spin_up.png", 4),
    SkinFile("img_spin_down.png", 4),
    SkinFile("img_palette_thumb.png", 4),
]

BY_NAME = {f.name: f for f in FILES}

# Images embedded in ZuntUI.dll (resources 101 and 102): the same art as the fallbacks.
RESOURCES = [
    SkinFile("scroll_h.png", 4, "v", size=(22, 20)),
    SkinFile("scroll_v.png", 4, size=(28, 239)),
]

# Where the keyboard pictures must fit in the main window (window coordinates): right of
# the page's left panel and above the lower controls of the key and lighting pages.
KEYBOARD_AREA = (330, 50, 1270, 435)
