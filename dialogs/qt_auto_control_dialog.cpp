#include "qt_auto_control_dialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <algorithm>
#include <utility>
#include <vector>

#include "qt_dialog_units.h"

namespace zt40 {

// A trackbar that shows the control's current value as a band along its groove.
class SelectionSlider final : public QSlider {
public:
    explicit SelectionSlider(QWidget* parent) : QSlider(Qt::Horizontal, parent) {}
    void setSelection(SelectionBand band) {
        band_ = band;
        update();
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        QSlider::paintEvent(event);
        QStyleOptionSlider option;
        initStyleOption(&option);
        const QRect groove = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
        const QRect handle = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
        const int span = groove.width() - handle.width();
        const auto at = [&](int value) {
            return groove.left() + handle.width() / 2 +
                   QStyle::sliderPositionFromValue(minimum(), maximum(), std::clamp(value, minimum(), maximum()), span);
        };
        QPainter painter(this);
        painter.fillRect(QRect(QPoint(at(band_.from), groove.bottom() + 2), QPoint(at(band_.to), groove.bottom() + 4)),
                         palette().highlight());
    }

private:
    SelectionBand band_{0, 0};
};

namespace {

struct TrackbarPlace {
    AutoSetting setting;
    const char* name;  // of the edit, for accessibility and tests
    Place group, slider, edit, ok;
};

// The layout in dialog units.
constexpr Place dialogSize{0, 0, 270, 295};
constexpr TrackbarPlace trackbarPlaces[] = {
    {AutoSetting::speed, "speed", {5, 65, 260, 35}, {8, 76, 195, 18}, {205, 78, 25, 12}, {235, 78, 25, 12}},
    {AutoSetting::power, "power", {5, 105, 260, 35}, {8, 116, 195, 20}, {205, 118, 25, 12}, {235, 118, 25, 12}},
    {AutoSetting::backPressure, "backPressure", {5, 145, 260, 35}, {8, 156, 195, 20}, {205, 158, 25, 12}, {235, 158, 25, 12}},
    {AutoSetting::chestPressure, "chestPressure", {5, 190, 260, 35}, {8, 201, 195, 20}, {205, 203, 25, 12}, {235, 203, 25, 12}},
    {AutoSetting::minCutoff, "minCutoff", {5, 230, 260, 35}, {8, 241, 195, 20}, {205, 243, 25, 12}, {235, 243, 25, 12}},
};
constexpr Place okButton{110, 275, 50, 14}, iconPlace{245, 270, 20, 20};

std::size_t indexOf(AutoSetting setting) { return static_cast<std::size_t>(setting); }

}  // namespace

QtAutoControlDialog::QtAutoControlDialog(AutoControlSettings& settings, QWidget* mainWindow)
    : model_(settings), mainWindow_(mainWindow) {
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    build();
    showCaptions();
    showSettings();
    showBands();
    ramp_.setInterval(200);
    connect(&ramp_, &QTimer::timeout, this, [this] {
        model_.tick();
        showBands();
    });
    ramp_.start();
}

void QtAutoControlDialog::build() {
    std::vector<std::pair<QWidget*, Place>> placed;
    DialogUnits units(fontMetrics());
    const auto button = [&](const char* text, const Place& place, auto action) {
        auto* pushButton = new QPushButton(QString::fromUtf8(text), this);
        pushButton->setAutoDefault(false);
        connect(pushButton, &QPushButton::clicked, this, [this, action] {
            action();
            showCaptions();
            showSettings();
        });
        placed.push_back({pushButton, place});
        units.fit(pushButton->sizeHint().width(), place.width);
        return pushButton;
    };

    // Mode, direction, sanding and presets.
    button("Leistung", {9, 5, 78, 20}, [this] { model_.chooseMode(AutoControlMode::power); });
    button("Stop", {96, 5, 78, 20}, [this] { model_.chooseMode(AutoControlMode::off); });
    button("Geschwindigkeit", {183, 5, 78, 20}, [this] { model_.chooseMode(AutoControlMode::speed); });
    button("Vorwärts", {9, 30, 78, 15}, [this] { model_.requestForward(); });
    button("Autosand", {96, 30, 78, 15}, [this] { model_.toggleAutoSand(); });
    button("Rückwärts", {183, 30, 78, 15}, [this] { model_.requestReverse(); });
    button("Wirtschaftlich", {9, 50, 78, 15}, [this] { model_.preset(AutoPreset::economical); });
    button("Schonung", {96, 50, 78, 15}, [this] { model_.preset(AutoPreset::gentle); });
    button("Schonung + Leistung", {183, 50, 78, 15}, [this] { model_.preset(AutoPreset::gentlePlusPower); });

    // The five trackbars, each in its frame with an edit and an OK.
    for (const TrackbarPlace& place : trackbarPlaces) {
        auto* group = new QGroupBox(this);
        group->lower();
        placed.push_back({group, place.group});
        if (place.setting == AutoSetting::chestPressure) {
            group->setTitle(QStringLiteral("Angestrebter Schieberkastendruck in bar"));
        } else if (place.setting == AutoSetting::minCutoff) {
            group->setTitle(QStringLiteral("Minimale Füllung in Prozent"));
        }
        if (place.setting == AutoSetting::speed) speedGroup_ = group;
        if (place.setting == AutoSetting::power) powerGroup_ = group;
        if (place.setting == AutoSetting::backPressure) backPressureGroup_ = group;

        const AutoSetting setting = place.setting;
        auto* slider = new SelectionSlider(this);
        const TrackbarRange range = rangeOf(setting);
        slider->setRange(range.low, range.high);
        connect(slider, &QSlider::valueChanged, this, [this, setting](int position) {
            model_.trackbarMoved(setting, position);
            edits_[indexOf(setting)]->setText(QString::fromStdString(model_.editText(setting)));
        });
        sliders_[indexOf(setting)] = slider;
        placed.push_back({slider, place.slider});

        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(place.name));
        slider->setObjectName(QString::fromLatin1(place.name) + QStringLiteral("Slider"));
        edit->setReadOnly(setting == AutoSetting::minCutoff);
        edits_[indexOf(setting)] = edit;
        placed.push_back({edit, place.edit});
        button("OK", place.ok, [this, setting] {
            model_.editConfirmed(setting, edits_[indexOf(setting)]->text().toStdString());
        });
    }

