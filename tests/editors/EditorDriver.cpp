#include "EditorDriver.h"

#include "LoadedImage.h"

#include <QAbstractItemView>
#include <QTest>

QStringList EditorDriver::damageTexts() const {
    return {damageBox(1)->text(), damageBox(2)->text(), damageBox(3)->text()};
}

void EditorDriver::pickFromList(int set) const {
    DamageSetCombo* combo = setCombo();
    combo->showPopup();
    QAbstractItemView* list = combo->view();
    QVERIFY(QTest::qWaitForWindowExposed(list->window()));
    const QRect item = list->visualRect(list->model()->index(set, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
    QTRY_VERIFY(!list->isVisible());
}

void EditorDriver::stepSet(int count) const {
    setCombo()->setFocus();
    for (int step = 0; step < std::abs(count); ++step)
        QTest::keyClick(setCombo(), count > 0 ? Qt::Key_Down : Qt::Key_Up);
}

void EditorDriver::typeSetText(const QString& text, int endingKey) const {
    DamageSetCombo* combo = setCombo();
    combo->setFocus();
    selectAll(combo);
    typeText(combo, text);
    if (endingKey != 0)
        QTest::keyClick(combo, Qt::Key(endingKey));
}
