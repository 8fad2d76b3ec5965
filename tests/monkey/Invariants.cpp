#include "Invariants.h"

#include "Core.h"
#include "DamageTableForm.h"
#include "EnemyStatsForm.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>

namespace {

std::optional<Byte> valueOf(const QLineEdit* box) {
    return Core::byteFromText(box->text().toStdString());
}

// The image as a save of `core`'s tables into `original` must leave it.
QByteArray expectedImage(QByteArray image, const Core& core) {
    for (int set = 0; set < 16; ++set) {
        const DamageRow row = core.getDamageSet(set);
        for (int armour = 1; armour <= 3; ++armour)
            image[qsizetype(Core::damageTableOffset + places::damageTableIndex(set, armour))] =
                char(row[std::size_t(armour - 1)]);
    }
    for (std::uint32_t slot = 0; slot < Core::enemyCount; ++slot) {
        image[qsizetype(Core::enemyHealthOffset + slot)] = char(core.getEnemyHealth(Byte(slot)));
        image[qsizetype(Core::enemyDamageOffset + slot)] = char(core.getEnemyDamage(Byte(slot)));
    }
    return image;
}

} // namespace

QString EditorCheck::fault(const QWidget* mainWindow, const Core& core) {
    for (const auto* form : mainWindow->findChildren<DamageTableForm*>()) {
        if (const QString fault = damageTableFault(form, core);
            form->isVisible() && !fault.isEmpty())
            return fault;
    }
    for (const auto* form : mainWindow->findChildren<EnemyStatsForm*>()) {
        if (const QString fault = enemyFault(form, core); form->isVisible() && !fault.isEmpty())
            return fault;
    }
    return {};
}

QString EditorCheck::damageTableFault(const DamageTableForm* form, const Core& core) {
    static const QRegularExpression caption(QStringLiteral("^Damage (\\d+) Table$"));
    const QString title = form->findChild<QGroupBox*>(QStringLiteral("DataFrame"))->title();
    const QRegularExpressionMatch match = caption.match(title);
    const auto set = Core::byteFromText(match.captured(1).toStdString());
    if (!set)
        return QStringLiteral("the damage table editor's frame reads \"%1\"").arg(title);
    const DamageRow row = core.getDamageSet(*set);
    for (int armour = 1; armour <= 3; ++armour) {
        const auto* box = form->findChild<QLineEdit*>(QStringLiteral("Damage%1").arg(armour));
        const QString what = QStringLiteral("the damage table editor's Damage%1").arg(armour);
        const QString holder = QStringLiteral("set %1").arg(*set);
        if (const QString fault = boxFault(box, row[std::size_t(armour - 1)], what, holder);
            !fault.isEmpty())
            return fault;
    }
    return {};
}

QString EditorCheck::enemyFault(const EnemyStatsForm* form, const Core& core) {
    const auto* list = form->findChild<QListWidget*>(QStringLiteral("ListOfEnemy"));
    const int slot = list->currentRow();
    if (slot < 0 || slot >= int(Core::enemyCount) || !list->currentItem()->isSelected())
        return QStringLiteral("the enemy editor has no selected slot (current row %1)").arg(slot);
    const auto* healthBox = form->findChild<QLineEdit*>(QStringLiteral("healthBox"));
    return boxFault(healthBox, core.getEnemyHealth(Byte(slot)),
                    QStringLiteral("the enemy editor's health box"),
                    QStringLiteral("slot %1").arg(slot));
}

// A box shows the byte stored for it, or it is empty while it has the focus
// in its window, being retyped, whatever changes elsewhere meanwhile.
QString EditorCheck::boxFault(const QLineEdit* box, Byte stored, const QString& what,
                              const QString& holder) {
    if (box->text().isEmpty() && box->window()->focusWidget() == box)
        return {};
    if (valueOf(box) != stored)
        return QStringLiteral("%1 shows \"%2\"; %3 holds %4")
            .arg(what, box->text(), holder)
            .arg(stored);
    return {};
}

QString savedImageFault(const QByteArray& original, const QByteArray& saved, const Core& core) {
    if (saved.size() != original.size())
        return QStringLiteral("the saved image has %1 bytes, not %2")
            .arg(saved.size())
            .arg(original.size());
    const QByteArray expected = expectedImage(original, core);
    if (saved == expected)
        return {};
    for (qsizetype offset = 0; offset < saved.size(); ++offset) {
        if (saved[offset] != expected[offset])
            return QStringLiteral("the saved image holds 0x%1 at 0x%2, where 0x%3 belongs")
                .arg(Byte(saved[offset]), 2, 16, QLatin1Char('0'))
                .arg(offset, 0, 16)
                .arg(Byte(expected[offset]), 2, 16, QLatin1Char('0'));
    }
    return {};
}
