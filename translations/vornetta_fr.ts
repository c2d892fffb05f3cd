<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr" sourcelanguage="en">
<context>
    <name>FailureReason</name>
    <message>
        <source>not a HEIC file or damaged</source>
        <translation>pas un fichier HEIC ou endommagé</translation>
    </message>
    <message>
        <source>damaged JPEG file</source>
        <translation>fichier JPEG endommagé</translation>
    </message>
    <message>
        <source>damaged PNG file</source>
        <translation>fichier PNG endommagé</translation>
    </message>
    <message>
        <source>picture larger than %1 pixels</source>
        <translation>image de plus de %1 pixels</translation>
    </message>
    <message>
        <source>1 tile could not be decoded</source>
        <translation>1 tuile n’a pas pu être décodée</translation>
    </message>
    <message>
        <source>%1 tiles could not be decoded</source>
        <translation>%1 tuiles n’ont pas pu être décodées</translation>
    </message>
    <message>
        <source>cannot read the picture&apos;s orientation</source>
        <translation>orientation de l’image illisible</translation>
    </message>
    <message>
        <source>more than %1 pictures</source>
        <translation>plus de %1 images</translation>
    </message>
    <message>
        <source>not enough memory</source>
        <translation>mémoire insuffisante</translation>
    </message>
    <message>
        <source>took too long</source>
        <translation>délai dépassé</translation>
    </message>
    <message>
        <source>stopped</source>
        <translation>arrêté</translation>
    </message>
    <message>
        <source>cannot read the file</source>
        <translation>fichier illisible</translation>
    </message>
    <message>
        <source>not a file</source>
        <translation>pas un fichier</translation>
    </message>
    <message>
        <source>not enough disk space</source>
        <translation>espace disque insuffisant</translation>
    </message>
    <message>
        <source>cannot write to the output folder</source>
        <translation>impossible d’écrire dans le dossier de sortie</translation>
    </message>
    <message>
        <source>cannot write %1 files</source>
        <translation>impossible d’écrire des fichiers %1</translation>
    </message>
    <message>
        <source>the splitter could not be started</source>
        <translation>impossible de lancer le découpeur</translation>
    </message>
    <message>
        <source>the splitter took too long</source>
        <translation>le découpeur a mis trop de temps</translation>
    </message>
    <message>
        <source>the splitter crashed</source>
        <translation>le découpeur a planté</translation>
    </message>
    <message>
        <source>the splitter could not list the pictures</source>
        <translation>le découpeur n’a pas pu lister les images</translation>
    </message>
    <message>
        <source>the splitter listed the pictures wrongly</source>
        <translation>le découpeur a mal listé les images</translation>
    </message>
    <message>
        <source>the tile decoder could not be started</source>
        <translation>impossible de lancer le décodeur de tuiles</translation>
    </message>
    <message>
        <source>the picture reader could not be started</source>
        <translation>impossible de lancer le lecteur d’images</translation>
    </message>
    <message>
        <source>the picture reader took too long</source>
        <translation>le lecteur d’images a mis trop de temps</translation>
    </message>
    <message>
        <source>the picture reader crashed</source>
        <translation>le lecteur d’images a planté</translation>
    </message>
    <message>
        <source>the picture reader failed</source>
        <translation>échec du lecteur d’images</translation>
    </message>
    <message>
        <source>cannot read the picture reader&apos;s output</source>
        <translation>sortie du lecteur d’images illisible</translation>
    </message>
    <message>
        <source>cannot read the stitched picture</source>
        <translation>image assemblée illisible</translation>
    </message>
    <message>
        <source>cannot create the work folder</source>
        <translation>impossible de créer le dossier de travail</translation>
    </message>
    <message>
        <source>cannot write the work folder</source>
        <translation>impossible d’écrire dans le dossier de travail</translation>
    </message>
    <message>
        <source>cannot empty the work folder</source>
        <translation>impossible de vider le dossier de travail</translation>
    </message>
    <message>
        <source>cannot lock the work folder</source>
        <translation>impossible de verrouiller le dossier de travail</translation>
    </message>
    <message>
        <source>cannot make the work folder private</source>
        <translation>impossible de protéger le dossier de travail</translation>
    </message>
    <message>
        <source>the work folder is a link</source>
        <translation>le dossier de travail est un lien</translation>
    </message>
    <message>
        <source>the work folder is not a folder</source>
        <translation>le dossier de travail n’est pas un dossier</translation>
    </message>
    <message>
        <source>the work folder belongs to another user</source>
        <translation>le dossier de travail appartient à un autre utilisateur</translation>
    </message>
    <message>
        <source>picture kind not supported: %1</source>
        <translation>type d'image non pris en charge : %1</translation>
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
        <translation>Déposez les fichiers HEIC ici</translation>
    </message>
    <message>
        <source>Add HEIC</source>
        <translation>Ajouter des HEIC</translation>
    </message>
    <message>
        <source>Save to %1</source>
        <translation>Enregistrer en %1</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Arrêter</translation>
    </message>
    <message>
        <source>Format:</source>
        <translation>Format&#xa0;:</translation>
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
        <translation>Aide</translation>
    </message>
    <message>
        <source>Support</source>
        <translation>Assistance</translation>
    </message>
    <message>
        <source>Homepage</source>
        <translation>Site web</translation>
    </message>
    <message>
        <source>Check for Updates</source>
        <translation>Rechercher des mises à jour</translation>
    </message>
    <message>
        <source>JPG quality</source>
        <translation>Qualité JPG</translation>
    </message>
    <message>
        <source>Standard (75)</source>
        <translation>Standard (75)</translation>
    </message>
    <message>
        <source>High (90)</source>
        <translation>Élevée (90)</translation>
    </message>
    <message>
        <source>Best (95)</source>
        <translation>Maximale (95)</translation>
    </message>
    <message>
        <source>Remove All</source>
        <translation>Tout retirer</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Fichier</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>État</translation>
    </message>
    <message>
        <source>Open File</source>
        <translation>Ouvrir des fichiers</translation>
    </message>
    <message>
        <source>Media</source>
        <translation>Médias</translation>
    </message>
    <message>
        <source>Not added to the list:</source>
        <translation>Non ajoutés à la liste&#xa0;:</translation>
    </message>
    <message>
        <source>not a .heic file</source>
        <translation>pas un fichier .heic</translation>
    </message>
    <message>
        <source>not found</source>
        <translation>introuvable</translation>
    </message>
    <message>
        <source>not a file</source>
        <translation>pas un fichier</translation>
    </message>
    <message>
        <source>the file name is not valid UTF-8</source>
        <translation>nom de fichier non valide en UTF-8</translation>
    </message>
    <message>
        <source>no .heic, .heif or .hif file in it</source>
        <translation>aucun fichier .heic, .heif ou .hif</translation>
    </message>
    <message>
        <source>more than %1 files, the rest left out</source>
        <translation>plus de %1 fichiers, le reste ignoré</translation>
    </message>
    <message>
        <source>and %1 more</source>
        <translation>et %1 autres</translation>
    </message>
    <message>
        <source>Open Directory</source>
        <translation>Choisir un dossier</translation>
    </message>
    <message>
        <source>waiting</source>
        <translation>en attente</translation>
    </message>
    <message>
        <source>converting</source>
        <translation>en cours</translation>
    </message>
    <message>
        <source>success</source>
        <translation>réussi</translation>
    </message>
    <message>
        <source>failed: %1</source>
        <translation>échec&#xa0;: %1</translation>
    </message>
    <message>
        <source>Converting %1 of %2: </source>
        <translation>Conversion %1 sur %2&#xa0;: </translation>
    </message>
    <message>
        <source>Do you want open the output folder? </source>
        <translation>Voulez-vous ouvrir le dossier de sortie&#xa0;?</translation>
    </message>
    <message>
        <source>%1 of %2 files could not be converted.</source>
        <translation>Fichiers non convertis&#xa0;: %1 sur %2.</translation>
    </message>
    <message>
        <source>No file could be converted.</source>
        <translation>Aucun fichier n’a pu être converti.</translation>
    </message>
    <message>
        <source>The output folder could not be opened:</source>
        <translation>Impossible d’ouvrir le dossier de sortie&#xa0;:</translation>
    </message>
    <message>
        <source>Menu</source>
        <translation>Menu</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>Minimise</source>
        <translation>Réduire</translation>
    </message>
    <message>
        <source>Files</source>
        <translation>Fichiers</translation>
    </message>
</context>
<context>
    <name>MyMessageBoxWidget</name>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>NO</source>
        <translation>Non</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Oui</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>Télécharger</translation>
    </message>
</context>
<context>
    <name>UpdateWidget</name>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>Checking for updates</source>
        <translation>Recherche de mises à jour</translation>
    </message>
    <message>
        <source>A new version is available for %1</source>
        <translation>Une nouvelle version de %1 est disponible</translation>
    </message>
    <message>
        <source>Unable to check for updates. Please try again later.</source>
        <translation>Recherche impossible. Veuillez réessayer plus tard.</translation>
    </message>
    <message>
        <source>The current version is the latest version</source>
        <translation>Vous avez la dernière version.</translation>
    </message>
    <message>
        <source>Update Now</source>
        <translation>Mettre à jour</translation>
    </message>
    <message>
        <source>Remind me Later</source>
        <translation>Rappeler plus tard</translation>
    </message>
</context>
</TS>
