// Presenting the screen: the window surface goes to the display only where
// its pixels changed since it was last presented. Converting the 16-bit
// screen for a deeper display costs in proportion to the pixels sent, so a
// frame that changed nothing costs nothing to show.
#ifndef GEARLOFT_TOOLKIT_PRESENT_H
#define GEARLOFT_TOOLKIT_PRESENT_H

#include <SDL.h>

#include <cstdint>
#include <vector>

// Changes are found and sent in tiles of this size.
constexpr int PRESENT_TILE_W = 32;
constexpr int PRESENT_TILE_H = 16;

// Rectangles that together cover every tile in which `now` differs from
// `shown` (two surfaces of one size and depth): changed tiles that touch
// along a tile row are one rectangle, and a run of tile rows with the same
// changed columns is one too.
std::vector<SDL_Rect> changed_rects(const SDL_Surface* now, const SDL_Surface* shown);

// Shows the screen, sending only the rectangles that changed since the last
// presentation, or nothing; the first presentation of a screen sends all of
// it. Every screen of the game presents through here, so that the last
// picture it sent is what the display shows.
void present_screen(SDL_Surface* screen);

// Pixels sent to the display by all presentations so far.
std::uint64_t presented_pixels();

#endif
