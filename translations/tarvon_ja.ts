<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja">
<context>
    <name>AboutForm</name>
    <message>
        <source>About</source>
        <translation>バージョン情報</translation>
    </message>
    <message>
        <source>Tarvon Add-ons logo</source>
        <translation>Tarvon Add-ons のロゴ</translation>
    </message>
    <message>
        <source>Tarvon Add-ons</source>
        <translation>Tarvon Add-ons</translation>
    </message>
    <message>
        <source>Made by the Tarvon team</source>
        <translation>制作: Tarvon チーム</translation>
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
        <translation>ファイル(&amp;F)</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>開く(&amp;O)</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>保存(&amp;S)</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>終了(&amp;X)</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>編集(&amp;E)</translation>
    </message>
    <message>
        <source>&amp;Tools</source>
        <translation>ツール(&amp;T)</translation>
    </message>
    <message>
        <source>&amp;Enemy Stat Editor</source>
        <translation>敵ステータスエディター(&amp;E)</translation>
    </message>
    <message>
        <source>&amp;Damage Table Editor</source>
        <translation>ダメージテーブルエディター(&amp;D)</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>ヘルプ(&amp;H)</translation>
    </message>
    <message>
        <source>&amp;About...</source>
        <translation>バージョン情報(&amp;A)...</translation>
    </message>
    <message>
        <source>%1[*] - Tarvon Add-ons</source>
        <translation>%1[*] - Tarvon Add-ons</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>エラー</translation>
    </message>
    <message>
        <source>Drop one image at a time.</source>
        <translation>ROM イメージは一度に 1 つだけドロップしてください。</translation>
    </message>
    <message>
        <source>Save &amp;As...</source>
        <translation>名前を付けて保存(&amp;A)...</translation>
    </message>
    <message>
        <source>Enemy &amp;Table</source>
        <translation>敵テーブル(&amp;T)</translation>
    </message>
</context>
<context>
    <name>DamageRowFrame</name>
    <message>
        <source>Armor %1</source>
        <translation>防具 %1</translation>
    </message>
    <message>
        <source>Damage %1 Table</source>
        <translation>ダメージセット %1</translation>
    </message>
    <message>
        <source>Armor %1</source>
        <comment>in full, for a screen reader</comment>
        <translation>防具 %1</translation>
    </message>
</context>
<context>
    <name>DamageSetTableModel</name>
    <message>
        <source>Damage Set</source>
        <translation>ダメージセット</translation>
    </message>
    <message>
        <source>Enemies Using the Set</source>
        <translation>このセットを使う敵の数</translation>
    </message>
    <message>
        <source>Set</source>
        <translation>セット</translation>
    </message>
    <message>
        <source>Enemies</source>
        <translation>敵の数</translation>
    </message>
    <message>
        <source>Damage at Armor %1</source>
        <translation>防具 %1 のダメージ</translation>
    </message>
</context>
<context>
    <name>DamageTableForm</name>
    <message>
        <source>Damage 0 Table</source>
        <translation>ダメージセット 0</translation>
    </message>
    <message>
        <source>Damage Table Editor</source>
        <translation>ダメージテーブルエディター</translation>
    </message>
    <message>
        <source>Damage Set:</source>
        <translation>セット:</translation>
    </message>
    <message>
        <source>be very careful with changing these values.</source>
        <translation>値の変更には十分注意してください。</translation>
    </message>
    <message>
        <source>Warning: </source>
        <translation>警告: </translation>
    </message>
    <message>
        <source>Damage Set</source>
        <comment>in full, for a screen reader</comment>
        <translation>ダメージセット</translation>
    </message>
