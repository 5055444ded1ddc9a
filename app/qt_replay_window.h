#pragma once
// A recorded drive watched again in a window of its own: the replay's
// frames drawn as the program draws them, scaled to the window, paced on
// the clock at the playback speed that numeric pad / and * choose (STOP,
// 1:10 … 10:1); the driving keys do nothing here, since the drive's
// inputs are the recording's. Escape closes it.

#include <QBasicTimer>
#include <QDialog>
#include <QElapsedTimer>
#include <memory>

#include "qt_frame_target.h"
#include "replay.h"
#include "replay_player.h"

namespace zt40 {

class QtReplayWindow final : public QDialog {
    Q_OBJECT
public:
    // Opens `file` for watching; null with the reason (German) when it
    // cannot be replayed.
    static std::unique_ptr<QtReplayWindow> open(const QString& file, QWidget* parent, QString& error);
    ~QtReplayWindow() override;

    const Replay& replay() const { return *replay_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QtReplayWindow(const QString& file, QWidget* parent);
    void showState();
    void reportEnd();

    QString name_;
    std::unique_ptr<QtFrameTarget> frames_;  // outlives the render thread, which the replay owns
    std::unique_ptr<Replay> replay_;
    std::unique_ptr<ReplayPlayer> player_;
    QBasicTimer pace_;
    QElapsedTimer clock_;
    QSize frameSize_;  // the recorded window's client size the frames are drawn at
    bool reported_ = false;
};

}  // namespace zt40
