// The hand-over between the main tick and the audio thread, with real
// threads (run under ThreadSanitizer in CI): scenes arrive whole and in
// their order while the audio thread mixes.
#include "sound_feed.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "mixer.h"

namespace zt40 {
namespace {

// A scene whose every value tells its number, so that a torn copy shows.
SoundScene numbered(int n) {
    SoundScene scene;
    scene.heard = true;
    scene.span = n;
    scene.levels.fill(n * 1e-6);
    scene.beatCount = n % (exhaustBeatCapacity + 1);
    for (int i = 0; i < scene.beatCount; ++i) scene.beats[static_cast<std::size_t>(i)] = Beat{0.0, n * 1e-6, 0.5, false};
    return scene;
}

TEST(SoundFeed, ScenesArriveWholeAndInOrderWhileTheAudioThreadMixes) {
    constexpr int ticks = 20000;
    SoundFeed feed;
    std::atomic<bool> posting{true};
    std::vector<int> arrived;
    std::thread audio([&] {
        Mixer mixer;  // no recordings: it mixes silence, but mixes
        SoundFeed::Scenes scenes{};
        std::vector<std::int16_t> pcm(441);
        for (bool more = true; more;) {
            more = posting.load();
            const std::size_t taken = feed.take(scenes);
            for (std::size_t i = 0; i < taken; ++i) {
                const SoundScene& s = scenes[i];
                const int n = static_cast<int>(s.span);
                for (double level : s.levels) ASSERT_EQ(level, n * 1e-6);
                ASSERT_EQ(s.beatCount, n % (exhaustBeatCapacity + 1));
                for (int b = 0; b < s.beatCount; ++b) ASSERT_EQ(s.beats[static_cast<std::size_t>(b)].gain, n * 1e-6);
                arrived.push_back(n);
                SoundScene quiet = s;
                quiet.span = 0.0;
                mixer.take(quiet);
            }
            mixer.render(pcm);
        }
    });
    for (int n = 1; n <= ticks; ++n) {
        feed.post(numbered(n));
        if (n % 64 == 0) std::this_thread::yield();
    }
    posting = false;
    audio.join();

    // In their order; where the audio thread fell behind by more than the
    // feed holds, the oldest were dropped, never the newest.
    ASSERT_FALSE(arrived.empty());
    EXPECT_EQ(arrived.back(), ticks);
    for (std::size_t i = 1; i < arrived.size(); ++i) EXPECT_GT(arrived[i], arrived[i - 1]);
}

TEST(SoundFeed, AFullFeedKeepsTheNewestScenes) {
    SoundFeed feed;
    for (int n = 1; n <= 40; ++n) feed.post(numbered(n));
    SoundFeed::Scenes scenes{};
    ASSERT_EQ(feed.take(scenes), SoundFeed::capacity);
    EXPECT_EQ(scenes.front().span, 40.0 - SoundFeed::capacity + 1);
    EXPECT_EQ(scenes[SoundFeed::capacity - 1].span, 40.0);
    EXPECT_EQ(feed.take(scenes), 0u);
}

}  // namespace
}  // namespace zt40
