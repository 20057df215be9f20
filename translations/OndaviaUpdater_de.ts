<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>FirmwareUpdateDialog</name>
    <message>
        <source>device</source>
        <translation>Ihrem Gerät</translation>
    </message>
    <message>
        <source>Software Update Required!</source>
        <translation>Software-Update erforderlich!</translation>
    </message>
    <message>
        <source>Your %1 needs a software update. This update takes only a few minutes, and makes sure you have the latest features and compatibility. Would you like to update now?</source>
        <translation>Ihr %1 benötigt ein Software-Update. Das Update dauert nur wenige Minuten und bringt die neuesten Funktionen und die beste Kompatibilität. Möchten Sie jetzt aktualisieren?</translation>
    </message>
    <message>
        <source>The device&apos;s software could not be upgraded.</source>
        <translation>Die Gerätesoftware konnte nicht aktualisiert werden.</translation>
    </message>
    <message>
        <source>An error has occurred that has prevented the software on your %1 from being upgraded. Try upgrading the software again.</source>
        <translation>Ein Fehler hat verhindert, dass die Software auf %1 aktualisiert wurde. Versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>Firmware Update Required!</source>
        <translation>Firmware-Update erforderlich!</translation>
    </message>
    <message>
        <source>Your %1 needs a firmware update. Please run the %2 Utility to update firmware</source>
        <translation>Ihr %1 benötigt ein Firmware-Update. Bitte aktualisieren Sie die Firmware mit dem Programm %2</translation>
    </message>
    <message>
        <source>Restart is Required!</source>
        <translation>Neustart erforderlich!</translation>
    </message>
    <message>
        <source>Please restart your computer to complete the software update.</source>
        <translation>Bitte starten Sie Ihren Computer neu, um das Software-Update abzuschließen.</translation>
    </message>
    <message>
        <source>Shut Down is Required!</source>
        <translation>Herunterfahren erforderlich!</translation>
    </message>
    <message>
        <source>Please shut down your computer to complete the software update.</source>
        <translation>Bitte fahren Sie Ihren Computer herunter, um das Software-Update abzuschließen.</translation>
    </message>
    <message>
        <source>Please Power Cycle</source>
        <translation>Bitte aus- und wieder einschalten</translation>
    </message>
    <message>
        <source>The software on your device was updated successfully. Please unplug %1 cables to restart it.</source>
        <translation>Die Software Ihres Geräts wurde erfolgreich aktualisiert. Bitte ziehen Sie die %1-Kabel ab, um es neu zu starten.</translation>
    </message>
    <message>
        <source>The software on your device was updated successfully. Please unplug both power and %1 cables to restart it.</source>
        <translation>Die Software Ihres Geräts wurde erfolgreich aktualisiert. Bitte ziehen Sie das Netzkabel und die %1-Kabel ab, um es neu zu starten.</translation>
    </message>
    <message>
        <source>The software on your device was updated successfully. Please shut down your computer and unplug power cables from your device to restart it.</source>
        <translation>Die Software Ihres Geräts wurde erfolgreich aktualisiert. Bitte fahren Sie Ihren Computer herunter und ziehen Sie die Netzkabel Ihres Geräts ab, um es neu zu starten.</translation>
    </message>
    <message>
        <source>The software on your %1 was updated successfully. Unplug the unit&apos;s power and plug it in again to restart it.</source>
        <translation>Die Software auf %1 wurde erfolgreich aktualisiert. Trennen Sie das Gerät vom Strom und schließen Sie es wieder an, um es neu zu starten.</translation>
    </message>
    <message>
        <source>Please restart your computer to complete the software updates.</source>
        <translation>Bitte starten Sie Ihren Computer neu, um die Software-Updates abzuschließen.</translation>
    </message>
    <message>
        <source>The software on your %1 was updated successfully. A restart will be required when all software updates have completed.</source>
        <translation>Die Software auf %1 wurde erfolgreich aktualisiert. Nach Abschluss aller Software-Updates ist ein Neustart erforderlich.</translation>
    </message>
    <message>
        <source>Morvane Software Update</source>
        <translation>Morvane Software-Update</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>FirmwareUpdateProgressDialog</name>
    <message>
        <source>Update in progress</source>
        <translation>Aktualisierung läuft</translation>
    </message>
    <message>
        <source>Updating %1</source>
        <translation>%1 wird aktualisiert</translation>
    </message>
    <message>
        <source>Morvane Software Update</source>
        <translation>Morvane Software-Update</translation>
    </message>
</context>
</TS>
