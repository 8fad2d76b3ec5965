<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es">
<context>
    <name>AboutForm</name>
    <message>
        <source>About</source>
        <translation>Acerca de</translation>
    </message>
    <message>
        <source>Tarvon Add-ons logo</source>
        <translation>Logotipo de Tarvon Add-ons</translation>
    </message>
    <message>
        <source>Tarvon Add-ons</source>
        <translation>Tarvon Add-ons</translation>
    </message>
    <message>
        <source>Made by the Tarvon team</source>
        <translation>Por el equipo Tarvon</translation>
    </message>
    <message>
        <source>ok</source>
        <translation>Aceptar</translation>
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
        <translation>&amp;Archivo</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>&amp;Abrir</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Guardar</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Salir</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Editar</translation>
    </message>
    <message>
        <source>&amp;Tools</source>
        <translation>&amp;Herramientas</translation>
    </message>
    <message>
        <source>&amp;Enemy Stat Editor</source>
        <translation>Editor de &amp;enemigos</translation>
    </message>
    <message>
        <source>&amp;Damage Table Editor</source>
        <translation>Editor de &amp;tablas de daño</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>A&amp;yuda</translation>
    </message>
    <message>
        <source>&amp;About...</source>
        <translation>&amp;Acerca de...</translation>
    </message>
    <message>
        <source>%1[*] - Tarvon Add-ons</source>
        <translation>%1[*] - Tarvon Add-ons</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Advertencia</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Drop one image at a time.</source>
        <translation>Suelte una sola imagen a la vez.</translation>
    </message>
    <message>
        <source>Save &amp;As...</source>
        <translation>Guardar &amp;como...</translation>
    </message>
    <message>
        <source>Enemy &amp;Table</source>
        <translation>T&amp;abla de enemigos</translation>
    </message>
</context>
<context>
    <name>DamageRowFrame</name>
    <message>
        <source>Armor %1</source>
        <translation>Arm. %1</translation>
    </message>
    <message>
        <source>Damage %1 Table</source>
        <translation>Conjunto de daño %1</translation>
    </message>
    <message>
        <source>Armor %1</source>
        <comment>in full, for a screen reader</comment>
        <translation>Armadura %1</translation>
    </message>
</context>
<context>
    <name>DamageSetTableModel</name>
    <message>
        <source>Damage Set</source>
        <translation>Conjunto de daño</translation>
    </message>
    <message>
        <source>Enemies Using the Set</source>
        <translation>Enemigos que usan el conjunto</translation>
    </message>
    <message>
        <source>Set</source>
        <translation>Conjunto</translation>
    </message>
    <message>
        <source>Enemies</source>
        <translation>Enemigos</translation>
    </message>
    <message>
        <source>Damage at Armor %1</source>
        <translation>Daño con armadura %1</translation>
    </message>
</context>
<context>
    <name>DamageTableForm</name>
    <message>
        <source>Damage 0 Table</source>
        <translation>Conjunto de daño 0</translation>
    </message>
    <message>
        <source>Damage Table Editor</source>
        <translation>Editor de tablas de daño</translation>
    </message>
    <message>
        <source>Damage Set:</source>
        <translation>Conjunto:</translation>
    </message>
    <message>
        <source>be very careful with changing these values.</source>
        <translation>Cambie estos valores con mucho cuidado.</translation>
    </message>
    <message>
        <source>Warning: </source>
        <translation>Advertencia: </translation>
    </message>
    <message>
        <source>Damage Set</source>
        <comment>in full, for a screen reader</comment>
        <translation>Conjunto de daño</translation>
    </message>
</context>
<context>
    <name>EditHistory</name>
    <message>
        <source>&amp;Undo %1</source>
        <translation>&amp;Deshacer: %1</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Deshacer</translation>
    </message>
    <message>
        <source>&amp;Redo %1</source>
        <translation>&amp;Rehacer: %1</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Rehacer</translation>
    </message>
    <message>
        <source>Undid %1</source>
        <translation>Cambio deshecho: %1</translation>
    </message>
    <message>
        <source>Redid %1</source>
        <translation>Cambio rehecho: %1</translation>
    </message>
