<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pt_BR" sourcelanguage="en">
<context>
    <name>FailureReason</name>
    <message>
        <source>not a HEIC file or damaged</source>
        <translation>não é um HEIC ou está danificado</translation>
    </message>
    <message>
        <source>damaged JPEG file</source>
        <translation>arquivo JPEG danificado</translation>
    </message>
    <message>
        <source>damaged PNG file</source>
        <translation>arquivo PNG danificado</translation>
    </message>
    <message>
        <source>picture larger than %1 pixels</source>
        <translation>imagem maior que %1 pixels</translation>
    </message>
    <message>
        <source>1 tile could not be decoded</source>
        <translation>não foi possível decodificar 1 bloco</translation>
    </message>
    <message>
        <source>%1 tiles could not be decoded</source>
        <translation>não foi possível decodificar %1 blocos</translation>
    </message>
    <message>
        <source>cannot read the picture&apos;s orientation</source>
        <translation>não é possível ler a orientação</translation>
    </message>
    <message>
        <source>more than %1 pictures</source>
        <translation>mais de %1 imagens</translation>
    </message>
    <message>
        <source>not enough memory</source>
        <translation>memória insuficiente</translation>
    </message>
    <message>
        <source>took too long</source>
        <translation>demorou demais</translation>
    </message>
    <message>
        <source>stopped</source>
        <translation>interrompido</translation>
    </message>
    <message>
        <source>cannot read the file</source>
        <translation>não é possível ler o arquivo</translation>
    </message>
    <message>
        <source>not a file</source>
        <translation>não é um arquivo</translation>
    </message>
    <message>
        <source>not enough disk space</source>
        <translation>espaço em disco insuficiente</translation>
    </message>
    <message>
        <source>cannot write to the output folder</source>
        <translation>não é possível gravar na pasta de destino</translation>
    </message>
    <message>
        <source>cannot write %1 files</source>
        <translation>não é possível gravar arquivos %1</translation>
    </message>
    <message>
        <source>the splitter could not be started</source>
        <translation>não foi possível iniciar o divisor</translation>
    </message>
    <message>
        <source>the splitter took too long</source>
        <translation>o divisor demorou demais</translation>
    </message>
    <message>
        <source>the splitter crashed</source>
        <translation>o divisor travou</translation>
    </message>
    <message>
        <source>the splitter could not list the pictures</source>
        <translation>o divisor não listou as imagens</translation>
    </message>
    <message>
        <source>the splitter listed the pictures wrongly</source>
        <translation>o divisor listou as imagens errado</translation>
    </message>
    <message>
        <source>the tile decoder could not be started</source>
        <translation>não foi possível iniciar o decodificador</translation>
    </message>
    <message>
        <source>the picture reader could not be started</source>
        <translation>não foi possível iniciar o leitor de imagens</translation>
    </message>
    <message>
        <source>the picture reader took too long</source>
        <translation>o leitor de imagens demorou demais</translation>
    </message>
    <message>
        <source>the picture reader crashed</source>
        <translation>o leitor de imagens travou</translation>
    </message>
    <message>
        <source>the picture reader failed</source>
        <translation>falha no leitor de imagens</translation>
    </message>
    <message>
        <source>cannot read the picture reader&apos;s output</source>
        <translation>não é possível ler a saída do leitor</translation>
    </message>
    <message>
        <source>cannot read the stitched picture</source>
        <translation>não é possível ler a imagem montada</translation>
    </message>
    <message>
        <source>cannot create the work folder</source>
        <translation>não é possível criar a pasta de trabalho</translation>
    </message>
    <message>
        <source>cannot write the work folder</source>
        <translation>não é possível gravar na pasta de trabalho</translation>
    </message>
    <message>
        <source>cannot empty the work folder</source>
        <translation>não é possível esvaziar a pasta de trabalho</translation>
    </message>
    <message>
        <source>cannot lock the work folder</source>
        <translation>não é possível bloquear a pasta de trabalho</translation>
    </message>
    <message>
        <source>cannot make the work folder private</source>
        <translation>não é possível proteger a pasta de trabalho</translation>
    </message>
    <message>
        <source>the work folder is a link</source>
        <translation>a pasta de trabalho é um link</translation>
    </message>
    <message>
        <source>the work folder is not a folder</source>
        <translation>a pasta de trabalho não é uma pasta</translation>
    </message>
    <message>
        <source>the work folder belongs to another user</source>
        <translation>a pasta de trabalho pertence a outro usuário</translation>
    </message>
    <message>
        <source>picture kind not supported: %1</source>
        <translation>tipo de imagem não suportado: %1</translation>
    </message>
