// Recordings of drives through the window's logic with the model inline,
// replayed without a window: to the bit after either answer to the start's
// question, departing where an input was changed, up to the last complete
// line of a cut file, and refused with a German message when bad.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "config_fixtures.h"
#include "configuration.h"
#include "drive_folder.h"
#include "model_digest.h"
#include "recording_format.h"
#include "replay_player.h"
#include "replay_run.h"
#include "window_drive.h"

namespace zt40 {
namespace {

namespace fs = std::filesystem;

std::string contentsOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write(const fs::path& file, const std::string& text) { std::ofstream(file, std::ios::binary) << text; }

struct Replayed {
    int status;
    std::string csv;
    std::string messages;
};

Replayed replay(const fs::path& file, bool check) {
    std::ostringstream csv, messages;
    ReplayRunOptions options;
    options.check = check;
    const int status = runReplay(file.string(), options, csv, messages);
    return {status, csv.str(), messages.str()};
}

// One drive from a saved configuration, taken up with "Ja", recorded once
// for all the tests; the first drive that saved the configuration is
// recorded too.
class Recordings : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder = new testing::TemporaryDirectory;
        const fs::path configuration = folder->path() / configurationFileName;
        for (int drive = 0; drive < 2; ++drive) {
            testing::WindowDrive window(folder->path() / "Fahrten", testing::ModelThread::inline_, configuration);
            recordings[drive] = window.window->recordingFile();
            window.driveEverything();
            window.window->onDestroy();
        }
    }
    static void TearDownTestSuite() { delete folder; }

    static inline testing::TemporaryDirectory* folder = nullptr;
    static inline fs::path recordings[2];
};

TEST_F(Recordings, ADriveReplaysToTheBitAfterEitherAnswerToTheStartsQuestion) {
    // Taken up with "Ja" after the first; "Nein" starts afresh on the saved machine.
    const fs::path configuration = folder->path() / configurationFileName;
    fs::path answeredNo;
    {
        testing::WindowDrive window(folder->path() / "Fahrten", testing::ModelThread::inline_, configuration, {false});
        answeredNo = window.window->recordingFile();
        window.driveEverything();
        window.window->onDestroy();
    }
    const struct {
        fs::path file;
        const char* question;
    } drives[] = {{recordings[0], "Frage: keine\nKonfiguration: keine\n"},
                  {recordings[1], "Frage: ja\nKonfiguration: "},
                  {answeredNo, "Frage: nein\nKonfiguration: "}};
    for (const auto& drive : drives) {
        EXPECT_NE(contentsOf(drive.file).find(drive.question), std::string::npos) << drive.question;
        const Replayed checked = replay(drive.file, true);
        EXPECT_EQ(checked.status, 0) << checked.messages;
        EXPECT_NE(checked.messages.find("Endstand bitgleich"), std::string::npos) << checked.messages;
        EXPECT_TRUE(checked.csv.empty());
    }
    // Without --check the rows, at a second of simulated time.
    const Replayed rows = replay(recordings[1], false);
    EXPECT_EQ(rows.csv.rfind("simTime,distance,trainSpeed,", 0), 0u);
    EXPECT_GT(std::count(rows.csv.begin(), rows.csv.end(), '\n'), 60);
}

// The tick a line of the drive carries.
std::int64_t tickOf(const std::string& line) { return std::stoll(line.substr(0, line.find(' '))); }

TEST_F(Recordings, AChangedInputMakesTheCheckFailAtTheFirstCheckpointAfterIt) {
    std::string text = contentsOf(recordings[1]);
    // The first press of the reverser key, made the other way.
    const std::size_t at = text.find(" Taste ab 39\n");
    ASSERT_NE(at, std::string::npos);
    const std::size_t lineStart = text.rfind('\n', at) + 1;
    const std::int64_t changed = tickOf(text.substr(lineStart));
    text.replace(at, 13, " Taste ab 37\n");
    // The checkpoints around it.
    std::int64_t before = 0, after = -1;
    std::istringstream lines(text.substr(text.find("\nFahrt:\n") + 8));
    for (std::string line; std::getline(lines, line);) {
        if (line.find(" Prüfung ") == std::string::npos) continue;
        if (tickOf(line) < changed) before = tickOf(line);
        else if (after < 0) after = tickOf(line);
    }
    const fs::path edited = folder->path() / "edited.zt40fahrt";
    write(edited, text);

    const Replayed checked = replay(edited, true);
    EXPECT_EQ(checked.status, 1);
    // "(Takt A): die Wiedergabe weicht seit Takt B ab, zuerst in „field“"
    const std::string& said = checked.messages;
    const std::size_t at1 = said.find("(Takt "), at2 = said.find("): die Wiedergabe weicht seit Takt ");
    ASSERT_TRUE(at1 != std::string::npos && at2 != std::string::npos) << said;
    EXPECT_EQ(std::stoll(said.substr(at1 + 6)), after) << said;
    EXPECT_EQ(std::stoll(said.substr(at2 + 35)), before) << said;
    EXPECT_NE(said.find(" ab, zuerst in „"), std::string::npos) << said;
}

