// The windows at work, offscreen, on a loaded synthetic image: opening the
// enemy editor, one keystroke in its health box until the value is stored,
// and Save from the File menu.
#include "BackMDI.h"
#include "Core.h"
#include "DemoImage.h"
#include "DialogFont.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
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
}

// Accepts the Open dialog with `path` once it is up.
void chooseInNextFileDialog(const QString& path) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, path] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            poll->deleteLater();
            dialog->findChild<QLineEdit*>("fileNameEdit")->setText(path);
            dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open)->click();
        }
    });
    poll->start(1);
}

// The main window on a 1 MiB synthetic image in a scratch program directory,
// opened through File, Open as a user does.
class LoadedProgram {
public:
    LoadedProgram() {
        QFile names(dir.filePath("names.cfg"));
        names.open(QIODevice::WriteOnly);
        for (int slot = 0; slot < 256; ++slot)
            names.write("Enemy " + QByteArray::number(slot) + "\r\n");
        names.close();
        const std::vector<std::uint8_t> image = makeSyntheticImage(1 << 20, 1);
        QFile file(imagePath());
        file.open(QIODevice::WriteOnly);
        file.write(reinterpret_cast<const char*>(image.data()), qsizetype(image.size()));
        file.close();

        window.show();
        chooseInNextFileDialog(imagePath());
        item("OpenMenu")->trigger();
        QCoreApplication::processEvents();
    }

    bool loaded() const { return item("SaveMenu")->isEnabled(); }
    QAction* item(const char* name) const { return window.findChild<QAction*>(name); }
    QString imagePath() const { return dir.filePath("game.smc"); }

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

    QTemporaryDir dir;
    Core core{QDir(dir.path()).filesystemAbsolutePath()};
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

// Alternately types a 7 after the health "1" and takes it back with
// Backspace: every keystroke stores a new health.
void healthKeystroke(benchmark::State& state) {
    const auto program = loadedProgram(state);
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
