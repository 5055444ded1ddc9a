#pragma once
// The mixer's PCM on the default audio output through Qt Multimedia, fed
// from a thread of its own, so that a busy main thread or a busy machine
// does not starve the device; and the recordings loaded from the program's
// resources. The main tick's scenes reach the mixer through the feed.
// Without an audio device (no sound server) the program stays silent and
// is otherwise unaffected.

#include <QAudioDevice>
#include <QThread>
#include <atomic>
#include <cstdint>
#include <memory>

#include "mixer.h"
#include "sound_feed.h"

namespace zt40 {

// Loads the recordings from the resources; false if one is missing or
// unreadable (it then plays as silence).
bool loadRecordings(Mixer& mixer);

class QtAudioStream final {
public:
    // The device's buffer: long enough to ride out the audio thread waiting
    // for a core, short enough for the beats to keep with the wheels.
    static constexpr int defaultBufferMs = 150;

    explicit QtAudioStream(SoundFeed& feed, int bufferMs = defaultBufferMs);
    ~QtAudioStream();
    QtAudioStream(const QtAudioStream&) = delete;
    QtAudioStream& operator=(const QtAudioStream&) = delete;

    // A device took the stream.
    bool open() const { return open_; }
    // Frames the device has taken so far.
    std::int64_t framesRendered() const { return frames_.load(); }
    // Times the device ran dry: each is a dropout the listener hears.
    int underruns() const { return underruns_.load(); }

private:
    class Worker;

    Mixer mixer_;  // the audio thread's once it runs
    QThread thread_;
    std::unique_ptr<Worker> worker_;
    bool open_ = false;
    std::atomic<std::int64_t> frames_{0};
    std::atomic<int> underruns_{0};
};

// Ends the process without the libraries' own teardown at exit. Qt
// Multimedia keeps its PulseAudio engine in a global whose destruction at
// exit can abort inside libpulse (a race in the disconnect). Called once
// everything of ours is closed and saved.
[[noreturn]] void exitWithoutAudioTeardown(int code);

}  // namespace zt40
