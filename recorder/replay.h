#pragma once
// A recorded drive driven again: the engine starts from the recording's
// configuration, seed and answer, and takes the recorded events in their
// order, main tick by main tick; the host answers from the recording, the
// model takes the exchanges the recorded one took, and the dialogs' writes
// come in where they came. So the replay takes the same decisions to the
// bit; each checkpoint and the end state say whether it did.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine.h"
#include "recording_reader.h"
#include "sound_output.h"

namespace zt40 {

class Replay {
public:
    // Opens a recording and starts its drive; null with the reason
    // (German) when the file cannot be read or belongs to another model.
    // `display` draws the replayed frames (none: nothing is drawn).
    static std::unique_ptr<Replay> open(const std::string& path, std::unique_ptr<FrameSink> display,
                                        std::string& error);
    ~Replay();
    Replay(const Replay&) = delete;
    Replay& operator=(const Replay&) = delete;

    enum class Outcome {
        playing,
        finished,    // the end state came out to the bit
        cut,         // the recording ends early; what it holds replayed alike
        departed,    // the replay took another way than the recording
        unreadable,  // a line that is not one of a recording
    };

    // One step: the next main tick, or the next line. False once the replay is over.
    bool step();
    // Recorded time the next step takes, ms: a main tick its timer's
    // period (none while the timer stands, at STOP), anything else none.
    std::int64_t nextStepMs();

    Outcome outcome() const { return outcome_; }
    // What happened, in German: the end state's verdict, where the replay
    // departed and in which field first, or which line is bad.
    const std::string& report() const { return report_; }

    Engine& engine() { return *engine_; }
    const RecordingHeader& header() const { return reader_->header(); }
    std::int64_t ticks() const { return ticks_; }
    std::int64_t recordedMs() const { return recordedMs_; }
    int checkpointsPassed() const { return checkpointsPassed_; }

private:
    class Host;
    class Simulation;

    explicit Replay(std::unique_ptr<RecordingReader> reader);
    bool start(std::unique_ptr<FrameSink> display, std::string& error);
    void deliverTick();
    void deliver(const DriveLine& line);
    void check(const DriveLine& line);
    void compareEndState();
    void finishAtEnd();
    void depart(const std::string& why);
    // The host's answer of `kind` to the engine in this tick; none when the
    // recording holds none here (the replay has departed).
    std::optional<std::int64_t> answer(LineKind kind, const char* what);
    bool takeBusy();
    void applyDialogWrites();
    void apply(const DriveLine& line);

    std::unique_ptr<RecordingReader> reader_;
    std::unique_ptr<Host> host_;
    SilentSound sound_;
    std::unique_ptr<Engine> engine_;
    std::vector<const CheckedField*> checked_;
    std::int64_t ticks_ = 0;
    std::int64_t recordedMs_ = 0;
    std::int64_t mainPeriodMs_ = 0;
    std::int64_t lastCheckTick_ = 0;
    int checkpointsPassed_ = 0;
    int seedsGiven_ = 0;
    Outcome outcome_ = Outcome::playing;
    std::string report_;
};

}  // namespace zt40
