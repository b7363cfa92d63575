#include "toolkit/sdl_canvas.h"

#include "toolkit/pictures.h"

SDL_Surface* picture_of(const PictureFile& picture) {
    return cached_picture(picture.path, picture.magenta);
}

void SdlCanvas::draw_picture(const PictureFile& picture, int x, int y) {
    draw_image(picture_of(picture), x, y, target_);
}

void SdlCanvas::draw_picture_part(const PictureFile& picture, const PixelRect& part, int x, int y) {
    SDL_Surface* loaded = picture_of(picture);
    if (loaded == nullptr || target_ == nullptr || part.w <= 0 || part.h <= 0)
        return;
    SDL_Rect from = make_rect(part.x, part.y, part.w, part.h);
    SDL_Rect at = make_rect(x + part.x, y + part.y, part.w, part.h);
    SDL_BlitSurface(loaded, &from, target_, &at);
}

void SdlCanvas::draw_turned_picture(const PictureFile& picture, int degrees, int x, int y) {
    draw_image_rotated(picture_of(picture), degrees, x, y, target_);
}

void SdlCanvas::draw_faded_picture(const PictureFile& picture, int x, int y, int alpha) {
    if (target_ != nullptr)
        draw_image_fade(picture_of(picture), x, y, target_, alpha);
}

void SdlCanvas::fill(const PixelRect& area, Colour colour) {
    if (target_ != nullptr)
        fill_rect(target_, area.x, area.y, area.w, area.h, colour.r, colour.g, colour.b);
}

void SdlCanvas::wash(const PixelRect& area, Colour colour, int alpha) {
    if (target_ == nullptr)
        return;
    bool same = wash_ && wash_size_.w == area.w && wash_size_.h == area.h && wash_colour_.r == colour.r &&
                wash_colour_.g == colour.g && wash_colour_.b == colour.b;
    if (!same) {
        wash_ = plain_picture(target_, area.w, area.h, colour.r, colour.g, colour.b);
        wash_size_ = area;
        wash_colour_ = colour;
    }
    draw_image_fade(wash_.get(), area.x, area.y, target_, alpha);
}

void SdlCanvas::draw_text(const std::string& text, int size, Colour colour, int x, int y) {
    if (target_ != nullptr)
        ::draw_text(text.c_str(), size, colour.r, colour.g, colour.b, x, y, target_);
}

int SdlCanvas::text_width(const std::string& text, int size) { return ::text_width(text.c_str(), size); }

void SdlCanvas::draw_centred_text(const std::string& text, int size, Colour colour, int x, int y) {
    if (target_ != nullptr)
        draw_text_center(text.c_str(), size, colour.r, colour.g, colour.b, x, y, target_);
}
