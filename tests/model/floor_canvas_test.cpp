// The floor drawn onto a canvas of the test's own, which writes down what it
// is asked to draw: what the building player sees that the running machine
// does not, and the dragged device last, out of its place.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "canvas/canvas.h"
#include "files/level_file.h"
#include "kinds/indicator.h"
#include "kinds/pusher.h"
#include "run/run.h"
#include "view/floor_view.h"

namespace {
class NotedCanvas : public Canvas {
public:
    std::vector<std::string> notes;

    void draw_picture(const PictureFile& p, int x, int y) override { note(name(p), x, y); }
    void draw_picture_part(const PictureFile& p, const PixelRect&, int x, int y) override { note(name(p), x, y); }
    void draw_turned_picture(const PictureFile& p, int, int x, int y) override { note(name(p), x, y); }
    void draw_faded_picture(const PictureFile& p, int x, int y, int) override { note(name(p), x, y); }
    void fill(const PixelRect& a, Colour c) override { note("fill " + colour(c), a.x, a.y); }
    void wash(const PixelRect& a, Colour c, int) override { note("wash " + colour(c), a.x, a.y); }
    void draw_text(const std::string& t, int, Colour c, int x, int y) override { note(t + " " + colour(c), x, y); }
    void draw_centred_text(const std::string& t, int, Colour, int x, int y) override { note(t, x, y); }
    int text_width(const std::string& t, int size) override { return static_cast<int>(t.size()) * size * 6 / 10; }

    bool drew(const std::string& what) const {
        for (const std::string& n : notes)
            if (n.rfind(what, 0) == 0)
                return true;
        return false;
    }

private:
    static std::string name(const PictureFile& p) { return p.path ? p.path : "(none)"; }
    static std::string colour(Colour c) {
        return std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b);
    }
    void note(const std::string& what, int x, int y) {
        notes.push_back(what + " at " + std::to_string(x) + "," + std::to_string(y));
    }
};
} // namespace

TEST(FloorCanvas, LabelsSpawnersAndDimLampsOnlyWhileBuilding) {
    LoadResult loaded = read_level_file("model.lvl", [](const std::string&) {
        return BetterReader::of_text("Model\n1\n2\nspawner, 2, 2, R, 5\ncatcher, 10, 10, 1, 1, R\n");
    });
    ASSERT_TRUE(loaded.level) << loaded.message;
    Level& level = *loaded.level;
    level.devices.push_back(std::make_unique<DevicePusher>(4, 4, Mobility::movable, DIR_UP));
    level.devices.push_back(std::make_unique<DeviceIndicator>(6, 4, Mobility::movable, 200, 100, 40));
    for (auto& device : level.devices)
        device->give_name(0);
    NotedCanvas building, running;
    draw_floor(building, level, Phase::building);
    EXPECT_TRUE(building.drew("pusher_0 255,0,0 at 100,84")) << "the name label above the pusher";
    EXPECT_TRUE(building.drew("img/spawner.gif at 50,50"));
    EXPECT_TRUE(building.drew("fill 50,25,10 at 150,100")) << "a dim lamp";

    ::Run run; // not the test's own Run()
    ASSERT_TRUE(run.start(level, ""));
    ASSERT_FALSE(run.frame(level, "indicator_0.on(true)").failed) << run.error();
    DraggedDevice dragged{level.devices[0].get(), 300, 310};
    draw_floor(running, level, Phase::running, &dragged);
    EXPECT_FALSE(running.drew("pusher_0") || running.drew("img/spawner.gif"));
    EXPECT_TRUE(running.drew("fill 200,100,40 at 150,100")) << "the lit lamp in full colour";
    EXPECT_FALSE(running.drew("img/pusher.gif at 100,100")) << "the dragged pusher left its place";
    EXPECT_EQ(running.notes.back(), "img/pusher.gif at 300,310");
}