</context>
<context>
    <name>EditHistory</name>
    <message>
        <source>&amp;Undo %1</source>
        <translation>元に戻す: %1(&amp;U)</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>元に戻す(&amp;U)</translation>
    </message>
    <message>
        <source>&amp;Redo %1</source>
        <translation>やり直す: %1(&amp;R)</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>やり直す(&amp;R)</translation>
    </message>
    <message>
        <source>Undid %1</source>
        <translation>元に戻しました: %1</translation>
    </message>
    <message>
        <source>Redid %1</source>
        <translation>やり直しました: %1</translation>
    </message>
</context>
<context>
    <name>EnemyStatsForm</name>
    <message>
        <source>Damage Done</source>
        <translation>与えるダメージ</translation>
    </message>
    <message>
        <source>Enemy Damage Editor</source>
        <translation>敵ステータスエディター</translation>
    </message>
    <message>
        <source>Enemy</source>
        <translation>敵</translation>
    </message>
    <message>
        <source>Enemy Health</source>
        <translation>敵の体力</translation>
    </message>
    <message>
        <source>Enemy Damage Set:</source>
        <translation>敵のダメージセット:</translation>
    </message>
</context>
<context>
    <name>EnemyTableForm</name>
    <message>
        <source>Fi&amp;nd:</source>
        <translation>検索(&amp;N):</translation>
    </message>
    <message>
        <source>&amp;All Sets</source>
        <translation>すべてのセット(&amp;A)</translation>
    </message>
    <message>
        <source>Enemy Table</source>
        <translation>敵テーブル</translation>
    </message>
    <message>
        <source>Find enemies by name or slot</source>
        <translation>名前かスロットで敵を検索</translation>
    </message>
    <message>
        <source>Name or slot</source>
        <translation>名前またはスロット</translation>
    </message>
    <message>
        <source>Enemies</source>
        <translation>敵一覧</translation>
    </message>
    <message>
        <source>Damage Sets</source>
        <translation>ダメージセット一覧</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>貼り付け</translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n enemies, set %2</source>
        <translation>
            <numerusform>%n 体中 %1 体、セット %2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n enemies</source>
        <translation>
            <numerusform>%n 体中 %1 体</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>EnemyTableModel</name>
    <message>
        <source>Slot</source>
        <translation>スロット</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名前</translation>
    </message>
    <message>
        <source>Health</source>
        <translation>体力</translation>
    </message>
    <message>
        <source>Damage Set</source>
        <translation>ダメージセット</translation>
    </message>
    <message>
        <source>Nothing was pasted: the values reach below the last row shown.</source>
        <translation>何も貼り付けていません: 値が表示中の最後の行より下にはみ出します。</translation>
    </message>
    <message>
        <source>Nothing was pasted: the column &quot;%1&quot; cannot be changed here; paste into Health or Damage Set.</source>
        <translation>何も貼り付けていません: 列「%1」はここでは変更できません。「体力」か「ダメージセット」に貼り付けてください。</translation>
    </message>
    <message>
        <source>Nothing was pasted: %1 cannot be &quot;%2&quot;; a health is a number from 0 to 255.</source>
        <translation>何も貼り付けていません: %1を「%2」にはできません。体力は 0 から 255 までの数です。</translation>
    </message>
    <message>
        <source>Nothing was pasted: %1 cannot be &quot;%2&quot;; a damage set is a number from 0 to 15.</source>
        <translation>何も貼り付けていません: %1を「%2」にはできません。ダメージセットは 0 から 15 までの数です。</translation>
    </message>
</context>
<context>
    <name>FieldText</name>
    <message>
        <source>%1 (upper bits 0x%2)</source>
        <translation>%1 (上位ビット 0x%2)</translation>
    </message>
    <message>
        <source>Health of %1</source>
        <translation>%1 の体力</translation>
    </message>
    <message>
        <source>Damage Set of %1</source>
        <translation>%1 のダメージセット</translation>
    </message>
    <message>
        <source>Damage %1, Armor %2</source>
        <translation>ダメージセット %1、防具 %2</translation>
    </message>
    <message>
        <source>Changes by Another Program</source>
        <translation>別のプログラムによる変更</translation>
    </message>
    <message>
        <source>%1: %2 before, %3 on disk, %4 here</source>
        <translation>%1: 元は %2、ファイルでは %3、こちらでは %4</translation>
    </message>
    <message>
        <source>Paste at %1</source>
        <translation>%1 への貼り付け</translation>
    </message>
