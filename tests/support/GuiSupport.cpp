#include "GuiSupport.h"

#include "DemoImage.h"
#include "DialogLook.h"
#include "Translations.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFontInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QWidget>

QString useProgramLanguageAndFont() {
    const QString language = installTranslations();
    applyDialogLook();
    return language;
}

QString unmeasurableFont() {
#ifdef Q_OS_WIN
    const QString family = QApplication::font().family();
    const QString face = QFontInfo(QApplication::font()).family();
    const QString substitute =
        QSettings(QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows "
                                 "NT\\CurrentVersion\\FontSubstitutes"),
                  QSettings::NativeFormat)
            .value(family)
            .toString();
    if (face != family && face != substitute)
        return QStringLiteral("Wine: Qt finds no face for %1 here and falls back to %2; Windows "
                              "draws it in %3")
            .arg(family, face, substitute);
#endif
    return {};
}

QString uncoveredCharacters(const QFont& font, const QString& text) {
    const QFontMetrics metrics(font); // with the fonts the system falls back to
    QString uncovered;
    for (const char32_t character : text.toUcs4())
        if (!metrics.inFontUcs4(character))
            uncovered += QString::fromUcs4(&character, 1);
    return uncovered;
}

bool chooseFileInDialog(QFileDialog* dialog, const QString& path, int timeoutMs) {
    auto* nameBox = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    auto* buttons = dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    if (!nameBox || !buttons)
        return false;
    QPushButton* open = buttons->button(QDialogButtonBox::Open);
    if (!open)
        open = buttons->button(QDialogButtonBox::Save);
    const QDeadlineTimer deadline(timeoutMs);
    while (dialog->isVisible() && !deadline.hasExpired()) {
        if (nameBox->text() != path) {
            // As typing does: the dialog takes an edited name over the file
            // it had selected.
            nameBox->setText(path);
            emit nameBox->textEdited(path);
        }
        if (open->isEnabled() && dialog->selectedFiles() == QStringList(path))
            open->click();
        else
            QTest::qWait(10);
    }
    return !dialog->isVisible();
}

bool activateWindow(QWidget* window, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    while (QApplication::activeWindow() != window && !deadline.hasExpired()) {
        window->activateWindow();
        QTest::qWait(10);
    }
    return QApplication::activeWindow() == window;
}

QByteArray syntheticImage(qsizetype size, quint32 seed) {
    const auto image = makeSyntheticImage(static_cast<std::size_t>(size), seed);
    return QByteArray(reinterpret_cast<const char*>(image.data()),
                      static_cast<qsizetype>(image.size()));
}

QByteArray readFileBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

ScratchProgramDir::ScratchProgramDir() {
    QByteArray names;
    for (int slot = 0; slot < 256; ++slot)
        names += "Enemy " + QByteArray::number(slot, 16).rightJustified(2, '0').toUpper() + "\r\n";
    // One name in Windows-1252, as older name lists are: "Énemy E9".
    names.replace("Enemy E9", "\xC9nemy E9");
    writeFile("names.cfg", names);
    writeFile("game.smc", syntheticImage());
}

QString ScratchProgramDir::writeFile(const QString& name, const QByteArray& bytes) const {
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(file.fileName()));
    return file.fileName();
}

QByteArray ScratchProgramDir::imageBytes() const {
    return readFileBytes(imagePath());
}
