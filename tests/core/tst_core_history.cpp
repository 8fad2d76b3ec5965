// The store's edit history and its merge of another program's changes, as
// short scripts run against a real file.
#include "Core.h"
#include "DemoImage.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>

namespace {

// "h3C" (health of slot 3C), "d0A" (damage byte of slot 0A), "t10" (damage
// table byte 10, decimal): a table byte by the name the scripts use.
std::size_t placeOf(const QString& name) {
    bool ok = false;
    const int number = name.mid(1).toInt(&ok, name[0] == 't' ? 10 : 16);
    if (!ok)
        qFatal("bad byte name in a script");
    if (name[0] == 'h')
        return places::ofHealth(Byte(number));
    if (name[0] == 'd')
        return places::ofDamageByte(Byte(number));
    return places::ofDamageTableByte(std::size_t(number));
}

std::size_t offsetOf(std::size_t place) {
    return places::isDamageTableByte(place)
               ? Core::damageTableOffset + place
               : Core::enemyHealthOffset + (place - Core::damageTableSize);
}

QString nameOf(const std::optional<Field>& field) {
    if (!field)
        return {};
    const QString slot = QStringLiteral("%1").arg(field->index, 2, 16, QLatin1Char('0')).toUpper();
    switch (field->kind) {
    case Field::Kind::Health:
        return 'h' + slot;
    case Field::Kind::DamageSet:
        return 'd' + slot;
    case Field::Kind::Damage:
        return 't' + QString::number(field->index);
    case Field::Kind::Paste:
        return 'p' + slot;
    case Field::Kind::AnotherProgram:
        break;
    }
    return QStringLiteral("other");
}

// "ok"; "conflicts" and the field named first, such as "conflicts d00";
// else the reason.
QString kindOf(const Core& core, const FileResult& result) {
    switch (result.kind) {
    case FileResult::Kind::Ok:
        return QStringLiteral("ok");
    case FileResult::Kind::Conflicts:
        return "conflicts " + nameOf(core.fieldAt(result.conflicts.at(0).place));
    default:
        return QString::fromStdString(result.systemReason);
    }
}

// An image whose table bytes are all 0, loaded, and the script's steps.
class Script {
public:
    Script() {
        std::vector<Byte> image = makeSyntheticImage(0x80000, 7);
        std::fill_n(image.begin() + Core::damageTableOffset, Core::damageTableSize, 0);
        std::fill(image.begin() + Core::enemyHealthOffset, image.begin() + Core::minimumImageSize,
                  0);
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(image.data()), std::streamsize(image.size()));
        if (!core.openRom(path))
            qFatal("the synthetic image does not load");
    }

    // Runs one step: "h3C=55" edits, "|" closes the open step, "u" undoes,
    // "r" redoes, "s" saves merging, "sk"/"st" answer the last conflicts
    // Keep Mine/Take Theirs, "oh3C=40" is another program's write into the
    // file, "w" the watcher's read, "l" a load, "p3C:h3C=5/d00=7" a paste at
    // slot 3C of the values given.
    void run(const QString& step) {
        static const QRegularExpression assignment(QStringLiteral("^(o?)([hdt][0-9A-F]+)=(\\d+)$"));
        if (const auto match = assignment.match(step); match.hasMatch()) {
            const auto value = Byte(match.captured(3).toInt());
            if (match.captured(1).isEmpty())
                edit(match.captured(2), value);
            else
                writeIntoFile(placeOf(match.captured(2)), value);
        } else if (step == "|") {
            core.closeEditStep();
        } else if (step == "u") {
            core.undo();
        } else if (step == "r") {
            core.redo();
        } else if (step == "s") {
            last = core.saveRom(Core::SaveMode::Merge);
        } else if (step == "sk" || step == "st") {
            last = core.saveRom(Core::SaveMode::Merge,
                                {step == "sk" ? ConflictAnswer::Choice::KeepMine
                                              : ConflictAnswer::Choice::TakeTheirs,
                                 last.conflicts});
        } else if (step == "w") {
            last = core.takeOutsideChanges();
        } else if (step == "l") {
            last = core.loadTables();
        } else if (step.startsWith(u'p')) {
            paste(step.mid(1, 2).toInt(nullptr, 16), step.section(u':', 1).split(u'/'));
        } else if (step.startsWith(u'S')) { // "S2=1/2/3": damage set 2 at once
            const QStringList values = step.section(u'=', 1).split(u'/');
            core.setDamageSet(step.section(u'=', 0, 0).mid(1).toInt(),
                              Byte(values.value(0).toInt()), Byte(values.value(1).toInt()),
                              Byte(values.value(2).toInt()));
        } else {
            qFatal("bad script step");
        }
    }