</context>
<context>
    <name>EnemyStatsForm</name>
    <message>
        <source>Damage Done</source>
        <translation>Daño causado</translation>
    </message>
    <message>
        <source>Enemy Damage Editor</source>
        <translation>Editor de enemigos</translation>
    </message>
    <message>
        <source>Enemy</source>
        <translation>Enemigo</translation>
    </message>
    <message>
        <source>Enemy Health</source>
        <translation>Salud del enemigo</translation>
    </message>
    <message>
        <source>Enemy Damage Set:</source>
        <translation>Conjunto de daño del enemigo:</translation>
    </message>
</context>
<context>
    <name>EnemyTableForm</name>
    <message>
        <source>Fi&amp;nd:</source>
        <translation>Bu&amp;scar:</translation>
    </message>
    <message>
        <source>&amp;All Sets</source>
        <translation>&amp;Todos los conjuntos</translation>
    </message>
    <message>
        <source>Enemy Table</source>
        <translation>Tabla de enemigos</translation>
    </message>
    <message>
        <source>Find enemies by name or slot</source>
        <translation>Buscar enemigos por nombre o casilla</translation>
    </message>
    <message>
        <source>Name or slot</source>
        <translation>Nombre o casilla</translation>
    </message>
    <message>
        <source>Enemies</source>
        <translation>Enemigos</translation>
    </message>
    <message>
        <source>Damage Sets</source>
        <translation>Conjuntos de daño</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>Pegar</translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n enemies, set %2</source>
        <translation>
            <numerusform>%1 de %n enemigo, conjunto %2</numerusform>
            <numerusform>%1 de %n enemigos, conjunto %2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n enemies</source>
        <translation>
            <numerusform>%1 de %n enemigo</numerusform>
            <numerusform>%1 de %n enemigos</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>EnemyTableModel</name>
    <message>
        <source>Slot</source>
        <translation>Casilla</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nombre</translation>
    </message>
    <message>
        <source>Health</source>
        <translation>Salud</translation>
    </message>
    <message>
        <source>Damage Set</source>
        <translation>Conjunto de daño</translation>
    </message>
    <message>
        <source>Nothing was pasted: the values reach below the last row shown.</source>
        <translation>No se pegó nada: los valores llegan más abajo de la última fila mostrada.</translation>
    </message>
    <message>
        <source>Nothing was pasted: the column &quot;%1&quot; cannot be changed here; paste into Health or Damage Set.</source>
        <translation>No se pegó nada: la columna «%1» no se puede cambiar aquí; pegue en Salud o en Conjunto de daño.</translation>
    </message>
    <message>
        <source>Nothing was pasted: %1 cannot be &quot;%2&quot;; a health is a number from 0 to 255.</source>
        <translation>No se pegó nada: %1 no puede ser «%2»; la salud es un número de 0 a 255.</translation>
    </message>
    <message>
        <source>Nothing was pasted: %1 cannot be &quot;%2&quot;; a damage set is a number from 0 to 15.</source>
        <translation>No se pegó nada: %1 no puede ser «%2»; un conjunto de daño es un número de 0 a 15.</translation>
    </message>
</context>
<context>
    <name>FieldText</name>
    <message>
        <source>%1 (upper bits 0x%2)</source>
        <translation>%1 (bits superiores 0x%2)</translation>
    </message>
    <message>
        <source>Health of %1</source>
        <translation>Salud de %1</translation>
    </message>
    <message>
        <source>Damage Set of %1</source>
        <translation>Conjunto de daño de %1</translation>
    </message>
    <message>
        <source>Damage %1, Armor %2</source>
        <translation>Conjunto de daño %1, armadura %2</translation>
    </message>
    <message>
        <source>Changes by Another Program</source>
        <translation>Cambios de otro programa</translation>
    </message>
    <message>
        <source>%1: %2 before, %3 on disk, %4 here</source>
        <translation>%1: antes %2, en el archivo %3, aquí %4</translation>
    </message>
    <message>
        <source>Paste at %1</source>
        <translation>Pegado en %1</translation>
    </message>
