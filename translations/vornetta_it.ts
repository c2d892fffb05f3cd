<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="it" sourcelanguage="en">
<context>
    <name>FailureReason</name>
    <message>
        <source>not a HEIC file or damaged</source>
        <translation>non è un file HEIC o è danneggiato</translation>
    </message>
    <message>
        <source>damaged JPEG file</source>
        <translation>file JPEG danneggiato</translation>
    </message>
    <message>
        <source>damaged PNG file</source>
        <translation>file PNG danneggiato</translation>
    </message>
    <message>
        <source>picture larger than %1 pixels</source>
        <translation>immagine oltre %1 pixel</translation>
    </message>
    <message>
        <source>1 tile could not be decoded</source>
        <translation>impossibile decodificare 1 riquadro</translation>
    </message>
    <message>
        <source>%1 tiles could not be decoded</source>
        <translation>impossibile decodificare %1 riquadri</translation>
    </message>
    <message>
        <source>cannot read the picture&apos;s orientation</source>
        <translation>impossibile leggere l’orientamento</translation>
    </message>
    <message>
        <source>more than %1 pictures</source>
        <translation>più di %1 immagini</translation>
    </message>
    <message>
        <source>not enough memory</source>
        <translation>memoria insufficiente</translation>
    </message>
    <message>
        <source>took too long</source>
        <translation>tempo scaduto</translation>
    </message>
    <message>
        <source>stopped</source>
        <translation>interrotto</translation>
    </message>
    <message>
        <source>cannot read the file</source>
        <translation>impossibile leggere il file</translation>
    </message>
    <message>
        <source>not a file</source>
        <translation>non è un file</translation>
    </message>
    <message>
        <source>not enough disk space</source>
        <translation>spazio su disco insufficiente</translation>
    </message>
    <message>
        <source>cannot write to the output folder</source>
        <translation>impossibile scrivere nella cartella di destinazione</translation>
    </message>
    <message>
        <source>cannot write %1 files</source>
        <translation>impossibile scrivere file %1</translation>
    </message>
    <message>
        <source>the splitter could not be started</source>
        <translation>impossibile avviare il divisore</translation>
    </message>
    <message>
        <source>the splitter took too long</source>
        <translation>il divisore ha impiegato troppo</translation>
    </message>
    <message>
        <source>the splitter crashed</source>
        <translation>il divisore si è bloccato</translation>
    </message>
    <message>
        <source>the splitter could not list the pictures</source>
        <translation>il divisore non ha elencato le immagini</translation>
    </message>
    <message>
        <source>the splitter listed the pictures wrongly</source>
        <translation>il divisore ha elencato male le immagini</translation>
    </message>
    <message>
        <source>the tile decoder could not be started</source>
        <translation>impossibile avviare il decodificatore</translation>
    </message>
    <message>
        <source>the picture reader could not be started</source>
        <translation>impossibile avviare il lettore di immagini</translation>
    </message>
    <message>
        <source>the picture reader took too long</source>
        <translation>il lettore di immagini ha impiegato troppo</translation>
    </message>
    <message>
        <source>the picture reader crashed</source>
        <translation>il lettore di immagini si è bloccato</translation>
    </message>
    <message>
        <source>the picture reader failed</source>
        <translation>errore del lettore di immagini</translation>
    </message>
    <message>
        <source>cannot read the picture reader&apos;s output</source>
        <translation>impossibile leggere l’output del lettore</translation>
    </message>
    <message>
        <source>cannot read the stitched picture</source>
        <translation>impossibile leggere l’immagine ricomposta</translation>
    </message>
    <message>
        <source>cannot create the work folder</source>
        <translation>impossibile creare la cartella di lavoro</translation>
    </message>
    <message>
        <source>cannot write the work folder</source>
        <translation>impossibile scrivere nella cartella di lavoro</translation>
    </message>
    <message>
        <source>cannot empty the work folder</source>
        <translation>impossibile svuotare la cartella di lavoro</translation>
    </message>
    <message>
        <source>cannot lock the work folder</source>
        <translation>impossibile bloccare la cartella di lavoro</translation>
    </message>
    <message>
        <source>cannot make the work folder private</source>
        <translation>impossibile proteggere la cartella di lavoro</translation>
    </message>
    <message>
        <source>the work folder is a link</source>
        <translation>la cartella di lavoro è un collegamento</translation>
    </message>
    <message>
        <source>the work folder is not a folder</source>
        <translation>la cartella di lavoro non è una cartella</translation>
    </message>
    <message>
        <source>the work folder belongs to another user</source>
        <translation>la cartella di lavoro è di un altro utente</translation>
    </message>
    <message>
        <source>picture kind not supported: %1</source>
        <translation>tipo di immagine non supportato: %1</translation>
    </message>
