<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>AboutForm</name>
    <message>
        <source>About</source>
        <translation>Über</translation>
    </message>
    <message>
        <source>Tarvon Add-ons logo</source>
        <translation>Logo von Tarvon Add-ons</translation>
    </message>
    <message>
        <source>Tarvon Add-ons</source>
        <translation>Tarvon Add-ons</translation>
    </message>
    <message>
        <source>Made by the Tarvon team</source>
        <translation>Vom Tarvon-Team</translation>
    </message>
    <message>
        <source>ok</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>BackMDI</name>
    <message>
        <source>Tarvon Add-ons</source>
        <translation>Tarvon Add-ons</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>&amp;Öffnen</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>&amp;Tools</source>
        <translation>&amp;Werkzeuge</translation>
    </message>
    <message>
        <source>&amp;Enemy Stat Editor</source>
        <translation>&amp;Gegnerwerte-Editor</translation>
    </message>
    <message>
        <source>&amp;Damage Table Editor</source>
        <translation>&amp;Schadenstabellen-Editor</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;About...</source>
        <translation>Ü&amp;ber...</translation>
    </message>
    <message>
        <source>%1[*] - Tarvon Add-ons</source>
        <translation>%1[*] - Tarvon Add-ons</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Drop one image at a time.</source>
        <translation>Bitte nur ein Abbild auf einmal ablegen.</translation>
    </message>
    <message>
        <source>Save &amp;As...</source>
        <translation>Speichern &amp;unter...</translation>
    </message>
    <message>
        <source>Enemy &amp;Table</source>
        <translation>Gegner&amp;tabelle</translation>
    </message>
</context>
<context>
    <name>DamageRowFrame</name>
    <message>
        <source>Armor %1</source>
        <translation>Rüst. %1</translation>
    </message>
    <message>
        <source>Damage %1 Table</source>
        <translation>Schadenssatz %1</translation>
    </message>
    <message>
        <source>Armor %1</source>
        <comment>in full, for a screen reader</comment>
        <translation>Rüstung %1</translation>
    </message>
</context>
<context>
    <name>DamageSetTableModel</name>
    <message>
        <source>Damage Set</source>
        <translation>Schadenssatz</translation>
    </message>
    <message>
        <source>Enemies Using the Set</source>
        <translation>Gegner mit diesem Satz</translation>
    </message>
    <message>
        <source>Set</source>
        <translation>Satz</translation>
    </message>
    <message>
        <source>Enemies</source>
        <translation>Gegner</translation>
    </message>
    <message>
        <source>Damage at Armor %1</source>
        <translation>Schaden bei Rüstung %1</translation>
    </message>
</context>
<context>
    <name>DamageTableForm</name>
    <message>
        <source>Damage 0 Table</source>
        <translation>Schadenssatz 0</translation>
    </message>
    <message>
        <source>Damage Table Editor</source>
        <translation>Schadenstabellen-Editor</translation>
    </message>
    <message>
        <source>Damage Set:</source>
        <translation>Satz:</translation>
    </message>
    <message>
        <source>be very careful with changing these values.</source>
        <translation>Diese Werte nur sehr vorsichtig ändern.</translation>
    </message>
    <message>
        <source>Warning: </source>
        <translation>Warnung: </translation>
    </message>
    <message>
        <source>Damage Set</source>
        <comment>in full, for a screen reader</comment>
        <translation>Schadenssatz</translation>
    </message>
</context>
<context>
    <name>EditHistory</name>
    <message>
        <source>&amp;Undo %1</source>
        <translation>&amp;Rückgängig: %1</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>&amp;Redo %1</source>
        <translation>&amp;Wiederholen: %1</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Wiederholen</translation>
    </message>
    <message>
        <source>Undid %1</source>
        <translation>Rückgängig gemacht: %1</translation>
    </message>
    <message>
        <source>Redid %1</source>
        <translation>Wiederholt: %1</translation>
    </message>
