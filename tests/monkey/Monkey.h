#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <random>

class QAbstractItemView;
class QWidget;

// A random but reproducible user: each `act` performs one user event on the
// main window and its editors, from the same seed always the same sequence.
// While a combo's list is open, every event goes to that list, as a person's
// input would.
class Monkey {
public:
    Monkey(std::uint32_t seed, QWidget* mainWindow);

    // Performs one event and returns what it did, in words.
    QString act();
    // True when the last event was a Save, by the menu or its shortcut.
    bool saved() const { return lastWasSave; }

    // Told what each event is about to do, before it is done.
    std::function<void(const QString&)> announce;

private:
    QString pressKey();
    QString clickControl();
    QString moveInList();
    QString openSetList();
    QString stepSet();
    QString typeSetText();
    QString openEditor();
    QString closeEditor();
    QString save();
    QString workOpenList(QWidget* popup, QAbstractItemView* list);

    // A random visible control of the open editors, or nothing.
    QWidget* anyControl();
    // A random visible control of the open editors named `name`, or nothing.
    QWidget* anyControlNamed(const QString& name);
    QString trigger(const char* action);
    QString keyTo(QWidget* target, int key, Qt::KeyboardModifiers modifiers, const QString& text,
                  const QString& targetName = {});
    // Announces `what`, then does it.
    QString perform(const QString& what, const std::function<void()>& action);

    int below(int bound) { return static_cast<int>(random() % static_cast<unsigned>(bound)); }
    bool chance(int percent) { return below(100) < percent; }

    std::mt19937 random;
    QWidget* mainWindow;
    bool lastWasSave = false;
};

// The widget's name with the editor window it belongs to, for messages.
QString describe(const QWidget* widget);
