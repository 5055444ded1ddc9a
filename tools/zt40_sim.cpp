// zt40-sim: drives the locomotive model through a scenario without a
// window and writes CSV to standard output; with --config it starts from a
// saved configuration file, and with --screenshot it also draws the window
// as it stands at the end of the run into a PNG, at the window size and
// device pixel ratio that --size and --ratio give. With --replay it drives a
// recorded drive again (--check: only whether it comes out as recorded).
// --strip draws the speed recorder's strip of the whole run.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "replay_run.h"
#include "scenario.h"
#include "strip_chart.h"
#include "svg_canvas.h"

#ifdef ZT40_SCREENSHOT
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "qt_canvas.h"
#include "screenshot.h"
#endif

namespace {

constexpr const char* usage =
    "usage: zt40-sim [--screenshot PICTURE.png [--size WxH] [--ratio N]]\n"
    "                [--strip STRIP.png|STRIP.svg] [--strip-size WxH] [--config FILE] SCENARIO\n"
    "       zt40-sim --replay RECORDING [--check] [--print SECONDS NAME...]\n"
    "                [--strip STRIP.png|STRIP.svg] [--strip-size WxH]\n";

constexpr int defaultStripWidth = 2000, defaultStripHeight = 800;  // px
constexpr int smallestWindow = 21, largestWindow = 8192;               // px: a smaller window draws nothing
constexpr int largestRatio = 4;                                        // device pixels a pixel

bool endsWith(const std::string& text, const char* ending) {
    const std::size_t n = std::strlen(ending);
    return text.size() >= n && text.compare(text.size() - n, n, ending) == 0;
}

struct Arguments {
    const char* picture = nullptr;        // PNG file of the window, or none
    const char* configuration = nullptr;  // configuration file to start from, or none
    const char* replay = nullptr;         // recording to replay, or none
    const char* strip = nullptr;          // strip picture, or none
    int stripWidth = defaultStripWidth, stripHeight = defaultStripHeight;  // px
    // The window the picture shows: its client size and the screen's device pixels a pixel.
    int windowWidth = zt40::scenarioWindowWidth, windowHeight = zt40::scenarioWindowHeight;  // px
    int ratio = 1;
    bool windowGiven = false;
    bool check = false;
    bool printGiven = false;
    double printInterval = 1.0;  // s
    std::vector<std::string> printNames;
    const char* scenario = nullptr;
};

// False with the reason when the command line is not one of the usage's.
bool parse(int argc, char* argv[], Arguments& a, std::string& problem) {
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const bool hasValue = i + 1 < argc;
        if (option == "--screenshot" && hasValue && !a.picture) a.picture = argv[++i];
        else if (option == "--config" && hasValue && !a.configuration) a.configuration = argv[++i];
        else if (option == "--replay" && hasValue && !a.replay) a.replay = argv[++i];
        else if (option == "--strip" && hasValue && !a.strip) a.strip = argv[++i];
        else if (option == "--strip-size" && hasValue) {
            if (std::sscanf(argv[++i], "%dx%d", &a.stripWidth, &a.stripHeight) != 2 || a.stripWidth < 200 ||
                a.stripHeight < 200 || a.stripWidth > 20000 || a.stripHeight > 20000) {
                problem = "--strip-size takes WIDTHxHEIGHT, each 200 to 20000 pixels";
                return false;
            }
        } else if (option == "--size" && hasValue) {
            a.windowGiven = true;
            char end = '\0';
            if (std::sscanf(argv[++i], "%dx%d%c", &a.windowWidth, &a.windowHeight, &end) != 2 ||
                a.windowWidth < smallestWindow || a.windowHeight < smallestWindow || a.windowWidth > largestWindow ||
                a.windowHeight > largestWindow) {
                problem = "--size takes WIDTHxHEIGHT, each 21 to 8192 pixels";
                return false;
            }
        } else if (option == "--ratio" && hasValue) {
            a.windowGiven = true;
            char end = '\0';
            if (std::sscanf(argv[++i], "%d%c", &a.ratio, &end) != 1 || a.ratio < 1 || a.ratio > largestRatio) {
                problem = "--ratio takes a whole number from 1 to 4";
                return false;
            }
        } else if (option == "--check") {
            a.check = true;
        } else if (option == "--print" && hasValue && !a.printGiven) {
            a.printGiven = true;
            char* end = nullptr;
            a.printInterval = std::strtod(argv[++i], &end);
            if (*end != '\0' || !(a.printInterval > 0.0)) {
                problem = "--print takes SECONDS > 0 and field names";
                return false;
            }
            while (i + 1 < argc && std::strncmp(argv[i + 1], "--", 2) != 0) a.printNames.push_back(argv[++i]);
            if (a.printNames.empty()) {
                problem = "--print takes SECONDS > 0 and field names";
                return false;
            }
        } else if (option.rfind("--", 0) != 0 && !a.scenario && !a.replay) {
            a.scenario = argv[i];
        } else {
            return false;
        }
    }
    if (a.windowGiven && !a.picture) return false;
    if (a.replay) return !a.scenario && !a.picture && !a.configuration;
    return a.scenario && !a.check && !a.printGiven;
}