</context>
<context>
    <name>HEICMainWidget</name>
    <message>
        <source>Ver: %1</source>
        <translation>Versione %1</translation>
    </message>
    <message>
        <source>Drop HEIC files to here</source>
        <translation>Trascina qui i file HEIC</translation>
    </message>
    <message>
        <source>Add HEIC</source>
        <translation>Aggiungi HEIC</translation>
    </message>
    <message>
        <source>Save to %1</source>
        <translation>Salva come %1</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Interrompi</translation>
    </message>
    <message>
        <source>Format:</source>
        <translation>Formato:</translation>
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
        <translation>Guida</translation>
    </message>
    <message>
        <source>Support</source>
        <translation>Assistenza</translation>
    </message>
    <message>
        <source>Homepage</source>
        <translation>Sito web</translation>
    </message>
    <message>
        <source>Check for Updates</source>
        <translation>Verifica aggiornamenti</translation>
    </message>
    <message>
        <source>JPG quality</source>
        <translation>Qualità JPG</translation>
    </message>
    <message>
        <source>Standard (75)</source>
        <translation>Standard (75)</translation>
    </message>
    <message>
        <source>High (90)</source>
        <translation>Alta (90)</translation>
    </message>
    <message>
        <source>Best (95)</source>
        <translation>Massima (95)</translation>
    </message>
    <message>
        <source>Remove All</source>
        <translation>Rimuovi tutto</translation>
    </message>
    <message>
        <source>File</source>
        <translation>File</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Stato</translation>
    </message>
    <message>
        <source>Open File</source>
        <translation>Apri file</translation>
    </message>
    <message>
        <source>Media</source>
        <translation>File multimediali</translation>
    </message>
    <message>
        <source>Not added to the list:</source>
        <translation>Non aggiunti all’elenco:</translation>
    </message>
    <message>
        <source>not a .heic file</source>
        <translation>non è un file .heic</translation>
    </message>
    <message>
        <source>not found</source>
        <translation>non trovato</translation>
    </message>
    <message>
        <source>not a file</source>
        <translation>non è un file</translation>
    </message>
    <message>
        <source>the file name is not valid UTF-8</source>
        <translation>nome file non valido in UTF-8</translation>
    </message>
    <message>
        <source>no .heic, .heif or .hif file in it</source>
        <translation>nessun file .heic, .heif o .hif</translation>
    </message>
    <message>
        <source>more than %1 files, the rest left out</source>
        <translation>oltre %1 file, il resto è escluso</translation>
    </message>
    <message>
        <source>and %1 more</source>
        <translation>e altri %1</translation>
    </message>
    <message>
        <source>Open Directory</source>
        <translation>Scegli cartella</translation>
    </message>
    <message>
        <source>waiting</source>
        <translation>in attesa</translation>
    </message>
    <message>
        <source>converting</source>
        <translation>in corso</translation>
    </message>
    <message>
        <source>success</source>
        <translation>completato</translation>
    </message>
    <message>
        <source>failed: %1</source>
        <translation>errore: %1</translation>
    </message>
    <message>
        <source>Converting %1 of %2: </source>
        <translation>Conversione %1 di %2: </translation>
    </message>
    <message>
        <source>Do you want open the output folder? </source>
        <translation>Aprire la cartella di destinazione?</translation>
    </message>
    <message>
        <source>%1 of %2 files could not be converted.</source>
        <translation>File non convertiti: %1 su %2.</translation>
    </message>
    <message>
        <source>No file could be converted.</source>
        <translation>Nessun file è stato convertito.</translation>
    </message>
    <message>
        <source>The output folder could not be opened:</source>
        <translation>Impossibile aprire la cartella di destinazione:</translation>
    </message>
    <message>
        <source>Menu</source>
        <translation>Menu</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Chiudi</translation>
    </message>
    <message>
        <source>Minimise</source>
        <translation>Riduci a icona</translation>
    </message>
    <message>
        <source>Files</source>
        <translation>File</translation>
    </message>
</context>
<context>
    <name>MyMessageBoxWidget</name>
    <message>
        <source>Close</source>
        <translation>Chiudi</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>NO</source>
        <translation>No</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Sì</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annulla</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>Scarica</translation>
    </message>
</context>
<context>
    <name>UpdateWidget</name>
    <message>
        <source>Close</source>
        <translation>Chiudi</translation>
    </message>
    <message>
        <source>Checking for updates</source>
        <translation>Ricerca aggiornamenti</translation>
    </message>
    <message>
        <source>A new version is available for %1</source>
        <translation>È disponibile una nuova versione di %1</translation>
    </message>
    <message>
        <source>Unable to check for updates. Please try again later.</source>
        <translation>Verifica non riuscita. Riprova più tardi.</translation>
    </message>
    <message>
        <source>The current version is the latest version</source>
        <translation>Hai già la versione più recente.</translation>
    </message>
    <message>
        <source>Update Now</source>
        <translation>Aggiorna ora</translation>
    </message>
    <message>
        <source>Remind me Later</source>
        <translation>Ricorda più tardi</translation>
    </message>
</context>
</TS>
