#include "toolkit/gui_font.h"

namespace {
constexpr const char* FONT_PICTURE = "img/dina.bmp";
} // namespace

const char* const GUI_FONT_GLYPHS = " abcdefghijklmnopqrstuvwxyz"
                                    "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                    "0123456789"
                                    ".,!?-+/():;%&`'*#=[]\"<>{}^~|_@$\\";

std::unique_ptr<gcn::ImageFont> load_gui_font() {
    try {
        return std::make_unique<gcn::ImageFont>(FONT_PICTURE, GUI_FONT_GLYPHS);
    } catch (const gcn::Exception&) {
        return nullptr;
    }
}
