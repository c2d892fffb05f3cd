// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/picture/exiv2setup.h"

#include <mutex>

namespace {

std::mutex xmpNamespaces;

void lockXmpNamespaces(void* mutex, bool lock)
{
    if (lock)
        static_cast<std::mutex*>(mutex)->lock();
    else
        static_cast<std::mutex*>(mutex)->unlock();
}

} // namespace

void prepareExiv2()
{
    static std::once_flag once;
    std::call_once(once, [] {
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
        // The lock guards the namespace registry, which the toolkit's own lock does not cover.
        Exiv2::XmpParser::initialize(lockXmpNamespaces, &xmpNamespaces);
    });
}