</context>
<context>
    <name>ImageFileDialogs</name>
    <message>
        <source>Velko 3 Rom (*.smc)</source>
        <translation>ROM de Velko 3 (*.smc)</translation>
    </message>
    <message>
        <source>Velko 3 Rom without header (*.sfc)</source>
        <translation>ROM de Velko 3 sin cabecera (*.sfc)</translation>
    </message>
    <message>
        <source>All Files (*)</source>
        <translation>Todos los archivos (*)</translation>
    </message>
    <message>
        <source>Load File</source>
        <translation>Cargar archivo</translation>
    </message>
    <message>
        <source>Save As</source>
        <translation>Guardar como</translation>
    </message>
</context>
<context>
    <name>ImageSession</name>
    <message numerus="yes">
        <source>Took %n values changed by another program.</source>
        <translation>
            <numerusform>%n cambio externo aplicado.</numerusform>
            <numerusform>%n cambios externos aplicados.</numerusform>
        </translation>
    </message>
    <message>
        <source>This is not velko 3 rom</source>
        <translation>Esto no es una ROM de Velko 3</translation>
    </message>
    <message numerus="yes">
        <source>Another program changed %n values you also changed; Save will ask.</source>
        <translation>
            <numerusform>Otro programa también ha cambiado %n valor suyo; se le preguntará al guardar.</numerusform>
            <numerusform>Otro programa también ha cambiado %n valores suyos; se le preguntará al guardar.</numerusform>
        </translation>
    </message>
    <message>
        <source>Opened an image without a copier header.</source>
        <translation>Se ha abierto una imagen sin cabecera de copiadora.</translation>
    </message>