</context>
<context>
    <name>EnemyStatsForm</name>
    <message>
        <source>Damage Done</source>
        <translation>Verursachter Schaden</translation>
    </message>
    <message>
        <source>Enemy Damage Editor</source>
        <translation>Gegnerwerte-Editor</translation>
    </message>
    <message>
        <source>Enemy</source>
        <translation>Gegner</translation>
    </message>
    <message>
        <source>Enemy Health</source>
        <translation>Lebenspunkte des Gegners</translation>
    </message>
    <message>
        <source>Enemy Damage Set:</source>
        <translation>Schadenssatz des Gegners:</translation>
    </message>
</context>
<context>
    <name>EnemyTableForm</name>
    <message>
        <source>Fi&amp;nd:</source>
        <translation>&amp;Suchen:</translation>
    </message>
    <message>
        <source>&amp;All Sets</source>
        <translation>&amp;Alle Sätze</translation>
    </message>
    <message>
        <source>Enemy Table</source>
        <translation>Gegnertabelle</translation>
    </message>
    <message>
        <source>Find enemies by name or slot</source>
        <translation>Gegner nach Name oder Slot suchen</translation>
    </message>
    <message>
        <source>Name or slot</source>
        <translation>Name oder Slot</translation>
    </message>
    <message>
        <source>Enemies</source>
        <translation>Gegner</translation>
    </message>
    <message>
        <source>Damage Sets</source>
        <translation>Schadenssätze</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>Einfügen</translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n enemies, set %2</source>
        <translation>
            <numerusform>%1 von %n Gegner, Satz %2</numerusform>
            <numerusform>%1 von %n Gegnern, Satz %2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n enemies</source>
        <translation>
            <numerusform>%1 von %n Gegner</numerusform>
            <numerusform>%1 von %n Gegnern</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>EnemyTableModel</name>
    <message>
        <source>Slot</source>
        <translation>Slot</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Health</source>
        <translation>Lebenspunkte</translation>
    </message>
    <message>
        <source>Damage Set</source>
        <translation>Schadenssatz</translation>
    </message>
    <message>
        <source>Nothing was pasted: the values reach below the last row shown.</source>
        <translation>Es wurde nichts eingefügt: Die Werte reichen über die letzte angezeigte Zeile hinaus.</translation>
    </message>
    <message>
        <source>Nothing was pasted: the column &quot;%1&quot; cannot be changed here; paste into Health or Damage Set.</source>
        <translation>Es wurde nichts eingefügt: Die Spalte „%1“ kann hier nicht geändert werden; fügen Sie in „Lebenspunkte“ oder „Schadenssatz“ ein.</translation>
    </message>
    <message>
        <source>Nothing was pasted: %1 cannot be &quot;%2&quot;; a health is a number from 0 to 255.</source>
        <translation>Es wurde nichts eingefügt: %1 kann nicht „%2“ sein; Lebenspunkte sind eine Zahl von 0 bis 255.</translation>
    </message>
    <message>
        <source>Nothing was pasted: %1 cannot be &quot;%2&quot;; a damage set is a number from 0 to 15.</source>
        <translation>Es wurde nichts eingefügt: %1 kann nicht „%2“ sein; ein Schadenssatz ist eine Zahl von 0 bis 15.</translation>
    </message>
</context>
<context>
    <name>FieldText</name>
    <message>
        <source>%1 (upper bits 0x%2)</source>
        <translation>%1 (obere Bits 0x%2)</translation>
    </message>
    <message>
        <source>Health of %1</source>
        <translation>Lebenspunkte von %1</translation>
    </message>
    <message>
        <source>Damage Set of %1</source>
        <translation>Schadenssatz von %1</translation>
    </message>
    <message>
        <source>Damage %1, Armor %2</source>
        <translation>Schadenssatz %1, Rüstung %2</translation>
    </message>
    <message>
        <source>Changes by Another Program</source>
        <translation>Änderungen eines anderen Programms</translation>
    </message>
    <message>
        <source>%1: %2 before, %3 on disk, %4 here</source>
        <translation>%1: vorher %2, in der Datei %3, hier %4</translation>
    </message>
    <message>
        <source>Paste at %1</source>
        <translation>Einfügen bei %1</translation>
    </message>