</context>
<context>
    <name>HEICMainWidget</name>
    <message>
        <source>Ver: %1</source>
        <translation>Versão %1</translation>
    </message>
    <message>
        <source>Drop HEIC files to here</source>
        <translation>Arraste os arquivos HEIC para cá</translation>
    </message>
    <message>
        <source>Add HEIC</source>
        <translation>Adicionar HEIC</translation>
    </message>
    <message>
        <source>Save to %1</source>
        <translation>Salvar como %1</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Parar</translation>
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
        <translation>Ajuda</translation>
    </message>
    <message>
        <source>Support</source>
        <translation>Suporte</translation>
    </message>
    <message>
        <source>Homepage</source>
        <translation>Site</translation>
    </message>
    <message>
        <source>Check for Updates</source>
        <translation>Verificar atualizações</translation>
    </message>
    <message>
        <source>JPG quality</source>
        <translation>Qualidade JPG</translation>
    </message>
    <message>
        <source>Standard (75)</source>
        <translation>Padrão (75)</translation>
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
        <translation>Remover tudo</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Arquivo</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Open File</source>
        <translation>Abrir arquivos</translation>
    </message>
    <message>
        <source>Media</source>
        <translation>Mídia</translation>
    </message>
    <message>
        <source>Not added to the list:</source>
        <translation>Não adicionados à lista:</translation>
    </message>
    <message>
        <source>not a .heic file</source>
        <translation>não é um arquivo .heic</translation>
    </message>
    <message>
        <source>not found</source>
        <translation>não encontrado</translation>
    </message>
    <message>
        <source>not a file</source>
        <translation>não é um arquivo</translation>
    </message>
    <message>
        <source>the file name is not valid UTF-8</source>
        <translation>o nome não é UTF-8 válido</translation>
    </message>
    <message>
        <source>no .heic, .heif or .hif file in it</source>
        <translation>sem arquivos .heic, .heif ou .hif</translation>
    </message>
    <message>
        <source>more than %1 files, the rest left out</source>
        <translation>mais de %1 arquivos, resto ignorado</translation>
    </message>
    <message>
        <source>and %1 more</source>
        <translation>e mais %1</translation>
    </message>
    <message>
        <source>Open Directory</source>
        <translation>Escolher pasta</translation>
    </message>
    <message>
        <source>waiting</source>
        <translation>aguardando</translation>
    </message>
    <message>
        <source>converting</source>
        <translation>convertendo</translation>
    </message>
    <message>
        <source>success</source>
        <translation>concluído</translation>
    </message>
    <message>
        <source>failed: %1</source>
        <translation>falha: %1</translation>
    </message>
    <message>
        <source>Converting %1 of %2: </source>
        <translation>Convertendo %1 de %2: </translation>
    </message>
    <message>
        <source>Do you want open the output folder? </source>
        <translation>Deseja abrir a pasta de destino?</translation>
    </message>
    <message>
        <source>%1 of %2 files could not be converted.</source>
        <translation>Arquivos não convertidos: %1 de %2.</translation>
    </message>
    <message>
        <source>No file could be converted.</source>
        <translation>Nenhum arquivo pôde ser convertido.</translation>
    </message>
    <message>
        <source>The output folder could not be opened:</source>
        <translation>Não foi possível abrir a pasta de destino:</translation>
    </message>
    <message>
        <source>Menu</source>
        <translation>Menu</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fechar</translation>
    </message>
    <message>
        <source>Minimise</source>
        <translation>Minimizar</translation>
    </message>
    <message>
        <source>Files</source>
        <translation>Arquivos</translation>
    </message>
</context>
<context>
    <name>MyMessageBoxWidget</name>
    <message>
        <source>Close</source>
        <translation>Fechar</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>NO</source>
        <translation>Não</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Sim</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>Baixar</translation>
    </message>
</context>
<context>
    <name>UpdateWidget</name>
    <message>
        <source>Close</source>
        <translation>Fechar</translation>
    </message>
    <message>
        <source>Checking for updates</source>
        <translation>Procurando atualizações</translation>
    </message>
    <message>
        <source>A new version is available for %1</source>
        <translation>Há uma nova versão do %1</translation>
    </message>
    <message>
        <source>Unable to check for updates. Please try again later.</source>
        <translation>Não foi possível verificar. Tente mais tarde.</translation>
    </message>
    <message>
        <source>The current version is the latest version</source>
        <translation>Você já tem a versão mais recente.</translation>
    </message>
    <message>
        <source>Update Now</source>
        <translation>Atualizar agora</translation>
    </message>
    <message>
        <source>Remind me Later</source>
        <translation>Lembrar mais tarde</translation>
    </message>
</context>
</TS>
