#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// What one step of the edit history changed: one field of the editors, a
// block of values pasted at once, or the values taken in at once from another
// program's changes to the file.
struct Field {
    enum class Kind {
        Health,        // index: the enemy slot
        DamageSet,     // index: the enemy slot
        Damage,        // index: the damage table byte (places::damageTableIndex)
        Paste,         // index: the enemy slot of the block's first cell
        AnotherProgram // index: unused
    };
    Kind kind = Kind::AnotherProgram;
    int index = 0;

    bool operator==(const Field&) const = default;
};

// One table byte changed, by its place (see TablePlaces.h).
struct ByteChange {
    std::size_t place = 0;
    std::uint8_t before = 0;
    std::uint8_t after = 0;

    bool operator==(const ByteChange&) const = default;
};

struct EditStep {
    Field field;
    std::vector<ByteChange> changes;
};

// The program's one edit history: a list of steps, each the bytes one field's
// edit changed, with a mark between the done and the undone steps. Changes
// of the same field in a row go into one open step until the step is closed
// (the editors close it when the focus moves on), so that typing "1", "12",
// "120" is one step. A step that comes to change no byte is dropped; a new
// step drops the undone ones.
class EditJournal {
public:
    // Adds `changes` to the open step when it is of `field`, else starts one.
    void record(const Field& field, std::span<const ByteChange> changes);
    // Adds `changes` as a step of their own, closed at once.
    void recordClosed(const Field& field, std::span<const ByteChange> changes);
    void closeStep() { stepOpen = false; }
    void clear();

    const EditStep* nextUndo() const { return done > 0 ? &steps[done - 1] : nullptr; }
    const EditStep* nextRedo() const { return done < steps.size() ? &steps[done] : nullptr; }
    // Moves the mark over the step and returns it; the caller puts its bytes
    // back (undo) or sets them again (redo). Both close the open step.
    const EditStep& undo();
    const EditStep& redo();

    // The field of the last done step that changed `place`, if any, other
    // than a paste or values taken from another program, which name no
    // single place.
    std::optional<Field> lastFieldAt(std::size_t place) const;

private:
    void mergeIntoOpenStep(std::span<const ByteChange> changes);

    std::vector<EditStep> steps;
    std::size_t done = 0;
    bool stepOpen = false;
};
