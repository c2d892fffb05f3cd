// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/convertoptions.h"

#include <optional>
#include <utility>

#include <QCommandLineParser>

#include "core/rawpaths.h"

namespace {

// The options vornetta-convert takes, as the parser knows them.
struct OptionSet
{
    QCommandLineOption help;
    QCommandLineOption version;
    QCommandLineOption format;
    QCommandLineOption output;
    QCommandLineOption quality;
    QCommandLineOption jobs;
    QCommandLineOption srgb;
    QCommandLineOption allImages;
    QCommandLineOption depth;
};

// An argument that does not decode whole (decodesWhole) is handed to the parser as this text, which no real
// argument can be: argv holds no NUL. What it stands for is read back by its number.
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

// The description, the options with their help, and the files.
OptionSet describeOptions(QCommandLineParser& parser)
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
    const QCommandLineOption depth(
        QStringLiteral("depth"),
        QStringLiteral("Bits a sample in PNG files: 16 (default) keeps 10- and 12-bit pictures in 16-bit "
                       "files, 8 writes every picture in 8 bits. JPG and BMP files are always 8-bit."),
        QStringLiteral("bits"));
    parser.addOptions({format, output, quality, jobs, srgb, allImages, depth});
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("HEIC files or folders to convert."),
                                 QStringLiteral("FILE..."));
    return OptionSet{help, version, format, output, quality, jobs, srgb, allImages, depth};
}

// The arguments as the parser takes them: each that does not decode whole as its placeholder. One led by
// U+FEFF would otherwise lose it, and name another file or folder.
QStringList argumentTexts(const QList<QByteArray>& arguments)
{
    QStringList texts;
    for (int n = 0; n < arguments.size(); ++n)
        texts.append(decodesWhole(arguments[n]) ? QString::fromUtf8(arguments[n]) : placeholderFor(n));
    return texts;
}

// A whole number from low to high, or nothing.
std::optional<int> numberWithin(const QString& text, int low, int high)
{
    bool isNumber = false;
    const int value = text.toInt(&isNumber);
    if (!isNumber || value < low || value > high)
        return std::nullopt;
    return value;
}

// The options' values into options; on the first that is wrong, error says what and the result is false.
bool readOptionValues(const QCommandLineParser& parser, const OptionSet& set, ConvertOptions* options,
                      QString* error)
{
    for (const auto& [option, what] :
         {std::pair{set.format, "format"}, std::pair{set.output, "output folder"},
          std::pair{set.quality, "quality"}, std::pair{set.jobs, "jobs"}, std::pair{set.depth, "depth"}}) {
        if (parser.isSet(option) && isPlaceholder(parser.value(option))) {
            *error = QStringLiteral("the %1 given is not valid UTF-8").arg(QLatin1String(what));
            return false;
        }
    }
    if (parser.isSet(set.format)) {
        const std::optional<OutputFormat> format = parseOutputFormat(parser.value(set.format));
        if (!format) {
            *error = QStringLiteral("unknown format \"%1\": use %2")
                         .arg(parser.value(set.format), formatChoices());
            return false;
        }
        options->format = *format;
    }
    if (parser.isSet(set.output)) {
        options->outputFolder = parser.value(set.output);
        if (options->outputFolder.isEmpty()) {
            *error = QStringLiteral("the output folder is empty");
            return false;
        }
    }
    if (parser.isSet(set.quality)) {
        const std::optional<int> quality = numberWithin(parser.value(set.quality), 0, 100);
        if (!quality) {
            *error = QStringLiteral("the quality must be a whole number from 0 to 100, not \"%1\"")
                         .arg(parser.value(set.quality));
            return false;
        }
        options->quality = *quality;
    }
    if (parser.isSet(set.jobs)) {
        const std::optional<int> jobs = numberWithin(parser.value(set.jobs), 1, kMostJobs);
        if (!jobs) {
            *error = QStringLiteral("the jobs must be a whole number from 1 to %1, not \"%2\"")
                         .arg(kMostJobs)
                         .arg(parser.value(set.jobs));
            return false;
        }
        options->jobs = *jobs;
    }
    if (parser.isSet(set.depth)) {
        const QString bits = parser.value(set.depth);
        if (bits != QLatin1String("8") && bits != QLatin1String("16")) {
            *error = QStringLiteral("the depth must be 8 or 16, not \"%1\"").arg(bits);
            return false;
        }
        options->depth = bits.toInt();
    }
    options->srgb = parser.isSet(set.srgb);
    options->allImages = parser.isSet(set.allImages);
    return true;
}

} // namespace

ConvertCommand parseConvertArguments(QCommandLineParser& parser, const QList<QByteArray>& arguments,
                                     ConvertOptions* options, QString* error)
{
    const OptionSet set = describeOptions(parser);
    if (!parser.parse(argumentTexts(arguments))) {
        *error = parser.errorText();
        return ConvertCommand::UsageError;
    }
    if (parser.isSet(set.help))
        return ConvertCommand::ShowHelp;
    if (parser.isSet(set.version))
        return ConvertCommand::ShowVersion;
    if (!readOptionValues(parser, set, options, error))
        return ConvertCommand::UsageError;
    // The files and folders keep their bytes: a placeholder is read back as the argument it stands for.
    for (const QString& path : parser.positionalArguments())
        options->paths.append(isPlaceholder(path) ? arguments.value(path.mid(1).toInt()) : path.toUtf8());
    if (options->paths.isEmpty()) {
        *error = QStringLiteral("no FILE given");
        return ConvertCommand::UsageError;
    }
    return ConvertCommand::Run;
}
