<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es" sourcelanguage="en">
<context>
    <name>FailureReason</name>
    <message>
        <source>not a HEIC file or damaged</source>
        <translation>no es un HEIC o está dañado</translation>
    </message>
    <message>
        <source>damaged JPEG file</source>
        <translation>archivo JPEG dañado</translation>
    </message>
    <message>
        <source>damaged PNG file</source>
        <translation>archivo PNG dañado</translation>
    </message>
    <message>
        <source>picture larger than %1 pixels</source>
        <translation>imagen de más de %1 píxeles</translation>
    </message>
    <message>
        <source>1 tile could not be decoded</source>
        <translation>no se pudo decodificar 1 mosaico</translation>
    </message>
    <message>
        <source>%1 tiles could not be decoded</source>
        <translation>no se pudieron decodificar %1 mosaicos</translation>
    </message>
    <message>
        <source>cannot read the picture&apos;s orientation</source>
        <translation>no se puede leer la orientación</translation>
    </message>
    <message>
        <source>more than %1 pictures</source>
        <translation>más de %1 imágenes</translation>
    </message>
    <message>
        <source>not enough memory</source>
        <translation>memoria insuficiente</translation>
    </message>
    <message>
        <source>took too long</source>
        <translation>tardó demasiado</translation>
    </message>
    <message>
        <source>stopped</source>
        <translation>detenido</translation>
    </message>
    <message>
        <source>cannot read the file</source>
        <translation>no se puede leer el archivo</translation>
    </message>
    <message>
        <source>not a file</source>
        <translation>no es un archivo</translation>
    </message>
    <message>
        <source>not enough disk space</source>
        <translation>espacio en disco insuficiente</translation>
    </message>
    <message>
        <source>cannot write to the output folder</source>
        <translation>no se puede escribir en la carpeta de destino</translation>
    </message>
    <message>
        <source>cannot write %1 files</source>
        <translation>no se pueden escribir archivos %1</translation>
    </message>
    <message>
        <source>the splitter could not be started</source>
        <translation>no se pudo iniciar el divisor</translation>
    </message>
    <message>
        <source>the splitter took too long</source>
        <translation>el divisor tardó demasiado</translation>
    </message>
    <message>
        <source>the splitter crashed</source>
        <translation>el divisor falló</translation>
    </message>
    <message>
        <source>the splitter could not list the pictures</source>
        <translation>el divisor no pudo listar las imágenes</translation>
    </message>
    <message>
        <source>the splitter listed the pictures wrongly</source>
        <translation>el divisor listó mal las imágenes</translation>
    </message>
    <message>
        <source>the tile decoder could not be started</source>
        <translation>no se pudo iniciar el decodificador</translation>
    </message>
    <message>
        <source>the picture reader could not be started</source>
        <translation>no se pudo iniciar el lector de imágenes</translation>
    </message>
    <message>
        <source>the picture reader took too long</source>
        <translation>el lector de imágenes tardó demasiado</translation>
    </message>
    <message>
        <source>the picture reader crashed</source>
        <translation>el lector de imágenes falló</translation>
    </message>
    <message>
        <source>the picture reader failed</source>
        <translation>error del lector de imágenes</translation>
    </message>
    <message>
        <source>cannot read the picture reader&apos;s output</source>
        <translation>no se puede leer la salida del lector</translation>
    </message>
    <message>
        <source>cannot read the stitched picture</source>
        <translation>no se puede leer la imagen ensamblada</translation>
    </message>
    <message>
        <source>cannot create the work folder</source>
        <translation>no se puede crear la carpeta de trabajo</translation>
    </message>
    <message>
        <source>cannot write the work folder</source>
        <translation>no se puede escribir en la carpeta de trabajo</translation>
    </message>
    <message>
        <source>cannot empty the work folder</source>
        <translation>no se puede vaciar la carpeta de trabajo</translation>
    </message>
    <message>
        <source>cannot lock the work folder</source>
        <translation>no se puede bloquear la carpeta de trabajo</translation>
    </message>
    <message>
        <source>cannot make the work folder private</source>
        <translation>no se puede proteger la carpeta de trabajo</translation>
    </message>
    <message>
        <source>the work folder is a link</source>
        <translation>la carpeta de trabajo es un enlace</translation>
    </message>
    <message>
        <source>the work folder is not a folder</source>
        <translation>la carpeta de trabajo no es una carpeta</translation>
    </message>
    <message>
        <source>the work folder belongs to another user</source>
        <translation>la carpeta de trabajo es de otro usuario</translation>
    </message>
    <message>
        <source>picture kind not supported: %1</source>
        <translation>tipo de imagen no compatible: %1</translation>
    </message>