</context>
<context>
    <name>ImageFileDialogs</name>
    <message>
        <source>Velko 3 Rom (*.smc)</source>
        <translation>Velko 3 の ROM (*.smc)</translation>
    </message>
    <message>
        <source>Velko 3 Rom without header (*.sfc)</source>
        <translation>ヘッダーなしの Velko 3 の ROM (*.sfc)</translation>
    </message>
    <message>
        <source>All Files (*)</source>
        <translation>すべてのファイル (*)</translation>
    </message>
    <message>
        <source>Load File</source>
        <translation>ファイルを読み込む</translation>
    </message>
    <message>
        <source>Save As</source>
        <translation>名前を付けて保存</translation>
    </message>
</context>
<context>
    <name>ImageSession</name>
    <message numerus="yes">
        <source>Took %n values changed by another program.</source>
        <translation>
            <numerusform>外部での変更を %n 個取り込みました。</numerusform>
        </translation>
    </message>
    <message>
        <source>This is not velko 3 rom</source>
        <translation>これは Velko 3 の ROM ではありません</translation>
    </message>
    <message numerus="yes">
        <source>Another program changed %n values you also changed; Save will ask.</source>
        <translation>
            <numerusform>%n 個の値が外部でも変更されています。保存時に確認します。</numerusform>
        </translation>
    </message>
    <message>
        <source>Opened an image without a copier header.</source>
        <translation>コピアヘッダーのない ROM イメージを開きました。</translation>
    </message>
