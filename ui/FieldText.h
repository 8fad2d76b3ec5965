#pragma once

#include "EditJournal.h"
#include "TableMerge.h"

#include <QString>

class Core;

// The words the editor uses for the fields of the tables, slots in two
// hexadecimal digits: "Health of 3C", "Damage Set of 0A", "Damage 4, Armor 2",
// "Paste at 3C" (a block pasted from slot 3C's cell on), "Changes by Another
// Program".
QString fieldText(const Field& field);

// One line of the conflict question: "Health of 3C: 40 before, 55 on disk,
// 60 here". A damage byte shows its set, and also its upper four bits where
// these differ.
QString conflictText(const Core& core, const Conflict& conflict);
