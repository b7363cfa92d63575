// The records of bests on disk: each metric's best kept on its own, written
// whole, and never lost to a killed write, a corrupt file, a full disk or a
// folder that cannot be written; code bests counted in lines dropped.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "files/records.h"
#include "support.h"

namespace fs = std::filesystem;

namespace {
const std::string HEADER = "# Gearloft bests: steps parts code-tokens level\n";
const std::string LINES_HEADER = "# Gearloft bests: steps parts code level\n";

class RecordsTest : public testing::Test {
protected:
    std::string path_of(const std::string& file) const { return dir_.path() + "/" + file; }
    ScratchDir dir_;
    const std::string path_ = path_of("saves/records.txt");
};
} // namespace

TEST_F(RecordsTest, EachMetricKeepsItsOwnBest) {
    Records records(path_);
    EXPECT_EQ(records.load(), "") << "no file yet: no records, no message";
    EXPECT_EQ(records.best("a.lvl"), nullptr);
    RecordOutcome first = records.record("a.lvl", {400, 16, 9});
    EXPECT_TRUE(!first.before && first.new_steps && first.new_parts && first.new_code && first.failure.empty());
    RecordOutcome second = records.record("a.lvl", {380, 20, 9});
    EXPECT_TRUE(second.new_steps && !second.new_parts && !second.new_code);
    EXPECT_EQ(second.before, (Bests{400, 16, 9}));
    EXPECT_EQ(second.bests, (Bests{380, 16, 9}));
    records.record("my level 2.lvl", {1, 2, 3});
    records.record("two\nlines.lvl", {1, 2, 3});
    EXPECT_EQ(dir_.read("saves/records.txt"), HEADER + "380 16 9 a.lvl\n1 2 3 my level 2.lvl\n");
    Records again(path_);
    EXPECT_EQ(again.load(), "");
    ASSERT_NE(again.best("my level 2.lvl"), nullptr);
    EXPECT_EQ(*again.best("my level 2.lvl"), (Bests{1, 2, 3}));
}

// A file that counted code in lines is no corrupt file: its steps and parts
// bests stay, its code bests go until the level's next win, and the next
// write gives it the token heading, "-" standing for a code best not yet won.
TEST_F(RecordsTest, CodeBestsCountedInLinesAreDropped) {
    dir_.write("saves/records.txt", LINES_HEADER + "500 20 9 a.lvl\n300 10 4 b.lvl\n");
    Records records(path_);
    EXPECT_EQ(records.load(), "");
    EXPECT_EQ(*records.best("a.lvl"), (Bests{500, 20, std::nullopt}));
    RecordOutcome won = records.record("a.lvl", {600, 30, 120});
    EXPECT_TRUE(!won.new_steps && !won.new_parts && won.new_code);
    EXPECT_EQ(won.bests, (Bests{500, 20, 120}));
    EXPECT_EQ(dir_.read("saves/records.txt"), HEADER + "500 20 120 a.lvl\n300 10 - b.lvl\n");
    Records again(path_);
    EXPECT_EQ(again.load(), "");
    EXPECT_EQ(*again.best("b.lvl"), (Bests{300, 10, std::nullopt}));
    EXPECT_EQ(*again.best("a.lvl"), (Bests{500, 20, 120}));
}

// A write killed before its rename leaves the old file and a temporary one
// beside it, complete or cut short; a rename happens whole or not at all.
TEST_F(RecordsTest, AKilledWriteLeavesTheOldRecords) {
    dir_.write("saves/records.txt", HEADER + "500 20 9 a.lvl\n");
    dir_.write("saves/records.txt.tmpK1ll3d", HEADER + "400 20 9 a.lvl\n");
    dir_.write("saves/records.txt.tmpHa1f0n", HEADER + "300 1");
    Records records(path_);
    EXPECT_EQ(records.load(), "");
    EXPECT_EQ(*records.best("a.lvl"), (Bests{500, 20, 9}));
    EXPECT_TRUE(records.record("b.lvl", {7, 1, 0}).failure.empty());
    EXPECT_EQ(dir_.read("saves/records.txt"), HEADER + "500 20 9 a.lvl\n7 1 0 b.lvl\n");
    EXPECT_EQ(dir_.read("saves/records.txt.tmpHa1f0n"), HEADER + "300 1");
}