TEST_F(Recordings, ARecordingCutAnywhereReplaysUpToItsLastCompleteLine) {
    const std::string text = contentsOf(recordings[1]);
    const std::string full = replay(recordings[1], false).csv;
    const std::size_t body = text.find("\nFahrt:\n") + 8;
    const std::size_t end = text.find(" Ende\n");
    const fs::path cut = folder->path() / "cut.zt40fahrt";
    // Within the drive at a few places, mid-line or not, and within the end state.
    for (const std::size_t at : {body, body + 1, body + (end - body) / 3, body + (end - body) / 2 + 7, end + 20,
                                 text.size() - 3}) {
        write(cut, text.substr(0, at));
        const Replayed replayed = replay(cut, true);
        EXPECT_EQ(replayed.status, 0) << at << ": " << replayed.messages;
        EXPECT_NE(replayed.messages.find("endet vorzeitig"), std::string::npos) << at << ": " << replayed.messages;
        const std::string rows = replay(cut, false).csv;
        EXPECT_EQ(full.compare(0, rows.size(), rows), 0) << at;
        EXPECT_GT(rows.size(), 0u);
    }
    // Within the head nothing can be replayed.
    for (const std::size_t at : {std::size_t{0}, std::size_t{10}, body / 2, body - 2}) {
        write(cut, text.substr(0, at));
        const Replayed replayed = replay(cut, true);
        EXPECT_EQ(replayed.status, 1) << at;
        EXPECT_NE(replayed.messages.find("lässt sich nicht lesen"), std::string::npos) << replayed.messages;
    }
}

TEST_F(Recordings, BadRecordingsAreRefusedWithAGermanMessage) {
    const std::string text = contentsOf(recordings[1]);
    const std::size_t body = text.find("\nFahrt:\n") + 8;
    const auto replacing = [&](const std::string& from, const std::string& to) {
        std::string changed = text;
        const std::size_t at = changed.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        if (at != std::string::npos) changed.replace(at, from.size(), to);
        return changed;
    };
    const auto lineAfter = [&](const std::string& line) { return text.substr(0, body) + line + text.substr(body); };
    const struct {
        std::string text;
        const char* message;
    } bad[] = {
        {replacing("ZT40-Fahrtaufzeichnung 1\n", "ZT40-Fahrtaufzeichnung 2\n"), "neueren Programmversion"},
        {replacing(std::string("Modell: ") + std::string(modelDigest), "Modell: 0123456789abcdef"),
         "anderen Stand des Modells"},
        {"Konfiguration_ZT40.cfg\n", "keine Fahrtaufzeichnung"},
        {replacing("Frage: ja", "Frage: vielleicht"), "ungültige Angabe „Frage“"},
        {replacing("\nK ", "\nX "), "eine Zeile der Konfiguration fehlt"},
        {lineAfter("0 Taste ab\n"), "falsche Zahl von Angaben"},
        {lineAfter("0 Taste hoch 39\n"), "unbekannte Tastennachricht"},
        {lineAfter("0 Taste ab 999\n"), "ungültige Zahl „999“"},
        {lineAfter("0 Zeitgeber 1\n"), "der Haupttakt steht nur in der Zahl vorn"},
        {lineAfter("0 Zeitgeber 99\n"), "ungültige Zahl"},
        {lineAfter("0 Fenster -5 100\n"), "ungültige Zahl"},
        {lineAfter("0 Wert trainWeight nan\n"), "ungültiger Wert"},
        {lineAfter("0 Wert reverser 3\n"), "unbekanntes Feld „reverser“"},
        {lineAfter("0 Funkspruch\n"), "unbekannter Eintrag"},
        {lineAfter("5 Fokus ein\n3 Fokus aus\n"), "läuft rückwärts"},
        {lineAfter("0 Uhr 5\n"), "nichts gefragt"},
        {lineAfter("0 Prüfung 0123 ab\n"), "ungültige Prüfung"},
        {replacing("\nSchluss ", "\nSchluss 1"), "Endstand ist unvollständig"},
    };
    const fs::path file = folder->path() / "bad.zt40fahrt";
    for (const auto& recording : bad) {
        write(file, recording.text);
        const Replayed replayed = replay(file, true);
        EXPECT_EQ(replayed.status, 1) << recording.message;
        EXPECT_NE(replayed.messages.find(recording.message), std::string::npos)
            << recording.message << " / " << replayed.messages;
    }
    EXPECT_EQ(replay(folder->path() / "nirgends.zt40fahrt", true).status, 1);
}