    auto* close = new QPushButton(QStringLiteral("OK"), this);
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QtAutoControlDialog::accept);
    placed.push_back({close, okButton});
    auto* icon = new QLabel(this);
    placed.push_back({icon, iconPlace});

    setFixedSize(units(dialogSize).size());
    for (const auto& [widget, place] : placed) widget->setGeometry(units(place));
    QIcon picture = QApplication::windowIcon();
    if (picture.isNull()) picture = style()->standardIcon(QStyle::SP_MessageBoxInformation);
    icon->setPixmap(picture.pixmap(std::min(icon->width(), icon->height())));
}

void QtAutoControlDialog::showCaptions() {
    setWindowTitle(QString::fromUtf8(model_.title()));
    const AutoControlCaptions& captions = model_.groupCaptions();
    powerGroup_->setTitle(QString::fromUtf8(captions.powerGroup));
    speedGroup_->setTitle(QString::fromUtf8(captions.speedGroup));
    backPressureGroup_->setTitle(QString::fromUtf8(captions.backPressureGroup));
}

void QtAutoControlDialog::showSettings() {
    for (std::size_t i = 0; i < autoSettingCount; ++i) {
        const auto setting = static_cast<AutoSetting>(i);
        const QSignalBlocker quiet(sliders_[i]);  // a position shown is no move of the driver's
        sliders_[i]->setValue(model_.position(setting));
        edits_[i]->setText(QString::fromStdString(model_.editText(setting)));
    }
}

void QtAutoControlDialog::showBands() {
    for (std::size_t i = 0; i < autoSettingCount; ++i) {
        sliders_[i]->setSelection(model_.selection(static_cast<AutoSetting>(i)));
    }
}

void QtAutoControlDialog::end(bool raiseMainWindow) {
    if (ended_) return;
    ended_ = true;
    ramp_.stop();
    model_.close();
    if (raiseMainWindow && mainWindow_) {
        mainWindow_->raise();
        mainWindow_->activateWindow();
    }
}

void QtAutoControlDialog::accept() {
    end(true);
    QDialog::accept();
}

void QtAutoControlDialog::reject() {
    end(true);
    QDialog::reject();
}

void QtAutoControlDialog::closeEvent(QCloseEvent* event) {
    end(false);
    QDialog::closeEvent(event);
}

}  // namespace zt40
