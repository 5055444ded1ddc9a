#include "qt_audio_stream.h"

#include <QAudioFormat>
#include <QAudioSink>
#include <QFile>
#include <QIODevice>
#include <QMediaDevices>
#include <cstdio>
#include <cstdlib>
#include <span>

#include "wave_file.h"

namespace zt40 {

namespace {

// Hands the mixer's samples to the audio sink when it asks for more, with
// the scenes that have come since it last asked.
class MixerSource final : public QIODevice {
public:
    MixerSource(Mixer& mixer, SoundFeed& feed, std::atomic<std::int64_t>& frames)
        : mixer_(mixer), feed_(feed), frames_(frames) {}
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override {
        return Mixer::outputRate * 2 + QIODevice::bytesAvailable();  // the stream never runs dry
    }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        const std::size_t taken = feed_.take(scenes_);
        for (std::size_t i = 0; i < taken; ++i) mixer_.take(scenes_[i]);
        const auto frames = static_cast<std::size_t>(maxSize / 2);
        // QIODevice hands over a char buffer; samples are written in place.
        mixer_.render(std::span(reinterpret_cast<std::int16_t*>(data), frames));
        frames_ += static_cast<std::int64_t>(frames);
        return static_cast<qint64>(frames * 2);
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    Mixer& mixer_;
    SoundFeed& feed_;
    std::atomic<std::int64_t>& frames_;
    SoundFeed::Scenes scenes_{};
};

}  // namespace

// Lives on the audio thread: the sink and its source are made, fed and
// closed there.
class QtAudioStream::Worker final : public QObject {
public:
    Worker(Mixer& mixer, SoundFeed& feed, std::atomic<std::int64_t>& frames, std::atomic<int>& underruns)
        : mixer_(mixer), feed_(feed), frames_(frames), underruns_(underruns) {}

    bool open(const QAudioDevice& device, const QAudioFormat& format, int bufferMs) {
        source_ = std::make_unique<MixerSource>(mixer_, feed_, frames_);
        source_->open(QIODevice::ReadOnly | QIODevice::Unbuffered);
        sink_ = std::make_unique<QAudioSink>(device, format);
        sink_->setBufferSize(format.bytesForDuration(qint64{bufferMs} * 1000));
        // The source never runs dry, so the sink falls idle only when the
        // device ran out before the audio thread refilled it. The sound
        // server reports that from a thread of its own: counted there.
        QObject::connect(
            sink_.get(), &QAudioSink::stateChanged, sink_.get(),
            [&underruns = underruns_](QAudio::State state) {
                if (state == QAudio::IdleState) ++underruns;
            },
            Qt::DirectConnection);
        sink_->start(source_.get());
        if (sink_->error() == QAudio::NoError) return true;
        close();  // the device refused: silent
        return false;
    }
    void close() {
        if (sink_) sink_->stop();
        sink_.reset();
        source_.reset();
    }

private:
    Mixer& mixer_;
    SoundFeed& feed_;
    std::atomic<std::int64_t>& frames_;
    std::atomic<int>& underruns_;
    std::unique_ptr<MixerSource> source_;
    std::unique_ptr<QAudioSink> sink_;
};

bool loadRecordings(Mixer& mixer) {
    bool all = true;
    for (const RecordingFormat& format : recordingFormats) {
        QFile file(QStringLiteral(":/recordings/%1.wav").arg(static_cast<int>(format.id)));
        if (!file.open(QIODevice::ReadOnly)) {
            all = false;
            continue;
        }
        const QByteArray bytes = file.readAll();
        auto pcm = parseWaveFile(std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                           static_cast<std::size_t>(bytes.size())));
        if (!pcm) {
            all = false;
            continue;
        }
        mixer.load(format.id, std::move(*pcm));
    }
    return all;
}

QtAudioStream::QtAudioStream(SoundFeed& feed, int bufferMs) {
    loadRecordings(mixer_);
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) return;  // no device: silent
    QAudioFormat format;
    format.setSampleRate(Mixer::outputRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!device.isFormatSupported(format)) return;

    worker_ = std::make_unique<Worker>(mixer_, feed, frames_, underruns_);
    thread_.setObjectName(QStringLiteral("zt40-audio"));
    worker_->moveToThread(&thread_);
    thread_.start();
    QMetaObject::invokeMethod(
        worker_.get(), [&] { open_ = worker_->open(device, format, bufferMs); }, Qt::BlockingQueuedConnection);
}

QtAudioStream::~QtAudioStream() {
    if (!worker_) return;
    QMetaObject::invokeMethod(worker_.get(), [this] { worker_->close(); }, Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
}

void exitWithoutAudioTeardown(int code) {
    std::fflush(nullptr);
    std::_Exit(code);
}

}  // namespace zt40
