// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <ctime>

#include "protocol/protocol.h"

// Every bound the engine enforces on what it reads, keeps and waits for, each with its reason. The bounds
// the tools enforce too are the protocol's (protocol/protocol.h): a picture's sides and bytes, the side
// files. Any room of the engine may include this; it includes nothing of the engine.

// Pictures converted from one file: far above the frames of a burst, and each is a conversion of its own.
inline constexpr int kMaxImagesPerFile = 1024;
// Pixels a file's pictures may decode to together per byte of the file: bursts bring coded data of their own.
inline constexpr std::int64_t kBudgetPixelsPerByte = 4000;
// A line of the splitter's image list: an id of ten digits, a blank, a count of up to twenty, a line end.
inline constexpr std::size_t kMaxImageListLineBytes = 32;
// Qt's image reader may allocate what the largest picture the engine takes needs (its default is less).
inline constexpr int kImageReadLimitMiB = int(protocol::kMaxPictureBytes >> 20);
// The splitter's tile information file: a grid's numbers take a fraction of this.
inline constexpr std::int64_t kMaxTileInfoFileBytes = std::int64_t(64) << 20;
// The picture reader's format file: a line of pixels, one of sRGB, one of gamma and one of nine numbers.
inline constexpr std::int64_t kMaxReaderFormatFileBytes = 256;
// The picture reader's PAM header: "P7", five lines of a keyword and a value, "ENDHDR".
inline constexpr std::int64_t kMaxPamHeaderBytes = 128;
// Output names tried, the wanted one and then name(0) on: however busy the folder, one is free long before.
inline constexpr int kMostOutputNamesTried = 100000;
// Temporary output names tried where no file can be made without a name: 16 random hex digits do not clash.
inline constexpr int kMostTemporaryNamesTried = 100;
// An unlocked leftover of a killed run untouched this long goes: a live run makes and locks its own at once.
inline constexpr std::time_t kAbandonedAfterSeconds = 60;
// Folders a removal keeps open at once however deep the tree, so that no tree runs out of descriptors.
inline constexpr std::size_t kMaxOpenFoldersWhileRemoving = 16;
// One run of a tool, killed past it: a tile decodes in well under a second, a file splits in a few.
inline constexpr std::chrono::milliseconds kToolTimeLimit{60'000};
// One file in all, a backstop over the tools' own limits: no file, however made, keeps the caller longer.
inline constexpr std::chrono::milliseconds kConversionTimeLimit{5 * 60'000};
