// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/failurereasons.h"

#include <vector>

#include <QCoreApplication>
#include <QRegularExpression>

namespace {

constexpr char kContext[] = "FailureReason";

// Every reason the engine gives for a file the window converts; %1 stands for the number, format or item
// type in it, which stays as the engine wrote it.
constexpr const char* kReasons[] = {
    QT_TRANSLATE_NOOP("FailureReason", "not a HEIC file or damaged"),
    QT_TRANSLATE_NOOP("FailureReason", "picture kind not supported: %1"),
    QT_TRANSLATE_NOOP("FailureReason", "damaged JPEG file"),
    QT_TRANSLATE_NOOP("FailureReason", "damaged PNG file"),
    QT_TRANSLATE_NOOP("FailureReason", "picture larger than %1 pixels"),
    QT_TRANSLATE_NOOP("FailureReason", "1 tile could not be decoded"),
    QT_TRANSLATE_NOOP("FailureReason", "%1 tiles could not be decoded"),
    QT_TRANSLATE_NOOP("FailureReason", "cannot read the picture's orientation"),
    QT_TRANSLATE_NOOP("FailureReason", "more than %1 pictures"),
    QT_TRANSLATE_NOOP("FailureReason", "not enough memory"),
    QT_TRANSLATE_NOOP("FailureReason", "took too long"),
    QT_TRANSLATE_NOOP("FailureReason", "stopped"),
    QT_TRANSLATE_NOOP("FailureReason", "cannot read the file"),
    QT_TRANSLATE_NOOP("FailureReason", "not a file"),
    QT_TRANSLATE_NOOP("FailureReason", "not enough disk space"),
    QT_TRANSLATE_NOOP("FailureReason", "cannot write to the output folder"),
    QT_TRANSLATE_NOOP("FailureReason", "cannot write %1 files"),
    QT_TRANSLATE_NOOP("FailureReason", "the splitter could not be started"),
    QT_TRANSLATE_NOOP("FailureReason", "the splitter took too long"),
    QT_TRANSLATE_NOOP("FailureReason", "the splitter crashed"),
    QT_TRANSLATE_NOOP("FailureReason", "the splitter could not list the pictures"),
    QT_TRANSLATE_NOOP("FailureReason", "the splitter listed the pictures wrongly"),
    QT_TRANSLATE_NOOP("FailureReason", "the tile decoder could not be started"),
    QT_TRANSLATE_NOOP("FailureReason", "the picture reader could not be started"),
    QT_TRANSLATE_NOOP("FailureReason", "the picture reader took too long"),
    QT_TRANSLATE_NOOP("FailureReason", "the picture reader crashed"),
    QT_TRANSLATE_NOOP("FailureReason", "the picture reader failed"),
    QT_TRANSLATE_NOOP("FailureReason", "cannot read the picture reader's output"),
    QT_TRANSLATE_NOOP("FailureReason", "cannot read the stitched picture"),
    QT_TRANSLATE_NOOP("FailureReason", "cannot create the work folder"),
    QT_TRANSLATE_NOOP("FailureReason", "cannot write the work folder"),
    QT_TRANSLATE_NOOP("FailureReason", "cannot empty the work folder"),
    QT_TRANSLATE_NOOP("FailureReason", "cannot lock the work folder"),
    QT_TRANSLATE_NOOP("FailureReason", "cannot make the work folder private"),
    QT_TRANSLATE_NOOP("FailureReason", "the work folder is a link"),
    QT_TRANSLATE_NOOP("FailureReason", "the work folder is not a folder"),
    QT_TRANSLATE_NOOP("FailureReason", "the work folder belongs to another user"),
};

// A reason with a %1, as a pattern that captures what stands in its place; made once, as rows are shown
// in their thousands.
struct ReasonShape
{
    const char* text;
    QRegularExpression shape; // none for a reason without %1
};

const std::vector<ReasonShape>& reasonShapes()
{
    static const std::vector<ReasonShape> shapes = [] {
        std::vector<ReasonShape> made;
        for (const char* known : kReasons) {
            const QString pattern = QString::fromLatin1(known);
            const qsizetype at = pattern.indexOf("%1");
            made.push_back({known, at < 0 ? QRegularExpression()
                                          : QRegularExpression(QRegularExpression::anchoredPattern(
                                                QRegularExpression::escape(pattern.left(at)) + "(\\S.*?)" +
                                                QRegularExpression::escape(pattern.mid(at + 2))))});
        }
        return made;
    }();
    return shapes;
}

} // namespace

QString translatedFailureReason(const QString& reason)
{
    // Rows that did not fail have no reason.
    if (reason.isEmpty())
        return reason;
    for (const ReasonShape& known : reasonShapes()) {
        if (known.shape.pattern().isEmpty()) {
            if (reason == QLatin1String(known.text))
                return QCoreApplication::translate(kContext, known.text);
            continue;
        }
        const QRegularExpressionMatch match = known.shape.match(reason);
        if (match.hasMatch())
            return QCoreApplication::translate(kContext, known.text).arg(match.captured(1));
    }
    return reason;
}