</context>
<context>
    <name>HEICMainWidget</name>
    <message>
        <source>Ver: %1</source>
        <translation>Versión %1</translation>
    </message>
    <message>
        <source>Drop HEIC files to here</source>
        <translation>Arrastre aquí los archivos HEIC</translation>
    </message>
    <message>
        <source>Add HEIC</source>
        <translation>Añadir HEIC</translation>
    </message>
    <message>
        <source>Save to %1</source>
        <translation>Guardar como %1</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Detener</translation>
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
        <translation>Ayuda</translation>
    </message>
    <message>
        <source>Support</source>
        <translation>Soporte</translation>
    </message>
    <message>
        <source>Homepage</source>
        <translation>Sitio web</translation>
    </message>
    <message>
        <source>Check for Updates</source>
        <translation>Buscar actualizaciones</translation>
    </message>
    <message>
        <source>JPG quality</source>
        <translation>Calidad JPG</translation>
    </message>
    <message>
        <source>Standard (75)</source>
        <translation>Estándar (75)</translation>
    </message>
    <message>
        <source>High (90)</source>
        <translation>Alta (90)</translation>
    </message>
    <message>
        <source>Best (95)</source>
        <translation>Máxima (95)</translation>
    </message>
    <message>
        <source>Remove All</source>
        <translation>Quitar todo</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Archivo</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Estado</translation>
    </message>
    <message>
        <source>Open File</source>
        <translation>Abrir archivos</translation>
    </message>
    <message>
        <source>Media</source>
        <translation>Multimedia</translation>
    </message>
    <message>
        <source>Not added to the list:</source>
        <translation>No se añadieron a la lista:</translation>
    </message>
    <message>
        <source>not a .heic file</source>
        <translation>no es un archivo .heic</translation>
    </message>
    <message>
        <source>not found</source>
        <translation>no encontrado</translation>
    </message>
    <message>
        <source>not a file</source>
        <translation>no es un archivo</translation>
    </message>
    <message>
        <source>the file name is not valid UTF-8</source>
        <translation>el nombre no es UTF-8 válido</translation>
    </message>
    <message>
        <source>no .heic, .heif or .hif file in it</source>
        <translation>no contiene .heic, .heif ni .hif</translation>
    </message>
    <message>
        <source>more than %1 files, the rest left out</source>
        <translation>más de %1 archivos, resto omitido</translation>
    </message>
    <message>
        <source>and %1 more</source>
        <translation>y %1 más</translation>
    </message>
    <message>
        <source>Open Directory</source>
        <translation>Elegir carpeta</translation>
    </message>
    <message>
        <source>waiting</source>
        <translation>en espera</translation>
    </message>
    <message>
        <source>converting</source>
        <translation>convirtiendo</translation>
    </message>
    <message>
        <source>success</source>
        <translation>completado</translation>
    </message>
    <message>
        <source>failed: %1</source>
        <translation>error: %1</translation>
    </message>
    <message>
        <source>Converting %1 of %2: </source>
        <translation>Convirtiendo %1 de %2: </translation>
    </message>
    <message>
        <source>Do you want open the output folder? </source>
        <translation>¿Desea abrir la carpeta de destino?</translation>
    </message>
    <message>
        <source>%1 of %2 files could not be converted.</source>
        <translation>Archivos sin convertir: %1 de %2.</translation>
    </message>
    <message>
        <source>No file could be converted.</source>
        <translation>No se pudo convertir ningún archivo.</translation>
    </message>
    <message>
        <source>The output folder could not be opened:</source>
        <translation>No se pudo abrir la carpeta de destino:</translation>
    </message>
    <message>
        <source>Menu</source>
        <translation>Menú</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Cerrar</translation>
    </message>
    <message>
        <source>Minimise</source>
        <translation>Minimizar</translation>
    </message>
    <message>
        <source>Files</source>
        <translation>Archivos</translation>
    </message>
</context>
<context>
    <name>MyMessageBoxWidget</name>
    <message>
        <source>Close</source>
        <translation>Cerrar</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>Aceptar</translation>
    </message>
    <message>
        <source>NO</source>
        <translation>No</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Sí</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>Descargar</translation>
    </message>
</context>
<context>
    <name>UpdateWidget</name>
    <message>
        <source>Close</source>
        <translation>Cerrar</translation>
    </message>
    <message>
        <source>Checking for updates</source>
        <translation>Buscando actualizaciones</translation>
    </message>
    <message>
        <source>A new version is available for %1</source>
        <translation>Hay una nueva versión de %1</translation>
    </message>
    <message>
        <source>Unable to check for updates. Please try again later.</source>
        <translation>No se pudo comprobar. Inténtelo más tarde.</translation>
    </message>
    <message>
        <source>The current version is the latest version</source>
        <translation>Ya tiene la versión más reciente.</translation>
    </message>
    <message>
        <source>Update Now</source>
        <translation>Actualizar ahora</translation>
    </message>
    <message>
        <source>Remind me Later</source>
        <translation>Recordar más tarde</translation>
    </message>
</context>
</TS>
