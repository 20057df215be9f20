<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>AboutBox</name>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Version %1</translation>
    </message>
    <message>
        <source>Copyright © %1 Morvane. All rights reserved.</source>
        <translation>Copyright © %1 Morvane. Alle Rechte vorbehalten.</translation>
    </message>
</context>
<context>
    <name>AboutSettings</name>
    <message>
        <source>Driver Information</source>
        <translation>Treiberinformationen</translation>
    </message>
    <message>
        <source>Driver:</source>
        <translation>Treiber:</translation>
    </message>
    <message>
        <source>Last Update:</source>
        <translation>Letzte Aktualisierung:</translation>
    </message>
    <message>
        <source>Status Report:</source>
        <translation>Statusbericht:</translation>
    </message>
    <message>
        <source>Create</source>
        <translation>Erstellen</translation>
    </message>
    <message>
        <source>This generates a detailed status report for later reference.</source>
        <translation>Erstellt einen ausführlichen Statusbericht zum späteren Nachschlagen.</translation>
    </message>
    <message>
        <source>Product Notes</source>
        <translation>Produktnotizen</translation>
    </message>
    <message>
        <source>Label:</source>
        <translation>Bezeichnung:</translation>
    </message>
    <message>
        <source>Serial Number:</source>
        <translation>Seriennummer:</translation>
    </message>
    <message>
        <source>Purchased From:</source>
        <translation>Gekauft bei:</translation>
    </message>
    <message>
        <source>Seller Phone Number:</source>
        <translation>Telefon des Händlers:</translation>
    </message>
    <message>
        <source>Seller Email:</source>
        <translation>E-Mail des Händlers:</translation>
    </message>
    <message>
        <source>Purchase Date:</source>
        <translation>Kaufdatum:</translation>
    </message>
    <message>
        <source>Documentation</source>
        <translation>Dokumentation</translation>
    </message>
    <message>
        <source>User Manual</source>
        <translation>Handbuch</translation>
    </message>
    <message>
        <source>Readme</source>
        <translation>Liesmich</translation>
    </message>
    <message>
        <source>The document &quot;%1&quot; is not installed on this computer.</source>
        <translation>Das Dokument „%1“ ist auf diesem Computer nicht installiert.</translation>
    </message>
    <message>
        <source>No application could open &quot;%1&quot;.</source>
        <translation>Kein Programm konnte „%1“ öffnen.</translation>
    </message>
    <message>
        <source>Save Status Report</source>
        <translation>Statusbericht speichern</translation>
    </message>
    <message>
        <source>Status report files (*.html)</source>
        <translation>Statusberichte (*.html)</translation>
    </message>
    <message>
        <source>The status report could not be saved as &quot;%1&quot;: %2</source>
        <translation>Der Statusbericht konnte nicht als „%1“ gespeichert werden: %2</translation>
    </message>
</context>
<context>
    <name>AddByIpAddressWidget</name>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>IP address:</source>
        <translation>IP-Adresse:</translation>
    </message>
    <message>
        <source>127.0.0.1</source>
        <translation>127.0.0.1</translation>
    </message>
</context>
<context>
    <name>AdminUtilityWindow</name>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Build Details</source>
        <translation>Build-Details</translation>
    </message>
</context>
<context>
    <name>AppDefaults</name>
    <message>
        <source>Morvane Ondavia Setup</source>
        <translation>Morvane Ondavia Setup</translation>
    </message>
    <message>
        <source>Ondavia Setup</source>
        <translation>Ondavia Setup</translation>
    </message>
    <message>
        <source>About Morvane Ondavia Setup</source>
        <translation>Über Morvane Ondavia Setup</translation>
    </message>
    <message>
        <source>No Ondavia Device Detected.</source>
        <translation>Kein Ondavia-Gerät gefunden.</translation>
    </message>
    <message>
        <source>Please check that your product is connected via Thunderbolt, USB3, or PCIe and is powered on.</source>
        <translation>Bitte prüfen Sie, ob Ihr Produkt über Thunderbolt, USB3 oder PCIe angeschlossen und eingeschaltet ist.</translation>
    </message>
    <message>
        <source>Add a Ondavia</source>
        <translation>Ondavia hinzufügen</translation>
    </message>
    <message>
        <source>No Ondavia found</source>
        <translation>Kein Ondavia gefunden</translation>
    </message>