    // "h3C=55 d00=7": the value of each named byte, in memory or in the file.
    QString values(const QString& names, bool inFile) {
        QStringList found;
        for (const QString& name : names.split(u' ', Qt::SkipEmptyParts)) {
            const std::size_t place = placeOf(name.section(u'=', 0, 0));
            found << name.section(u'=', 0, 0) + '=' +
                         QString::number(inFile ? fileByte(place) : memoryByte(place));
        }
        return found.join(u' ');
    }

    Core core{"."};
    FileResult last;

private:
    void edit(const QString& name, Byte value) {
        const std::size_t place = placeOf(name);
        if (name[0] == 't')
            core.setDamageTableByte(place, value);
        else if (name[0] == 'd')
            core.setEnemyDamage(places::damageSlot(place), value);
        else
            core.setEnemyHealth(places::healthSlot(place), value);
    }
    void paste(int slot, const QStringList& assignments) {
        image::TableBytes bytes = core.tableBytes();
        for (const QString& assignment : assignments)
            bytes[placeOf(assignment.section(u'=', 0, 0))] =
                Byte(assignment.section(u'=', 1).toInt());
        core.setTableBytes({Field::Kind::Paste, slot}, bytes);
    }
    Byte memoryByte(std::size_t place) const {
        if (places::isDamageTableByte(place))
            return core.getDamageTableByte(place);
        return places::isHealth(place) ? core.getEnemyHealth(places::healthSlot(place))
                                       : core.getEnemyDamage(places::damageSlot(place));
    }
    void writeIntoFile(std::size_t place, Byte value) {
        std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
        file.seekp(std::streamoff(offsetOf(place)));
        file.put(char(value));
    }
    Byte fileByte(std::size_t place) const {
        std::ifstream file(path, std::ios::binary);
        file.seekg(std::streamoff(offsetOf(place)));
        return Byte(file.get());
    }

    QTemporaryDir dir;
    std::string path = dir.filePath(QStringLiteral("game.smc")).toStdString();
};

// A change notice as the rows write it: the places by the scripts' names
// (a shared byte by its health), or "all", then "*" when the unsaved state
// flipped.
QString noticeText(const TableChange& change) {
    QStringList said;
    if (change.places.all()) {
        said << QStringLiteral("all");
    } else {
        for (std::size_t place = 0; place < places::count; ++place) {
            if (!change.places[place])
                continue;
            const bool health = places::isHealth(place);
            const int number =
                places::isDamageTableByte(place)
                    ? int(place)
                    : (health ? places::healthSlot(place) : places::damageSlot(place));
            const QChar kind = places::isDamageTableByte(place) ? u't' : (health ? u'h' : u'd');
            said << kind +
                        (kind == u't'
                             ? QString::number(number)
                             : QStringLiteral("%1").arg(number, 2, 16, QLatin1Char('0')).toUpper());
        }
    }
    if (change.modifiedFlipped)
        said << QStringLiteral("*");
    return said.join(u' ');
}

} // namespace

class CoreHistoryTest : public QObject {
    Q_OBJECT

private slots:
    void script_data();
    void script();
    void notices_data();
    void notices();
};

