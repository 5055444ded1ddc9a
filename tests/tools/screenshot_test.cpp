// The runner's picture option, run as a user runs it: a PNG of the window's
// size that shows the cab.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

#include "scenario.h"

namespace {

namespace fs = std::filesystem;

std::string contentsOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(Screenshot, APictureOfTheWindowAfterTheRunShowsTheFireDoorAndChangesNothing) {
    const fs::path folder = fs::temp_directory_path() / ("zt40_screenshot_" + std::to_string(::getpid()));
    fs::create_directories(folder);
    // Steam lifts the valves onto their rod and the drawn frames say so:
    // the run with pictures must decide as the run without.
    std::ofstream(folder / "run.scn") << "set trainWeight 300\nat 1 reverser -160\nat 1 pilotValve 115\nrun 5\n"
                                         "print 0.5 simTime trainSpeed valvesEngaged regulator steamChest.pressure\n";
    const std::string run = std::string(ZT40_SIM) + " ";
    const std::string scenario = (folder / "run.scn").string();
    ASSERT_EQ(std::system((run + "--screenshot " + (folder / "bild.png").string() + " " + scenario + " > " +
                           (folder / "out.csv").string())
                              .c_str()),
              0);
    ASSERT_EQ(std::system((run + scenario + " > " + (folder / "plain.csv").string()).c_str()), 0);
    EXPECT_EQ(contentsOf(folder / "out.csv"), contentsOf(folder / "plain.csv"));

    QImage picture;
    ASSERT_TRUE(picture.load(QString::fromStdString((folder / "bild.png").string())));
    EXPECT_EQ(picture.width(), zt40::scenarioWindowWidth);
    EXPECT_EQ(picture.height(), zt40::scenarioWindowHeight);
    // The fire-hole door, amid the cab at 5 mm per pixel: red with a glow
    // of yellow from the fire behind it.
    const QColor door = picture.pixelColor(312 - 962 / 5, 400 - 25 / 5);
    EXPECT_EQ(door.red(), 255);
    EXPECT_EQ(door.blue(), 0);
    fs::remove_all(folder);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