</context>
<context>
    <name>AudioConnections</name>
    <message>
        <source>Embedded</source>
        <translation>Eingebettet</translation>
    </message>
    <message>
        <source>AES/EBU</source>
        <translation>AES/EBU</translation>
    </message>
    <message>
        <source>Analog</source>
        <translation>Analog</translation>
    </message>
    <message>
        <source>XLR</source>
        <translation>XLR</translation>
    </message>
    <message>
        <source>RCA</source>
        <translation>Cinch</translation>
    </message>
    <message>
        <source>Microphone</source>
        <translation>Mikrofon</translation>
    </message>
</context>
<context>
    <name>AudioSettings</name>
    <message>
        <source>Audio Input</source>
        <translation>Audioeingang</translation>
    </message>
    <message>
        <source>Analog Audio</source>
        <translation>Analoges Audio</translation>
    </message>
    <message>
        <source>Use HiFi Audio Levels</source>
        <translation>HiFi-Audiopegel verwenden</translation>
    </message>
    <message>
        <source>Analog Audio Input Levels</source>
        <translation>Analoge Audio-Eingangspegel</translation>
    </message>
    <message>
        <source>Microphone</source>
        <translation>Mikrofon</translation>
    </message>
    <message>
        <source>Input Level:</source>
        <translation>Eingangspegel:</translation>
    </message>
    <message>
        <source>dB</source>
        <translation>dB</translation>
    </message>
    <message>
        <source>Use +48V Phantom Power</source>
        <translation>+48-V-Phantomspeisung verwenden</translation>
    </message>
    <message>
        <source>WARNING: Please check that your microphone requires +48V Phantom Power,</source>
        <translation>WARNUNG: Bitte prüfen Sie, ob Ihr Mikrofon +48-V-Phantomspeisung benötigt,</translation>
    </message>
    <message>
        <source>otherwise you can cause damage to your microphone.</source>
        <translation>sonst kann Ihr Mikrofon beschädigt werden.</translation>
    </message>
    <message>
        <source>AES/EBU</source>
        <translation>AES/EBU</translation>
    </message>
    <message>
        <source>Output Level:</source>
        <translation>Ausgangspegel:</translation>
    </message>
    <message>
        <source>Analog Audio Output Levels</source>
        <translation>Analoge Audio-Ausgangspegel</translation>
    </message>
    <message>
        <source>Audio Outputs</source>
        <translation>Audioausgänge</translation>
    </message>
    <message>
        <source>Set Analog Audio Output:</source>
        <translation>Analoger Audioausgang:</translation>
    </message>
    <message>
        <source>4 Analog &amp; 2 AES/EBU</source>
        <translation>4 analog und 2 AES/EBU</translation>
    </message>
    <message>
        <source>2 Analog &amp; 6 AES/EBU</source>
        <translation>2 analog und 6 AES/EBU</translation>
    </message>
    <message>
        <source>Headphone</source>
        <translation>Kopfhörer</translation>
    </message>
    <message>
        <source>Volume:</source>
        <translation>Lautstärke:</translation>
    </message>
    <message>
        <source>Channel %1:</source>
        <translation>Kanal %1:</translation>
    </message>
</context>
<context>
    <name>BookmarkSelector</name>
    <message>
        <source>Jump to</source>
        <translation>Springen zu</translation>
    </message>
</context>
<context>
    <name>CardFooter</name>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
</context>
<context>
    <name>CommonDialog</name>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Accept</source>
        <translation>Übernehmen</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
</context>
<context>
    <name>ConnectingStatusPage</name>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Connecting...</source>
        <translation>Verbindung wird hergestellt …</translation>
    </message>
