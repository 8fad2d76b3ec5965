#include "EditJournal.h"

#include <algorithm>

namespace {
bool changesNothing(const ByteChange& change) {
    return change.before == change.after;
}
} // namespace

void EditJournal::record(const Field& field, std::span<const ByteChange> changes) {
    if (std::ranges::all_of(changes, changesNothing))
        return;
    if (stepOpen && done == steps.size() && done > 0 && steps.back().field == field) {
        mergeIntoOpenStep(changes);
        return;
    }
    recordClosed(field, changes);
    stepOpen = true;
}

void EditJournal::recordClosed(const Field& field, std::span<const ByteChange> changes) {
    EditStep step{field, {}};
    std::ranges::remove_copy_if(changes, std::back_inserter(step.changes), changesNothing);
    if (step.changes.empty())
        return;
    steps.resize(done);
    steps.push_back(std::move(step));
    done = steps.size();
    stepOpen = false;
}

// A byte changed again keeps its first `before`; a step whose bytes all came
// back to where they were is no step.
void EditJournal::mergeIntoOpenStep(std::span<const ByteChange> changes) {
    std::vector<ByteChange>& merged = steps.back().changes;
    for (const ByteChange& change : changes) {
        auto same = std::ranges::find(merged, change.place, &ByteChange::place);
        if (same == merged.end())
            merged.push_back(change);
        else
            same->after = change.after;
    }
    std::erase_if(merged, changesNothing);
    if (merged.empty()) {
        steps.pop_back();
        done = steps.size();
        stepOpen = false;
    }
}

void EditJournal::clear() {
    steps.clear();
    done = 0;
    stepOpen = false;
}

const EditStep& EditJournal::undo() {
    stepOpen = false;
    return steps.at(--done);
}

const EditStep& EditJournal::redo() {
    stepOpen = false;
    return steps.at(done++);
}

std::optional<Field> EditJournal::lastFieldAt(std::size_t place) const {
    for (std::size_t i = done; i-- > 0;) {
        const EditStep& step = steps[i];
        const Field::Kind kind = step.field.kind;
        const bool namesAPlace = kind != Field::Kind::AnotherProgram && kind != Field::Kind::Paste;
        const auto changesPlace = [place](const ByteChange& c) { return c.place == place; };
        if (namesAPlace && std::ranges::any_of(step.changes, changesPlace))
            return step.field;
    }
    return std::nullopt;
}
