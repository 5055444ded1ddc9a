#include "replay.h"

#include <cinttypes>
#include <cstdio>

#include "cab_driving.h"
#include "configuration.h"
#include "configuration_file.h"
#include "model_digest.h"
#include "synchronous_simulation.h"

namespace zt40 {

namespace {

std::string shown(double value) { return recording::exactNumber(value); }

}  // namespace

// The engine's host answering from the recording: timers and posted
// messages need not run, since every message the recorded window handed
// the engine is in the recording; the main tick's period paces a replay
// that is watched.
class Replay::Host final : public EngineHost {
public:
    explicit Host(Replay& replay) : replay_(replay) {}
    void setTimer(int id, int periodMs) override {
        if (id == timer::mainTick) replay_.mainPeriodMs_ = periodMs;
    }
    void killTimer(int id) override {
        if (id == timer::mainTick) replay_.mainPeriodMs_ = 0;
    }
    void postTimer(int) override {}
    void postUser(int) override {}
    std::int64_t tickCount() override { return replay_.answer(LineKind::clock, "die Uhr").value_or(0); }
    std::uint32_t clockSeed() override {
        if (replay_.seedsGiven_++ == 0) return replay_.header().seed;
        return static_cast<std::uint32_t>(replay_.answer(LineKind::seed, "eine neue Saat").value_or(1));
    }
    bool setCursorPosition(int, int) override {
        return replay_.answer(LineKind::pointer, "der Zeiger").value_or(0) != 0;
    }
    void openDataDialog() override { replay_.applyDialogWrites(); }
    void openAutoControlDialog() override { replay_.applyDialogWrites(); }

private:
    Replay& replay_;
};

// The model inline, taking the exchanges the recorded model took.
class Replay::Simulation final : public SimulationPort {
public:
    explicit Simulation(Replay& replay) : replay_(replay) {}
    bool start(SimulationBlock& mainRecord) override { return simulation_.start(mainRecord); }
    bool exchange() override { return !replay_.takeBusy() && simulation_.exchange(); }
    void stop() override { simulation_.stop(); }

private:
    Replay& replay_;
    SynchronousSimulation simulation_;
};

Replay::Replay(std::unique_ptr<RecordingReader> reader) : reader_(std::move(reader)) {}

Replay::~Replay() {
    if (engine_) engine_->stop();
}

std::unique_ptr<Replay> Replay::open(const std::string& path, std::unique_ptr<FrameSink> display,
                                     std::string& error) {
    auto reader = RecordingReader::open(path, error);
    if (!reader) return nullptr;
    if (reader->header().modelDigest != modelDigest) {
        error = "Die Aufzeichnung \"" + path + "\" stammt von einem anderen Stand des Modells (" +
                reader->header().modelDigest + ", dieses Programm " + std::string(modelDigest) +
                ") und lässt sich nicht genau wiedergeben.";
        return nullptr;
    }
    std::unique_ptr<Replay> replay(new Replay(std::move(reader)));
    if (!replay->start(std::move(display), error)) return nullptr;
    return replay;
}

bool Replay::start(std::unique_ptr<FrameSink> display, std::string& error) {
    const RecordingHeader& head = header();
    for (const std::string& name : head.checkedFields) checked_.push_back(findCheckedField(name));
    host_ = std::make_unique<Host>(*this);
    std::optional<std::uint32_t> fixedSeed;
    if (head.fixedSeed) fixedSeed = head.seed;
    engine_ = std::make_unique<Engine>(
        *host_,
        EngineParts{std::make_unique<Simulation>(*this), std::move(display), std::make_unique<CabDriving>(sound_)},
        fixedSeed);
    // The start as the window made it: the configuration as loaded, the
    // answer to the question, the model and the timers.
    engine_->load([&](LocomotiveState& s, Random15& random, TrackAllocator& allocator) {
        loadConfigurationBytes(head.configuration, s, random, allocator);
    });
    if (head.answer == recording::StartAnswer::yes) engine_->resume();
    if (head.answer == recording::StartAnswer::no) engine_->freshStart();
    if (!engine_->start()) {
        error = "Für die Wiedergabe fehlt der Speicher.";
        return false;
    }
    return true;
}

bool Replay::step() {
    if (outcome_ != Outcome::playing) return false;
    const DriveLine* next = reader_->peek();
    if (!next) {
        finishAtEnd();
        return false;
    }
    if (ticks_ < next->tick) {
        deliverTick();
        return outcome_ == Outcome::playing;
    }
    const DriveLine line = *next;
    reader_->take();
    deliver(line);
    return outcome_ == Outcome::playing;
}

std::int64_t Replay::nextStepMs() {
    if (outcome_ != Outcome::playing) return 0;
    const DriveLine* next = reader_->peek();
    return next && ticks_ < next->tick ? mainPeriodMs_ : 0;
}

void Replay::deliverTick() {
    ++ticks_;
    recordedMs_ += mainPeriodMs_;
    engine_->onTimer(timer::mainTick);
}

void Replay::deliver(const DriveLine& line) {
    Engine& engine = *engine_;
    const auto* a = line.arguments;
    switch (line.kind) {
        case LineKind::key: engine.onKey(static_cast<KeyMessage>(a[0]), static_cast<int>(a[1])); break;
        case LineKind::mouse:
            engine.onMouse(static_cast<MouseMessage>(a[0]), static_cast<int>(a[1]), static_cast<int>(a[2]),
                           static_cast<int>(a[3]));
            break;
        case LineKind::user: engine.onUser(static_cast<int>(a[0])); break;
        case LineKind::timer: engine.onTimer(static_cast<int>(a[0])); break;
        case LineKind::size: engine.onSize(static_cast<int>(a[0]), static_cast<int>(a[1])); break;
        case LineKind::focus:
            if (a[0]) engine.onSetFocus();
            else engine.onKillFocus();
            break;
        case LineKind::paint: engine.onPaint(); break;
        case LineKind::captureLost: engine.onCaptureLost(); break;
        case LineKind::value:
        case LineKind::random: apply(line); break;
        case LineKind::check: check(line); break;
        case LineKind::end: compareEndState(); break;
        default:
            // An answer or a skipped exchange that nothing asked for.
            depart("Zeile " + std::to_string(line.number) + ": an dieser Stelle hat die Wiedergabe nichts gefragt");
            break;
    }
}

void Replay::apply(const DriveLine& line) {
    if (line.kind == LineKind::random) engine_->random().seed(static_cast<std::uint32_t>(line.arguments[0]));
    else line.field->set(engine_->state(), engine_->autoControl(), line.value);
}

void Replay::applyDialogWrites() {
    // What a dialog wrote as it opened, recorded right behind its event.
    for (const DriveLine* next = reader_->peek();
         next && next->tick == ticks_ && (next->kind == LineKind::value || next->kind == LineKind::random);
         next = reader_->peek()) {
        const DriveLine line = *next;
        reader_->take();
        apply(line);
    }
}

bool Replay::takeBusy() {
    const DriveLine* next = reader_->peek();
    if (!next || next->tick != ticks_ || next->kind != LineKind::busy) return false;
    reader_->take();
    return true;
}

std::optional<std::int64_t> Replay::answer(LineKind kind, const char* what) {
    const DriveLine* next = reader_->peek();
    if (next && next->tick == ticks_ && next->kind == kind) {
        const std::int64_t value = next->arguments[0];
        reader_->take();
        return value;
    }
    if (outcome_ == Outcome::playing) {
        depart("in Takt " + std::to_string(ticks_) + " fragte die Wiedergabe nach " + what +
               ", die Aufzeichnung hat dort keine Antwort");
    }
    return std::nullopt;
}

void Replay::check(const DriveLine& line) {
    const StateDigest digest =
        digestOf(checked_, {engine_->state(), engine_->autoControl(), engine_->random()});
    if (digest.whole == line.digest) {
        ++checkpointsPassed_;
        lastCheckTick_ = ticks_;
        return;
    }
    std::string field = "einem der geprüften Felder";
    for (std::size_t i = 0; i < checked_.size(); ++i) {
        if (digest.fieldBytes.compare(2 * i, 2, line.fieldBytes, 2 * i, 2) != 0) {
            field = "„" + checked_[i]->name + "“";
            break;
        }
    }
    depart("Prüfung in Zeile " + std::to_string(line.number) + " (Takt " + std::to_string(ticks_) +
           "): die Wiedergabe weicht seit Takt " + std::to_string(lastCheckTick_) + " ab, zuerst in " + field);
}

void Replay::compareEndState() {
    const auto& end = reader_->endState();
    if (!end) {
        finishAtEnd();
        return;
    }
    const ConstDriveState drive{engine_->state(), engine_->autoControl(), engine_->random()};
    for (const auto& [name, recorded] : *end) {
        const double replayed = findCheckedField(name)->read(drive);
        if (!sameValue(recorded, replayed)) {
            depart("Endstand (Takt " + std::to_string(ticks_) + "): das Feld „" + name + "“ ist " + shown(replayed) +
                   ", aufgezeichnet " + shown(recorded));
            return;
        }
    }
    outcome_ = Outcome::finished;
    report_ = "Die Wiedergabe gleicht der Aufzeichnung: Endstand bitgleich nach " + std::to_string(ticks_) +
              " Takten, " + std::to_string(checkpointsPassed_) + " Prüfungen bestanden.";
}

void Replay::finishAtEnd() {
    if (outcome_ != Outcome::playing) return;
    if (!reader_->error().empty()) {
        outcome_ = Outcome::unreadable;
        report_ = "Die Aufzeichnung ist beschädigt: " + reader_->error() + " Wiedergegeben bis Takt " +
                  std::to_string(ticks_) + ".";
        return;
    }
    outcome_ = Outcome::cut;
    report_ = "Die Aufzeichnung endet vorzeitig (ohne Endstand) bei Takt " + std::to_string(ticks_) +
              "; bis dahin stimmen alle " + std::to_string(checkpointsPassed_) + " Prüfungen.";
}

void Replay::depart(const std::string& why) {
    if (outcome_ != Outcome::playing) return;
    outcome_ = Outcome::departed;
    report_ = "Die Wiedergabe weicht von der Aufzeichnung ab. " + why + ".";
}

}  // namespace zt40