void CoreHistoryTest::script_data() {
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("memory");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("undo"); // the field of the step Undo would undo
    QTest::addColumn<QString>("redo");
    QTest::addColumn<bool>("modified");
    QTest::addColumn<QString>("result"); // of the last save or read; "" for none

    // Typing and undo.
    QTest::addRow("undo takes back the whole typing") << "h3C=5 h3C=55 u"
                                                      << "h3C=0"
                                                      << "h3C=0"
                                                      << ""
                                                      << "h3C" << false << "";
    QTest::addRow("a closed step is not merged into") << "h3C=5 | h3C=55 u"
                                                      << "h3C=5"
                                                      << "h3C=0"
                                                      << "h3C"
                                                      << "h3C" << true << "";
    QTest::addRow("another field is another step") << "h3C=5 h3D=6 u"
                                                   << "h3C=5 h3D=0"
                                                   << "h3C=0"
                                                   << "h3C"
                                                   << "h3D" << true << "";
    QTest::addRow("typing back within a step is no step") << "h3C=5 h3C=0"
                                                          << "h3C=0"
                                                          << "h3C=0"
                                                          << ""
                                                          << "" << false << "";
    QTest::addRow("typing back to the saved value clears the mark") << "h3C=55 | h3C=60 | h3C=0"
                                                                    << "h3C=0"
                                                                    << "h3C=0"
                                                                    << "h3C"
                                                                    << "" << false << "";
    QTest::addRow("a new step drops the undone ones") << "h3C=5 u h3D=6"
                                                      << "h3C=0 h3D=6"
                                                      << "h3C=0"
                                                      << "h3D"
                                                      << "" << true << "";
    QTest::addRow("undoing a shared byte's health puts back the damage byte")
        << "d00=7 | hF3=9 u"
        << "d00=7 hF3=7"
        << "d00=0"
        << "d00"
        << "hF3" << true << "";
    QTest::addRow("undo past a save makes the tables unsaved") << "h3C=5 s u"
                                                               << "h3C=0"
                                                               << "h3C=5"
                                                               << ""
                                                               << "h3C" << true << "ok";
    QTest::addRow("redo back to the saved state clears the mark") << "h3C=5 s u r"
                                                                  << "h3C=5"
                                                                  << "h3C=5"
                                                                  << "h3C"
                                                                  << "" << false << "ok";

    // Another program's changes.
    QTest::addRow("save keeps and takes a byte only the other program changed")
        << "h3C=5 oh10=9 s"
        << "h3C=5 h10=9"
        << "h3C=5 h10=9"
        << "other"
        << "" << false << "ok";
    QTest::addRow("the next save writes the undone values") << "h3C=5 oh10=9 s u s"
                                                            << "h10=0"
                                                            << "h10=0"
                                                            << "h3C"
                                                            << "other" << false << "ok";
    QTest::addRow("the watcher's read takes a byte only the other program changed")
        << "oh10=9 w"
        << "h10=9"
        << "h10=9"
        << "other"
        << "" << false << "ok";
    QTest::addRow("the watcher's read leaves a byte both changed") << "h10=5 oh10=9 w"
                                                                   << "h10=5"
                                                                   << "h10=9"
                                                                   << "h10"
                                                                   << "" << true << "ok";
    QTest::addRow("both changed a byte to the same value") << "h10=9 oh10=9 w"
                                                           << "h10=9"
                                                           << "h10=9"
                                                           << "h10"
                                                           << "" << false << "ok";
    QTest::addRow("a byte both changed stops the save, which takes nothing")
        << "h10=5 oh11=3 oh10=9 s"
        << "h10=5 h11=0"
        << "h10=9 h11=3"
        << "h10"
        << "" << true << "conflicts h10";
    QTest::addRow("a shared byte's conflict is named by the field edited there")
        << "d00=5 ohF3=9 s"
        << "d00=5"
        << "hF3=9"
        << "d00"
        << "" << true << "conflicts d00";
    QTest::addRow("a pasted byte's conflict is named by its place")
        << "p3C:h3C=5/h10=6 oh10=9 s"
        << "h3C=5 h10=6"
        << "h10=9"
        << "p3C"
        << "" << true << "conflicts h10";
    QTest::addRow("Keep Mine writes mine and takes the rest") << "h10=5 oh11=3 oh10=9 s sk"
                                                              << "h10=5 h11=3"
                                                              << "h10=5 h11=3"
                                                              << "other"
                                                              << "" << false << "ok";
    QTest::addRow("Take Theirs takes theirs") << "h10=5 oh10=9 s st"
                                              << "h10=9"
                                              << "h10=9"
                                              << "other"
                                              << "" << false << "ok";
    QTest::addRow("a conflict that changed meanwhile asks again") << "h10=5 oh10=9 s oh10=8 sk"
                                                                  << "h10=5"
                                                                  << "h10=8"
                                                                  << "h10"
                                                                  << "" << true << "conflicts h10";
}

