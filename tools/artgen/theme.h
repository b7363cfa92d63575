// The workshop look shared by every picture: colours and small building parts.
#ifndef GEARLOFT_ARTGEN_THEME_H
#define GEARLOFT_ARTGEN_THEME_H

#include <SDL.h>

#include "canvas.h"

namespace theme {
constexpr Rgb FLOOR{50, 56, 66};
constexpr Rgb FLOOR_LINE{38, 43, 51};
constexpr Rgb STEEL{120, 128, 140};
constexpr Rgb STEEL_DARK{64, 70, 80};
constexpr Rgb STEEL_LIGHT{184, 192, 204};
constexpr Rgb BRASS{196, 152, 74};
constexpr Rgb BRASS_LIGHT{240, 210, 138};
constexpr Rgb BRASS_DARK{116, 84, 38};
constexpr Rgb PANEL{74, 60, 48};
constexpr Rgb PANEL_DARK{44, 35, 28};
constexpr Rgb PARCHMENT{238, 228, 204};
constexpr Rgb INK{30, 26, 22};
constexpr Rgb IVORY{246, 238, 216};
constexpr Rgb OUTLINE{20, 22, 26};
constexpr Rgb WHITE{255, 255, 255};
constexpr Rgb RED{214, 58, 48};
constexpr Rgb GREEN{64, 184, 84};
constexpr Rgb BLUE{62, 118, 226};
constexpr Rgb ORANGE{238, 148, 40};
} // namespace theme

// A round bolt head.
void rivet(Canvas& c, double cx, double cy, double r);
// The riveted steel square every one-cell machine stands on.
void base_plate(Canvas& c, double x0, double y0, double x1, double y1);
// A polished brass plate with a dark rim.
void brass_plate(Canvas& c, double x0, double y0, double x1, double y1, double radius);
// A push button drawn into a background: face colour, engraved label.
void plate_button(Canvas& c, int x0, int y0, int x1, int y1, const char* label, Rgb face, Rgb ink, int text_size);
// A right-pointing arrow head filling the box, for labels and buttons.
void arrow_head(Canvas& c, double x0, double y0, double x1, double y1, Rgb colour);
// A cog wheel, for decoration.
void gear(Canvas& c, double cx, double cy, double r, int teeth, Rgb colour, Rgb hole);

// Writes the finished canvas to img/<name>; remembers any failure.
void save_picture(const Canvas& c, const char* name);
// The folder pictures go to, and whether every picture so far was written.
void set_picture_dir(const char* dir);
bool all_pictures_saved();

void draw_blocks();
void draw_floor_marks();
void draw_devices();
void draw_backgrounds();
void draw_messages();
void draw_parts_bin();
bool draw_editor_font(const char* font_dir, const char* img_dir);

#endif