TEST_F(RecordsTest, UnusableFilesAreSetAsideNeverDeleted) {
    const std::string corrupt[] = {"",
                                   "412 16 9 a.lvl\n",
                                   HEADER + "412 16 9 a.lvl", // written in place and cut short
                                   HEADER + "412 16 a.lvl\n",
                                   HEADER + "-1 16 9 a.lvl\n",
                                   HEADER + "412 - 9 a.lvl\n",
                                   LINES_HEADER + "412 16 - a.lvl\n",
                                   HEADER + "4 1 9 a.lvl\n4 1 9 a.lvl\n",
                                   HEADER + "9999999999 1 1 a.lvl\n",
                                   HEADER + "1 2 3 \n"};
    int n = 0;
    for (const std::string& text : corrupt) {
        dir_.write("saves/records.txt", text);
        Records records(path_);
        std::string aside = path_ + ".corrupt" + (n++ > 0 ? "-" + std::to_string(n) : "");
        std::string found = records.load();
        EXPECT_NE(found.find("; it was moved to " + aside + " and the game goes on with empty records."),
                  std::string::npos)
            << text;
        EXPECT_EQ(records.best("a.lvl"), nullptr);
        if (n == 4 || n == 8) { // the reason names the line at fault
            EXPECT_NE(found.find(n == 4 ? "(line 2 is no" : "(line 3 is no"), std::string::npos);
        }
        EXPECT_EQ(dir_.read("saves/records.txt" + aside.substr(path_.size())), text);
        EXPECT_FALSE(fs::exists(path_));
    }
    fs::create_directory(path_);
    Records folder(path_);
    EXPECT_NE(folder.load().find("(not a plain file); it was moved to"), std::string::npos);
    EXPECT_TRUE(folder.record("a.lvl", {1, 1, 1}).failure.empty()) << "a new file where the folder was";

    // With no free name to move it to, the file is left alone: never written over.
    for (int i = 1; i <= 100; ++i)
        dir_.write("saves/records.txt.corrupt" + (i > 1 ? "-" + std::to_string(i) : ""), "old");
    dir_.write("saves/records.txt", "junk");
    Records stuck(path_);
    EXPECT_NE(stuck.load().find("could not be moved aside (no free name beside it)"), std::string::npos);
    EXPECT_NE(stuck.record("a.lvl", {1, 1, 1}).failure, "");
    EXPECT_EQ(dir_.read("saves/records.txt"), "junk");
}

// The bests stay in memory for the next write, and the old file on disk.
TEST_F(RecordsTest, AFullDiskLeavesTheOldFile) {
    dir_.write("saves/records.txt", HEADER + "500 20 9 a.lvl\n");
    Records records(path_);
    ASSERT_EQ(records.load(), "");
    signal(SIGXFSZ, SIG_IGN);
    rlimit before;
    getrlimit(RLIMIT_FSIZE, &before);
    rlimit full = {16, before.rlim_max};
    setrlimit(RLIMIT_FSIZE, &full);
    RecordOutcome outcome = records.record("a.lvl", {450, 20, 9});
    setrlimit(RLIMIT_FSIZE, &before);
    EXPECT_EQ(outcome.failure, "Cannot write the records file " + path_ + ": File too large");
    EXPECT_EQ(dir_.read("saves/records.txt"), HEADER + "500 20 9 a.lvl\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(path_of("saves")), {}), 1) << "no temporary file left";
    records.record("b.lvl", {1, 1, 1});
    EXPECT_EQ(dir_.read("saves/records.txt"), HEADER + "450 20 9 a.lvl\n1 1 1 b.lvl\n");
}

// The owner of the folder would write anyway, so the records are kept by
// the unprivileged user in a child process.
TEST_F(RecordsTest, AReadOnlyFolderLeavesTheOldFile) {
    dir_.write("saves/records.txt", HEADER + "500 20 9 a.lvl\n");
    fs::permissions(dir_.path(), fs::perms(0755));
    fs::permissions(path_of("saves"), fs::perms(0555));
    auto keep_a_best = [this] {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            std::exit(2);
        Records records(path_);
        std::string loaded = records.load();
        std::string failure = records.record("a.lvl", {450, 20, 9}).failure;
        std::fprintf(stderr, "%s|%s", loaded.c_str(), failure.c_str());
        std::exit(records.best("a.lvl")->steps == 450 ? 0 : 1);
    };
    EXPECT_EXIT(keep_a_best(), testing::ExitedWithCode(0),
                "^[|]Cannot write the records file .*/saves/records.txt: Permission denied$");
    fs::permissions(path_of("saves"), fs::perms(0755));
    EXPECT_EQ(dir_.read("saves/records.txt"), HEADER + "500 20 9 a.lvl\n");
}
