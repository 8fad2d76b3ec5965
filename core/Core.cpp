// Placeholder: replaced by the data store's implementation.
#include "Core.h"

Core::Core(std::filesystem::path programDir, std::shared_ptr<FileSystem> fileSystem)
    : programDir(std::move(programDir)), fileSystem(std::move(fileSystem)) {}
void Core::setRomPath(std::string path) { romPath = std::move(path); }
FileResult Core::isValidRom() const { return {FileResult::Kind::NotTheGame, "", ""}; }
FileResult Core::loadRom() { return {}; }
FileResult Core::saveRom() const { return {}; }
DamageRow Core::getDamageSet(int set) const {
    const auto r = static_cast<std::size_t>(set & 0x0F) * 3;
    return {damageTable[r], damageTable[r + 1], damageTable[r + 2]};
}
void Core::setDamageSet(int set, Byte a, Byte b, Byte c) {
    const auto r = static_cast<std::size_t>(set & 0x0F) * 3;
    damageTable[r] = a;
    damageTable[r + 1] = b;
    damageTable[r + 2] = c;
}
Byte Core::getEnemyDamage(Byte slot) const { return enemyDamage[slot]; }
void Core::setEnemyDamage(Byte slot, Byte value) { enemyDamage[slot] = value; }
Byte Core::getEnemyHealth(Byte slot) const { return enemyHealth[slot]; }
void Core::setEnemyHealth(Byte slot, Byte value) { enemyHealth[slot] = value; }
bool Core::isByteText(std::string_view text) { return byteFromText(text).has_value(); }
std::optional<Byte> Core::byteFromText(std::string_view text) {
    if (text.empty() || text.size() > 3)
        return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value > 255)
        return std::nullopt;
    return static_cast<Byte>(value);
}
std::string Core::getEnemyName(Byte index) const { return enemyNames[index]; }
std::string Core::getEnemyDisplayName(Byte index) const { return enemyNames[index]; }
