#include "FieldText.h"

#include "Core.h"
#include "SlotText.h"

#include <QCoreApplication>

namespace {
// The context of this file's texts in the translations.
struct FieldText {
    Q_DECLARE_TR_FUNCTIONS(FieldText)
};

QString slotText(int slot) {
    return QString::fromStdString(twoDigitSlot(std::size_t(slot)));
}

// The bits of a damage byte that are not its set.
int upperBits(Byte value) {
    return value & ~places::setBits;
}

// A damage byte's set, with its upper bits when `withUpperBits`.
QString damageByteText(Byte value, bool withUpperBits) {
    const QString set = QString::number(places::damageSetOf(value));
    if (!withUpperBits)
        return set;
    return FieldText::tr("%1 (upper bits 0x%2)")
        .arg(set)
        .arg(upperBits(value), 2, 16, QLatin1Char('0'));
}
} // namespace

QString fieldText(const Field& field) {
    switch (field.kind) {
    case Field::Kind::Health:
        return FieldText::tr("Health of %1").arg(slotText(field.index));
    case Field::Kind::DamageSet:
        return FieldText::tr("Damage Set of %1").arg(slotText(field.index));
    case Field::Kind::Damage:
        return FieldText::tr("Damage %1, Armor %2")
            .arg(places::setOfDamageTableByte(std::size_t(field.index)))
            .arg(places::armourOfDamageTableByte(std::size_t(field.index)));
    case Field::Kind::Paste:
        return FieldText::tr("Paste at %1").arg(slotText(field.index));
    case Field::Kind::AnotherProgram:
        break;
    }
    return FieldText::tr("Changes by Another Program");
}

QString conflictText(const Core& core, const Conflict& conflict) {
    const Field field = core.fieldAt(conflict.place);
    auto value = [&](Byte byte) {
        if (field.kind != Field::Kind::DamageSet)
            return QString::number(byte);
        const int upper = upperBits(conflict.base);
        const bool upperDiffers =
            upperBits(conflict.theirs) != upper || upperBits(conflict.mine) != upper;
        return damageByteText(byte, upperDiffers);
    };
    return FieldText::tr("%1: %2 before, %3 on disk, %4 here")
        .arg(fieldText(field), value(conflict.base), value(conflict.theirs), value(conflict.mine));
}
