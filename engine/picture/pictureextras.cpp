// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/picture/pictureextras.h"

#include <algorithm>

#include <QColorSpace>

#include "engine/files/smallfile.h"
#include "engine/picture/picturememory.h"
#include "protocol/protocol.h"

namespace {

// A decimal number without sign or leading zeros, at most 9 digits.
std::optional<int> number(const QByteArray& field)
{
    const std::optional<qint64> value = decimalField(field, 0, 999'999'999);
    return value ? std::optional<int>(int(*value)) : std::nullopt;
}

} // namespace

std::optional<std::vector<PictureOperation>> parsePictureOperations(const QByteArray& text)
{
    std::vector<PictureOperation> operations;
    if (text.isEmpty())
        return operations;
    if (!text.endsWith('\n'))
        return std::nullopt;
    const QList<QByteArray> lines = text.left(text.size() - 1).split('\n');
    if (std::size_t(lines.size()) > protocol::kMaxPictureOperations)
        return std::nullopt;
    for (const QByteArray& line : lines) {
        const QList<QByteArray> fields = line.split(' ');
        std::vector<int> values;
        for (qsizetype i = 1; i < fields.size(); ++i) {
            const std::optional<int> value = number(fields[i]);
            if (!value)
                return std::nullopt;
            values.push_back(*value);
        }
        PictureOperation operation;
        if (fields[0] == "crop" && values.size() == 4 && values[2] > 0 && values[3] > 0) {
            operation.kind = PictureOperation::Kind::Crop;
            operation.crop = QRect(values[0], values[1], values[2], values[3]);
        } else if (fields[0] == "rotate" && values.size() == 1 && values[0] >= 1 && values[0] <= 3) {
            operation.kind = PictureOperation::Kind::Rotate;
            operation.quarterTurns = values[0];
        } else if (fields[0] == "mirror" && values.size() == 1 && values[0] <= 1) {
            operation.kind = PictureOperation::Kind::Mirror;
            operation.axis = values[0];
        } else {
            return std::nullopt;
        }
        operations.push_back(operation);
    }
    return operations;
}

bool applyPictureOperations(QImage& image, const std::vector<PictureOperation>& operations)
{
    for (const PictureOperation& operation : operations) {
        switch (operation.kind) {
        case PictureOperation::Kind::Crop:
            if (!image.rect().contains(operation.crop))
                return false;
            image = croppedPicture(image, operation.crop);
            break;
        case PictureOperation::Kind::Rotate:
            image = turnedPicture(image, operation.quarterTurns);
            break;
        case PictureOperation::Kind::Mirror:
            image = mirroredPicture(image, operation.axis == 1);
            break;
        }
        if (image.isNull())
            return false;
    }
    return true;
}

QByteArray readIccProfile(const QString& prefix)
{
    return readSmallFile(prefix + protocol::kIccProfileFile, qint64(protocol::kMaxIccProfileBytes))
        .value_or(QByteArray());
}

PictureExtrasResult readPictureExtras(const QString& prefix)
{
    PictureExtrasResult result;
    const std::optional<QByteArray> transform =
        readSmallFile(prefix + protocol::kTransformFile, protocol::kMaxTransformFileBytes);
    std::optional<std::vector<PictureOperation>> operations;
    if (transform)
        operations = parsePictureOperations(*transform);
    if (!operations) {
        result.status =
            StepResult::failed(FailureKind::Picture, QStringLiteral("cannot read the picture's orientation"));
        return result;
    }
    result.extras.operations = std::move(*operations);
    result.extras.iccProfile = readIccProfile(prefix);
    result.extras.exif =
        readSmallFile(prefix + protocol::kExifFile, qint64(protocol::kMaxExifBytes)).value_or(QByteArray());
    return result;
}

int readColourDepth(const QString& prefix)
{
    const QByteArray text =
        readSmallFile(prefix + protocol::kDepthFile, protocol::kMaxDepthFileBytes).value_or(QByteArray());
    const QList<QByteArray> fields = text.endsWith('\n') ? text.chopped(1).split(' ') : QList<QByteArray>();
    int deepest = 8;
    for (const QByteArray& field : fields) {
        const std::optional<qint64> bits = decimalField(field, 8, 16);
        if (fields.size() != 2 || !bits)
            return 8;
        deepest = std::max(deepest, int(*bits));
    }
    return deepest;
}

QString readPictureKind(const QString& prefix)
{
    const QByteArray text =
        readSmallFile(prefix + protocol::kPictureKindFile, protocol::kMaxPictureKindFileBytes)
            .value_or(QByteArray());
    if (text.size() < 2 || !text.endsWith('\n'))
        return {};
    const QByteArray kind = text.chopped(1);
    for (const char c : kind) {
        if (c < ' ' || c > '~')
            return {};
    }
    return QString::fromLatin1(kind);
}

StepResult preparePicture(QImage& image, const PictureExtras& extras, OutputFormat format)
{
    if (!applyPictureOperations(image, extras.operations))
        return image.isNull() ? StepResult::outOfMemory()
                              : StepResult::failed(FailureKind::Picture,
                                                   QStringLiteral("cannot read the picture's orientation"));
    // Only the colour space is named: the pixels stay as decoded. BMP files get no profile.
    if (!extras.iccProfile.isEmpty() && format != OutputFormat::Bmp) {
        const QColorSpace profile = QColorSpace::fromIccProfile(extras.iccProfile);
        if (profile.isValid())
            image.setColorSpace(profile);
    }
    return {};
}
