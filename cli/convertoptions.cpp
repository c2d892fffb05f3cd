// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/convertoptions.h"

#include <optional>
#include <utility>

#include <QCommandLineParser>

#include "cli/rawpaths.h"

namespace {

// An argument that is not UTF-8 is handed to the parser as this text, which no real argument can be: argv
// holds no NUL. What it stands for is read back by its number.
QString placeholderFor(int argument)
{
    return QChar(0) + QString::number(argument);
}

bool isPlaceholder(const QString& text)
{
    return text.startsWith(QChar(0));
}

// "jpg, png or bmp".
QString formatChoices()
{
    QStringList names;
    for (const OutputFormat format : kOutputFormats)
        names.append(outputFormatName(format));
    const QString last = names.takeLast();
    return names.join(QStringLiteral(", ")) + QStringLiteral(" or ") + last;
}

} // namespace

ConvertCommand parseConvertArguments(QCommandLineParser& parser, const QList<QByteArray>& arguments,
                                     ConvertOptions* options, QString* error)
{
    parser.setApplicationDescription(
        QStringLiteral("Converts HEIC photos to JPG, PNG or BMP files with the same engine as the Vornetta "
                       "window.\n"
                       "A folder converts every .heic, .heif and .hif file below it (any case), "
                       "sub-folders included; a file named on its own converts whatever its name.\n"
                       "Prints one line per file: the converted file, or the input, a tab and why it "
                       "failed.\n"
                       "Exit status: 0 when every file converted, 1 when any failed or none was found, "
                       "2 on a usage error."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption format({QStringLiteral("f"), QStringLiteral("format")},
                                    QStringLiteral("Output format: %1 (default %2).")
                                        .arg(formatChoices(), outputFormatName(ConvertOptions().format)),
                                    QStringLiteral("format"));
    const QCommandLineOption output(
        {QStringLiteral("o"), QStringLiteral("output")},
        QStringLiteral("Folder for the converted files, made when missing (default: each file's own "
                       "folder). Files found in a folder keep their sub-folders below it."),
        QStringLiteral("folder"));
    const QCommandLineOption quality(
        {QStringLiteral("q"), QStringLiteral("quality")},
        QStringLiteral("Writer quality from 0 to 100: JPG quality, PNG compression effort (default: the "
                       "writer's own)."),
        QStringLiteral("quality"));
    const QCommandLineOption jobs(
        {QStringLiteral("j"), QStringLiteral("jobs")},
        QStringLiteral("Files in flight at once, 1 to %1 (default 2): while one is encoded and saved, the "
                       "next is taken apart and decoded. The lines come out in the files' order all the "
                       "same.")
            .arg(kMostJobs),
        QStringLiteral("count"));
    const QCommandLineOption srgb(
        QStringLiteral("srgb"),
        QStringLiteral("Convert the colours to sRGB and embed the sRGB profile (Exif ColorSpace 1), for "
                       "viewers and web sites that ignore colour profiles. A picture without a profile is "
                       "taken as sRGB."));
    const QCommandLineOption allImages(
        QStringLiteral("all-images"),
        QStringLiteral("Every picture of a file (a burst, a collection, a stereo pair), the primary first: "
                       "name.jpg, name-2.jpg, name-3.jpg... Thumbnails and auxiliary images (alpha, depth, "
                       "gain maps) are left out."));
    parser.addOptions({format, output, quality, jobs, srgb, allImages});
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("HEIC files or folders to convert."),
                                 QStringLiteral("FILE..."));

    QStringList texts;
    for (int n = 0; n < arguments.size(); ++n)
        texts.append(isValidUtf8(arguments[n]) ? QString::fromUtf8(arguments[n]) : placeholderFor(n));
    if (!parser.parse(texts)) {
        *error = parser.errorText();
        return ConvertCommand::UsageError;
    }
    if (parser.isSet(help))
        return ConvertCommand::ShowHelp;
    if (parser.isSet(version))
        return ConvertCommand::ShowVersion;

    for (const auto& [option, what] : {std::pair{format, "format"}, std::pair{output, "output folder"},
                                       std::pair{quality, "quality"}, std::pair{jobs, "jobs"}}) {
        if (parser.isSet(option) && isPlaceholder(parser.value(option))) {
            *error = QStringLiteral("the %1 given is not valid UTF-8").arg(QLatin1String(what));
            return ConvertCommand::UsageError;
        }
    }
    if (parser.isSet(format)) {
        const std::optional<OutputFormat> chosen = parseOutputFormat(parser.value(format));
        if (!chosen) {
            *error =
                QStringLiteral("unknown format \"%1\": use %2").arg(parser.value(format), formatChoices());
            return ConvertCommand::UsageError;
        }
        options->format = *chosen;
    }
    if (parser.isSet(output)) {
        options->outputFolder = parser.value(output);
        if (options->outputFolder.isEmpty()) {
            *error = QStringLiteral("the output folder is empty");
            return ConvertCommand::UsageError;
        }
    }
    if (parser.isSet(quality)) {
        bool isNumber = false;
        options->quality = parser.value(quality).toInt(&isNumber);
        if (!isNumber || options->quality < 0 || options->quality > 100) {
            *error = QStringLiteral("the quality must be a whole number from 0 to 100, not \"%1\"")
                         .arg(parser.value(quality));
            return ConvertCommand::UsageError;
        }
    }
    if (parser.isSet(jobs)) {
        bool isNumber = false;
        options->jobs = parser.value(jobs).toInt(&isNumber);
        if (!isNumber || options->jobs < 1 || options->jobs > kMostJobs) {
            *error = QStringLiteral("the jobs must be a whole number from 1 to %1, not \"%2\"")
                         .arg(kMostJobs)
                         .arg(parser.value(jobs));
            return ConvertCommand::UsageError;
        }
    }
    options->srgb = parser.isSet(srgb);
    options->allImages = parser.isSet(allImages);
    for (const QString& path : parser.positionalArguments())
        options->paths.append(isPlaceholder(path) ? arguments.value(path.mid(1).toInt()) : path.toUtf8());
    if (options->paths.isEmpty()) {
        *error = QStringLiteral("no FILE given");
        return ConvertCommand::UsageError;
    }
    return ConvertCommand::Run;
}
