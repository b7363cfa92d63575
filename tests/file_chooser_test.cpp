// The save and open choosers: listing, filters, default extension, existence
// and replace rules, and the modal screen driven by queued events.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "core/file_chooser.h"

namespace fs = std::filesystem;

namespace {
class ChooserTest : public testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("gearloft-chooser-" + std::to_string(::getpid()) + "-" +
                                            testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        fs::create_directories(root_ / "saves" / "b_folder");
        fs::create_directories(root_ / "saves" / "a_folder");
        touch("saves/zeta.sav");
        touch("saves/alpha.sav");
        touch("saves/notes.txt");
    }
    void TearDown() override { fs::remove_all(root_); }

    void touch(const std::string& relative, const std::string& text = "x\n") {
        std::ofstream(root_ / relative) << text;
    }
    std::string read(const std::string& relative) {
        std::ifstream in(root_ / relative);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static std::vector<std::string> names(const FileChooserModel& model) {
        std::vector<std::string> out;
        for (const auto& entry : model.entries())
            out.push_back(entry.name);
        return out;
    }

    fs::path root_;
};
} // namespace

TEST_F(ChooserTest, ListsFoldersFirstThenFilteredFilesByName) {
    FileChooserModel model(ChooserMode::Open, root_ / "saves");
    EXPECT_EQ(names(model), (std::vector<std::string>{"..", "a_folder", "b_folder", "alpha.sav", "zeta.sav"}));
    model.set_filter(1);
    EXPECT_EQ(names(model),
              (std::vector<std::string>{"..", "a_folder", "b_folder", "alpha.sav", "notes.txt", "zeta.sav"}));
    model.set_filter(7); // no such filter
    EXPECT_EQ(model.filter(), 1);
}

TEST_F(ChooserTest, FoldersCanBeEnteredAndLeft) {
    FileChooserModel model(ChooserMode::Open, root_ / "saves");
    model.enter("a_folder");
    EXPECT_EQ(model.folder(), root_ / "saves" / "a_folder");
    EXPECT_EQ(names(model), (std::vector<std::string>{".."}));
    model.enter("..");
    model.enter("..");
    EXPECT_EQ(model.folder(), root_);
    model.enter("no_such_folder");
    EXPECT_EQ(model.folder(), root_);
}

TEST_F(ChooserTest, StartFolderIsCreatedWhenMissing) {
    FileChooserModel model(ChooserMode::Save, root_ / "fresh");
    EXPECT_TRUE(fs::is_directory(root_ / "fresh"));
}

TEST_F(ChooserTest, OpenNeedsAnExistingFile) {
    FileChooserModel model(ChooserMode::Open, root_ / "saves");
    auto missing = model.accept("nothing");
    EXPECT_EQ(missing.verdict, FileChooserModel::Verdict::Refused);
    EXPECT_EQ(missing.message, "File not found: nothing.sav");
    auto found = model.accept("alpha");
    EXPECT_EQ(found.verdict, FileChooserModel::Verdict::Accepted);
    EXPECT_EQ(found.path, root_ / "saves" / "alpha.sav");
    EXPECT_EQ(model.accept("notes.txt").verdict, FileChooserModel::Verdict::Accepted);
    EXPECT_EQ(model.accept("").verdict, FileChooserModel::Verdict::Refused);
}

TEST_F(ChooserTest, SaveAddsTheExtensionAndAsksBeforeReplacing) {
    FileChooserModel model(ChooserMode::Save, root_ / "saves");
    auto fresh = model.accept("mine");
    EXPECT_EQ(fresh.verdict, FileChooserModel::Verdict::Accepted);
    EXPECT_EQ(fresh.path, root_ / "saves" / "mine.sav");
    auto existing = model.accept("zeta");
    EXPECT_EQ(existing.verdict, FileChooserModel::Verdict::AskReplace);
    EXPECT_EQ(existing.message, "zeta.sav already exists. Replace it? (Y / N)");
    EXPECT_EQ(model.accept("missing_folder/x").verdict, FileChooserModel::Verdict::Refused);
    auto folder = model.accept("b_folder");
    EXPECT_EQ(folder.verdict, FileChooserModel::Verdict::EnteredFolder);
    EXPECT_EQ(model.folder(), root_ / "saves" / "b_folder");
}

