// The windows at work, offscreen, on a loaded synthetic image: opening the
// enemy editor, one keystroke in its health box until the value is stored and
// both open editors show it, and Save from the File menu.
#include "BackMDI.h"
#include "Core.h"
#include "DialogFont.h"
#include "GuiSupport.h"
#include "ModalAnswerer.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QSettings>
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
    applyDialogFont();
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("/dev/null"));
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

void openEnemyEditor(benchmark::State& state) {
    const auto program = loadedProgram(state);
    for (auto _ : state) {
        if (!program->openEnemyEditor()) {
            state.SkipWithError("no enemy editor");
            break;
        }
        state.PauseTiming();
        program->closeEditors();
        state.ResumeTiming();
    }
}

// With both editors open, alternately types a 7 after the health "1" and
// takes it back with Backspace: every keystroke stores a new health, records
// it in the edit history and refreshes both editors.
void healthKeystroke(benchmark::State& state) {
    const auto program = loadedProgram(state);
    program->item("EnemyDamageEditorMenu")->trigger();
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
        typed = !typed;
        if (program->core.getEnemyHealth(0) != (typed ? 17 : 1)) {
            state.SkipWithError("the keystroke did not store the health");
            break;
        }
    }
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
BENCHMARK(healthKeystroke)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(saveMenu)->Unit(benchmark::kMicrosecond)->UseRealTime();
