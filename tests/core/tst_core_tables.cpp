// The data store's accessors, the value check and the names.cfg reader, in
// memory only.
#include "Core.h"
#include "NameList.h"

#include <QTest>
#include <climits>

using namespace std::string_literals;

class CoreTablesTest : public QObject {
    Q_OBJECT

private slots:
    void layoutIsTheGames();
    void damageSetFoldsToLowFourBits_data();
    void damageSetFoldsToLowFourBits();
    void setDamageSetChangesOnlyItsRow();
    void sharedEnemyBytesStayInStep_data();
    void sharedEnemyBytesStayInStep();
    void healthBelowTheSharedBytesIsItsOwn();
    void isByteText_data();
    void isByteText();
    void parseNameList_data();
    void parseNameList();
    void decodeNameForDisplay_data();
    void decodeNameForDisplay();

private:
    Core core{"."};
};

static DamageRow rowOfSet(int set) {
    const auto base = static_cast<Byte>(set * 10);
    return {base, static_cast<Byte>(base + 1), static_cast<Byte>(base + 2)};
}

// Where the game keeps its tables, as the game's own numbers say; every part
// of both programs reads the layout from one header.
void CoreTablesTest::layoutIsTheGames() {
    QCOMPARE(Core::signatureOffset, 0x400u);
    QCOMPARE(places::damageTableOffset, 0x37627u);
    QCOMPARE(places::damageTableSize, 50u);
    QCOMPARE(places::setCount, 16u);
    QCOMPARE(places::enemyHealthOffset, 0x6B373u);
    QCOMPARE(places::enemyDamageOffset, 0x6B466u);
    QCOMPARE(places::enemyCount, 256u);
    QCOMPARE(Core::minimumImageSize, 439654u);
}

void CoreTablesTest::damageSetFoldsToLowFourBits_data() {
    QTest::addColumn<int>("set");
    QTest::addColumn<int>("row");
    QTest::addRow("0") << 0 << 0;
    QTest::addRow("9") << 9 << 9;
    QTest::addRow("15") << 15 << 15;
    QTest::addRow("16 folds to 0") << 16 << 0;
    QTest::addRow("255 folds to 15") << 255 << 15;
    QTest::addRow("-1 folds to 15") << -1 << 15;
    QTest::addRow("-16 folds to 0") << -16 << 0;
    QTest::addRow("INT_MAX") << INT_MAX << 15;
    QTest::addRow("INT_MIN") << INT_MIN << 0;
    QTest::addRow("999") << 999 << 7;
}

void CoreTablesTest::damageSetFoldsToLowFourBits() {
    QFETCH(int, set);
    QFETCH(int, row);
    for (int s = 0; s < 16; ++s) {
        const DamageRow values = rowOfSet(s);
        core.setDamageSet(s, values[0], values[1], values[2]);
    }
    QCOMPARE(core.getDamageSet(set), rowOfSet(row));

    core.setDamageSet(set, 201, 202, 203);
    for (int s = 0; s < 16; ++s)
        QCOMPARE(core.getDamageSet(s), (s == row ? DamageRow{201, 202, 203} : rowOfSet(s)));
}

void CoreTablesTest::setDamageSetChangesOnlyItsRow() {
    for (int s = 0; s < 16; ++s)
        core.setDamageSet(s, 0, 0, 0);
    core.setDamageSet(3, 1, 2, 3);
    for (int s = 0; s < 16; ++s)
        QCOMPARE(core.getDamageSet(s), (s == 3 ? DamageRow{1, 2, 3} : DamageRow{0, 0, 0}));
}

void CoreTablesTest::sharedEnemyBytesStayInStep_data() {
    QTest::addColumn<int>("damageSlot");
    for (int j = 0; j <= 12; ++j)
        QTest::addRow("damage %d = health %d", j, 243 + j) << j;
}

// Each row on a store of its own, with values of its own, so that no row
// passes on what another left behind.
void CoreTablesTest::sharedEnemyBytesStayInStep() {
    QFETCH(int, damageSlot);
    const auto damage = static_cast<Byte>(damageSlot);
    const auto health = static_cast<Byte>(243 + damageSlot);
    Core fresh{"."};

    fresh.setEnemyHealth(health, Byte(0x40 + damageSlot));
    QCOMPARE(fresh.getEnemyDamage(damage), Byte(0x40 + damageSlot));
    fresh.setEnemyDamage(damage, Byte(0xA0 + damageSlot));
    QCOMPARE(fresh.getEnemyHealth(health), Byte(0xA0 + damageSlot));
    for (int slot = 0; slot < 256; ++slot)
        if (slot != damageSlot)
            QCOMPARE(fresh.getEnemyDamage(Byte(slot)), Byte{0});
}

