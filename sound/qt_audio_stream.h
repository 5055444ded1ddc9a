#pragma once
// The sound player's PCM on the default audio output through Qt
// Multimedia, and the recordings loaded from the program's resources.
// Without an audio device (no sound server) the program stays silent and
// is otherwise unaffected. Lives on the main thread, as the player does.

#include <QAudioSink>
#include <QIODevice>
#include <memory>

#include "sound_player.h"

namespace zt40 {

// Loads the four recordings from the resources; false if one is missing or
// unreadable (it then plays as silence).
bool loadRecordings(SoundPlayer& player);

class QtAudioStream final {
public:
    explicit QtAudioStream(SoundPlayer& player);
    ~QtAudioStream();
    QtAudioStream(const QtAudioStream&) = delete;
    QtAudioStream& operator=(const QtAudioStream&) = delete;

    // A device took the stream.
    bool open() const;

private:
    // Hands the player's samples to the audio sink when it asks for more.
    class PcmSource final : public QIODevice {
    public:
        explicit PcmSource(SoundPlayer& player) : player_(player) {}
        bool isSequential() const override { return true; }
        qint64 bytesAvailable() const override;

    protected:
        qint64 readData(char* data, qint64 maxSize) override;
        qint64 writeData(const char*, qint64) override { return -1; }

    private:
        SoundPlayer& player_;
    };

    PcmSource source_;
    std::unique_ptr<QAudioSink> sink_;
};

// Ends the process without the libraries' own teardown at exit. Qt
// Multimedia keeps its PulseAudio engine in a global whose destruction at
// exit can abort inside libpulse (a race in the disconnect). Called once
// everything of ours is closed and saved.
[[noreturn]] void exitWithoutAudioTeardown(int code);

}  // namespace zt40
