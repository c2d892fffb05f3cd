// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace heifsplit {

enum class FailureKind {
    None,
    Io,          // the file or an output could not be read or written
    Truncated,   // a box or the file ends before what it must hold
    Malformed,   // a value that cannot be true
    Limit,       // more than the splitter accepts (limits.h)
    Unsupported, // a valid file this splitter does not take apart
    PictureKind, // a sound picture of a kind that is not converted: another codec, a mask, a derivation
};

// Why parsing or splitting stopped. The first failure is kept: later ones are consequences of it.
class Failure final
{
public:
    bool failed() const { return kind_ != FailureKind::None; }
    FailureKind kind() const { return kind_; }
    const std::string& reason() const { return reason_; }

    void set(FailureKind kind, std::string reason)
    {
        if (!failed()) {
            kind_ = kind;
            reason_ = std::move(reason);
        }
    }

    // For FailureKind::PictureKind: what is not converted, the item type ("av01"), with where it lies when
    // that is not the picture itself ("av01 in iovl").
    const std::string& pictureKind() const { return pictureKind_; }
    void setPictureKind(const std::string& kind)
    {
        if (!failed()) {
            set(FailureKind::PictureKind, "picture kind not supported: " + kind);
            pictureKind_ = kind;
        }
    }

private:
    FailureKind kind_ = FailureKind::None;
    std::string reason_;
    std::string pictureKind_;
};

} // namespace heifsplit
