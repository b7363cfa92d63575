// The save and open choosers: listing, filters, default extension, existence
// and replace rules, and the modal screen driven by queued events.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/file_chooser.h"
#include "support.h"

namespace fs = std::filesystem;

namespace {
class ChooserTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        fs::create_directories(dir_.path() + "/saves/b_folder");
        fs::create_directories(dir_.path() + "/saves/a_folder");
        for (const char* file : {"saves/zeta.sav", "saves/alpha.sav", "saves/notes.txt"})
            dir_.write(file, "x\n");
        saves_ = fs::path(dir_.path()) / "saves";
    }
    static std::vector<std::string> names(const FileChooserModel& model) {
        std::vector<std::string> out;
        for (const auto& entry : model.entries())
            out.push_back(entry.name);
        return out;
    }
    std::optional<std::string> choose(ChooserMode mode) { return choose_file(info_.screen, mode, saves_.c_str()); }

    ScratchDir dir_;
    fs::path saves_;
};
} // namespace

TEST_F(ChooserTest, ListsFoldersFirstThenFilteredFilesAndEntersFolders) {
    FileChooserModel model(ChooserMode::Open, saves_);
    EXPECT_EQ(names(model), (std::vector<std::string>{"..", "a_folder", "b_folder", "alpha.sav", "zeta.sav"}));
    model.set_filter(1);
    EXPECT_EQ(names(model), (std::vector<std::string>{"..", "a_folder", "b_folder", "alpha.sav", "notes.txt", "zeta.sav"}));
    model.set_filter(7); // no such filter
    EXPECT_EQ(model.filter(), 1);
    model.enter("a_folder");
    EXPECT_EQ(names(model), (std::vector<std::string>{".."}));
    model.enter("..");
    model.enter("..");
    model.enter("no_such_folder");
    EXPECT_EQ(model.folder(), fs::path(dir_.path()));
    FileChooserModel fresh(ChooserMode::Save, saves_ / "fresh");
    EXPECT_TRUE(fs::is_directory(saves_ / "fresh")) << "the start folder is made when missing";
}

TEST_F(ChooserTest, OpenNeedsAnExistingFileAndSaveAsksBeforeReplacing) {
    FileChooserModel open(ChooserMode::Open, saves_);
    auto missing = open.accept("nothing");
    EXPECT_EQ(missing.verdict, FileChooserModel::Verdict::Refused);
    EXPECT_EQ(missing.message, "File not found: nothing.sav");
    EXPECT_EQ(open.accept("alpha").path, saves_ / "alpha.sav");
    EXPECT_EQ(open.accept("notes.txt").verdict, FileChooserModel::Verdict::Accepted);
    EXPECT_EQ(open.accept("").verdict, FileChooserModel::Verdict::Refused);
    FileChooserModel save(ChooserMode::Save, saves_);
    EXPECT_EQ(save.accept("mine").path, saves_ / "mine.sav");
    auto existing = save.accept("zeta");
    EXPECT_EQ(existing.verdict, FileChooserModel::Verdict::AskReplace);
    EXPECT_EQ(existing.message, "zeta.sav already exists. Replace it? (Y / N)");
    EXPECT_EQ(save.accept("missing_folder/x").verdict, FileChooserModel::Verdict::Refused);
    EXPECT_EQ(save.accept("b_folder").verdict, FileChooserModel::Verdict::EnteredFolder);
}

TEST_F(ChooserTest, ScreenTakesTypedNamesAndAnswers) {
    push_text("level1");
    push_key(SDLK_ESCAPE);
    EXPECT_FALSE(choose(ChooserMode::Save)) << "Escape cancels";
    push_text("zeta");
    push_key(SDLK_RETURN);
    push_key(SDLK_n); // keeps the chooser open
    push_key(SDLK_RETURN);
    push_key(SDLK_y);
    EXPECT_EQ(choose(ChooserMode::Save), (saves_ / "zeta.sav").string());
    EXPECT_EQ(dir_.read("saves/zeta.sav"), "x\n") << "choosing writes nothing";
    // The question also answers to the buttons at the panel's bottom right:
    // cancel for no, then save for yes.
    push_text("zeta");
    push_key(SDLK_RETURN);
    push_event(mouse_event(SDL_MOUSEBUTTONDOWN, 110 + 580 - 16 - 45, 80 + 402 + 8));
    push_key(SDLK_RETURN);
    push_event(mouse_event(SDL_MOUSEBUTTONDOWN, 110 + 580 - 30 - 90 - 45, 80 + 402 + 8));
    EXPECT_EQ(choose(ChooserMode::Save), (saves_ / "zeta.sav").string());
    push_text("nothing");
    push_key(SDLK_RETURN); // stays open
    for (int i = 0; i < 7; ++i)
        push_key(SDLK_BACKSPACE);
    push_text("alpha");
    push_key(SDLK_RETURN);
    EXPECT_EQ(choose(ChooserMode::Open), (saves_ / "alpha.sav").string());
}