void CoreTablesTest::healthBelowTheSharedBytesIsItsOwn() {
    for (int slot = 0; slot < 256; ++slot)
        core.setEnemyDamage(static_cast<Byte>(slot), 0);
    core.setEnemyHealth(242, 99);
    core.setEnemyHealth(0, 98);
    for (int slot = 0; slot < 256; ++slot)
        QCOMPARE(core.getEnemyDamage(static_cast<Byte>(slot)), Byte{0});
    core.setEnemyDamage(13, 55);
    QCOMPARE(core.getEnemyHealth(255), Byte{0});
}

void CoreTablesTest::isByteText_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("value"); // -1: refused
    QTest::addRow("0") << QByteArray("0") << 0;
    QTest::addRow("5") << QByteArray("5") << 5;
    QTest::addRow("95") << QByteArray("95") << 95;
    QTest::addRow("199") << QByteArray("199") << 199;
    QTest::addRow("255") << QByteArray("255") << 255;
    QTest::addRow("007") << QByteArray("007") << 7;
    QTest::addRow("000") << QByteArray("000") << 0;
    QTest::addRow("long run of zeros") << QByteArray(40, '0') << 0;
    QTest::addRow("zeros then 255") << QByteArray(30, '0') + "255" << 255;
    QTest::addRow("zeros then 256") << QByteArray(30, '0') + "256" << -1;
    QTest::addRow("zeros then 1000") << QByteArray("01000") << -1;
    QTest::addRow("empty") << QByteArray() << -1;
    QTest::addRow("256") << QByteArray("256") << -1;
    QTest::addRow("999") << QByteArray("999") << -1;
    QTest::addRow("would overflow 32 bits") << QByteArray("4294967551") << -1;
    QTest::addRow("would overflow 64 bits") << QByteArray("18446744073709551871") << -1;
    QTest::addRow("30 digits") << QByteArray("123456789012345678901234567890") << -1;
    QTest::addRow("letter") << QByteArray("a") << -1;
    QTest::addRow("space before") << QByteArray(" 5") << -1;
    QTest::addRow("space after") << QByteArray("5 ") << -1;
    QTest::addRow("minus") << QByteArray("-1") << -1;
    QTest::addRow("plus") << QByteArray("+1") << -1;
    QTest::addRow("point") << QByteArray("1.5") << -1;
    QTest::addRow("1a") << QByteArray("1a") << -1;
    QTest::addRow("NUL inside") << QByteArray("1\0"
                                              "2",
                                              3)
                                << -1;
    QTest::addRow("Arabic-Indic three") << QByteArray("\xD9\xA3") << -1;
    QTest::addRow("fullwidth one") << QByteArray("\xEF\xBC\x91") << -1;
    QTest::addRow("superscript two") << QByteArray("\xC2\xB2") << -1;
}

void CoreTablesTest::isByteText() {
    QFETCH(QByteArray, text);
    QFETCH(int, value);
    const std::string_view view(text.constData(), static_cast<std::size_t>(text.size()));
    QCOMPARE(Core::isByteText(view), value >= 0);
    const std::optional<Byte> parsed = Core::byteFromText(view);
    QCOMPARE(parsed.has_value(), value >= 0);
    if (parsed)
        QCOMPARE(int(*parsed), value);
}