</context>
<context>
    <name>ImageFileDialogs</name>
    <message>
        <source>Velko 3 Rom (*.smc)</source>
        <translation>Velko-3-ROM (*.smc)</translation>
    </message>
    <message>
        <source>Velko 3 Rom without header (*.sfc)</source>
        <translation>Velko-3-ROM ohne Header (*.sfc)</translation>
    </message>
    <message>
        <source>All Files (*)</source>
        <translation>Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Load File</source>
        <translation>Datei laden</translation>
    </message>
    <message>
        <source>Save As</source>
        <translation>Speichern unter</translation>
    </message>
</context>
<context>
    <name>ImageSession</name>
    <message numerus="yes">
        <source>Took %n values changed by another program.</source>
        <translation>
            <numerusform>%n externe Änderung übernommen.</numerusform>
            <numerusform>%n externe Änderungen übernommen.</numerusform>
        </translation>
    </message>
    <message>
        <source>This is not velko 3 rom</source>
        <translation>Das ist kein Velko-3-ROM</translation>
    </message>
    <message numerus="yes">
        <source>Another program changed %n values you also changed; Save will ask.</source>
        <translation>
            <numerusform>Einer Ihrer Werte wurde auch extern geändert; Rückfrage beim Speichern.</numerusform>
            <numerusform>%n Ihrer Werte wurden auch extern geändert; Rückfrage beim Speichern.</numerusform>
        </translation>
    </message>
    <message>
        <source>Opened an image without a copier header.</source>
        <translation>Abbild ohne Kopierer-Header geöffnet.</translation>
    </message>
</context>
<context>
    <name>StoreMessages</name>
    <message>
        <source>%1 bytes long; a game image holds at least %2 bytes</source>
        <translation>%1 Byte lang; ein Abbild des Spiels hat mindestens %2 Byte</translation>
    </message>
    <message>
        <source>Nothing was written; your edits are still here.</source>
        <translation>Es wurde nichts geschrieben; Ihre Änderungen bleiben erhalten.</translation>
    </message>
    <message>
        <source>The file may be partly changed: save again before you exit.</source>
        <translation>Die Datei wurde möglicherweise teilweise geändert. Speichern Sie erneut, bevor Sie das Programm beenden.</translation>
    </message>
    <message>
        <source>it is no longer an image of the game (%1)</source>
        <translation>Die Datei ist kein Abbild des Spiels mehr (%1)</translation>
    </message>
    <message>
        <source>The name of slot %1 is longer than %2 characters and is shown cut.</source>
        <translation>Der Name in Slot %1 ist länger als %2 Zeichen und wird gekürzt angezeigt.</translation>
    </message>
    <message numerus="yes">
        <source>%n more</source>
        <translation>
            <numerusform>%n weiterem</numerusform>
            <numerusform>%n weiteren</numerusform>
        </translation>
    </message>
    <message>
        <source>The names of slots %1 and %2 are longer than %3 characters and are shown cut.</source>
        <translation>Die Namen in den Slots %1 und %2 sind länger als %3 Zeichen und werden gekürzt angezeigt.</translation>
    </message>
    <message>
        <source>another program is saving it</source>
        <translation>Ein anderes Programm speichert die Datei gerade</translation>
    </message>
    <message>
        <source>another program changed the file&apos;s length during the save</source>
        <translation>Ein anderes Programm hat während des Speicherns die Länge der Datei geändert</translation>
    </message>
    <message>
        <source>Cannot save &quot;%1&quot;: %2.</source>
        <translation>„%1“ kann nicht gespeichert werden: %2.</translation>
    </message>
    <message>
        <source>Cannot save &quot;%1&quot;: another program replaced the file during the save; your edits are not in it and are still here.</source>
        <translation>„%1“ kann nicht gespeichert werden: Ein anderes Programm hat die Datei während des Speicherns ersetzt. Ihre Änderungen sind nicht in der Datei, bleiben aber hier erhalten.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not an image of the game.</source>
        <translation>„%1“ ist kein Abbild des Spiels.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is %2.</source>
        <translation>„%1“ ist %2.</translation>
    </message>
    <message>
        <source>Cannot read &quot;%1&quot;: %2.</source>
        <translation>„%1“ kann nicht gelesen werden: %2.</translation>
    </message>
    <message>
        <source>, </source>
        <comment>between the items of a list</comment>
        <translation>, </translation>
    </message>
    <message>
        <source>&quot;%1&quot; holds no names; the enemies are listed without names.</source>
        <translation>„%1“ enthält keine Namen; die Gegner werden ohne Namen aufgeführt.</translation>
    </message>
    <message numerus="yes">
        <source>&quot;%1&quot; holds only %n names; the other enemies are listed without names.</source>
        <translation>
            <numerusform>„%1“ enthält nur %n Namen; die übrigen Gegner werden ohne Namen aufgeführt.</numerusform>
            <numerusform>„%1“ enthält nur %n Namen; die übrigen Gegner werden ohne Namen aufgeführt.</numerusform>
        </translation>
    </message>
    <message>
        <source>&quot;%1&quot; could not be read (%2); the enemies are listed without names.</source>
        <translation>„%1“ konnte nicht gelesen werden (%2); die Gegner werden ohne Namen aufgeführt.</translation>
    </message>
    <message>
        <source>%1 %2</source>
        <comment>one sentence after another</comment>
        <translation>%1 %2</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is read-only: you can look at the tables, but Save will fail until the file can be written.</source>
        <translation>„%1“ ist schreibgeschützt. Sie können die Tabellen ansehen, aber erst speichern, wenn die Datei beschreibbar ist.</translation>
    </message>
    <message>
        <source>the game&apos;s signature is not at %1</source>
        <translation>die Signatur des Spiels steht nicht an Position %1</translation>
    </message>
    <message>
        <source>%1 bytes long; a game image without a copier header holds at least %2 bytes</source>
        <translation>%1 Byte lang; ein Abbild des Spiels ohne Kopierer-Header hat mindestens %2 Byte</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is no longer an image of the game (%2)</source>
        <translation>„%1“ ist kein Abbild des Spiels mehr (%2)</translation>
    </message>
    <message>
        <source>Cannot save as &quot;%1&quot;: %2. No file was made there; your edits are still here.</source>
        <translation>Speichern unter „%1“ ist nicht möglich: %2. Dort wurde keine Datei angelegt; Ihre Änderungen bleiben erhalten.</translation>
    </message>
