// The picture font of the screens drawn with the GUI library (the code
// editor and the file chooser): one row of glyphs in "img/dina.bmp".
#ifndef GEARLOFT_TOOLKIT_GUI_FONT_H
#define GEARLOFT_TOOLKIT_GUI_FONT_H

#include <guichan.hpp>

#include <memory>

// The characters the font has glyphs for, in the picture's order.
extern const char* const GUI_FONT_GLYPHS;

// The font, loaded through the GUI library's image loader, which must be in
// place; null when its picture is missing or broken.
std::unique_ptr<gcn::ImageFont> load_gui_font();

#endif