// Writes the strip of the whole run; the reason when it cannot.
std::string writeStrip(const zt40::StripLog& log, const std::string& file, int width, int height) {
    const double length = std::max(log.path(), 1000.0);  // m: a run standing still shows a kilometre
    const zt40::StripBox box{0, 0, width, height};
    if (endsWith(file, ".svg")) {
        zt40::SvgCanvas canvas(width, height);
        zt40::drawStrip(canvas, log, box, 0.0, length);
        std::ofstream out(file, std::ios::binary);
        out << canvas.document();
        return out.good() ? std::string() : "cannot write " + file;
    }
    if (!endsWith(file, ".png")) return "the strip is written as .png or .svg";
#ifdef ZT40_SCREENSHOT
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        zt40::QtCanvas canvas(painter);
        zt40::drawStrip(canvas, log, box, 0.0, length);
    }
    return image.save(QString::fromLocal8Bit(file.c_str()), "PNG") ? std::string() : "cannot write " + file;
#else
    return "built without Qt, no PNG pictures (write .svg)";
#endif
}

}  // namespace

int main(int argc, char* argv[]) {
    Arguments a;
    std::string problem;
    if (!parse(argc, argv, a, problem)) {
        std::cerr << (problem.empty() ? "" : "zt40-sim: " + problem + "\n") << usage;
        return 2;
    }
    std::vector<const zt40::FieldAccess*> columns;
    for (const std::string& name : a.printNames) {
        const zt40::FieldAccess* field = zt40::findField(name);
        if (!field) {
            std::cerr << "zt40-sim: unknown field '" << name << "'\n";
            return 2;
        }
        columns.push_back(field);
    }

#ifdef ZT40_SCREENSHOT
    // Offscreen unless told otherwise: the pictures need fonts, not a display.
    const bool pictures = a.picture || (a.strip && endsWith(a.strip, ".png"));
    if (pictures && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgumentCount = 1;
    std::unique_ptr<QGuiApplication> application;
    if (pictures) application = std::make_unique<QGuiApplication>(qtArgumentCount, argv);  // the program's name alone
#endif
    zt40::StripLog strip;
    std::function<void(const zt40::LocomotiveState&)> observe;
    if (a.strip) observe = [&](const zt40::LocomotiveState& state) { strip.take(state); };

    if (a.replay) {
        zt40::ReplayRunOptions options;
        options.check = a.check;
        options.printInterval = a.printInterval;
        options.columns = columns;
        options.observe = observe;
        int status = zt40::runReplay(a.replay, options, std::cout, std::cerr);
        if (a.strip) {
            if (const std::string failure = writeStrip(strip, a.strip, a.stripWidth, a.stripHeight); !failure.empty()) {
                std::cerr << "zt40-sim: " << failure << "\n";
                status = 1;
            }
        }
        return status;
    }

    std::string text;
    if (problem = zt40::readScenarioFile(a.scenario, text); !problem.empty()) {
        std::cerr << "zt40-sim: " << problem << "\n";
        return 2;
    }
    std::error_code status;
    if (a.configuration && !std::filesystem::is_regular_file(a.configuration, status)) {
        std::cerr << "zt40-sim: " << a.configuration << " is no configuration file\n";
        return 2;
    }
    zt40::ScenarioError error{};
    const auto scenario = zt40::parseScenario(text, error);
    if (!scenario) {
        std::cerr << a.scenario << ":" << error.line << ": " << error.message << "\n";
        return 1;
    }

#ifdef ZT40_SCREENSHOT
    std::unique_ptr<zt40::ImageScreen> screen;
    if (a.picture) screen = std::make_unique<zt40::ImageScreen>(a.windowWidth, a.windowHeight, a.ratio);
#else
    if (a.picture) {
        std::cerr << "zt40-sim: built without Qt, no pictures\n";
        return 2;
    }
    zt40::ScenarioScreen* screen = nullptr;
#endif
    if (const std::string failure =
            zt40::runScenario(*scenario, std::cout, screen ? &*screen : nullptr,
                              a.configuration ? a.configuration : "", observe);
        !failure.empty()) {
        std::cerr << a.scenario << ": " << failure << "\n";
        return 1;
    }
#ifdef ZT40_SCREENSHOT
    if (screen && !screen->save(QString::fromLocal8Bit(a.picture))) {
        std::cerr << "zt40-sim: cannot write " << a.picture << "\n";
        return 1;
    }
#endif
    if (a.strip) {
        if (const std::string failure = writeStrip(strip, a.strip, a.stripWidth, a.stripHeight); !failure.empty()) {
            std::cerr << "zt40-sim: " << failure << "\n";
            return 1;
        }
    }
    return std::cout.good() ? 0 : 1;
}