void CoreTablesTest::parseNameList_data() {
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<int>("namedCount");
    QTest::addColumn<QStringList>("firstNames"); // as shown
    QTest::addColumn<QByteArray>("lastName");    // slot 255

    QByteArray full;
    for (int i = 0; i < 256; ++i)
        full += "Enemy " + QByteArray::number(i, 16).toUpper() + "\r\n";
    QTest::addRow("256 lines, CR LF")
        << full << 256 << QStringList{"Enemy 0", "Enemy 1"} << QByteArray("Enemy FF");
    QByteArray lf = full;
    lf.replace("\r\n", "\n");
    QTest::addRow("LF only") << lf << 256 << QStringList{"Enemy 0", "Enemy 1"}
                             << QByteArray("Enemy FF");
    QByteArray cr = full;
    cr.replace("\r\n", "\r");
    QTest::addRow("CR only") << cr << 256 << QStringList{"Enemy 0", "Enemy 1"}
                             << QByteArray("Enemy FF");
    QByteArray longer = full;
    for (int i = 256; i < 300; ++i)
        longer += "Extra " + QByteArray::number(i) + "\r\n";
    QTest::addRow("300 lines") << longer << 256 << QStringList{"Enemy 0"} << QByteArray("Enemy FF");
    QByteArray noFinalEnd = full;
    noFinalEnd.chop(2);
    QTest::addRow("no end after the last line")
        << noFinalEnd << 256 << QStringList{"Enemy 0"} << QByteArray("Enemy FF");
    QTest::addRow("empty file") << QByteArray() << 0 << QStringList{""} << QByteArray();
    QTest::addRow("12 lines") << full.left(full.indexOf("Enemy C\r\n")) << 12
                              << QStringList{"Enemy 0"} << QByteArray();
    QTest::addRow("empty lines") << QByteArray("\r\n\r\nThird\r\n") << 3
                                 << QStringList{"", "", "Third"} << QByteArray();
    QTest::addRow("mixed ends") << QByteArray("a\nb\rc\r\nd\n\re") << 6
                                << QStringList{"a", "b", "c", "d", "", "e"} << QByteArray();
    QTest::addRow("spaces and tabs kept")
        << QByteArray("  Slime \t\r\n# not a comment\r\n") << 2
        << QStringList{"  Slime \t", "# not a comment"} << QByteArray();
    // Long names are cut after their first 255 characters, never inside one.
    const QString cutUmlauts = QString(255, u'\u00E4') + u'\u2026';
    QTest::addRow("UTF-8 cut after 255 characters")
        << QByteArray("\xC3\xA4").repeated(256) + "\nb" << 2 << QStringList{cutUmlauts, "b"}
        << QByteArray();
    QTest::addRow("Windows-1252 cut after 255 bytes")
        << QByteArray(300, '\xE4') << 1 << QStringList{cutUmlauts} << QByteArray();
}

void CoreTablesTest::parseNameList() {
    QFETCH(QByteArray, contents);
    QFETCH(int, namedCount);
    QFETCH(QStringList, firstNames);
    QFETCH(QByteArray, lastName);

    const NameList list =
        ::parseNameList(std::string_view(contents.constData(), std::size_t(contents.size())));
    QCOMPARE(int(list.namedCount), namedCount);
    for (int i = 0; i < firstNames.size(); ++i)
        QCOMPARE(QString::fromStdString(list.names[std::size_t(i)]), firstNames[i]);
    QCOMPARE(QByteArray::fromStdString(list.names[255]), lastName);
    for (std::size_t i = list.namedCount; i < NameList::slotCount; ++i)
        QVERIFY(list.names[i].empty());
}

void CoreTablesTest::decodeNameForDisplay_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("shown");
    QTest::addRow("ASCII") << QByteArray("Slime") << QString("Slime");
    QTest::addRow("valid UTF-8") << QByteArray("Dr\xC3\xA4gon \xE2\x82\xAC")
                                 << QString::fromUtf8("Dr\u00E4gon \u20AC");
    QTest::addRow("four-byte UTF-8")
        << QByteArray("\xF0\x9F\x90\x89") << QString::fromUtf8("\U0001F409");
    QTest::addRow("Latin-1 umlaut") << QByteArray("Dr\xE4gon") << QString::fromUtf8("Dr\u00E4gon");
    QTest::addRow("Windows-1252 euro and quotes")
        << QByteArray("\x80 \x93x\x94") << QString::fromUtf8("\u20AC \u201Cx\u201D");
    QTest::addRow("unassigned 1252 byte") << QByteArray("a\x81") << QString::fromUtf8("a\uFFFD");
    QTest::addRow("overlong UTF-8 is not UTF-8")
        << QByteArray("\xC0\xAF") << QString::fromUtf8("\u00C0\u00AF");
    QTest::addRow("UTF-16 surrogate is not UTF-8")
        << QByteArray("\xED\xA0\x80") << QString::fromUtf8("\u00ED\u00A0\u20AC");
    QTest::addRow("truncated sequence")
        << QByteArray("ab\xE2\x82") << QString::fromUtf8("ab\u00E2\u201A");
    QTest::addRow("beyond U+10FFFF")
        << QByteArray("\xF4\x90\x80\x80") << QString::fromUtf8("\u00F4\uFFFD\u20AC\u20AC");
    QTest::addRow("empty") << QByteArray() << QString();
}

void CoreTablesTest::decodeNameForDisplay() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, shown);
    const std::string utf8 =
        ::decodeNameForDisplay(std::string_view(bytes.constData(), std::size_t(bytes.size())));
    QCOMPARE(QString::fromStdString(utf8), shown);
}

QTEST_APPLESS_MAIN(CoreTablesTest)
#include "tst_core_tables.moc"
