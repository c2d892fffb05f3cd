<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>FailureReason</name>
    <message>
        <source>not a HEIC file or damaged</source>
        <translation>keine HEIC-Datei oder beschädigt</translation>
    </message>
    <message>
        <source>damaged JPEG file</source>
        <translation>beschädigte JPEG-Datei</translation>
    </message>
    <message>
        <source>damaged PNG file</source>
        <translation>beschädigte PNG-Datei</translation>
    </message>
    <message>
        <source>picture larger than %1 pixels</source>
        <translation>Bild größer als %1 Pixel</translation>
    </message>
    <message>
        <source>1 tile could not be decoded</source>
        <translation>1 Kachel konnte nicht dekodiert werden</translation>
    </message>
    <message>
        <source>%1 tiles could not be decoded</source>
        <translation>%1 Kacheln konnten nicht dekodiert werden</translation>
    </message>
    <message>
        <source>cannot read the picture&apos;s orientation</source>
        <translation>Bildausrichtung nicht lesbar</translation>
    </message>
    <message>
        <source>more than %1 pictures</source>
        <translation>mehr als %1 Bilder</translation>
    </message>
    <message>
        <source>not enough memory</source>
        <translation>nicht genug Arbeitsspeicher</translation>
    </message>
    <message>
        <source>took too long</source>
        <translation>dauerte zu lange</translation>
    </message>
    <message>
        <source>stopped</source>
        <translation>angehalten</translation>
    </message>
    <message>
        <source>cannot read the file</source>
        <translation>Datei nicht lesbar</translation>
    </message>
    <message>
        <source>not a file</source>
        <translation>keine Datei</translation>
    </message>
    <message>
        <source>not enough disk space</source>
        <translation>nicht genug Speicherplatz</translation>
    </message>
    <message>
        <source>cannot write to the output folder</source>
        <translation>Ausgabeordner nicht beschreibbar</translation>
    </message>
    <message>
        <source>cannot write %1 files</source>
        <translation>%1-Dateien können nicht geschrieben werden</translation>
    </message>
    <message>
        <source>the splitter could not be started</source>
        <translation>Zerleger konnte nicht starten</translation>
    </message>
    <message>
        <source>the splitter took too long</source>
        <translation>Zerleger brauchte zu lange</translation>
    </message>
    <message>
        <source>the splitter crashed</source>
        <translation>Zerleger ist abgestürzt</translation>
    </message>
    <message>
        <source>the splitter could not list the pictures</source>
        <translation>Zerleger konnte die Bilder nicht auflisten</translation>
    </message>
    <message>
        <source>the splitter listed the pictures wrongly</source>
        <translation>Zerleger hat die Bilder falsch aufgelistet</translation>
    </message>
    <message>
        <source>the tile decoder could not be started</source>
        <translation>Kacheldecoder konnte nicht starten</translation>
    </message>
    <message>
        <source>the picture reader could not be started</source>
        <translation>Bildleser konnte nicht starten</translation>
    </message>
    <message>
        <source>the picture reader took too long</source>
        <translation>Bildleser brauchte zu lange</translation>
    </message>
    <message>
        <source>the picture reader crashed</source>
        <translation>Bildleser ist abgestürzt</translation>
    </message>
    <message>
        <source>the picture reader failed</source>
        <translation>Bildleser ist fehlgeschlagen</translation>
    </message>
    <message>
        <source>cannot read the picture reader&apos;s output</source>
        <translation>Ausgabe des Bildlesers nicht lesbar</translation>
    </message>
    <message>
        <source>cannot read the stitched picture</source>
        <translation>zusammengesetztes Bild nicht lesbar</translation>
    </message>
    <message>
        <source>cannot create the work folder</source>
        <translation>Arbeitsordner kann nicht angelegt werden</translation>
    </message>
    <message>
        <source>cannot write the work folder</source>
        <translation>Arbeitsordner nicht beschreibbar</translation>
    </message>
    <message>
        <source>cannot empty the work folder</source>
        <translation>Arbeitsordner kann nicht geleert werden</translation>
    </message>
    <message>
        <source>cannot lock the work folder</source>
        <translation>Arbeitsordner kann nicht gesperrt werden</translation>
    </message>
    <message>
        <source>cannot make the work folder private</source>
        <translation>Arbeitsordner kann nicht geschützt werden</translation>
    </message>
    <message>
        <source>the work folder is a link</source>
        <translation>Arbeitsordner ist ein Link</translation>
    </message>
    <message>
        <source>the work folder is not a folder</source>
        <translation>Arbeitsordner ist kein Ordner</translation>
    </message>
    <message>
        <source>the work folder belongs to another user</source>
        <translation>Arbeitsordner gehört einem anderen Benutzer</translation>
    </message>
    <message>
        <source>picture kind not supported: %1</source>
        <translation>Bildart nicht unterstützt: %1</translation>
    </message>
