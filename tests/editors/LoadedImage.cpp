#include "LoadedImage.h"

#include <QKeySequence>
#include <QRegularExpression>
#include <QTest>

namespace {
std::string programDirOf(const ScratchProgramDir& dir) {
    return dir.path().toStdString();
}
} // namespace

LoadedImage::LoadedImage() : core(programDirOf(dir)), original(dir.imageBytes()) {
    if (!core.openRom(dir.imagePath().toStdString()))
        qFatal("the synthetic image does not load");
    core.writes = 0;
}

Byte LoadedImage::originalAt(qsizetype offset) const {
    return static_cast<Byte>(original.at(offset));
}

QStringList LoadedImage::originalRow(int set) const {
    QStringList row;
    for (int armour = 1; armour <= 3; ++armour)
        row << QString::number(
            originalAt(damageTableOffset(places::damageTableIndex(std::size_t(set), armour))));
    return row;
}

QMap<qsizetype, Byte> LoadedImage::savedChanges() {
    if (!core.saveRom())
        qFatal("the synthetic image cannot be saved");
    const QByteArray saved = dir.imageBytes();
    QMap<qsizetype, Byte> changes;
    for (qsizetype offset = 0; offset < std::max(saved.size(), original.size()); ++offset) {
        if (offset >= saved.size() || offset >= original.size() ||
            saved.at(offset) != original.at(offset))
            changes.insert(offset, offset < saved.size() ? static_cast<Byte>(saved.at(offset)) : 0);
    }
    return changes;
}

qsizetype healthOffset(int slot) {
    return Core::enemyHealthOffset + slot;
}
qsizetype damageByteOffset(int slot) {
    return Core::enemyDamageOffset + slot;
}
qsizetype damageTableOffset(int index) {
    return Core::damageTableOffset + index;
}

QStringList keystrokes(const QString& keys) {
    static const QRegularExpression keystroke(QStringLiteral("\\{[^}]+\\}|."));
    QStringList strokes;
    for (const QRegularExpressionMatch& match : keystroke.globalMatch(keys))
        strokes << match.captured();
    return strokes;
}

void typeText(QWidget* widget, const QString& text) {
    for (const QString& stroke : keystrokes(text)) {
        if (stroke.size() > 2 && stroke.startsWith(QLatin1Char('{'))) {
            const QKeyCombination key = QKeySequence::fromString(stroke.sliced(1).chopped(1))[0];
            QTest::keyClick(widget, key.key(), key.keyboardModifiers());
            continue;
        }
        const QChar character = stroke.front();
        if (character == QLatin1Char('\b')) {
            QTest::keyClick(widget, Qt::Key_Backspace);
            continue;
        }
        const auto key =
            character.unicode() < 0x80 ? Qt::Key(character.toUpper().unicode()) : Qt::Key_unknown;
        QTest::sendKeyEvent(QTest::Click, widget, key, stroke, Qt::NoModifier);
    }
}

void selectAll(QWidget* widget) {
    QTest::keyClick(widget, Qt::Key_A, Qt::ControlModifier);
}
