#include "TableValues.h"

TableValues tablesOf(const Core& core) {
    TableValues values;
    for (std::size_t slot = 0; slot < Core::enemyCount; ++slot) {
        values.health[slot] = core.getEnemyHealth(static_cast<Byte>(slot));
        values.damage[slot] = core.getEnemyDamage(static_cast<Byte>(slot));
    }
    for (std::size_t index = 0; index < Core::damageTableSize; ++index)
        values.damageTable[index] = core.getDamageTableByte(index);
    return values;
}

void storeTables(Core& core, const TableValues& values) {
    for (std::size_t slot = 0; slot < Core::enemyCount; ++slot) {
        core.setEnemyHealth(static_cast<Byte>(slot), values.health[slot]);
        core.setEnemyDamage(static_cast<Byte>(slot), values.damage[slot]);
    }
    for (std::size_t index = 0; index < Core::damageTableSize; ++index)
        core.setDamageTableByte(index, values.damageTable[index]);
}
