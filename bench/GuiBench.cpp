// The windows at work, offscreen, on a loaded synthetic image: opening the
// enemy editor and the enemy table, one keystroke in the editor's health box
// until the value is stored and every open window has shown it, a keystroke
// in the table's filter and a sort by a click on a heading until the table
// has been painted again, and Save from the File menu.
#include "BackMDI.h"
#include "Core.h"
#include "DialogLook.h"
#include "GuiSupport.h"
#include "KeepNoSettings.h"
#include "ModalAnswerer.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QTableView>
#include <QTest>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

void startApplication() {
    if (qApp)
        return;
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "tarvon-bench";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv); // lives until the process ends
    applyDialogLook();
    keepNoSettings();
}

// The main window on a 1 MiB synthetic image in a scratch program directory,
// opened through File, Open as a user does.
class LoadedProgram {
public:
    LoadedProgram() {
        window.show();
        const ModalAnswerer answerer({dir.imagePath()});
        item("OpenMenu")->trigger();
        QCoreApplication::processEvents();
    }

    bool loaded() const { return item("SaveMenu")->isEnabled(); }
    QAction* item(const char* name) const { return window.findChild<QAction*>(name); }

    // Opens the enemy editor from the Tools menu and lets it paint.
    QWidget* openEnemyEditor() {
        item("DamagePointerEditorMenu")->trigger();
        QCoreApplication::processEvents();
        return window.findChild<QWidget*>("EnemyStatsForm");
    }
    // Opens the enemy table from the Tools menu and lets it paint.
    QWidget* openEnemyTable() {
        item("EnemyTableMenu")->trigger();
        QCoreApplication::processEvents();
        return window.findChild<QWidget*>("EnemyTableForm");
    }
    void closeEditors() {
        for (auto* subWindow : window.findChildren<QMdiSubWindow*>())
            subWindow->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }

    ScratchProgramDir dir;
    Core core{dir.path().toStdString()};
    BackMDI window{core, dir.path()};
};

std::unique_ptr<LoadedProgram> loadedProgram(benchmark::State& state) {
    startApplication();
    auto program = std::make_unique<LoadedProgram>();
    if (!program->loaded())
        state.SkipWithError("the image did not load");
    return program;
}

template <QWidget* (LoadedProgram::*open)()> void openWindow(benchmark::State& state) {
    const auto program = loadedProgram(state);
    for (auto _ : state) {
        if (!((*program).*open)()) {
            state.SkipWithError("the window did not open");
            break;
        }
        state.PauseTiming();
        program->closeEditors();
        state.ResumeTiming();
    }
}

void openEnemyEditor(benchmark::State& state) {
    openWindow<&LoadedProgram::openEnemyEditor>(state);
}

void openEnemyTable(benchmark::State& state) {
    openWindow<&LoadedProgram::openEnemyTable>(state);
}

// With both editors open, and the enemy table too when `withTable`,
// alternately types a 7 after the health "1" and takes it back with
// Backspace: every keystroke stores a new health, records it in the edit
// history and refreshes every open window, which then paint.
void healthKeystroke(benchmark::State& state, bool withTable) {
    const auto program = loadedProgram(state);
    program->item("EnemyDamageEditorMenu")->trigger();
    if (withTable)
        program->openEnemyTable();
    QWidget* editor = program->openEnemyEditor();
    auto* healthBox = editor ? editor->findChild<QLineEdit*>("healthBox") : nullptr;
    if (!healthBox) {
        state.SkipWithError("no health box");
        return;
    }
    healthBox->setFocus();
    QTest::keyClick(healthBox, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(healthBox, Qt::Key_1);
    bool typed = false;
    for (auto _ : state) {
        QTest::keyClick(healthBox, typed ? Qt::Key_Backspace : Qt::Key_7);
        QCoreApplication::processEvents();
        typed = !typed;
        if (program->core.getEnemyHealth(0) != (typed ? 17 : 1)) {
            state.SkipWithError("the keystroke did not store the health");
            break;
        }
    }
}

// The control `name` of the enemy table, opened from the Tools menu.
template <class Control> Control* enemyTableControl(LoadedProgram& program, const char* name) {
    QWidget* table = program.openEnemyTable();
    return table ? table->findChild<Control*>(QLatin1String(name)) : nullptr;
}

// The enemy table open, alone: alternately types "3" into its filter (31 of
// the synthetic image's 256 enemies stay) and takes it back with Backspace.
void filterKeystroke(benchmark::State& state) {
    const auto program = loadedProgram(state);
    auto* filter = enemyTableControl<QLineEdit>(*program, "EnemyFilter");
    if (!filter) {
        state.SkipWithError("no filter");
        return;
    }
    filter->setFocus();
    bool typed = false;
    for (auto _ : state) {
        QTest::keyClick(filter, typed ? Qt::Key_Backspace : Qt::Key_3);
        QCoreApplication::processEvents();
        typed = !typed;
    }
}

// The enemy table open, alone: clicks the Health heading, which sorts the
// 256 enemies by health, up and down in turn.
void sortByHealth(benchmark::State& state) {
    const auto program = loadedProgram(state);
    auto* enemies = enemyTableControl<QTableView>(*program, "EnemyTable");
    if (!enemies) {
        state.SkipWithError("no enemy table");
        return;
    }
    QHeaderView* header = enemies->horizontalHeader();
    constexpr int healthColumn = 2;
    const QPoint heading(header->sectionViewportPosition(healthColumn) +
                             header->sectionSize(healthColumn) / 2,
                         header->height() / 2);
    for (auto _ : state) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, heading);
        QCoreApplication::processEvents();
    }
    if (header->sortIndicatorSection() != healthColumn)
        state.SkipWithError("the click did not sort by health");
}

void saveMenu(benchmark::State& state) {
    const auto program = loadedProgram(state);
    QAction* save = program->item("SaveMenu");
    for (auto _ : state)
        save->trigger();
    if (QApplication::activeModalWidget())
        state.SkipWithError("Save reported a failure");
}

} // namespace

BENCHMARK(openEnemyEditor)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(openEnemyTable)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(healthKeystroke, editors, false)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK_CAPTURE(healthKeystroke, withTable, true)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(filterKeystroke)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(sortByHealth)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(saveMenu)->Unit(benchmark::kMicrosecond)->UseRealTime();
