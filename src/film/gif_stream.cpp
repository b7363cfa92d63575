#include "film/gif_stream.h"

#include <gif_lib.h>

GifStream::GifStream(int width, int height, const std::vector<Rgb>& palette) {
    ColorMapObject* map = GifMakeMapObject(static_cast<int>(COLOURS_MAX), nullptr);
    int error = 0;
    gif_ = map != nullptr && palette.size() <= COLOURS_MAX ? EGifOpen(this, append, &error) : nullptr;
    if (gif_ != nullptr) {
        for (std::size_t i = 0; i < COLOURS_MAX; ++i) {
            Rgb c = i < palette.size() ? palette[i] : Rgb{0, 0, 0};
            map->Colors[i] = {static_cast<GifByteType>(c[0]), static_cast<GifByteType>(c[1]),
                              static_cast<GifByteType>(c[2])};
        }
        EGifSetGifVersion(gif_, true);
        ok_ = EGifPutScreenDesc(gif_, width, height, 8, 0, map) == GIF_OK && loop_for_ever();
    }
    GifFreeMapObject(map);
}

GifStream::~GifStream() {
    int error = 0;
    if (gif_ != nullptr)
        EGifCloseFile(gif_, &error);
}

int GifStream::append(GifFileType* gif, const unsigned char* bytes, int length) {
    static_cast<GifStream*>(gif->UserData)->bytes_.append(reinterpret_cast<const char*>(bytes), length);
    return length;
}

// The application extension that browsers and viewers read as "repeat".
bool GifStream::loop_for_ever() {
    const GifByteType repeat[] = {1, 0, 0}; // sub-block 1: repeat count 0, for ever
    return EGifPutExtensionLeader(gif_, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
           EGifPutExtensionBlock(gif_, 11, "NETSCAPE2.0") == GIF_OK &&
           EGifPutExtensionBlock(gif_, sizeof repeat, repeat) == GIF_OK && EGifPutExtensionTrailer(gif_) == GIF_OK;
}

bool GifStream::add_frame(const PixelRect& area, std::vector<std::uint8_t>& indices, int delay_cs, SeeThrough see) {
    std::size_t pixels = static_cast<std::size_t>(area.w) * static_cast<std::size_t>(area.h);
    if (!ok_ || indices.size() < pixels)
        return ok_ = false;
    // Each frame stays beneath the next one, which shows it where it is see-through.
    GraphicsControlBlock control{DISPOSE_DO_NOT, false, delay_cs, see.used ? see.index : NO_TRANSPARENT_COLOR};
    GifByteType extension[4];
    std::size_t length = EGifGCBToExtension(&control, extension);
    ok_ = EGifPutExtension(gif_, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) == GIF_OK &&
          EGifPutImageDesc(gif_, area.x, area.y, area.w, area.h, false, nullptr) == GIF_OK &&
          EGifPutLine(gif_, indices.data(), static_cast<int>(pixels)) == GIF_OK;
    return ok_;
}

std::size_t GifStream::frame_bytes_max(std::size_t pixels) {
    // 12 bits a pixel, a clear code now and then, a length byte every 255
    // bytes: under 1.52 bytes a pixel; the headers and the trailer fit in 64.
    return 2 * pixels + 64;
}

std::string GifStream::finish() {
    if (gif_ != nullptr) {
        int error = 0;
        ok_ = EGifCloseFile(gif_, &error) == GIF_OK && ok_;
        gif_ = nullptr;
    }
    return ok_ ? std::move(bytes_) : std::string();
}
