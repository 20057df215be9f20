<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>CheckUpdateDialog</name>
    <message>
        <source>Don&apos;t Update</source>
        <translation>Nicht aktualisieren</translation>
    </message>
    <message>
        <source>Update Now</source>
        <translation>Jetzt aktualisieren</translation>
    </message>
    <message>
        <source>Morvane Software Update</source>
        <translation>Morvane Software-Update</translation>
    </message>
    <message>
        <source>&lt;b&gt;Software Update Required!&lt;/b&gt;&lt;br/&gt;&lt;br/&gt;Your %1 needs a software update. This update takes only a few minutes, and makes sure you have the latest features and compatibility. Would you like to update now?</source>
        <translation>&lt;b&gt;Software-Update erforderlich!&lt;/b&gt;&lt;br/&gt;&lt;br/&gt;Ihr %1 benötigt ein Software-Update. Das Update dauert nur wenige Minuten und bringt die neuesten Funktionen und die beste Kompatibilität. Möchten Sie jetzt aktualisieren?</translation>
    </message>
</context>
<context>
    <name>CheckVersionPCITool</name>
    <message>
        <source>The updater %1 is not installed.</source>
        <translation>Das Aktualisierungsprogramm %1 ist nicht installiert.</translation>
    </message>
    <message>
        <source>The updater %1 is not a program that can be run.</source>
        <translation>Das Aktualisierungsprogramm %1 ist kein ausführbares Programm.</translation>
    </message>
    <message>
        <source>The updater %1 could not be started (%2).</source>
        <translation>Das Aktualisierungsprogramm %1 konnte nicht gestartet werden (%2).</translation>
    </message>
    <message>
        <source>The updater %1 gave no answer within %2 seconds.</source>
        <translation>Das Aktualisierungsprogramm %1 hat innerhalb von %2 Sekunden nicht geantwortet.</translation>
    </message>
    <message>
        <source>The updater %1 crashed.</source>
        <translation>Das Aktualisierungsprogramm %1 ist abgestürzt.</translation>
    </message>
    <message>
        <source>The updater %1 failed (exit status %2).</source>
        <translation>Das Aktualisierungsprogramm %1 ist fehlgeschlagen (Exit-Status %2).</translation>
    </message>
    <message>
        <source>The card gave no device path.</source>
        <translation>Die Karte hat keinen Gerätepfad angegeben.</translation>
    </message>
    <message>
        <source>The updater %1 gave an answer that cannot be read.</source>
        <translation>Die Antwort des Aktualisierungsprogramms %1 ist nicht lesbar.</translation>
    </message>
</context>
<context>
    <name>Main</name>
    <message>
        <source>%1 Not checked: %2.</source>
        <translation>%1 Nicht geprüft: %2.</translation>
    </message>
</context>
<context>
    <name>MessageDialog</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Morvane Software Update</source>
        <translation>Morvane Software-Update</translation>
    </message>
</context>
<context>
    <name>UpdateManager</name>
    <message>
        <source>The card&apos;s device node gives no path.</source>
        <translation>Der Geräteknoten der Karte liefert keinen Pfad.</translation>
    </message>
    <message>
        <source>an arriving card</source>
        <translation>eine neu erkannte Karte</translation>
    </message>
</context>
<context>
    <name>UpdateProgressDialog</name>
    <message>
        <source>Updating the firmware of %1</source>
        <translation>Die Firmware von %1 wird aktualisiert</translation>
    </message>
    <message>
        <source>Updating Software...</source>
        <translation>Software wird aktualisiert …</translation>
    </message>
    <message>
        <source>WARNING:  Do not shut down or unplug your computer until this update has completed!</source>
        <translation>WARNUNG:  Computer nicht ausschalten oder vom Strom trennen, bis die Aktualisierung abgeschlossen ist!</translation>
    </message>
</context>
</TS>