</context>
<context>
    <name>ConnectorsSettings</name>
    <message>
        <source>SDI %1 &amp; SDI %2</source>
        <translation>SDI %1 und SDI %2</translation>
    </message>
    <message>
        <source>SDI %1</source>
        <translation>SDI %1</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Keine</translation>
    </message>
</context>
<context>
    <name>ConversionModes</name>
    <message>
        <source>Letterbox</source>
        <translation>Letterbox</translation>
    </message>
    <message>
        <source>Anamorphic</source>
        <translation>Anamorph</translation>
    </message>
    <message>
        <source>Pillarbox</source>
        <translation>Pillarbox</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Keine</translation>
    </message>
    <message>
        <source>HD 720p to HD 1080i</source>
        <translation>HD 720p zu HD 1080i</translation>
    </message>
    <message>
        <source>Center Cut</source>
        <translation>Center Cut</translation>
    </message>
    <message>
        <source>16:9 Zoom</source>
        <translation>16:9-Zoom</translation>
    </message>
    <message>
        <source>14:9 Zoom</source>
        <translation>14:9-Zoom</translation>
    </message>
    <message>
        <source>UHD 2160p to HD 1080p</source>
        <translation>UHD 2160p zu HD 1080p</translation>
    </message>
</context>
<context>
    <name>ConversionsSettings</name>
    <message>
        <source>Input Conversion</source>
        <translation>Eingangskonvertierung</translation>
    </message>
    <message>
        <source>Input conversion:</source>
        <translation>Eingangskonvertierung:</translation>
    </message>
    <message>
        <source>Output Conversion</source>
        <translation>Ausgangskonvertierung</translation>
    </message>
    <message>
        <source>Output conversion:</source>
        <translation>Ausgangskonvertierung:</translation>
    </message>
    <message>
        <source>Convert Analog Outputs</source>
        <translation>Analoge Ausgänge konvertieren</translation>
    </message>
    <message>
        <source>Display As:</source>
        <translation>Anzeigen als:</translation>
    </message>
</context>
<context>
    <name>DeckControlConnectionsSettings</name>
    <message>
        <source>RS422</source>
        <translation>RS422</translation>
    </message>
    <message>
        <source>Port selection:</source>
        <translation>Anschlussauswahl:</translation>
    </message>
    <message>
        <source>Remote 1</source>
        <translation>Remote 1</translation>
    </message>
    <message>
        <source>Remote 2</source>
        <translation>Remote 2</translation>
    </message>
</context>
<context>
    <name>DisplayMode</name>
    <message>
        <source>Unknown</source>
        <translation>Unbekannt</translation>
    </message>
    <message>
        <source>Locked</source>
        <translation>Synchronisiert</translation>
    </message>
    <message>
        <source>-</source>
        <translation>-</translation>
    </message>
</context>
<context>
    <name>DotsWidget</name>
    <message>
        <source>%1 / %2</source>
        <translation>%1 / %2</translation>
    </message>
    <message>
        <source>%1 (device %2 of %3)</source>
        <translation>%1 (Gerät %2 von %3)</translation>
    </message>
</context>
<context>
    <name>FirmwareUpdateDialog</name>
    <message>
        <source>This Example Device needs a Software Update.</source>
        <translation>Dieses Beispielgerät benötigt ein Software-Update.</translation>
    </message>
    <message>
        <source>Before you can edit the settings of this Example Device, it must be updated to the latest software version.</source>
        <translation>Bevor Sie die Einstellungen dieses Beispielgeräts bearbeiten können, muss es auf die neueste Softwareversion aktualisiert werden.</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>Aktualisieren</translation>
    </message>
    <message>
        <source>Updating Example Device...</source>
        <translation>Beispielgerät wird aktualisiert …</translation>
    </message>
    <message>
        <source>Do not unplug this Example Device while the update is in progress.</source>
        <translation>Trennen Sie dieses Beispielgerät nicht, solange die Aktualisierung läuft.</translation>
    </message>
    <message>
        <source>This Example Device has been updated.</source>
        <translation>Dieses Beispielgerät wurde aktualisiert.</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Updating the Example Device software failed.</source>
        <translation>Die Aktualisierung der Software des Beispielgeräts ist fehlgeschlagen.</translation>
    </message>
