#include "window_logic.h"

#include <gtest/gtest.h>

#include <fstream>
#include <optional>

#include "cab_driving.h"
#include "config_fixtures.h"
#include "configuration.h"
#include "engine_sound.h"
#include "indicator_panel.h"
#include "inline_simulation.h"
#include "virtual_platform.h"

namespace zt40 {
namespace {


// Records what the window asks of the driving logic.
class RecordingDriving : public DrivingLogic {
public:
    void handleKey(KeyMessage message, int key, LocomotiveState& s, bool&, bool) override {
        keys.push_back(key);
        if (message == KeyMessage::keyDown && key == 'P') s.pilotValve = 50;
    }
    CursorShape hover(MouseMessage message, int x, int y, LocomotiveState& s) override {
        ++hovers;
        return DrivingLogic::hover(message, x, y, s);
    }
    MouseOutcome mouseCommand(MouseMessage, int, LocomotiveState&, bool&) override { return {nextMouseResult}; }
    void stopAllSound() override { ++soundStops; }
    void startEngineSound() override { ++soundStarts; }
    std::vector<int> keys;
    int hovers = 0;
    MouseResult nextMouseResult = MouseResult::none;
    int soundStops = 0;
    int soundStarts = 0;
};

// Counts the frames the engine hands the display.
class CountingDisplay : public FrameSink {
public:
    void show(const FrameView&) override { ++frames; }
    int frames = 0;
};

// A platform whose message box lets a posted tick and a key through, as a
// modal loop does.
class BusyMessagePlatform : public VirtualPlatform {
public:
    void showMessage(const std::string& text, const std::string& caption, MessageIcon icon) override {
        VirtualPlatform::showMessage(text, caption, icon);
        framesBeforeMessage = display ? display->frames : 0;
        if (window) {
            window->onTimer(timer::mainTick);
            window->onKey(KeyMessage::keyDown, 'P');
        }
    }
    MainWindowLogic* window = nullptr;
    const CountingDisplay* display = nullptr;
    int framesBeforeMessage = 0;
};

class WindowLogicTest : public ::testing::Test {
protected:
    std::unique_ptr<MainWindowLogic> open(std::unique_ptr<FrameSink> display = nullptr) {
        return openOn(platform, std::move(display));
    }
    // A window of its own on `on`, as a second program would be.
    std::unique_ptr<MainWindowLogic> openOn(VirtualPlatform& on, std::unique_ptr<FrameSink> display = nullptr) {
        auto drivingLogic = std::make_unique<RecordingDriving>();
        driving = drivingLogic.get();
        auto window = std::make_unique<MainWindowLogic>(
            on, EngineParts{std::make_unique<InlineSimulation>(), std::move(display), std::move(drivingLogic)},
            ShellOptions{file, std::nullopt});
        window->onCreate();
        window->onSize(1600, 1170);
        window->onSetFocus();
        return window;
    }
    testing::TemporaryDirectory directory;
    std::filesystem::path file = directory.path() / configurationFileName;
    VirtualPlatform platform;
    RecordingDriving* driving = nullptr;
};

TEST_F(WindowLogicTest, WithoutAConfigurationNoQuestionAndSavedWithoutAsking) {
    auto window = open();
    EXPECT_TRUE(platform.questions.empty());
    EXPECT_TRUE(window->state().stateDefaulted);
    EXPECT_EQ(window->state().sandSeconds, 1800.0);
    EXPECT_TRUE(platform.timerRuns(timer::mainTick));
    EXPECT_EQ(platform.period(timer::calibration), 5000);

    // A cold standing engine falls into standby at once.
    platform.run(*window, 100);
    EXPECT_FALSE(window->state().fineTimer);
    EXPECT_EQ(platform.period(timer::mainTick), 1000);

    window->onDestroy();
    EXPECT_TRUE(platform.questions.empty());
    EXPECT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(platform.exitCode, 0);
    EXPECT_FALSE(platform.timerRuns(timer::mainTick));
}

TEST_F(WindowLogicTest, WithAConfigurationTheQuestionIsAskedAndNoStartsAfresh) {
    {
        auto first = open();
        first->state().distance = 4321.0;
        first->state().trainWeight = 800;
        first->state().portArea = 0.02;
        first->onDestroy();
    }
    VirtualPlatform second;
    second.answers = {false, false};  // no to the old state, no to saving
    platform = second;
    auto window = open();
    ASSERT_EQ(platform.questions.size(), 1u);
    EXPECT_EQ(platform.questions[0], "Soll die alte Konfiguration\ngeladen werden? Streckendaten\nwerden immer geladen.|Frage");
    EXPECT_EQ(window->state().distance, 0.0);
    EXPECT_EQ(window->state().trainWeight, 0);
    EXPECT_EQ(window->state().portArea, 0.02);  // the machine stays
    window->onDestroy();
    EXPECT_EQ(platform.questions.back(), "Soll der neue Stand\ngespeichert werden?|Frage");
}

TEST_F(WindowLogicTest, AKeyWakesTheStandbyAndTheModelRuns) {
    auto window = open();
    platform.run(*window, 8000);  // the freshly started glass settles, then the engine rests
    ASSERT_FALSE(window->state().fineTimer);
    window->onKey(KeyMessage::keyDown, 'P');  // opens the pilot valve in this stand-in
    platform.deliverPosted(*window);           // the key posts a tick at once
    EXPECT_TRUE(window->state().fineTimer);
    EXPECT_EQ(platform.period(timer::mainTick), 14);
    platform.run(*window, 14);  // the last standby batch (1 s) comes back
    const double before = window->state().simTime;
    platform.run(*window, 1400);
    EXPECT_NEAR(window->state().simTime - before, 100 * 0.015, 0.1);
}

TEST_F(WindowLogicTest, TheTickDrivesTheTrainAndTheTrack) {
    auto window = open();
    LocomotiveState& s = window->state();
    s.reverser = -160;
    s.pilotValve = 115;
    s.trackAutomatic = true;
    platform.run(*window, 30000);
    EXPECT_GT(s.trainSpeed, 0.5);
    EXPECT_GT(s.distance, 5.0);
    EXPECT_GT(s.waterPerKm, 0.0);
    EXPECT_NE(s.trackTail->prev, s.trackHead);  // the line grew ahead of the train
}

// The model samples the indicator in physical units and the display scales
// them into the window it draws: after a resize the loop the model has
// sampled is kept and drawn inside the new diagram at once.
TEST_F(WindowLogicTest, AResizeDrawsTheLoopInTheNewDiagramAtOnce) {
    auto window = open();
    LocomotiveState& s = window->state();
    s.reverser = -160;
    s.pilotValve = 115;
    platform.run(*window, 30000);
    ASSERT_GT(s.indicatorCount, 100);
    const auto inTheDiagram = [&] {
        const double left = s.clientWidth - 3200.0 / s.displayScale;  // px, the diagram's frame
        for (const PixelPoint& p : indicatorPoints(s, IndicatorSeries::green)) {
            if (p.x <= left || p.x > s.clientWidth) return false;
        }
        return true;
    };
    const int count = s.indicatorCount;
    window->onSize(1000, 731);
    EXPECT_EQ(s.indicatorCount, count);
    EXPECT_TRUE(inTheDiagram());
    for (int tick = 0; tick < 20; ++tick) {
        platform.run(*window, 14);
        ASSERT_GT(s.indicatorCount, 100) << "tick " << tick;
        ASSERT_TRUE(inTheDiagram()) << "tick " << tick;
    }
}

TEST_F(WindowLogicTest, StopFreezesTheTickButInputPostsOne) {
    auto window = open();
    LocomotiveState& s = window->state();
    s.pilotValve = 115;  // keeps it running
    platform.run(*window, 500);
    s.simSpeedCode = -4;
    platform.run(*window, 100);
    EXPECT_FALSE(platform.timerRuns(timer::mainTick));
    const int ticks = platform.fired[timer::mainTick];
    platform.run(*window, 5000);
    EXPECT_EQ(platform.fired[timer::mainTick], ticks);

    window->onMouse(MouseMessage::move, 10, 10, 0);  // off every control
    EXPECT_EQ(platform.posted.size(), 1u);
    EXPECT_TRUE(platform.posted.front().timer);
    EXPECT_EQ(platform.posted.front().id, timer::mainTick);
}

TEST_F(WindowLogicTest, ATinyWindowIgnoresTheMouse) {
    auto window = open();
    window->onSize(20, 400);
    EXPECT_EQ(window->state().displayScale, 0.0);
    window->onMouse(MouseMessage::leftDown, 5, 5, 0);
    EXPECT_EQ(driving->hovers, 0);
    window->onSize(1000, 600);
    EXPECT_NEAR(window->state().displayScale, 5851.0 / 600.0, 1e-12);  // wide: the height limits
    window->onSize(600, 800);
    EXPECT_NEAR(window->state().displayScale, 8000.0 / 600.0, 1e-12);
    window->onMouse(MouseMessage::leftDown, 5, 5, 0);
    EXPECT_EQ(driving->hovers, 1);
    EXPECT_EQ(window->state().mouseX, 5);
}

TEST_F(WindowLogicTest, LosingTheFocusSilences) {
    auto window = open();
    const int stops = driving->soundStops;
    window->onKillFocus();
    EXPECT_FALSE(window->state().windowFocused);
    EXPECT_EQ(driving->soundStops, stops + 1);
    window->state().soundOn = true;
    window->state().simSpeedCode = 1;  // 2:1 plays no engine sound
    const int starts = driving->soundStarts;
    window->onSetFocus();
    EXPECT_EQ(driving->soundStarts, starts);
    window->state().simSpeedCode = 0;
    window->onSetFocus();
    EXPECT_EQ(driving->soundStarts, starts + 1);
}

TEST_F(WindowLogicTest, AFailedSaveNamesItsReasonAndOffersAnotherTryOrPlace) {
    file = directory.path() / "missing" / configurationFileName;
    const auto elsewhere = directory.path() / "elsewhere.cfg";
    platform.saveFailureChoices = {SaveFailureChoice::retry, SaveFailureChoice::elsewhere,
                                   SaveFailureChoice::elsewhere};
    platform.chosenSaveFiles = {"", elsewhere.string()};  // the first dialog is cancelled
    auto window = open();
    window->state().distance = 1234.5;
    window->onDestroy();
    ASSERT_EQ(platform.failedSaves.size(), 3u);  // the first try, the retry, after the cancelled dialog
    EXPECT_EQ(platform.failedSaves[0],
              "Fehler beim Speichern der Konfigurationsdatei\n\"" + file.string() +
                  "\":\ndas Verzeichnis gibt es nicht.\n\nNochmals versuchen, an einem anderen Ort speichern oder "
                  "ohne Speichern beenden?|Dateifehler");
    EXPECT_EQ(platform.proposedSaveFiles, (std::vector<std::string>{file.string(), file.string()}));
    EXPECT_EQ(platform.exitCode, 0);
    std::ifstream in(elsewhere, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    EXPECT_NE(text.find("Entfernung          in Meter   : 1234.500000\r\n"), std::string::npos);

    // Given up: the program ends without the file.
    VirtualPlatform again;
    platform = again;
    std::filesystem::remove(elsewhere);
    auto second = open();
    second->onDestroy();
    EXPECT_EQ(platform.failedSaves.size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_EQ(platform.exitCode, 0);
}

TEST_F(WindowLogicTest, TwoWindowsOnOneFileOverwriteEachOtherOnlyWhenTold) {
    auto first = open();
    VirtualPlatform secondPlatform;
    secondPlatform.answers = {false};  // do not overwrite
    auto second = openOn(secondPlatform);
    ASSERT_EQ(secondPlatform.messages.size(), 1u);
    EXPECT_EQ(secondPlatform.messages[0].caption, "Hinweis");
    EXPECT_NE(secondPlatform.messages[0].text.find("anderen laufenden ZT 40"), std::string::npos);
    second->onDestroy();
    EXPECT_EQ(secondPlatform.questions.back(),
              "Die Konfigurationsdatei \"" + file.string() +
                  "\" wird auch von einem anderen ZT 40 benutzt.\nSoll sie trotzdem mit dem Stand dieses Fensters "
                  "überschrieben werden?|Frage");
    EXPECT_FALSE(std::filesystem::exists(file));
    first->state().distance = 111.0;
    first->onDestroy();  // defaults: saved without a question
    EXPECT_TRUE(platform.questions.empty());

    // Both started on the saved file; the second overwrites when told, and
    // then the first asks before it overwrites that drive.
    VirtualPlatform thirdPlatform;
    platform = thirdPlatform;
    auto third = open();
    VirtualPlatform fourthPlatform;
    fourthPlatform.answers = {true, true};  // the old state, and overwrite
    auto fourth = openOn(fourthPlatform);
    fourth->state().distance = 222.0;
    fourth->onDestroy();
    platform.answers = {false};  // do not overwrite the other drive
    third->onDestroy();
    EXPECT_EQ(platform.questions.back(),
              "Die Konfigurationsdatei \"" + file.string() +
                  "\" wurde seit dem Start von einem anderen Programm geändert.\nSoll sie trotzdem mit dem Stand "
                  "dieses Fensters überschrieben werden?|Frage");
    std::ifstream in(file, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    EXPECT_NE(text.find("Entfernung          in Meter   : 222.000000\r\n"), std::string::npos);
}

TEST_F(WindowLogicTest, AResumedDriveStandsBraked) {
    // A 600 t train left on a falling line of 25 per mille.
    std::ofstream(file, std::ios::binary)
        << "Winkel des Rades    in Grad    : 90\r\nvorhandenes Wasser  in Liter   : 9000\r\n"
           "Druck im Kessel     in bar     : 12\r\nWasser im Kessel    in Liter   : 8000\r\n"
           "Zeit zwischen den Schritten  in ms : 15\r\nStreckenfunktion   (A/M): 1\r\n"
           "Maximale Steigung   in Promille: 40\r\nZuggewicht          in Tonnen  : 600\r\n"
           "Entfernung          in Meter   : 500\r\nStreckendaten:\r\n0;0.25;-25\r\n100000;0.25;-25\r\n";
    platform.answers = {true, false};  // the old state; no save
    auto window = open();
    const LocomotiveState& s = window->state();
    EXPECT_EQ(s.brakeCommand, 19);
    EXPECT_EQ(s.brake, 100);
    platform.run(*window, 20000);
    EXPECT_EQ(s.gradient, -25);
    EXPECT_EQ(s.trainSpeed, 0.0);
    EXPECT_EQ(s.distance, 500.0);
    window->onDestroy();
}

TEST_F(WindowLogicTest, AnUnreadableConfigurationIsReportedOnceAndNeverOverwritten) {
    // A folder in the file's place.
    std::filesystem::create_directory(file);
    {
        auto window = open();
        EXPECT_TRUE(window->state().stateDefaulted);  // runs on the defaults
        platform.run(*window, 2000);
        window->onDestroy();
    }
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].caption, "Dateifehler");
    EXPECT_NE(platform.messages[0].text.find(file.string()), std::string::npos);
    EXPECT_NE(platform.messages[0].text.find("Verzeichnis"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_directory(file));
    EXPECT_TRUE(std::filesystem::is_empty(file));

    // A file without read permission, as a user who is not root (root reads it anyway).
    std::filesystem::remove(file);
    std::ofstream(file, std::ios::binary) << "Zuggewicht          in Tonnen  : 700\r\n";
    std::filesystem::permissions(file, std::filesystem::perms::none);
    const int code = testing::exitCodeAsUnprivilegedUser([this] {
        VirtualPlatform own;
        platform = own;
        auto window = open();
        platform.run(*window, 2000);
        window->onDestroy();
        const bool reported = platform.messages.size() == 1 && platform.messages[0].caption == "Dateifehler" &&
                              platform.messages[0].text.find("Berechtigung") != std::string::npos;
        return reported && platform.questions.empty() ? 0 : 1;
    });
    std::filesystem::permissions(file, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    if (code < 0) GTEST_SKIP() << "no unprivileged user to try an unreadable file with";
    EXPECT_EQ(code, 0);
    std::ifstream in(file, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "Zuggewicht          in Tonnen  : 700\r\n");
}

// Keeps every cursor the window sets.
class CursorPlatform : public VirtualPlatform {
public:
    void setCursor(CursorShape shape) override {
        VirtualPlatform::setCursor(shape);
        shapes.push_back(shape);
    }
    std::vector<CursorShape> shapes;
};

TEST_F(WindowLogicTest, TheWaitCursorGoesOnceTheLineHasReachedTheTrain) {
    // The train stands 2 km beyond the end of its line.
    std::ofstream(file, std::ios::binary)
        << "Winkel des Rades    in Grad    : 90\r\nvorhandenes Wasser  in Liter   : 9000\r\n"
           "Druck im Kessel     in bar     : 12\r\nWasser im Kessel    in Liter   : 8000\r\n"
           "Zeit zwischen den Schritten  in ms : 15\r\nStreckenfunktion   (A/M): 1\r\n"
           "Entfernung          in Meter   : 2800\r\nStreckendaten:\r\n0;0.25;0\r\n800;0.25;0\r\n";
    CursorPlatform cursors;
    MainWindowLogic window(cursors,
                           EngineParts{std::make_unique<InlineSimulation>(), nullptr,
                                       std::make_unique<RecordingDriving>()},
                           ShellOptions{file, std::nullopt});
    window.onCreate();
    window.onSize(1600, 1170);
    cursors.run(window, 3000);
    ASSERT_FALSE(cursors.shapes.empty());
    EXPECT_EQ(cursors.shapes.front(), CursorShape::busy);
    EXPECT_EQ(cursors.cursor, CursorShape::standard);
    EXPECT_GT(window.state().trackTail->prev->position, 2800.0);
    window.onDestroy();
}

TEST_F(WindowLogicTest, AWheelTurnReleasesTheLatchAndSettlesTheBrakeHandle) {
    auto window = open();
    window->state().brakeCommand = 12;
    window->onMouse(MouseMessage::wheel, 100, 100, 120);
    platform.run(*window, 250);
    ASSERT_FALSE(driving->keys.empty());
    EXPECT_EQ(driving->keys.back(), 0);  // the synthetic key-up
    EXPECT_EQ(window->state().brakeCommand, 12);
    platform.run(*window, 1000);
    EXPECT_EQ(window->state().brakeCommand, 9);
    EXPECT_FALSE(platform.timerRuns(timer::keyRelease));
}

TEST_F(WindowLogicTest, DamageEndsTheRunInTheWorkshop) {
    auto window = open();
    platform.run(*window, 100);
    window->state().trainSpeed = 40.0;  // m/s: beyond what the engine stands
    platform.run(*window, 2000);
    ASSERT_FALSE(platform.messages.empty());
    EXPECT_EQ(platform.messages[0].caption, "Werkstatt");
    EXPECT_EQ(platform.messages[0].text,
              "Maschine wurde durch zu hohe Fliehkräfte,\nwegen zu schnellen Fahren beschädigt.");
    EXPECT_TRUE(window->ended());
    EXPECT_FALSE(window->state().soundOn);
    EXPECT_EQ(platform.exitCode, 0);
}

TEST_F(WindowLogicTest, TicksDuringTheWorkshopMessageRaiseNoSecondOne) {
    BusyMessagePlatform busy;
    auto display = std::make_unique<CountingDisplay>();
    busy.display = display.get();
    auto drivingLogic = std::make_unique<RecordingDriving>();
    MainWindowLogic window(
        busy, EngineParts{std::make_unique<InlineSimulation>(), std::move(display), std::move(drivingLogic)},
        ShellOptions{file, std::nullopt});
    busy.window = &window;
    window.onCreate();
    window.onSize(1600, 1170);
    window.state().trainSpeed = 40.0;  // m/s
    busy.run(window, 2000);
    ASSERT_EQ(busy.messages.size(), 1u);
    EXPECT_EQ(busy.messages[0].caption, "Werkstatt");
    EXPECT_EQ(busy.display->frames, busy.framesBeforeMessage);  // no frame after the damage
    EXPECT_EQ(window.state().pilotValve, 0);
}

TEST_F(WindowLogicTest, CalibrationBringsTheModelToRealTime) {
    auto window = open();
    window->state().pilotValve = 115;  // running at 14 ms ticks
    platform.run(*window, 60000);
    // 15 ms of model per 14 ms tick runs fast; the step shrinks towards 14 ms.
    EXPECT_LT(window->state().stepInterval, 0.0145);
    EXPECT_GT(window->state().stepInterval, 0.0135);
}

TEST_F(WindowLogicTest, ADialogRequestWaitsWhileTheDialogIsOpen) {
    auto window = open();
    LocomotiveState& s = window->state();
    s.dataDialogOpen = true;
    s.dataDialogRequest = true;
    window->onKey(KeyMessage::keyDown, 'X');
    EXPECT_EQ(platform.dataDialogs, 0);
    EXPECT_TRUE(s.dataDialogRequest);
    s.dataDialogOpen = false;
    window->onKey(KeyMessage::keyDown, 'X');
    EXPECT_EQ(platform.dataDialogs, 1);
    EXPECT_FALSE(s.dataDialogRequest);
}

TEST_F(WindowLogicTest, RepeatedMouseCommandsPostTheirMessages) {
    auto window = open();
    driving->nextMouseResult = MouseResult::gradientHeld;  // repeating every 80 ms
    window->onMouse(MouseMessage::leftDown, 300, 300, 0);
    EXPECT_EQ(platform.period(timer::mouseRepeat), 80);
    driving->nextMouseResult = MouseResult::none;
    platform.timers.erase(timer::mainTick);
    platform.timers.erase(timer::calibration);
    platform.posted.clear();
    window->onTimer(timer::mouseRepeat);
    ASSERT_EQ(platform.posted.size(), 1u);
    EXPECT_FALSE(platform.posted.front().timer);
    EXPECT_EQ(platform.posted.front().id, 0);  // WM_USER+0
}

// The cab's real sound rules; their scenes read off the feed as the audio
// thread takes them.
TEST_F(WindowLogicTest, TheSoundIsHeardWithTheFocusAndAKnockComesWithTheNextTick) {
    SoundFeed feed;
    SoundFeed::Scenes scenes;
    const auto lastScene = [&]() -> std::optional<SoundScene> {
        const std::size_t n = feed.take(scenes);
        if (n == 0) return std::nullopt;
        return scenes[n - 1];
    };
    EngineSound sound(feed);
    MainWindowLogic window(platform,
                           EngineParts{std::make_unique<InlineSimulation>(), nullptr,
                                       std::make_unique<CabDriving>(sound)},
                           ShellOptions{file, std::nullopt});
    window.onCreate();  // no configuration: sound on
    window.onSetFocus();
    window.onTimer(timer::mainTick);
    ASSERT_TRUE(lastScene().value_or(SoundScene{}).heard);

    window.state().valveKnock = true;
    window.onTimer(timer::mainTick);
    const auto knocked = lastScene();
    ASSERT_TRUE(knocked.has_value());
    EXPECT_EQ(knocked->knocks, 1);
    EXPECT_TRUE(knocked->heard);
    EXPECT_FALSE(window.state().valveKnock);

    window.onKillFocus();
    EXPECT_FALSE(lastScene().value_or(SoundScene{true}).heard);
    window.onTimer(timer::mainTick);
    EXPECT_FALSE(lastScene().has_value());  // nothing while another window has the focus
    window.onDestroy();
}

}  // namespace
}  // namespace zt40
