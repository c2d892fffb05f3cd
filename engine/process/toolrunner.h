// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The process room (engine/process/), the only code that starts processes: the tool runner (this header) runs
// our tools bounded in time and killable, leaving no process behind; the decoder slots share the machine's
// processors among the conversions in flight; the tile decoding runs the decoders of one picture; and
// toolfailure.h puts a failed run into the user's words. It uses the files room (descriptors) only.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Runs the helper tools of the program folder (<folder>/heic/heic, <folder>/ffmpeg and
// <folder>/picturereader/picturereader) as child processes: argument vector, no shell, current directory the
// program folder, standard input, output and error on /dev/null (standard output may be collected instead).
// Each call blocks until its tool has ended and leaves no process behind: the tool runs in a process group of
// its own, and whatever is left of that group is killed before the tool is reaped.

// How a run of a tool ended.
enum class ToolEnd {
    Ended,      // started and ended by itself, whatever its exit status
    NotStarted, // missing, not executable, or the start failed
    TimedOut,   // ran past the time limit and was killed
    Stopped,    // the caller asked to stop: killed, or not started
};

// Asked every few milliseconds while a tool runs; true kills the tool. May be empty.
using StopCheck = std::function<bool()>;

// The running executable's folder, without a trailing separator, unless overridden.
std::string programFolder();

// Makes programFolder() return the given folder (tests use other tools); empty restores the default.
void overrideProgramFolder(const std::string& folder);

// How long one tool may run before it is killed (kToolTimeLimit unless changed; tests make it short).
std::chrono::milliseconds toolTimeLimit();
void setToolTimeLimit(std::chrono::milliseconds limit);

// What a tool printed on its standard output, up to the limit the caller gave. The rest is read and dropped,
// so that a tool that prints without end never waits on a full pipe; cut says that happened.
struct ToolOutput
{
    std::string text;
    bool cut = false;
};

// One run of a tool: how it ended, and for one that ended by itself, its exit status and output.
struct ToolRun
{
    ToolEnd end = ToolEnd::NotStarted;
    int exitStatus = -1; // Ended: the exit code, or 128 + the number of the signal that ended it; else -1
    ToolOutput output;   // its standard output, when collected
};

// `<program folder>/heic/heic INPUT PREFIX`, the file's primary picture; for another image item,
// `heic --item ITEM INPUT PREFIX`.
ToolRun runSplitter(const std::string& input, const std::string& prefix, const StopCheck& stop = {},
                    std::uint32_t item = 0);

// `<program folder>/heic/heic --list INPUT`, its standard output collected up to outputLimit bytes.
ToolRun runSplitterList(const std::string& input, std::size_t outputLimit, const StopCheck& stop = {});

// `<program folder>/ffmpeg -i TILE BMP`, or for a deep tile `ffmpeg -i TILE -pix_fmt rgb48be PPM`.
ToolRun runDecoder(const std::string& tile, const std::string& bmp, const StopCheck& stop = {},
                   bool deep = false);

// `<program folder>/picturereader/picturereader INPUT PREFIX`: a JPEG or PNG file read into the files
// protocol.h names.
ToolRun runPictureReader(const std::string& input, const std::string& prefix, const StopCheck& stop = {});

// Runs any executable with the given arguments (argv[0] is the executable's path) the same way; the
// runners above are this with their fixed argument vectors. With an outputLimit, the tool's standard
// output is collected up to that many bytes; without one (0) it goes to /dev/null.
ToolRun runTool(const std::string& executable, const std::vector<std::string>& arguments,
                const StopCheck& stop = {}, std::size_t outputLimit = 0);