</context>
<context>
    <name>InstalledFirmware</name>
    <message>
        <source>Meridian Primary</source>
        <translation>Meridian Primary</translation>
    </message>
    <message>
        <source>Meridian Secondary</source>
        <translation>Meridian Secondary</translation>
    </message>
    <message>
        <source>%1 2</source>
        <translation>%1 2</translation>
    </message>
</context>
<context>
    <name>NeedingFirmwareUpdateStatusPage</name>
    <message>
        <source>This device needs updating</source>
        <translation>Dieses Gerät muss aktualisiert werden</translation>
    </message>
</context>
<context>
    <name>ProductCard</name>
    <message>
        <source>No device specific details</source>
        <translation>Keine gerätespezifischen Angaben</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Enabled</source>
        <translation>Aktiviert</translation>
    </message>
    <message>
        <source>Disabled</source>
        <translation>Deaktiviert</translation>
    </message>
    <message>
        <source>Video Input</source>
        <translation>Videoeingang</translation>
    </message>
    <message>
        <source>Video Output</source>
        <translation>Videoausgang</translation>
    </message>
    <message>
        <source>Locked</source>
        <translation>Synchronisiert</translation>
    </message>
    <message>
        <source>Reference</source>
        <translation>Referenz</translation>
    </message>
    <message>
        <source>HDMI EDID Data Received</source>
        <translation>HDMI-EDID-Daten empfangen</translation>
    </message>
    <message>
        <source>Capture 1080p as PsF</source>
        <translation>1080p als PsF aufnehmen</translation>
    </message>
    <message>
        <source>Output 1080p as PsF</source>
        <translation>1080p als PsF ausgeben</translation>
    </message>
    <message>
        <source>4:4:4 RGB</source>
        <translation>4:4:4 RGB</translation>
    </message>
    <message>
        <source>Video Options</source>
        <translation>Videooptionen</translation>
    </message>
    <message>
        <source>Device Interface</source>
        <translation>Geräteschnittstelle</translation>
    </message>
    <message>
        <source>Link Width</source>
        <translation>Verbindungsbreite</translation>
    </message>
    <message>
        <source>Link Speed</source>
        <translation>Verbindungsgeschwindigkeit</translation>
    </message>
    <message>
        <source>PCIe Status</source>
        <translation>PCIe-Status</translation>
    </message>
    <message>
        <source>Hardware Model</source>
        <translation>Hardwaremodell</translation>
    </message>
</context>
<context>
    <name>SettingsSliderWithEditableValue</name>
    <message>
        <source>Restore the default value</source>
        <translation>Standardwert wiederherstellen</translation>
    </message>
</context>
<context>
    <name>SettingsTab</name>
    <message>
        <source>Jump to</source>
        <translation>Springen zu</translation>
    </message>
    <message>
        <source>Reset %1 to defaults</source>
        <translation>%1 auf Standardwerte zurücksetzen</translation>
    </message>
    <message>
        <source>%1 value</source>
        <comment>a slider&apos;s typed value</comment>
        <translation>Wert für %1</translation>
    </message>
    <message>
        <source>%1 in %2</source>
        <comment>a slider&apos;s typed value and its unit</comment>
        <translation>%1 in %2</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <comment>a row&apos;s label, then the option&apos;s text</comment>
        <translation>%1: %2</translation>
    </message>
</context>
<context>
    <name>SliderLinkBase</name>
    <message>
        <source>Link the two values</source>
        <translation>Die beiden Werte koppeln</translation>
    </message>
</context>
<context>
    <name>StartupDeviceOpener</name>
    <message>
        <source>no device %1; no devices are shown</source>
        <translation>kein Gerät %1; es werden keine Geräte angezeigt</translation>
    </message>
    <message>
        <source>no device %1; only 0 is shown</source>
        <translation>kein Gerät %1; nur 0 wird angezeigt</translation>
    </message>
    <message>
        <source>no device %1; 0–%2 are shown</source>
        <translation>kein Gerät %1; 0–%2 werden angezeigt</translation>
    </message>