TEST_F(Recordings, WatchedTheDrivesTimeRunsAtThePlaybackSpeedAndStopsAtStop) {
    constexpr std::int64_t watched = 14 * 357;  // ms of the clock, in the window's 14 ms steps
    for (int code = SimSpeed::stopCode; code <= SimSpeed::fastestCode; ++code) {
        std::string error;
        const auto replay = Replay::open(recordings[1].string(), nullptr, error);
        ASSERT_TRUE(replay) << error;
        ReplayPlayer player(*replay);
        while (player.speed().code() > code) player.slower();
        while (player.speed().code() < code) player.faster();
        for (std::int64_t t = 0; t < watched; t += 14) player.advance(14);
        const SimSpeed speed(static_cast<std::int8_t>(code));
        const double expected = speed.stopped() ? 0.0 : watched * speed.factor();  // ms of the recorded drive
        // Behind by less than a main tick's period (a second in standby).
        EXPECT_LE(replay->recordedMs(), expected) << code;
        EXPECT_GT(replay->recordedMs(), expected - 1000.0) << code;
        EXPECT_EQ(replay->outcome(), Replay::Outcome::playing) << code;
        // A machine too slow for ten seconds of the clock falls behind by
        // a second at most (beyond its three steps) and does not catch up later.
        const std::int64_t before = replay->recordedMs();
        int allowed = 3;
        player.advance(10000, [&] { return allowed-- > 0; });
        player.advance(0);
        EXPECT_LE(replay->recordedMs(), before + 3 * 1000 + ReplayPlayer::greatestLag) << code;
    }
}

TEST(DriveFolder, KeepsTheLastDrivesAndNamesEachByItsStart) {
    testing::TemporaryDirectory folder;
    const fs::path drives = folder.path() / "Fahrten";
    std::tm start{};
    start.tm_year = 2024 - 1900, start.tm_mon = 4, start.tm_mday = 1, start.tm_hour = 14, start.tm_min = 3;
    std::string error;
    std::vector<fs::path> made;
    for (int second = 0; second < 5; ++second) {
        start.tm_sec = second;
        const auto file = newDriveFile(drives, 3, start, error);
        ASSERT_TRUE(file) << error;
        write(*file, "x");
        made.push_back(*file);
    }
    write(drives / "Notizen.txt", "kept");  // not a recording: never removed
    EXPECT_EQ(made[0].filename(), "2024-05-01_14-03-00.zt40fahrt");
    const auto again = newDriveFile(drives, 3, start, error);  // the same second as the last
    ASSERT_TRUE(again);
    EXPECT_EQ(again->filename(), "2024-05-01_14-03-04_2.zt40fahrt");
    // Two old ones kept beside the new one.
    EXPECT_FALSE(fs::exists(made[2]));
    EXPECT_TRUE(fs::exists(made[3]) && fs::exists(made[4]) && fs::exists(drives / "Notizen.txt"));
    EXPECT_EQ(startedAtText(start), "2024-05-01 14:03:04");

    write(folder.path() / "Datei", "x");
    EXPECT_FALSE(newDriveFile(folder.path() / "Datei" / "Fahrten", 3, start, error));
    EXPECT_NE(error.find("lässt sich nicht anlegen"), std::string::npos);
}

}  // namespace
}  // namespace zt40