</context>
<context>
    <name>StoreMessages</name>
    <message>
        <source>%1 bytes long; a game image holds at least %2 bytes</source>
        <translation>mide %1 bytes; una imagen del juego tiene al menos %2 bytes</translation>
    </message>
    <message>
        <source>Nothing was written; your edits are still here.</source>
        <translation>No se ha escrito nada; sus cambios se conservan.</translation>
    </message>
    <message>
        <source>The file may be partly changed: save again before you exit.</source>
        <translation>Puede que el archivo se haya modificado en parte: guarde de nuevo antes de salir.</translation>
    </message>
    <message>
        <source>it is no longer an image of the game (%1)</source>
        <translation>ya no es una imagen del juego (%1)</translation>
    </message>
    <message>
        <source>The name of slot %1 is longer than %2 characters and is shown cut.</source>
        <translation>El nombre de la casilla %1 tiene más de %2 caracteres y se muestra recortado.</translation>
    </message>
    <message numerus="yes">
        <source>%n more</source>
        <translation>
            <numerusform>%n más</numerusform>
            <numerusform>%n más</numerusform>
        </translation>
    </message>
    <message>
        <source>The names of slots %1 and %2 are longer than %3 characters and are shown cut.</source>
        <translation>Los nombres de las casillas %1 y %2 tienen más de %3 caracteres y se muestran recortados.</translation>
    </message>
    <message>
        <source>another program is saving it</source>
        <translation>otro programa lo está guardando</translation>
    </message>
    <message>
        <source>another program changed the file&apos;s length during the save</source>
        <translation>otro programa ha cambiado el tamaño del archivo mientras se guardaba</translation>
    </message>
    <message>
        <source>Cannot save &quot;%1&quot;: %2.</source>
        <translation>No se puede guardar «%1»: %2.</translation>
    </message>
    <message>
        <source>Cannot save &quot;%1&quot;: another program replaced the file during the save; your edits are not in it and are still here.</source>
        <translation>No se puede guardar «%1»: otro programa ha reemplazado el archivo durante el guardado; sus cambios no están en él, pero se conservan aquí.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not an image of the game.</source>
        <translation>«%1» no es una imagen del juego.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is %2.</source>
        <translation>«%1» %2.</translation>
    </message>
    <message>
        <source>Cannot read &quot;%1&quot;: %2.</source>
        <translation>No se puede leer «%1»: %2.</translation>
    </message>
    <message>
        <source>, </source>
        <comment>between the items of a list</comment>
        <translation>, </translation>
    </message>
    <message>
        <source>&quot;%1&quot; holds no names; the enemies are listed without names.</source>
        <translation>«%1» no contiene nombres; los enemigos se muestran sin nombre.</translation>
    </message>
    <message numerus="yes">
        <source>&quot;%1&quot; holds only %n names; the other enemies are listed without names.</source>
        <translation>
            <numerusform>«%1» contiene solo %n nombre; los demás enemigos se muestran sin nombre.</numerusform>
            <numerusform>«%1» contiene solo %n nombres; los demás enemigos se muestran sin nombre.</numerusform>
        </translation>
    </message>
    <message>
        <source>&quot;%1&quot; could not be read (%2); the enemies are listed without names.</source>
        <translation>No se pudo leer «%1» (%2); los enemigos se muestran sin nombre.</translation>
    </message>
    <message>
        <source>%1 %2</source>
        <comment>one sentence after another</comment>
        <translation>%1 %2</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is read-only: you can look at the tables, but Save will fail until the file can be written.</source>
        <translation>«%1» es de solo lectura: puede ver las tablas, pero no podrá guardar hasta que se pueda escribir en el archivo.</translation>
    </message>
    <message>
        <source>the game&apos;s signature is not at %1</source>
        <translation>la firma del juego no está en la posición %1</translation>
    </message>
    <message>
        <source>%1 bytes long; a game image without a copier header holds at least %2 bytes</source>
        <translation>mide %1 bytes; una imagen del juego sin cabecera de copiadora tiene al menos %2 bytes</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is no longer an image of the game (%2)</source>
        <translation>«%1» ya no es una imagen del juego (%2)</translation>
    </message>
    <message>
        <source>Cannot save as &quot;%1&quot;: %2. No file was made there; your edits are still here.</source>
        <translation>No se puede guardar como «%1»: %2. No se ha creado ningún archivo; sus cambios se conservan.</translation>
    </message>
</context>
<context>
    <name>ValueTableView</name>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Copiar</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>&amp;Pegar</translation>
    </message>
</context>
<context>
    <name>WindowQuestions</name>
    <message numerus="yes">
        <source>Another program changed %n values in &quot;%1&quot; that you also changed:</source>
        <translation>
            <numerusform>Otro programa ha cambiado en «%1» %n valor que usted también ha cambiado:</numerusform>
            <numerusform>Otro programa ha cambiado en «%1» %n valores que usted también ha cambiado:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>and %n more</source>
        <translation>
            <numerusform>y %n más</numerusform>
            <numerusform>y %n más</numerusform>
        </translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Advertencia</translation>
    </message>
    <message>
        <source>&amp;Keep Mine</source>
        <translation>&amp;Mantener mis valores</translation>
    </message>
    <message>
        <source>&amp;Take Theirs</source>
        <translation>&amp;Usar los del archivo</translation>
    </message>
    <message>
        <source>Tarvon Add-ons</source>
        <translation>Tarvon Add-ons</translation>
    </message>
    <message>
        <source>Save the changes to &quot;%1&quot; before closing?</source>
        <translation>¿Guardar los cambios en «%1» antes de cerrar?</translation>
    </message>
    <message>
        <source>Save As</source>
        <translation>Guardar como</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is the image you are editing: Save As writes a new file and never over it. Save your edits into &quot;%1&quot; instead?</source>
        <translation>«%1» es la imagen que está editando: «Guardar como» crea un archivo nuevo y nunca la sobrescribe. ¿Desea guardar sus cambios en «%1»?</translation>
    </message>
</context>
</TS>
