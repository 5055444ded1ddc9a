// A complete frame (clear, gradient line and plumes, right-hand panel, cab
// panel, button bar, side view, status lines with a help box and two
// warnings, credit line), offscreen with QPainter, at two screen sizes,
// with the bar columns (0) or a full indicator diagram (1): drawn whole
// from nothing (fullFrame), and as the window draws it while driving, only
// where it changed, the calls that stay laid from their kept pixel runs
// (drivingFrame).
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <memory>
#include <numbers>

#include "frame_fixtures.h"
#include "frame_picture.h"
#include "pointer_targets.h"
#include "qt_canvas.h"
#include "retained_picture.h"

namespace zt40 {
namespace {

// A full turn of samples: two pressure loops and a force curve.
void fillIndicatorRing(ModelResults& copy) {
    copy.indicatorCount = indicatorRingSize - 1;
    copy.indicatorIndex = 300;
    for (int i = 0; i < indicatorRingSize; ++i) {
        const double angle = i * 2.0 * std::numbers::pi / indicatorRingSize;  // rad
        const double pascalsPerBar = 100000.0;
        IndicatorSample& sample = copy.indicatorSamples[i];
        sample.pistonTravel = (1.0 - std::cos(angle)) * 0.33;  // m
        sample.pressureB = (angle < std::numbers::pi ? 10.0 - 2.0 * angle : 0.3) * pascalsPerBar;
        sample.pressureA = (angle > std::numbers::pi ? 4.0 * angle - 12.5 : 0.3) * pascalsPerBar;
        sample.crankAngle = angle;
        sample.rimForce = 45000.0 * std::fabs(std::sin(2.0 * angle));  // N
    }
}

// A drive at 36 km/h with the status lines, a help box and two warnings.
std::unique_ptr<FrameView> drivingView(int width, int height, bool indicator) {
    auto view = std::make_unique<FrameView>();
    LocomotiveState* copy = &view->record;
    copy->clientWidth = width;
    copy->clientHeight = height;
    copy->displayScale = std::max(8000.0 / width, 5851.0 / height);
    copy->boilerSteam.pressure = 1350000.0;
    copy->gaugeGlassLevel = 350.0;
    copy->reverser = -80;
    copy->pilotValve = 90;
    copy->tankWater = 9000.0;
    copy->steamChest.pressure = 900000.0;
    copy->steamChest.temperature = 520.0;
    copy->blastPipeFlow = 3.0;
    copy->drainCocksOpen = true;
    copy->cylinder1SpaceB.pressure = 600000.0;
    copy->cylinder1SpaceB.temperature = 480.0;
    copy->cylinder1SpaceB.volume = 0.1;
    copy->sandSeconds = 1800.0;
    copy->brake = 50;
    copy->wheelSpeed = 10.0;
    copy->wheelPower = 900.0;
    copy->waterPerKm = 400.0;
    copy->fireRate = 60;
    copy->indicatorShown = indicator;
    copy->simSpeedCode = -1;  // with the cursor
    fillIndicatorRing(*copy);
    copy->trainSpeed = 10.0;
    copy->wheelSlip = true;  // two warnings
    copy->fireShortfall = 10;
    copy->hoverTarget = hover::rearWorkingSpace;
    copy->hoverHintVisible = true;
    copy->mouseX = width / 3;
    copy->mouseY = height / 2;
    view->rules.timeFactor = 0.015;
    return view;
}

// The next frame of the drive: the wheels turn on, the sleepers pass, the
// exhaust beats four times a turn, the steam-chest gauge and the cylinder
// spaces follow the strokes and the speed moves in its last digit.
void advance(FrameView& view) {
    LocomotiveState* copy = &view.record;
    copy->wheelAngle = std::fmod(copy->wheelAngle + 0.05, 6.283185307179586);
    const double beat = std::fabs(std::sin(2.0 * copy->wheelAngle));
    copy->blastPipeFlow = 1.0 + 2.0 * beat;
    copy->steamChest.pressure = 850000.0 + 50000.0 * beat;  // Pa
    copy->cylinder1SpaceB.pressure = 300000.0 + 300000.0 * beat;  // Pa
    copy->trainSpeed = copy->trainSpeed == 10.0 ? 10.01 : 10.0;  // m/s
    view.rules.sleeperPhase = std::fmod(view.rules.sleeperPhase + 2.0, copy->clientWidth);  // px
    testing::placeRunningGear(*copy, view.preparation, copy->wheelAngle);
}

const AverageMeans means{300.0f, 0.1f, 850.0f, 380.0f};

// Every frame drawn whole from nothing: what a frame costs without the
// kept picture, for comparison.
void fullFrame(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    const auto view = drivingView(width, height, state.range(2) != 0);
    DisplayMemory memory;
    QImage image(width, height, QImage::Format_RGB32);
    TextFonts fonts;
    for (auto _ : state) {
        advance(*view);
        QPainter painter(&image);
        QtCanvas canvas(painter, &fonts);
        drawFramePicture(canvas, *view, memory, means);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}

// The frame as the window draws it while driving: its calls listed, and
// drawn again only where they differ from the last frame's.
void drivingFrame(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    const auto view = drivingView(width, height, state.range(2) != 0);
    DisplayMemory memory;
    CallPixels pixels;
    RetainedPicture picture(QSize(width, height), 1.0, &pixels);
    DrawList list;
    for (auto _ : state) {
        advance(*view);
        {
            RecordingCanvas recorder(list);
            drawFramePicture(recorder, *view, memory, means);
        }
        benchmark::DoNotOptimize(picture.show(list));
        benchmark::DoNotOptimize(picture.image().constBits());
    }
}

void frameSizes(benchmark::internal::Benchmark* b) {
    b->ArgNames({"width", "height", "indicator"})
        ->Args({1920, 1080, 0})
        ->Args({1920, 1080, 1})
        ->Args({3840, 2160, 0})
        ->Args({3840, 2160, 1})
        ->Unit(benchmark::kMillisecond);
}
BENCHMARK(fullFrame)->Apply(frameSizes);
BENCHMARK(drivingFrame)->Apply(frameSizes);

}  // namespace
}  // namespace zt40

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