void CoreHistoryTest::script() {
    QFETCH(QString, steps);
    QFETCH(QString, memory);
    QFETCH(QString, file);
    QFETCH(QString, undo);
    QFETCH(QString, redo);
    QFETCH(bool, modified);
    QFETCH(QString, result);

    Script script;
    for (const QString& step : steps.split(u' ', Qt::SkipEmptyParts))
        script.run(step);
    QCOMPARE(script.values(memory, false), memory);
    QCOMPARE(script.values(file, true), file);
    QCOMPARE(nameOf(script.core.nextUndo()), undo);
    QCOMPARE(nameOf(script.core.nextRedo()), redo);
    QCOMPARE(script.core.isModified(), modified);
    if (!result.isEmpty())
        QCOMPARE(kindOf(script.core, script.last), result);
}

// Each operation tells the listener once which places it changed and whether
// the unsaved state flipped; one that changed neither tells nothing.
void CoreHistoryTest::notices_data() {
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("notices"); // one per notice, separated by ", "

    QTest::addRow("each keystroke names its byte") << "h3C=5 h3C=55"
                                                   << "h3C *, h3C";
    QTest::addRow("a shared byte is one place") << "d00=7"
                                                << "hF3 *";
    QTest::addRow("a damage set at once is one notice") << "S2=1/2/3"
                                                        << "t6 t7 t8 *";
    QTest::addRow("an edit to the value held tells nothing") << "h3C=0"
                                                             << "";
    QTest::addRow("undo and redo name what they set") << "h3C=5 | h3D=6 u u r"
                                                      << "h3C *, h3D, h3D, h3C *, h3C *";
    QTest::addRow("a save only flips the state") << "h3C=5 s"
                                                 << "h3C *, *";
    QTest::addRow("a save with nothing to save tells nothing") << "s"
                                                               << "";
    QTest::addRow("a save that took a byte names it") << "h3C=5 oh10=9 s"
                                                      << "h3C *, h10 *";
    QTest::addRow("a save stopped at a conflict tells nothing") << "h10=5 oh10=9 s"
                                                                << "h10 *";
    QTest::addRow("Take Theirs names the byte") << "h10=5 oh10=9 s st"
                                                << "h10 *, h10 *";
    QTest::addRow("the watcher's read names what it took") << "oh10=9 oh3C=1 w"
                                                           << "h10 h3C";
    QTest::addRow("the watcher's read of the same change clears the mark") << "h10=9 oh10=9 w"
                                                                           << "h10 *, *";
    QTest::addRow("the watcher's read of a conflict tells nothing") << "h10=5 oh10=9 w"
                                                                    << "h10 *";
    QTest::addRow("a load names every place") << "h3C=5 l"
                                              << "h3C *, all *";
}

void CoreHistoryTest::notices() {
    QFETCH(QString, steps);
    QFETCH(QString, notices);

    Script script;
    QStringList told;
    script.core.setChangeListener(
        [&told](const TableChange& change) { told << noticeText(change); });
    for (const QString& step : steps.split(u' ', Qt::SkipEmptyParts))
        script.run(step);
    QCOMPARE(told.join(QStringLiteral(", ")), notices);
}

QTEST_GUILESS_MAIN(CoreHistoryTest)
#include "tst_core_history.moc"
