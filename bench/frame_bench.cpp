// A complete frame as far as it is drawn today (clear, cab panel, credit
// line), offscreen with QPainter, at two screen sizes.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <memory>

#include "cab_panel.h"
#include "qt_canvas.h"
#include "render_controller.h"

namespace zt40 {
namespace {

void fullFrame(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    auto copy = std::make_unique<LocomotiveState>();
    copy->clientWidth = width;
    copy->clientHeight = height;
    copy->displayScale = std::max(8000.0 / width, 5851.0 / height);
    copy->boilerSteam.pressure = 1350000.0;
    copy->gaugeGlassLevel = 350.0;
    copy->reverser = -80;
    copy->pilotValve = 90;
    copy->tankWater = 9000.0;
    FrameState frame;
    QImage image(width, height, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        QtCanvas canvas(painter);
        canvas.rectangle(-1, -1, width + 1, height + 1, Pen{}, Brush{});
        drawCabPanel(canvas, *copy, frame);
        canvas.text(0, height - 17, creditLine(), black, white);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
        copy->wheelSpeed += 0.01;
    }
}
BENCHMARK(fullFrame)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zt40

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