</context>
<context>
    <name>TestModePixmap</name>
    <message>
        <source>TEST MODE</source>
        <translation>TESTMODUS</translation>
    </message>
</context>
<context>
    <name>Video3DPackingFormats</name>
    <message>
        <source>Top and Bottom</source>
        <translation>Oben und unten</translation>
    </message>
    <message>
        <source>Frame Packing</source>
        <translation>Frame Packing</translation>
    </message>
    <message>
        <source>Side by Side</source>
        <translation>Nebeneinander</translation>
    </message>
    <message>
        <source>Left Eye</source>
        <translation>Linkes Auge</translation>
    </message>
    <message>
        <source>Line by Line</source>
        <translation>Zeilenweise</translation>
    </message>
    <message>
        <source>Right Eye</source>
        <translation>Rechtes Auge</translation>
    </message>
</context>
<context>
    <name>VideoInputSettings</name>
    <message>
        <source>Input Connection</source>
        <translation>Eingangsanschluss</translation>
    </message>
    <message>
        <source>Use XLR Timecode Input</source>
        <translation>XLR-Timecode-Eingang verwenden</translation>
    </message>
    <message>
        <source>SDI Input</source>
        <translation>SDI-Eingang</translation>
    </message>
    <message>
        <source>1080p HD and 2K:</source>
        <translation>1080p HD und 2K:</translation>
    </message>
    <message>
        <source>Captured as 1080p progressive video</source>
        <translation>Als progressives 1080p-Video aufnehmen</translation>
    </message>
    <message>
        <source>Captured as 1080PsF segmented video</source>
        <translation>Als segmentiertes 1080PsF-Video aufnehmen</translation>
    </message>
    <message>
        <source>Analog Video Input Levels</source>
        <translation>Analoge Video-Eingangspegel</translation>
    </message>
    <message>
        <source>Y:</source>
        <translation>Y:</translation>
    </message>
    <message>
        <source>Chroma:</source>
        <translation>Chroma:</translation>
    </message>
    <message>
        <source>Cb:</source>
        <translation>Cb:</translation>
    </message>
    <message>
        <source>Cr:</source>
        <translation>Cr:</translation>
    </message>
    <message>
        <source>Analog Video Input</source>
        <translation>Analoger Videoeingang</translation>
    </message>
    <message>
        <source>NTSC IRE:</source>
        <translation>NTSC IRE:</translation>
    </message>
    <message>
        <source>0.0 (Japan)</source>
        <translation>0,0 (Japan)</translation>
    </message>
    <message>
        <source>7.5 (USA)</source>
        <translation>7,5 (USA)</translation>
    </message>
    <message>
        <source>The NTSC IRE option on the Video Output tab will be changed accordingly.</source>
        <translation>Die NTSC-IRE-Option im Reiter „Videoausgang“ wird entsprechend geändert.</translation>
    </message>