namespace {
void push_key(SDLKey sym, Uint16 unicode = 0) {
    SDL_Event event;
    std::memset(&event, 0, sizeof event);
    event.type = SDL_KEYDOWN;
    event.key.type = SDL_KEYDOWN;
    event.key.state = SDL_PRESSED;
    event.key.keysym.sym = sym;
    event.key.keysym.unicode = unicode;
    SDL_PushEvent(&event);
    event.type = SDL_KEYUP;
    event.key.type = SDL_KEYUP;
    event.key.state = SDL_RELEASED;
    SDL_PushEvent(&event);
}

void push_text(const char* text) {
    for (const char* c = text; *c; ++c)
        push_key(static_cast<SDLKey>(*c), static_cast<Uint16>(*c));
}

class ChooserScreenTest : public ChooserTest {
protected:
    void SetUp() override {
        ChooserTest::SetUp();
        SDL_Init(SDL_INIT_VIDEO);
        SDL_EnableUNICODE(1);
        screen_ = SDL_SetVideoMode(800, 600, 16, 0);
    }
    void TearDown() override {
        SDL_Quit();
        ChooserTest::TearDown();
    }
    std::optional<std::string> choose(ChooserMode mode) {
        std::string start = (root_ / "saves").string();
        return choose_file(screen_, mode, start.c_str());
    }
    SDL_Surface* screen_ = nullptr;
};
} // namespace

TEST_F(ChooserScreenTest, TypedNameAndEnterChoosesIt) {
    push_text("level1");
    push_key(SDLK_RETURN);
    auto chosen = choose(ChooserMode::Save);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(*chosen, (root_ / "saves" / "level1.sav").string());
}

TEST_F(ChooserScreenTest, EscapeCancels) {
    push_text("level1");
    push_key(SDLK_ESCAPE);
    EXPECT_FALSE(choose(ChooserMode::Save).has_value());
}

TEST_F(ChooserScreenTest, ReplacingNeedsYes) {
    push_text("zeta");
    push_key(SDLK_RETURN);
    push_key(SDLK_n); // keeps the chooser open
    push_key(SDLK_RETURN);
    push_key(SDLK_y);
    auto chosen = choose(ChooserMode::Save);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(*chosen, (root_ / "saves" / "zeta.sav").string());
    EXPECT_EQ(read("saves/zeta.sav"), "x\n") << "choosing writes nothing";

    push_text("zeta");
    push_key(SDLK_RETURN);
    push_key(SDLK_ESCAPE); // answers no
    push_key(SDLK_ESCAPE); // then cancels
    EXPECT_FALSE(choose(ChooserMode::Save).has_value());
}

TEST_F(ChooserScreenTest, ReplaceQuestionAnswersToTheButtonsToo) {
    // The buttons sit at the panel's bottom right: save, then cancel.
    auto press = [](int x, int y) {
        SDL_Event event;
        std::memset(&event, 0, sizeof event);
        event.type = SDL_MOUSEBUTTONDOWN;
        event.button.button = SDL_BUTTON_LEFT;
        event.button.x = static_cast<Uint16>(x);
        event.button.y = static_cast<Uint16>(y);
        SDL_PushEvent(&event);
    };
    push_text("zeta");
    push_key(SDLK_RETURN);
    press(110 + 580 - 16 - 45, 80 + 402 + 8); // cancel: no
    push_text("y");                            // typed into the name now
    push_key(SDLK_ESCAPE);
    EXPECT_FALSE(choose(ChooserMode::Save).has_value());

    push_text("zeta");
    push_key(SDLK_RETURN);
    press(110 + 580 - 30 - 90 - 45, 80 + 402 + 8); // save: yes
    auto chosen = choose(ChooserMode::Save);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(*chosen, (root_ / "saves" / "zeta.sav").string());
}

TEST_F(ChooserScreenTest, OpenStaysOpenForAMissingFile) {
    push_text("nothing");
    push_key(SDLK_RETURN);
    for (int i = 0; i < 7; ++i)
        push_key(SDLK_BACKSPACE);
    push_text("alpha");
    push_key(SDLK_RETURN);
    auto chosen = choose(ChooserMode::Open);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(*chosen, (root_ / "saves" / "alpha.sav").string());
}