</context>
<context>
    <name>HEICMainWidget</name>
    <message>
        <source>Ver: %1</source>
        <translation>Version %1</translation>
    </message>
    <message>
        <source>Drop HEIC files to here</source>
        <translation>HEIC-Dateien hierher ziehen</translation>
    </message>
    <message>
        <source>Add HEIC</source>
        <translation>HEIC hinzufügen</translation>
    </message>
    <message>
        <source>Save to %1</source>
        <translation>Als %1 speichern</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Anhalten</translation>
    </message>
    <message>
        <source>Format:</source>
        <translation>Format:</translation>
    </message>
    <message>
        <source>JPG</source>
        <translation>JPG</translation>
    </message>
    <message>
        <source>PNG</source>
        <translation>PNG</translation>
    </message>
    <message>
        <source>BMP</source>
        <translation>BMP</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <source>Support</source>
        <translation>Support</translation>
    </message>
    <message>
        <source>Homepage</source>
        <translation>Website</translation>
    </message>
    <message>
        <source>Check for Updates</source>
        <translation>Nach Updates suchen</translation>
    </message>
    <message>
        <source>JPG quality</source>
        <translation>JPG-Qualität</translation>
    </message>
    <message>
        <source>Standard (75)</source>
        <translation>Standard (75)</translation>
    </message>
    <message>
        <source>High (90)</source>
        <translation>Hoch (90)</translation>
    </message>
    <message>
        <source>Best (95)</source>
        <translation>Maximal (95)</translation>
    </message>
    <message>
        <source>Remove All</source>
        <translation>Alle entfernen</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Open File</source>
        <translation>Datei öffnen</translation>
    </message>
    <message>
        <source>Media</source>
        <translation>Medien</translation>
    </message>
    <message>
        <source>Not added to the list:</source>
        <translation>Nicht zur Liste hinzugefügt:</translation>
    </message>
    <message>
        <source>not a .heic file</source>
        <translation>keine .heic-Datei</translation>
    </message>
    <message>
        <source>not found</source>
        <translation>nicht gefunden</translation>
    </message>
    <message>
        <source>not a file</source>
        <translation>keine Datei</translation>
    </message>
    <message>
        <source>the file name is not valid UTF-8</source>
        <translation>Dateiname ist kein gültiges UTF-8</translation>
    </message>
    <message>
        <source>no .heic, .heif or .hif file in it</source>
        <translation>keine .heic-, .heif- oder .hif-Datei darin</translation>
    </message>
    <message>
        <source>more than %1 files, the rest left out</source>
        <translation>über %1 Dateien, Rest ausgelassen</translation>
    </message>
    <message>
        <source>and %1 more</source>
        <translation>und %1 weitere</translation>
    </message>
    <message>
        <source>Open Directory</source>
        <translation>Ordner auswählen</translation>
    </message>
    <message>
        <source>waiting</source>
        <translation>wartet</translation>
    </message>
    <message>
        <source>converting</source>
        <translation>in Arbeit</translation>
    </message>
    <message>
        <source>success</source>
        <translation>erfolgreich</translation>
    </message>
    <message>
        <source>failed: %1</source>
        <translation>Fehler: %1</translation>
    </message>
    <message>
        <source>Converting %1 of %2: </source>
        <translation>Konvertierung %1 von %2: </translation>
    </message>
    <message>
        <source>Do you want open the output folder? </source>
        <translation>Möchten Sie den Ausgabeordner öffnen?</translation>
    </message>
    <message>
        <source>%1 of %2 files could not be converted.</source>
        <translation>Nicht konvertiert: %1 von %2 Dateien.</translation>
    </message>
    <message>
        <source>No file could be converted.</source>
        <translation>Keine Datei konnte konvertiert werden.</translation>
    </message>
    <message>
        <source>The output folder could not be opened:</source>
        <translation>Der Ausgabeordner konnte nicht geöffnet werden:</translation>
    </message>
    <message>
        <source>Menu</source>
        <translation>Menü</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Minimise</source>
        <translation>Minimieren</translation>
    </message>
    <message>
        <source>Files</source>
        <translation>Dateien</translation>
    </message>
</context>
<context>
    <name>MyMessageBoxWidget</name>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>NO</source>
        <translation>Nein</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Ja</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>Herunterladen</translation>
    </message>
</context>
<context>
    <name>UpdateWidget</name>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Checking for updates</source>
        <translation>Suche nach Updates</translation>
    </message>
    <message>
        <source>A new version is available for %1</source>
        <translation>Eine neue Version von %1 ist verfügbar</translation>
    </message>
    <message>
        <source>Unable to check for updates. Please try again later.</source>
        <translation>Update-Suche fehlgeschlagen. Bitte später erneut versuchen.</translation>
    </message>
    <message>
        <source>The current version is the latest version</source>
        <translation>Sie verwenden die neueste Version.</translation>
    </message>
    <message>
        <source>Update Now</source>
        <translation>Jetzt aktualisieren</translation>
    </message>
    <message>
        <source>Remind me Later</source>
        <translation>Später erinnern</translation>
    </message>
</context>
</TS>
