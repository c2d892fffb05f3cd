// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/imagelist.h"

#include <algorithm>
#include <limits>
#include <optional>

#include <QFileInfo>
#include <QSet>

#include "engine/files/sourcefile.h"
#include "engine/process/toolfailure.h"
#include "protocol/protocol.h"

namespace {

ImageList failed(FailureKind kind, const char* reason)
{
    return ImageList{StepResult::failed(kind, QString::fromLatin1(reason)), {}};
}

// A number in plain decimal, no sign, no blank, no leading zero; nothing for anything else.
std::optional<quint64> plainNumber(const QByteArray& text)
{
    bool number = false;
    const quint64 value = text.toULongLong(&number);
    if (!number || text.isEmpty() || text.front() < '0' || text.front() > '9' ||
        (text.size() > 1 && text.front() == '0'))
        return std::nullopt;
    return value;
}

struct Line
{
    quint32 id = 0;
    quint64 pixels = 0; // what converting the picture decodes
};

// The lines of the list, "ID PIXELS"; empty when the list cannot be true.
QList<Line> readList(const ToolOutput& output)
{
    QList<Line> lines;
    QSet<quint32> seen;
    const QByteArray text = QByteArray::fromStdString(output.text);
    if (output.cut || text.isEmpty() || !text.endsWith('\n'))
        return {};
    for (const QByteArray& line : text.chopped(1).split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        const std::optional<quint64> id = plainNumber(fields.value(0));
        const std::optional<quint64> pixels = plainNumber(fields.value(1));
        if (fields.size() != 2 || !id || !pixels || *id == 0 || *id > std::numeric_limits<quint32>::max() ||
            seen.contains(quint32(*id)))
            return {};
        seen.insert(quint32(*id));
        lines.append(Line{quint32(*id), *pixels});
    }
    return lines;
}

} // namespace

qint64 workBudget(qint64 fileBytes)
{
    const qint64 largest = qint64(protocol::kMaxConvertedSide) * protocol::kMaxConvertedSide;
    return std::max(largest, kBudgetPixelsPerByte * std::max<qint64>(fileBytes, 0));
}

ImageList listImages(const QString& input, const StopCheck& stop)
{
    const StepResult readable = checkSourceFile(input);
    if (!readable.ok())
        return ImageList{readable, {}};
    // The tools run in the program folder, where a relative path would name another file.
    const std::string source = QFileInfo(input).absoluteFilePath().toUtf8().toStdString();
    // One line more than may be converted, so that a longer list shows as too long.
    const ToolRun run = runSplitterList(source, (kMaxImagesPerFile + 1) * kMaxImageListLineBytes, stop);
    const StepResult ran = toolRunFailure(run, Tool::Splitter);
    if (!ran.ok())
        return ImageList{ran, {}};
    if (run.exitStatus == protocol::kSplitRefused)
        return ImageList{{}, {ListedImage{}}};
    if (run.exitStatus != protocol::kSplitDone)
        return failed(FailureKind::Tool, "the splitter could not list the pictures");
    const ToolOutput& output = run.output;
    if (std::count(output.text.begin(), output.text.end(), '\n') > kMaxImagesPerFile)
        return ImageList{StepResult::failed(FailureKind::Picture,
                                            QStringLiteral("more than %1 pictures").arg(kMaxImagesPerFile)),
                         {}};
    const QList<Line> lines = readList(output);
    if (lines.isEmpty())
        return failed(FailureKind::Tool, "the splitter listed the pictures wrongly");
    ImageList list;
    auto left = quint64(workBudget(QFileInfo(input).size()));
    for (const Line& line : lines) {
        ListedImage image;
        // The primary converts as it does without the others, whatever its cost.
        image.item = list.images.isEmpty() ? 0 : line.id;
        image.withinBudget = list.images.isEmpty() || line.pixels <= left;
        if (image.withinBudget)
            left -= std::min(line.pixels, left);
        list.images.append(image);
    }
    return list;
}
