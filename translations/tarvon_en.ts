<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>EnemyTableForm</name>
    <message numerus="yes">
        <source>%1 of %n enemies, set %2</source>
        <translation>
            <numerusform>%1 of %n enemy, set %2</numerusform>
            <numerusform>%1 of %n enemies, set %2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n enemies</source>
        <translation>
            <numerusform>%1 of %n enemy</numerusform>
            <numerusform>%1 of %n enemies</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ImageSession</name>
    <message numerus="yes">
        <source>Took %n values changed by another program.</source>
        <translation>
            <numerusform>Took %n value changed by another program.</numerusform>
            <numerusform>Took %n values changed by another program.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Another program changed %n values you also changed; Save will ask.</source>
        <translation>
            <numerusform>Another program changed %n value you also changed; Save will ask.</numerusform>
            <numerusform>Another program changed %n values you also changed; Save will ask.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>StoreMessages</name>
    <message numerus="yes">
        <source>%n more</source>
        <translation>
            <numerusform>%n more</numerusform>
            <numerusform>%n more</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>&quot;%1&quot; holds only %n names; the other enemies are listed without names.</source>
        <translation>
            <numerusform>&quot;%1&quot; holds only %n name; the other enemies are listed without names.</numerusform>
            <numerusform>&quot;%1&quot; holds only %n names; the other enemies are listed without names.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>WindowQuestions</name>
    <message numerus="yes">
        <source>Another program changed %n values in &quot;%1&quot; that you also changed:</source>
        <translation>
            <numerusform>Another program changed %n value in &quot;%1&quot; that you also changed:</numerusform>
            <numerusform>Another program changed %n values in &quot;%1&quot; that you also changed:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>and %n more</source>
        <translation>
            <numerusform>and %n more</numerusform>
            <numerusform>and %n more</numerusform>
        </translation>
    </message>
</context>
</TS>