</context>
<context>
    <name>StoreMessages</name>
    <message>
        <source>%1 bytes long; a game image holds at least %2 bytes</source>
        <translation>サイズが %1 バイトで、ゲームの ROM イメージに必要な %2 バイトに足りません</translation>
    </message>
    <message>
        <source>Nothing was written; your edits are still here.</source>
        <translation>何も書き込まれていません。編集内容はそのまま残っています。</translation>
    </message>
    <message>
        <source>The file may be partly changed: save again before you exit.</source>
        <translation>ファイルが一部だけ変更されているおそれがあります。終了する前にもう一度保存してください。</translation>
    </message>
    <message>
        <source>it is no longer an image of the game (%1)</source>
        <translation>ゲームの ROM イメージではなくなっています (%1)</translation>
    </message>
    <message>
        <source>The name of slot %1 is longer than %2 characters and is shown cut.</source>
        <translation>スロット %1 の名前は %2 文字を超えるため、切り詰めて表示します。</translation>
    </message>
    <message numerus="yes">
        <source>%n more</source>
        <translation>
            <numerusform>ほか %n 個</numerusform>
        </translation>
    </message>
    <message>
        <source>The names of slots %1 and %2 are longer than %3 characters and are shown cut.</source>
        <translation>スロット %1、%2 の名前は %3 文字を超えるため、切り詰めて表示します。</translation>
    </message>
    <message>
        <source>another program is saving it</source>
        <translation>別のプログラムが保存中です</translation>
    </message>
    <message>
        <source>another program changed the file&apos;s length during the save</source>
        <translation>保存中に別のプログラムがファイルのサイズを変更しました</translation>
    </message>
    <message>
        <source>Cannot save &quot;%1&quot;: %2.</source>
        <translation>「%1」を保存できません: %2。</translation>
    </message>
    <message>
        <source>Cannot save &quot;%1&quot;: another program replaced the file during the save; your edits are not in it and are still here.</source>
        <translation>「%1」を保存できません: 保存中に別のプログラムがファイルを置き換えました。編集内容はファイルに保存されていませんが、ここに残っています。</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not an image of the game.</source>
        <translation>「%1」はゲームの ROM イメージではありません。</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is %2.</source>
        <translation>「%1」は%2。</translation>
    </message>
    <message>
        <source>Cannot read &quot;%1&quot;: %2.</source>
        <translation>「%1」を読み込めません: %2。</translation>
    </message>
    <message>
        <source>, </source>
        <comment>between the items of a list</comment>
        <translation>、</translation>
    </message>
    <message>
        <source>&quot;%1&quot; holds no names; the enemies are listed without names.</source>
        <translation>「%1」には名前がありません。敵は名前なしで一覧に表示します。</translation>
    </message>
    <message numerus="yes">
        <source>&quot;%1&quot; holds only %n names; the other enemies are listed without names.</source>
        <translation>
            <numerusform>「%1」には名前が %n 個しかありません。残りの敵は名前なしで一覧に表示します。</numerusform>
        </translation>
    </message>
    <message>
        <source>&quot;%1&quot; could not be read (%2); the enemies are listed without names.</source>
        <translation>「%1」を読み込めませんでした (%2)。敵は名前なしで一覧に表示します。</translation>
    </message>
    <message>
        <source>%1 %2</source>
        <comment>one sentence after another</comment>
        <translation>%1%2</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is read-only: you can look at the tables, but Save will fail until the file can be written.</source>
        <translation>「%1」は読み取り専用です。テーブルは表示できますが、ファイルに書き込めるようになるまで保存できません。</translation>
    </message>
    <message>
        <source>the game&apos;s signature is not at %1</source>
        <translation>%1 にゲームのシグネチャがありません</translation>
    </message>
    <message>
        <source>%1 bytes long; a game image without a copier header holds at least %2 bytes</source>
        <translation>サイズが %1 バイトで、コピアヘッダーのないゲームの ROM イメージに必要な %2 バイトに足りません</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is no longer an image of the game (%2)</source>
        <translation>「%1」はゲームの ROM イメージではなくなっています (%2)</translation>
    </message>
    <message>
        <source>Cannot save as &quot;%1&quot;: %2. No file was made there; your edits are still here.</source>
        <translation>「%1」として保存できません: %2。ファイルは作成されていません。編集内容はそのまま残っています。</translation>
    </message>
</context>
<context>
    <name>ValueTableView</name>
    <message>
        <source>&amp;Copy</source>
        <translation>コピー(&amp;C)</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>貼り付け(&amp;P)</translation>
    </message>
</context>
<context>
    <name>WindowQuestions</name>
    <message numerus="yes">
        <source>Another program changed %n values in &quot;%1&quot; that you also changed:</source>
        <translation>
            <numerusform>別のプログラムが「%1」で、こちらでも変更した %n 個の値を変更しました:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>and %n more</source>
        <translation>
            <numerusform>ほか %n 個</numerusform>
        </translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>&amp;Keep Mine</source>
        <translation>こちらの値を残す(&amp;K)</translation>
    </message>
    <message>
        <source>&amp;Take Theirs</source>
        <translation>ファイルの値を使う(&amp;T)</translation>
    </message>
    <message>
        <source>Tarvon Add-ons</source>
        <translation>Tarvon Add-ons</translation>
    </message>
    <message>
        <source>Save the changes to &quot;%1&quot; before closing?</source>
        <translation>閉じる前に「%1」への変更を保存しますか?</translation>
    </message>
    <message>
        <source>Save As</source>
        <translation>名前を付けて保存</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is the image you are editing: Save As writes a new file and never over it. Save your edits into &quot;%1&quot; instead?</source>
        <translation>「%1」は編集中の ROM イメージです。「名前を付けて保存」は新しいファイルに書き込み、このファイルを上書きすることはありません。代わりに「%1」に編集内容を保存しますか？</translation>
    </message>
</context>
</TS>
