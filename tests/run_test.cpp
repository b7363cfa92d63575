// A run of the simulation: start, frames, failures and the program's reach.
#include <gtest/gtest.h>

#include <string>

#include "run/run.h"
#include "device_test_util.h"
#include "level/level.h"
#include "pusher/pusher.h"

namespace {

class RunTest : public testing::Test {
protected:
    void SetUp() override {
        pusher_ = place<DevicePusher>(level_, 5, 5, false, DIR_RIGHT);
        pusher_->give_name(0);
        level_.add_block(6, 5, 'R');
        level_.clear_blocks();
    }
    Level level_;
    DevicePusher* pusher_ = nullptr;
    ::Run run_;
};

} // namespace

TEST_F(RunTest, InitActionsWaitForTheFirstFrameAndComeFirstInIt) {
    EXPECT_FALSE(run_.frame(level_, "")) << "no frame before a start";
    ASSERT_TRUE(run_.start(level_, "pusher_0.on(true)"));
    EXPECT_EQ(run_.error(), "");
    EXPECT_FALSE(pusher_->on) << "nothing is dispatched after the first chunk";
    EXPECT_EQ(level_.ticks, 0);
    ASSERT_TRUE(run_.frame(level_, ""));
    EXPECT_TRUE(pusher_->on);
    EXPECT_TRUE(pusher_->extended) << "the frame's step follows the dispatch";
    EXPECT_EQ(level_.ticks, 1);
    ASSERT_TRUE(run_.start(level_, "pusher_0.on(false)"));
    ASSERT_TRUE(run_.frame(level_, "pusher_0.on(true)"));
    EXPECT_TRUE(pusher_->on);
}

TEST_F(RunTest, FailedStartLeavesTheLevelAlone) {
    EXPECT_FALSE(run_.start(level_, "pusher_0.on(true)\nif then"));
    // The pusher's table is line 1 of the program.
    EXPECT_EQ(run_.error().rfind("[string \"FIRST TIME\"]:3:", 0), 0u) << run_.error();
    EXPECT_EQ(level_.ticks, 0);
    EXPECT_FALSE(pusher_->on);
}

TEST_F(RunTest, FailedFrameDeliversEarlierActionsButDoesNotStep) {
    ASSERT_TRUE(run_.start(level_, ""));
    ASSERT_TRUE(run_.frame(level_, ""));
    EXPECT_FALSE(run_.frame(level_, "pusher_0.on(true)\nerror('jammed')"));
    EXPECT_EQ(run_.error(), "[string \"EVERY TIME\"]:3: jammed");
    EXPECT_TRUE(pusher_->on) << "queued before the failure";
    EXPECT_FALSE(pusher_->extended);
    EXPECT_EQ(level_.ticks, 1);

    EXPECT_FALSE(run_.frame(level_, "action('pusher_7', 'on', 0)\nerror('jammed')"));
    EXPECT_EQ(run_.error(), "device not found: pusher_7") << "the missing device's message wins";
    EXPECT_EQ(level_.ticks, 1);
    ASSERT_TRUE(run_.frame(level_, ""));
    EXPECT_EQ(run_.error(), "");
    EXPECT_EQ(level_.ticks, 2);
}

TEST_F(RunTest, GlobalsLastForOneRun) {
    const std::string count = "n = n + 1\nif n == 3 then error('third') end";
    ASSERT_TRUE(run_.start(level_, "n = 1"));
    EXPECT_TRUE(run_.frame(level_, count));
    EXPECT_FALSE(run_.frame(level_, count));
    EXPECT_EQ(run_.error(), "[string \"EVERY TIME\"]:3: third");
    ASSERT_TRUE(run_.start(level_, ""));
    EXPECT_FALSE(run_.frame(level_, count)) << "a new start is a new Lua state";
    EXPECT_EQ(run_.error(), "[string \"EVERY TIME\"]:2: attempt to perform arithmetic on global 'n' (a nil value)");
}
