// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <optional>

#include <QByteArray>
#include <QList>
#include <QSize>

// The splitter's description of an overlay or identity picture (PREFIXderived, protocol.h): the canvas, its
// fill colour and the inputs placed on it in order.

struct DerivedInput
{
    quint32 item = 0; // the image to split with --item
    qint64 x = 0;     // its top left corner on the canvas; may lie outside it
    qint64 y = 0;
};

struct DerivedPicture
{
    bool identity = false;         // iden rather than iovl
    QSize canvas;                  // 1 to kMaxConvertedSide a side
    std::array<quint16, 4> fill{}; // red, green, blue, alpha, 0 to 65535
    QList<DerivedInput> inputs;    // 1 to kMaxOverlayInputs
};

// The description exactly as the splitter writes it: "derived iovl|iden", "canvas W H", "fill R G B A" and
// one "input ITEM X Y" line for each input, each line ending in a newline, single blanks, decimal numbers
// without leading zeros (offsets may be negative and within 32 bits). Nothing for any other text, and for
// one past the protocol's bounds: no canvas larger than the engine converts, no more inputs than it places.
std::optional<DerivedPicture> parseDerivedPicture(const QByteArray& text);