</context>
<context>
    <name>VideoOutputSettings</name>
    <message>
        <source>HDMI Output</source>
        <translation>HDMI-Ausgang</translation>
    </message>
    <message>
        <source>3D output:</source>
        <translation>3D-Ausgabe:</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Allgemein</translation>
    </message>
    <message>
        <source>Default video standard:</source>
        <translation>Standard-Videonorm:</translation>
    </message>
    <message>
        <source>Startup Video Output will use this setting.</source>
        <translation>Der Videoausgang verwendet diese Einstellung beim Start.</translation>
    </message>
    <message>
        <source>When paused:</source>
        <translation>Bei Pause:</translation>
    </message>
    <message>
        <source>Display a full frame on video output</source>
        <translation>Vollbild am Videoausgang anzeigen</translation>
    </message>
    <message>
        <source>Display a single field on video output</source>
        <translation>Einzelnes Halbbild am Videoausgang anzeigen</translation>
    </message>
    <message>
        <source>Video playback:</source>
        <translation>Videowiedergabe:</translation>
    </message>
    <message>
        <source>Displays black output when not playing</source>
        <translation>Schwarzbild, wenn nichts wiedergegeben wird</translation>
    </message>
    <message>
        <source>Displays freeze frame when not playing</source>
        <translation>Standbild, wenn nichts wiedergegeben wird</translation>
    </message>
    <message>
        <source>During capture:</source>
        <translation>Während der Aufnahme:</translation>
    </message>
    <message>
        <source>Video output displays playback video</source>
        <translation>Videoausgang zeigt das Wiedergabevideo</translation>
    </message>
    <message>
        <source>Video output displays input video</source>
        <translation>Videoausgang zeigt das Eingangsvideo</translation>
    </message>
    <message>
        <source>SDI Output</source>
        <translation>SDI-Ausgang</translation>
    </message>
    <message>
        <source>Color space:</source>
        <translation>Farbraum:</translation>
    </message>
    <message>
        <source>Video is converted to RGB 4:4:4:4</source>
        <translation>Video wird in RGB 4:4:4:4 umgewandelt</translation>
    </message>
    <message>
        <source>Video is converted to Y, Cb, Cr 4:2:2</source>
        <translation>Video wird in Y, Cb, Cr 4:2:2 umgewandelt</translation>
    </message>
    <message>
        <source>3G-SDI formats:</source>
        <translation>3G-SDI-Formate:</translation>
    </message>
    <message>
        <source>Are output as SMPTE Level A</source>
        <translation>Werden als SMPTE Level A ausgegeben</translation>
    </message>
    <message>
        <source>Are output as SMPTE Level B (Normal)</source>
        <translation>Werden als SMPTE Level B (normal) ausgegeben</translation>
    </message>
    <message>
        <source>1080p HD and 2K:</source>
        <translation>1080p HD und 2K:</translation>
    </message>
    <message>
        <source>Are output as 1080p progressive video</source>
        <translation>Werden als progressives 1080p-Video ausgegeben</translation>
    </message>
    <message>
        <source>Are output as 1080PsF segmented video</source>
        <translation>Werden als segmentiertes 1080PsF-Video ausgegeben</translation>
    </message>
    <message>
        <source>SDI connector:</source>
        <translation>SDI-Anschluss:</translation>
    </message>
    <message>
        <source>Single Link</source>
        <translation>Single Link</translation>
    </message>
    <message>
        <source>Dual Link</source>
        <translation>Dual Link</translation>
    </message>
    <message>
        <source>Quad Link</source>
        <translation>Quad Link</translation>
    </message>
    <message>
        <source>Analog Video Output</source>
        <translation>Analoger Videoausgang</translation>
    </message>
    <message>
        <source>Analog Video Output Levels</source>
        <translation>Analoge Video-Ausgangspegel</translation>
    </message>
    <message>
        <source>Y:</source>
        <translation>Y:</translation>
    </message>
    <message>
        <source>Chroma:</source>
        <translation>Chroma:</translation>
    </message>
    <message>
        <source>Cb:</source>
        <translation>Cb:</translation>
    </message>
    <message>
        <source>Cr:</source>
        <translation>Cr:</translation>
    </message>
    <message>
        <source>Use Betacam Levels</source>
        <translation>Betacam-Pegel verwenden</translation>
    </message>
    <message>
        <source>NTSC IRE:</source>
        <translation>NTSC IRE:</translation>
    </message>
    <message>
        <source>0.0 (Japan)</source>
        <translation>0,0 (Japan)</translation>
    </message>
    <message>
        <source>7.5 (USA)</source>
        <translation>7,5 (USA)</translation>
    </message>
    <message>
        <source>The NTSC IRE option on the Video Input tab will be changed accordingly.</source>
        <translation>Die NTSC-IRE-Option im Reiter „Videoeingang“ wird entsprechend geändert.</translation>
    </message>
    <message>
        <source>Reference Input</source>
        <translation>Referenzeingang</translation>
    </message>
    <message>
        <source>Offset:</source>
        <translation>Versatz:</translation>
    </message>
    <message>
        <source>Pixels</source>
        <translation>Pixel</translation>
    </message>
