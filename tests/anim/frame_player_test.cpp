// The playback thread: which frame it hands over next and when, that it waits
// for each frame to be shown, and that stopping ends it at once and for good.
#include "anim/frame_player.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <system_error>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

SharedFrameSequence Sequence(std::vector<std::uint32_t> delays) {
    std::vector<FrameSequence::Frame> frames;
    for (std::size_t i = 0; i < delays.size(); ++i)
        frames.push_back({static_cast<int>(10 + i), delays[i]});
    return std::make_shared<const FrameSequence>(std::move(frames));
}

// The owner's side: the frames handed over wait in a queue, as posted events
// wait for the owner's thread.
class Owner {
public:
    FramePlayer::HandOver HandOver() {
        return [this](std::uint32_t frame) {
            const std::lock_guard<std::mutex> lock(lock_);
            posted_.push_back({frame, Clock::now()});
            ++handOvers_;
            arrived_.notify_all();
        };
    }
    // The next frame handed over, within `timeout`.
    std::optional<std::pair<std::uint32_t, Clock::time_point>> Take(
        std::chrono::milliseconds timeout = 2000ms) {
        std::unique_lock<std::mutex> lock(lock_);
        if (!arrived_.wait_for(lock, timeout, [&] { return !posted_.empty(); }))
            return std::nullopt;
        const auto next = posted_.front();
        posted_.pop_front();
        return next;
    }
    int HandOvers() {
        const std::lock_guard<std::mutex> lock(lock_);
        return handOvers_;
    }

private:
    std::mutex lock_;
    std::condition_variable arrived_;
    std::deque<std::pair<std::uint32_t, Clock::time_point>> posted_;
    int handOvers_ = 0;
};

// Plays `count` frames, showing each as it arrives; the frames in order.
std::vector<std::uint32_t> PlayAndShow(FramePlayer& player, Owner& owner, int count) {
    std::vector<std::uint32_t> shown;
    for (int i = 0; i < count; ++i) {
        const auto next = owner.Take();
        if (!next) break;
        shown.push_back(next->first);
        player.Shown(next->first);
    }
    return shown;
}

TEST(FramePlayer, WalksTheFramesAfterTheCurrentOneAndWrapsToTheFirst) {
    struct Case {
        std::vector<std::uint32_t> delays;
        std::uint32_t current;
        std::vector<std::uint32_t> expected;
    };
    const Case cases[] = {
        {{0, 0, 0}, 0, {1, 2, 0, 1, 2, 0, 1}},
        {{1, 0, 2, 0}, 2, {3, 0, 1, 2, 3}},
        {{0}, 0, {0, 0, 0}},  // one frame: shown again and again
        {{0, 0}, 7, {0, 1, 0}},  // a frame outside the list continues at the first
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.current);
        FramePlayer player;
        Owner owner;
        ASSERT_TRUE(player.Start(Sequence(c.delays), c.current, owner.HandOver()));
        EXPECT_EQ(PlayAndShow(player, owner, static_cast<int>(c.expected.size())), c.expected);
        EXPECT_TRUE(player.Stop());
        EXPECT_FALSE(player.Playing());
    }
}

TEST(FramePlayer, EachFrameStaysForItsDelayAndTheNextWaitsUntilItWasShown) {
    FramePlayer player;
    Owner owner;
    ASSERT_TRUE(player.Start(Sequence({40, 0, 80}), 2, owner.HandOver()));
    // Frame 0 (40 ms) is handed over at once; frame 1 only 40 ms later.
    const auto first = owner.Take();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->first, 0u);
    EXPECT_EQ(player.PendingFrame(), 0u);
    player.Shown(0);
    EXPECT_EQ(player.PendingFrame(), std::nullopt);
    const auto second = owner.Take();
    ASSERT_TRUE(second);
    EXPECT_EQ(second->first, 1u);
    EXPECT_GE(second->second - first->second, 40ms);
    // Frame 1 lasts 0 ms, but frame 2 waits until frame 1 was shown.
    std::this_thread::sleep_for(60ms);
    EXPECT_EQ(owner.HandOvers(), 2);
    player.Shown(1);
    const auto third = owner.Take();
    ASSERT_TRUE(third);
    EXPECT_EQ(third->first, 2u);
    EXPECT_TRUE(player.Stop());
}

