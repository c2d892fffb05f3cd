// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include <exiv2/exiv2.hpp>

// What every use of Exiv2 in the program needs first, and its pointers made ours.

// Mutes Exiv2's warnings (the caller reports what matters) and readies its XMP toolkit for more than one
// thread: the toolkit starts itself on the first XMP packet it meets, and that start is not thread-safe.
// Call before any other Exiv2 function; later calls do nothing.
void prepareExiv2();

// Exiv2 0.27 hands back a std::auto_ptr, which clang rejects by name; own it as a unique_ptr.
template <typename AutoPointer>
std::unique_ptr<Exiv2::Image> owned(AutoPointer image)
{
    return std::unique_ptr<Exiv2::Image>(image.release());
}
