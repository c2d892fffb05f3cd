// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/imagelist.h"

#include <algorithm>

#include <QFileInfo>
#include <QSet>

#include "engine/sourcefile.h"
#include "protocol/protocol.h"

namespace {

// The longest line of the list: an id of ten digits and its line end.
constexpr size_t kLongestLine = 11;

ImageList failed(FailureKind kind, const char* reason)
{
    return ImageList{StepResult::failed(kind, QString::fromLatin1(reason)), {}};
}

// The ids of the list, the first one replaced by 0; empty when the list cannot be true.
QList<quint32> readList(const ToolOutput& output)
{
    QList<quint32> items;
    QSet<quint32> seen;
    const QByteArray text = QByteArray::fromStdString(output.text);
    if (output.cut || text.isEmpty() || !text.endsWith('\n'))
        return {};
    for (const QByteArray& line : text.chopped(1).split('\n')) {
        bool number = false;
        const quint32 id = line.toUInt(&number);
        // Plain digits only: toUInt takes signs and blanks too.
        if (!number || id == 0 || line.isEmpty() || line.front() < '1' || line.front() > '9' ||
            seen.contains(id))
            return {};
        seen.insert(id);
        items.append(items.isEmpty() ? 0 : id);
    }
    return items;
}

} // namespace

ImageList listImages(const QString& input, const StopCheck& stop)
{
    const StepResult readable = checkSourceFile(input);
    if (!readable.ok())
        return ImageList{readable, {}};
    // One line more than may be converted, so that a longer list shows as too long.
    ToolOutput output;
    output.limit = (kMaxImagesPerFile + 1) * kLongestLine;
    int exitStatus = 0;
    // The tools run in the program folder, where a relative path would name another file.
    const std::string source = QFileInfo(input).absoluteFilePath().toUtf8().toStdString();
    switch (runSplitterList(source, output, stop, &exitStatus)) {
    case kToolStopped:
        return ImageList{StepResult::stopped(), {}};
    case kToolNotStarted:
        return failed(FailureKind::Tool, "the splitter could not be started");
    case kToolTimedOut:
        return failed(FailureKind::Tool, "the splitter took too long");
    default:
        break;
    }
    if (exitStatus == protocol::kSplitRefused)
        return ImageList{{}, {0}};
    if (exitStatus > 128)
        return failed(FailureKind::Tool, "the splitter crashed");
    if (exitStatus != protocol::kSplitDone)
        return failed(FailureKind::Tool, "the splitter could not list the pictures");
    if (std::count(output.text.begin(), output.text.end(), '\n') > kMaxImagesPerFile)
        return ImageList{StepResult::failed(FailureKind::Picture,
                                            QStringLiteral("more than %1 pictures").arg(kMaxImagesPerFile)),
                         {}};
    ImageList list;
    list.items = readList(output);
    if (list.items.isEmpty())
        return failed(FailureKind::Tool, "the splitter listed the pictures wrongly");
    return list;
}
