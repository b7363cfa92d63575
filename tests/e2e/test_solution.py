"""The journey's plans checked without a window: how it reads levels and saves
and what a player must do to rebuild a save by hand."""

import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import solution as S  # noqa: E402


def save_with(records, init=(), cycle=()):
    text = "lvl.lvl\n" + "".join(r + "\n" for r in records) + "CODE\n"
    text += "%d\n%s%d\n%s" % (len(init), "".join(r + "\n" for r in init), len(cycle),
                              "".join(r + "\n" for r in cycle))
    return S.parse_save(text)


LEVEL = S.LevelFile("lvl.lvl", "A level", 1, [(20, 16, ord("R"), ord("G"))])


class LevelListTest(unittest.TestCase):
    def test_lists_by_difficulty_then_name_and_drops_unlisted_levels(self):
        with tempfile.TemporaryDirectory() as folder:
            files = {"b.lvl": "B\n1\n0\n", "a.lvl": "A\n 2x\n0\n", "c.lvl": "C\n1\n0\n",
                     "zero.lvl": "Z\n0\n0\n", "ten.lvl": "T\n10\n0\n", "note.txt": "N\n1\n0\n"}
            for name, text in files.items():
                with open(os.path.join(folder, name), "w") as f:
                    f.write(text)
            self.assertEqual([lvl.name for lvl in S.shown_levels(folder)], ["b.lvl", "c.lvl", "a.lvl"])

    def test_reads_converters_between_other_items_whatever_the_spacing(self):
        with tempfile.TemporaryDirectory() as folder:
            with open(os.path.join(folder, "x.lvl"), "w") as f:
                f.write("X\r\n1\r\n4\r\nspawner, 1, 2, R, 20\r\ncon verter,3,4,\tR,G\r\n"
                        "mystery, 1, 1\r\ncatcher, 5, 6, 1, 1, G\r\n")
            self.assertEqual(S.read_level(folder, "x.lvl").converters, [(3, 4, ord("R"), ord("G"))])


class BuildingStepsTest(unittest.TestCase):
    def test_converter_is_moved_from_the_level_place_to_the_saved_one(self):
        steps = S.building_steps(LEVEL, save_with(["a, 4, 4, 0, 82, 71"]))
        self.assertEqual(len(steps), 1)
        self.assertEqual(steps[0].point, (20 * 25 + 12, 16 * 25 + 12))
        self.assertEqual(steps[0].target, (4 * 25 + 12, 4 * 25 + 12))

    def test_a_missing_or_foreign_converter_record_is_refused(self):
        with self.assertRaises(S.SolutionError):
            S.building_steps(LEVEL, save_with([]))
        with self.assertRaises(S.SolutionError):
            S.building_steps(LEVEL, save_with(["a, 4, 4, 0, 82, 66"]))

    def test_pages_change_only_when_needed_and_belt_settings_only_when_they_differ(self):
        records = ["a, 20, 16, 0, 82, 71", "e, 1, 1, 0, 1", "e, 3, 1, 1, 0", "f, 5, 5, 0, 2",
                   "b, 0, 10, 0, 1, 0, 10", "b, 2, 10, 0, 8, 3, 5", "b, 12, 10, 0, 8, 3, 5"]
        steps = S.building_steps(LEVEL, save_with(records))
        self.assertEqual([(s.what, s.page if s.what == "page" else s.note) for s in steps], [
            ("page", 2), ("drag", "place e, 1, 1, 0, 1"), ("drag", "place e, 3, 1, 1, 0"),
            ("page", 1), ("drag", "place f, 5, 5, 0, 2"),
            ("page", 0), ("drag", "place b, 0, 10, 0, 1, 0, 10"),
            ("click", "belt length 8"), ("click", "belt direction 3"), ("click", "belt period 5"),
            ("drag", "place b, 2, 10, 0, 8, 3, 5"), ("drag", "place b, 12, 10, 0, 8, 3, 5")])

    def test_each_kind_is_placed_in_ascending_number_in_its_own_slots(self):
        records = ["a, 20, 16, 0, 82, 71", "e, 1, 1, 1, 1", "d, 9, 9, 0, 255, 0, 0", "e, 3, 1, 0, 0"]
        notes = [s.note for s in S.building_steps(LEVEL, save_with(records)) if s.what == "drag"]
        self.assertEqual(notes, ["place e, 3, 1, 0, 0", "place d, 9, 9, 0, 255, 0, 0", "place e, 1, 1, 1, 1"])

    def test_what_the_bin_cannot_give_is_refused(self):
        for record in ("e, 1, 1, 1, 1",            # pusher_1 without pusher_0
                       "c, 1, 1, 0, 12, 1",        # grabbers come 18 cells long
                       "b, 1, 1, 0, 3, 1, 10",     # no length-3 button
                       "b, 1, 1, 0, 1, 1, 7",      # no period-7 button
                       "d, 1, 1, 0, 1, 2, 3"):     # no such lamp colour
            with self.subTest(record=record), self.assertRaises(S.SolutionError):
                S.building_steps(LEVEL, save_with(["a, 20, 16, 0, 82, 71", record]))

    def test_drops_land_the_anchor_on_the_target_even_at_the_floor_edges(self):
        for press in ((650 + 74, 450), (710, 67), (12, 12)):
            for target in ((0, 0), (25, 21), (7, 13)):
                drop = S.drop_point(press, (press[0] // 25, press[1] // 25), target)
                self.assertLessEqual(drop[0], 650, "a drop right of the floor would delete the device")


class CodeTest(unittest.TestCase):
    def test_save_code_blocks_are_read_row_for_row(self):
        save = save_with([], init=["a = 1", ""], cycle=["b, c = 1, 2"])
        self.assertEqual((save.init_rows, save.cycle_rows), (["a = 1", ""], ["b, c = 1, 2"]))

    def test_typed_rows_follow_the_placeholder_once_and_tabs_become_spaces(self):
        placeholder = S.PLACEHOLDERS[1]
        self.assertEqual(S.typed_rows([placeholder, "\tx = 1"], placeholder),
                         (["    x = 1"], [placeholder, "    x = 1"]))
        self.assertEqual(S.typed_rows([], placeholder), ([], [placeholder]))
        with self.assertRaises(S.SolutionError):
            S.typed_rows(["x = 'caf\u00e9'"], placeholder)

    def test_records_compare_as_the_game_writes_them_back(self):
        save = save_with(["c, 1, 2, 0, 18, 2", "a, 1, 1, 0, 338, 71"])
        self.assertEqual(S.expected_records(save), ["a, 1, 1, 0, 82, 71", "c, 1, 2, 0, 18, 0"])


if __name__ == "__main__":
    unittest.main()
