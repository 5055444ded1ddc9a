#include "qt_audio_stream.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QFile>
#include <QMediaDevices>
#include <cstdio>
#include <cstdlib>
#include <span>

#include "wave_file.h"

namespace zt40 {

namespace {

// The sink's buffer: short, so that the loudness follows the engine closely.
constexpr int bufferMs = 80;

}  // namespace

bool loadRecordings(SoundPlayer& player) {
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
        player.load(format.id, std::move(*pcm));
    }
    return all;
}

qint64 QtAudioStream::PcmSource::bytesAvailable() const {
    return SoundPlayer::outputRate * 2 + QIODevice::bytesAvailable();  // the stream never runs dry
}

qint64 QtAudioStream::PcmSource::readData(char* data, qint64 maxSize) {
    const auto frames = static_cast<std::size_t>(maxSize / 2);
    // QIODevice hands over a char buffer; samples are written in place.
    player_.render(std::span(reinterpret_cast<std::int16_t*>(data), frames));
    return static_cast<qint64>(frames * 2);
}

QtAudioStream::QtAudioStream(SoundPlayer& player) : source_(player) {
    loadRecordings(player);
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) return;  // no device: silent
    QAudioFormat format;
    format.setSampleRate(SoundPlayer::outputRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!device.isFormatSupported(format)) return;
    source_.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    sink_ = std::make_unique<QAudioSink>(device, format);
    sink_->setBufferSize(format.bytesForDuration(bufferMs * 1000));
    sink_->start(&source_);
    if (sink_->error() != QAudio::NoError) sink_.reset();  // the device refused: silent
}

QtAudioStream::~QtAudioStream() {
    if (sink_) sink_->stop();
}

bool QtAudioStream::open() const { return sink_ != nullptr; }

void exitWithoutAudioTeardown(int code) {
    std::fflush(nullptr);
    std::_Exit(code);
}

}  // namespace zt40
