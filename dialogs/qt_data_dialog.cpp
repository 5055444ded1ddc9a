#include "qt_data_dialog.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <algorithm>
#include <utility>
#include <vector>

#include "qt_dialog_units.h"

namespace zt40 {

namespace {

struct FieldPlace {
    DataField field;
    const char* label;  // with its blanks, as the dialog always showed it
    int labelX, labelY, editX, editY;
};

constexpr FieldPlace fieldPlaces[] = {
    {DataField::trainWeight, "Zuggewicht                      in Tonnen", 5, 30, 125, 30},
    {DataField::ambientTemp, "Umgebungstemperatur        in °C", 5, 45, 125, 45},
    {DataField::cylinderWallTemp, "Zylindertemperatur               in °C", 5, 60, 125, 60},
    {DataField::valveLead, "Komplette Voreilung            in Grad", 5, 75, 125, 75},
    {DataField::exhaustEnd, "Ende Ausströmung bei 80% in Grad", 5, 90, 125, 90},
    {DataField::expansionEnd, "Ende Expansion bei 80%     in Grad", 5, 105, 125, 105},
    {DataField::blastPipeArea, "Blasrohrquerschnitt virtueller Wert", 5, 120, 125, 120},
    {DataField::portArea, "Kanal Schieberkasten -> Zylinder", 185, 30, 305, 30},
    {DataField::waterQuality, "Wasserqualität             in Prozent", 185, 46, 305, 46},
    {DataField::targetWaterLevel, "Angestrebter Wasserstand im Kessel", 185, 60, 305, 60},
    {DataField::boilerPower, "virtuelle         Kesselleistung in kW", 185, 76, 305, 76},
    {DataField::superheaterPower, "virtuelle   Überhitzerleistung in kW", 185, 92, 305, 92},
    {DataField::frictionFactor, "Reibfaktor", 185, 105, 305, 105},
    {DataField::maxGradient, "Maximale Steigung       in Promille", 185, 121, 305, 121},
};
static_assert(std::size(fieldPlaces) == dataFieldCount);

constexpr Place dialogSize{0, 0, 362, 135};
constexpr int labelWidth = 115, labelHeight = 10;
constexpr int editWidth = 53, editHeight = 12;
constexpr Place reloadButton{160, 5, 45, 15}, cancelButton{210, 5, 45, 15}, applyButton{260, 5, 45, 15},
    okButton{310, 5, 45, 15}, iconPlace{5, 5, 21, 20};

std::size_t indexOf(DataField field) { return static_cast<std::size_t>(field); }

}  // namespace

QtDataDialog::QtDataDialog(LocomotiveState& state, Random15& random, QWidget* mainWindow)
    : session_(state, random), mainWindow_(mainWindow) {
    setWindowTitle(QStringLiteral("Daten"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    build();
    showTexts(session_.shown());
}

void QtDataDialog::build() {
    std::vector<std::pair<QWidget*, Place>> placed;
    DialogUnits units(fontMetrics());

    auto* icon = new QLabel(this);
    placed.push_back({icon, iconPlace});

    for (const FieldPlace& place : fieldPlaces) {
        auto* label = new QLabel(QString::fromUtf8(place.label), this);
        placed.push_back({label, {place.labelX, place.labelY, labelWidth, labelHeight}});
        units.fit(label->sizeHint().width(), labelWidth);
        auto* edit = new QLineEdit(this);
        placed.push_back({edit, {place.editX, place.editY, editWidth, editHeight}});
        label->setBuddy(edit);
        edits_[indexOf(place.field)] = edit;
    }

    const auto button = [&](const char* text, const Place& place, void (QtDataDialog::*action)()) {
        auto* pushButton = new QPushButton(QString::fromUtf8(text), this);
        pushButton->setAutoDefault(false);
        connect(pushButton, &QPushButton::clicked, this, action);
        placed.push_back({pushButton, place});
        units.fit(pushButton->sizeHint().width(), place.width);
        return pushButton;
    };
    button("Neu laden", reloadButton, &QtDataDialog::reload);
    button("Abbrechen", cancelButton, &QtDataDialog::reject);
    button("Übernehmen", applyButton, &QtDataDialog::apply);
    button("OK", okButton, &QtDataDialog::applyAndClose)->setDefault(true);  // Return in an edit

    setFixedSize(units(dialogSize).size());
    for (const auto& [widget, place] : placed) widget->setGeometry(units(place));
    QIcon picture = QApplication::windowIcon();
    if (picture.isNull()) picture = style()->standardIcon(QStyle::SP_MessageBoxInformation);
    const QSize iconSize = icon->size();
    icon->setPixmap(picture.pixmap(std::min(iconSize.width(), iconSize.height())));
}

void QtDataDialog::showTexts(const DataTexts& texts) {
    for (std::size_t i = 0; i < dataFieldCount; ++i) edits_[i]->setText(QString::fromStdString(texts[i]));
}

DataTexts QtDataDialog::typed() const {
    DataTexts texts;
    for (std::size_t i = 0; i < dataFieldCount; ++i) texts[i] = edits_[i]->text().toStdString();
    return texts;
}

void QtDataDialog::reload() { showTexts(session_.reload()); }

void QtDataDialog::apply() {
    if (session_.apply(typed())) showTexts(session_.shown());
}

void QtDataDialog::applyAndClose() {
    // Closed first, then applied from the texts the edits still hold.
    const DataTexts texts = typed();
    session_.close();
    raiseMainWindow();
    QDialog::accept();
    session_.apply(texts);
}

void QtDataDialog::reject() {
    session_.close();
    QDialog::reject();
    raiseMainWindow();
}

void QtDataDialog::raiseMainWindow() {
    if (!mainWindow_) return;
    mainWindow_->raise();
    mainWindow_->activateWindow();
}

}  // namespace zt40
