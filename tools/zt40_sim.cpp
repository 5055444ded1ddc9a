// zt40-sim: drives the locomotive model through a scenario without a
// window and writes CSV to standard output; with --screenshot it also
// draws the window as it stands at the end of the run into a PNG.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>

#include "scenario.h"

#ifdef ZT40_SCREENSHOT
#include <QGuiApplication>

#include "screenshot.h"
#endif

int main(int argc, char* argv[]) {
    const char* picture = nullptr;  // PNG file, or none
    if (argc == 4 && std::strcmp(argv[1], "--screenshot") == 0) {
        picture = argv[2];
        argv[2] = argv[0];
        argv += 2;
        argc -= 2;
    }
    if (argc != 2) {
        std::cerr << "usage: zt40-sim [--screenshot PICTURE.png] SCENARIO\n";
        return 2;
    }
    std::ifstream file(argv[1], std::ios::binary);
    if (!file) {
        std::cerr << "zt40-sim: cannot read " << argv[1] << "\n";
        return 2;
    }
    std::ostringstream text;
    text << file.rdbuf();
    zt40::ScenarioError error{};
    const auto scenario = zt40::parseScenario(text.str(), error);
    if (!scenario) {
        std::cerr << argv[1] << ":" << error.line << ": " << error.message << "\n";
        return 1;
    }

#ifdef ZT40_SCREENSHOT
    // Offscreen unless told otherwise: the picture needs fonts, not a display.
    if (picture && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QGuiApplication> application;
    std::unique_ptr<zt40::ImageScreen> screen;
    if (picture) {
        application = std::make_unique<QGuiApplication>(argc, argv);
        screen = std::make_unique<zt40::ImageScreen>(zt40::scenarioWindowWidth, zt40::scenarioWindowHeight);
    }
#else
    if (picture) {
        std::cerr << "zt40-sim: built without Qt, no pictures\n";
        return 2;
    }
    zt40::ScenarioScreen* screen = nullptr;
#endif
    if (const std::string problem = zt40::runScenario(*scenario, std::cout, screen ? &*screen : nullptr);
        !problem.empty()) {
        std::cerr << argv[1] << ": " << problem << "\n";
        return 1;
    }
#ifdef ZT40_SCREENSHOT
    if (screen && !screen->save(QString::fromLocal8Bit(picture))) {
        std::cerr << "zt40-sim: cannot write " << picture << "\n";
        return 1;
    }
#endif
    return std::cout.good() ? 0 : 1;
}