</context>
<context>
    <name>ViewSelectionBar</name>
    <message>
        <source>Gallery view</source>
        <translation>Galerieansicht</translation>
    </message>
    <message>
        <source>List view</source>
        <translation>Listenansicht</translation>
    </message>
</context>
<context>
    <name>VisibleDevicesWidget</name>
    <message>
        <source>Previous device</source>
        <translation>Vorheriges Gerät</translation>
    </message>
    <message>
        <source>Next device</source>
        <translation>Nächstes Gerät</translation>
    </message>
    <message>
        <source>Control application</source>
        <translation>Steuerprogramm</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Update Now</source>
        <translation>Jetzt aktualisieren</translation>
    </message>
    <message>
        <source>Software update available.</source>
        <translation>Software-Update verfügbar.</translation>
    </message>
    <message>
        <source>Software is up to date.</source>
        <translation>Software ist aktuell.</translation>
    </message>
</context>
<context>
    <name>VisibleZeltra</name>
    <message>
        <source>Zeltra</source>
        <translation>Zeltra</translation>
    </message>
    <message>
        <source>Card %1</source>
        <translation>Karte %1</translation>
    </message>
</context>
<context>
    <name>VisibleZeltraSummaryWidget</name>
    <message>
        <source>VIDEO INPUT</source>
        <translation>VIDEOEINGANG</translation>
    </message>
    <message>
        <source>VIDEO OUTPUT</source>
        <translation>VIDEOAUSGANG</translation>
    </message>
    <message>
        <source>REF INPUT</source>
        <translation>REF-EINGANG</translation>
    </message>
</context>
<context>
    <name>ZeltraFamily</name>
    <message>
        <source>Software versions</source>
        <translation>Softwareversionen</translation>
    </message>
    <message>
        <source>Utility: </source>
        <translation>Dienstprogramm: </translation>
    </message>
    <message>
        <source>API: </source>
        <translation>API: </translation>
    </message>
    <message>
        <source>Firmware versions</source>
        <translation>Firmwareversionen</translation>
    </message>
</context>
<context>
    <name>ZeltraProductCard</name>
    <message>
        <source>%1 was disconnected.</source>
        <translation>%1 wurde getrennt.</translation>
    </message>
</context>
<context>
    <name>ZeltraSettingsPage</name>
    <message>
        <source>Video Output</source>
        <translation>Videoausgang</translation>
    </message>
    <message>
        <source>Video Input</source>
        <translation>Videoeingang</translation>
    </message>
    <message>
        <source>Audio</source>
        <translation>Audio</translation>
    </message>
    <message>
        <source>Conversions</source>
        <translation>Konvertierung</translation>
    </message>
    <message>
        <source>Connectors</source>
        <translation>Anschlüsse</translation>
    </message>
    <message>
        <source>Serial Port</source>
        <translation>Serieller Port</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Info</translation>
    </message>
    <message>
        <source>Settings Not Saved</source>
        <translation>Einstellungen nicht gespeichert</translation>
    </message>
    <message>
        <source>%1 could not store its settings.</source>
        <translation>%1 konnte seine Einstellungen nicht speichern.</translation>
    </message>
    <message>
        <source>The changes are applied until the card is restarted. Try Save again, or press Cancel to return to the stored settings.</source>
        <translation>Die Änderungen gelten bis zum Neustart der Karte. Versuchen Sie erneut „Speichern“ oder wählen Sie „Abbrechen“, um zu den gespeicherten Einstellungen zurückzukehren.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>ZeltraVisibleDevicesListViewWidget</name>
    <message>
        <source>PRODUCT</source>
        <translation>PRODUKT</translation>
    </message>
    <message>
        <source>LABEL</source>
        <translation>BEZEICHNUNG</translation>
    </message>
    <message>
        <source>VIDEO IN</source>
        <translation>VIDEOEINGANG</translation>
    </message>
    <message>
        <source>OUTPUT FORMAT</source>
        <translation>AUSGABEFORMAT</translation>
    </message>
    <message>
        <source>GENLOCK</source>
        <translation>GENLOCK</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
</context>
</TS>
