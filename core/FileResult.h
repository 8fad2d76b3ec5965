#pragma once

#include "TableMerge.h"
#include "TablePlaces.h"

#include <cstdint>
#include <string>
#include <vector>

// What a load found in names.cfg: the file read, the system's reason when it
// could not be read (the enemies are then listed without names), how many
// lines held a name, and the slots whose names were cut.
struct NamesReport {
    std::string path;
    std::string unreadableReason;
    std::size_t namedCount = 0;
    std::vector<std::size_t> cutSlots;
};

// What a file operation of the data store found, as facts for each program
// to word in its own way: a kind, the image's path, the system's reason, and
// the counts that go with the kind.
//
// - Unreadable, WriteFailed, PartlyWritten: `systemReason` says why. A
//   WriteFailed save left the file as it was; a PartlyWritten one may have
//   left some of its bytes.
// - NotTheGame, TooShort (`fileSize`, and the `minimumSize` an image holds):
//   the file is not a whole image of the game; `bySave` when a save found it
//   so, and wrote nothing.
// - ChangedOnDisk: an ordinary save found `changedBytes` table bytes changed
//   by another program, and wrote nothing.
// - Conflicts: a merging save found bytes both programs changed, listed in
//   `conflicts`, and wrote nothing.
// - Busy: another program held the image's lock for longer than a read or a
//   save (`bySave`) waits; nothing was read or written.
// - Replaced: another program put another file at the image's path during a
//   save; the edits are not in the file there.
// - LengthChanged: another program cut or lengthened the file during a save,
//   which may have left some of its bytes.
// - TargetIsTheImage: Save As was given the open image itself as the new
//   file; nothing was written.
// A load with names fills `names`; an Open whose image cannot be written sets
// `notWritableReason`; a merge counts the values it took in `takenValues`.
// `layout` is the layout of the image read, found or checked (NotTheGame at
// Open: a copier header's, where no signature was found at all);
// `rightChecksum` says that the image's own checksum was right, and that a
// save that worked kept it right (see Checksum.h).
struct FileResult {
    enum class Kind {
        Ok,
        Unreadable,
        NotTheGame,
        TooShort,
        WriteFailed,
        PartlyWritten,
        ChangedOnDisk,
        Conflicts,
        Busy,
        Replaced,
        LengthChanged,
        TargetIsTheImage
    };
    Kind kind = Kind::Ok;
    std::string path;
    std::string systemReason;
    bool bySave = false;
    std::uint64_t fileSize = 0;
    std::uint64_t minimumSize = 0;
    std::size_t changedBytes = 0;
    std::vector<Conflict> conflicts;
    std::size_t takenValues = 0;
    NamesReport names;
    std::string notWritableReason;
    places::Layout layout = places::Layout::Headered;
    bool rightChecksum = false;

    bool ok() const { return kind == Kind::Ok; }
    explicit operator bool() const { return ok(); }
};

// How a person settled the conflicts of a merging save.
struct ConflictAnswer {
    enum class Choice { KeepMine, TakeTheirs };
    Choice choice = Choice::KeepMine;
    std::vector<Conflict> conflicts; // the conflicts the answer is for
};