</context>
<context>
    <name>ValueTableView</name>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopieren</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>Einf&amp;ügen</translation>
    </message>
</context>
<context>
    <name>WindowQuestions</name>
    <message numerus="yes">
        <source>Another program changed %n values in &quot;%1&quot; that you also changed:</source>
        <translation>
            <numerusform>Ein anderes Programm hat in „%1“ %n Wert geändert, den Sie auch geändert haben:</numerusform>
            <numerusform>Ein anderes Programm hat in „%1“ %n Werte geändert, die Sie auch geändert haben:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>and %n more</source>
        <translation>
            <numerusform>und %n weiterer</numerusform>
            <numerusform>und %n weitere</numerusform>
        </translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
    <message>
        <source>&amp;Keep Mine</source>
        <translation>&amp;Meine Werte behalten</translation>
    </message>
    <message>
        <source>&amp;Take Theirs</source>
        <translation>Werte der &amp;Datei übernehmen</translation>
    </message>
    <message>
        <source>Tarvon Add-ons</source>
        <translation>Tarvon Add-ons</translation>
    </message>
    <message>
        <source>Save the changes to &quot;%1&quot; before closing?</source>
        <translation>Änderungen an „%1“ vor dem Schließen speichern?</translation>
    </message>
    <message>
        <source>Save As</source>
        <translation>Speichern unter</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is the image you are editing: Save As writes a new file and never over it. Save your edits into &quot;%1&quot; instead?</source>
        <translation>„%1“ ist das Abbild, das Sie gerade bearbeiten: „Speichern unter“ legt eine neue Datei an und überschreibt es nie. Ihre Änderungen stattdessen in „%1“ speichern?</translation>
    </message>
</context>
</TS>