TEST(FramePlayer, TheUsersOwnFrameIsWhereThePlaybackGoesOn) {
    FramePlayer player;
    Owner owner;
    ASSERT_TRUE(player.Start(Sequence({30, 30, 30, 30, 30, 30}), 0, owner.HandOver()));
    ASSERT_TRUE(owner.Take());
    player.Shown(4);  // the user pressed Last-but-one meanwhile
    const auto next = owner.Take();
    ASSERT_TRUE(next);
    EXPECT_EQ(next->first, 5u);
    EXPECT_TRUE(player.Stop());
}

TEST(FramePlayer, StopEndsALongWaitAtOnceAndNothingIsHandedOverAfterIt) {
    struct Case {
        const char* name;
        bool showFirst;  // the owner showed the frame (the thread waits the delay)
    };
    for (const Case c : {Case{"waiting the delay", true}, Case{"waiting for the show", false}}) {
        SCOPED_TRACE(c.name);
        FramePlayer player;
        Owner owner;
        ASSERT_TRUE(player.Start(Sequence({60000, 60000}), 1, owner.HandOver()));
        ASSERT_TRUE(owner.Take());
        if (c.showFirst) player.Shown(0);
        const auto before = Clock::now();
        EXPECT_TRUE(player.Stop());
        EXPECT_LT(Clock::now() - before, 500ms);
        EXPECT_FALSE(player.Playing());
        EXPECT_FALSE(owner.Take(50ms));
        EXPECT_EQ(owner.HandOvers(), 1);
        player.Shown(1);  // after the stop: harmless
    }
}

TEST(FramePlayer, StartingAgainPlaysAFreshSequenceAndATooSlowThreadIsLetGo) {
    FramePlayer player;
    Owner owner;
    ASSERT_TRUE(player.Start(Sequence({0, 0}), 0, owner.HandOver()));
    EXPECT_FALSE(player.Start(Sequence({0}), 0, owner.HandOver()));  // already playing
    EXPECT_TRUE(player.Stop());

    // A thread that cannot get going in time: Stop gives up after its timeout,
    // and the thread, once running, sees the stop and hands nothing over.
    auto gate = std::make_shared<std::mutex>();
    auto ended = std::make_shared<std::atomic<bool>>(false);
    std::unique_lock<std::mutex> closed(*gate);
    player.SetLauncher([gate, ended](std::function<void()> body) {
        return std::thread([gate, ended, body = std::move(body)] {
            {
                const std::lock_guard<std::mutex> wait(*gate);
                body();
            }
            *ended = true;
        });
    });
    Owner late;
    ASSERT_TRUE(player.Start(Sequence({0, 0}), 0, late.HandOver()));
    const auto before = Clock::now();
    EXPECT_FALSE(player.Stop(100ms));
    EXPECT_GE(Clock::now() - before, 100ms);
    EXPECT_FALSE(player.Playing());
    closed.unlock();
    for (int i = 0; i < 200 && !*ended; ++i) std::this_thread::sleep_for(5ms);
    EXPECT_TRUE(*ended);
    EXPECT_EQ(late.HandOvers(), 0);
}

TEST(FramePlayer, AThreadThatCannotBeMadeLeavesThePlayerStopped) {
    FramePlayer player;
    player.SetLauncher([](std::function<void()>) -> std::thread {
        throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    });
    Owner owner;
    EXPECT_FALSE(player.Start(Sequence({10}), 0, owner.HandOver()));
    EXPECT_FALSE(player.Playing());
    EXPECT_TRUE(player.Stop());
}

TEST(FramePlayer, AnEmptySequenceEndsTheThreadByItself) {
    FramePlayer player;
    Owner owner;
    ASSERT_TRUE(player.Start(std::make_shared<const FrameSequence>(), 0, owner.HandOver()));
    EXPECT_TRUE(player.Stop());
    EXPECT_EQ(owner.HandOvers(), 0);
}

}  // namespace
