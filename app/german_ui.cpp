#include "german_ui.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace zt40 {

bool loadGermanQtTexts(QCoreApplication& application) {
    // German whatever LANG says: Qt's own texts, and the dates and file
    // kinds its file dialogs show.
    const QLocale german(QLocale::German, QLocale::Germany);
    QLocale::setDefault(german);
    auto* translator = new QTranslator(&application);
    if (!translator->load(german, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}

void germanButtons(QMessageBox& box) {
    struct Label {
        QMessageBox::StandardButton button;
        const char* text;  // UTF-8, with its mnemonic
    };
    static constexpr Label labels[] = {
        {QMessageBox::Ok, "OK"},           {QMessageBox::Cancel, "Abbrechen"},
        {QMessageBox::Yes, "&Ja"},         {QMessageBox::No, "&Nein"},
        {QMessageBox::Apply, "Übernehmen"}, {QMessageBox::Close, "Schließen"},
        {QMessageBox::Retry, "&Wiederholen"}, {QMessageBox::Save, "&Speichern"},
        {QMessageBox::Discard, "&Verwerfen"},
    };
    for (const Label& label : labels) {
        if (QAbstractButton* button = box.button(label.button)) button->setText(QString::fromUtf8(label.text));
    }
}

void germanFileDialog(QFileDialog& dialog, const QString& accept) {
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("Suchen in:"));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("Dateiname:"));
    dialog.setLabelText(QFileDialog::FileType, QStringLiteral("Dateityp:"));
    dialog.setLabelText(QFileDialog::Accept, accept);
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("Abbrechen"));
}

}  // namespace zt40
