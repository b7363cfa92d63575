#ifndef GEARLOFT_DEVICES_DEVICE_H
#define GEARLOFT_DEVICES_DEVICE_H

#include <memory>
#include <string>
#include <vector>

#include "canvas/canvas.h"
#include "devices/floor.h"

class Level;

// Whether the player may pick a device up and move it; the level's own
// belts are fixed.
enum class Mobility { movable, fixed };

// What the floor is drawn for: the player building the machine (name
// labels shown, lamps dim) or the machine running.
enum class Phase { building, running };

// Longest Lua name a device can carry (the name buffer holds 32 bytes).
constexpr int DEVICE_NAME_MAX = 31;
// Most numbers a save record carries after its letter.
constexpr int RECORD_FIELDS_MAX = 6;

// What all devices of one kind share. The save record starts with `letter`;
// `record` is its format, the one string that writes it and reads it back
// (a letter, then "%d" fields and literal zeros after ", "), and `fields`
// names its numbers in order, separated by blanks. `word` is the kind word,
// which also starts the Lua names ("pusher" names pusher_0, pusher_1, ...);
// the kinds with a word carry their number as the third record field. Belts
// and converters have no word and take no name.
struct DeviceKind {
    char letter;
    const char* word;
    const char* record;
    const char* fields;
    bool takes_name() const { return word[0] != '\0'; }
};

// A machine standing on the factory floor.
class Device {
public:
    int x;
    int y;
    char name[DEVICE_NAME_MAX + 1];
    bool fixed;
    const DeviceKind& kind;
    int number = 0;

    // A device of no kind has no word, no name and an empty record.
    Device(int x, int y, Mobility mobility, const DeviceKind& kind = NO_KIND);
    virtual ~Device() = default;
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    // Draws the device with its anchor cell at pixel (px, py).
    virtual void draw_at(Canvas& canvas, int px, int py, Phase phase) const = 0;
    // One simulation step; nothing by default.
    virtual void tick(Level* level);
    // Applies one action of the program; by default every verb is ignored.
    virtual void code_action(const char* verb, int arg, Level* level);
    // Cell (cx, cy) is solid: no block may be pushed into it. By default the
    // device is solid wherever it stands.
    virtual bool block_collide(int cx, int cy) const;
    // Cell (cx, cy) is covered by the device; by default its anchor cell
    // alone.
    virtual bool floor_collide(int cx, int cy) const;
    // The cells the device covers, relative to its anchor: the cells for
    // which floor_collide is true, whatever the anchor. The placement rules
    // (level/placement.h) judge a place by them.
    virtual std::vector<FloorCell> footprint() const;
    // The smallest rectangle of pixels round the footprint's cells, relative
    // to the anchor cell's top-left pixel.
    PixelRect footprint_bounds() const;
    // A new device of the same class and constructor arguments; no name, no
    // number, no run state.
    virtual std::unique_ptr<Device> copy() const = 0;
    // Names the device after its kind word and n ("pusher_3"); nothing for a
    // kind without a word.
    virtual void give_name(int n);
    // The Lua text defining this device's table; empty by default (no table).
    virtual std::string get_code_stub(const Level& level) const;
    // Back to the start of a run; nothing by default.
    virtual void reset();
    // Drawn beneath the blocks; false by default.
    virtual bool is_low() const;
    // The one-line save record, without its line end: the kind's record
    // format filled with `record_fields`.
    std::string get_save_stub() const;
    // The numbers of the save record after its letter, in the record's order.
    virtual std::vector<int> record_fields() const = 0;

    Mobility mobility() const { return fixed ? Mobility::fixed : Mobility::movable; }
    void draw(Canvas& canvas, Phase phase) const;

    static const DeviceKind NO_KIND;

protected:
    // The verbs "on" and "off" of parts that switch, applied to `state`;
    // other verbs leave it.
    static void apply_switch(const char* verb, bool& state);
    // The red name label above a scriptable device, only while building.
    void draw_label(Canvas& canvas, int px, int py, Phase phase) const;
};

#endif
