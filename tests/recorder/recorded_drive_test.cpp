// A drive through the window's logic with the model on its own thread, as
// in the program, recorded and replayed without a window: the replay must
// take the exchanges the busy model skipped, the dialogs' writes and the
// clock's answers where they came, and end in the recorded state to the bit.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "config_fixtures.h"
#include "recording_format.h"
#include "replay_run.h"
#include "window_drive.h"

namespace zt40 {
namespace {

std::string contentsOf(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(RecordedDrive, AThreadedDriveWithKeysMouseDialogsAndTheAutomaticAtEverySpeedReplaysToTheBit) {
    testing::TemporaryDirectory folder;
    std::filesystem::path file;
    {
        testing::WindowDrive drive(folder.path() / "Fahrten", testing::ModelThread::own);
        file = drive.window->recordingFile();
        ASSERT_FALSE(file.empty());
        drive.driveEverything();
        // The control drove: the dialog's settings reached it.
        EXPECT_TRUE(drive.window->autoControl().controlOn);
        EXPECT_GT(drive.window->state().trainSpeed, 1.0);
        drive.window->onDestroy();
    }
    const std::string text = contentsOf(file);
    // What only the recording can tell the replay is in it.
    for (const char* line : {" Wert trainWeight 300\n", " Wert autoControl.controlOn 1\n", " Zufall ", " Uhr ",
                             " Taste ab 106\n", " Maus rechts ", " Zeitgeber 13\n", " Prüfung ", "\nSchluss "}) {
        EXPECT_NE(text.find(line), std::string::npos) << line;
    }

    std::ostringstream csv, messages;
    ReplayRunOptions options;
    options.check = true;
    EXPECT_EQ(runReplay(file.string(), options, csv, messages), 0) << messages.str();
    EXPECT_NE(messages.str().find("Endstand bitgleich"), std::string::npos) << messages.str();
}

}  // namespace
}  // namespace zt40
