// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

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

// Results of runSplitter, runDecoder and runPictureReader.
inline constexpr int kToolEnded = 0;       // started and ended by itself, whatever its exit status
inline constexpr int kToolNotStarted = -1; // missing, not executable, or the start failed
inline constexpr int kToolTimedOut = -2;   // ran past the time limit and was killed
inline constexpr int kToolStopped = -3;    // the caller asked to stop: killed, or not started

// Asked every few milliseconds while a tool runs; true kills the tool. May be empty.
using StopCheck = std::function<bool()>;

// The running executable's folder, without a trailing separator, unless overridden.
std::string programFolder();

// Makes programFolder() return the given folder (tests use other tools); empty restores the default.
void overrideProgramFolder(const std::string& folder);

// How long one tool may run before it is killed (60 s unless changed; tests make it short).
std::chrono::milliseconds toolTimeLimit();
void setToolTimeLimit(std::chrono::milliseconds limit);

// What a tool printed on its standard output, up to limit bytes. The rest is read and dropped, so that a
// tool that prints without end never waits on a full pipe; cut says that happened.
struct ToolOutput
{
    std::size_t limit = 0;
    std::string text;
    bool cut = false;
};

// `<program folder>/heic/heic INPUT PREFIX`, the file's primary picture; for another image item,
// `heic --item ITEM INPUT PREFIX`. exitStatus, when given, receives the tool's exit code (128 + the signal
// number when a signal ended it); it is only set for kToolEnded.
int runSplitter(const std::string& input, const std::string& prefix, const StopCheck& stop = {},
                int* exitStatus = nullptr, std::uint32_t item = 0);

// `<program folder>/heic/heic --list INPUT`, its standard output collected into output.
int runSplitterList(const std::string& input, ToolOutput& output, const StopCheck& stop = {},
                    int* exitStatus = nullptr);

// `<program folder>/ffmpeg -i TILE BMP`.
int runDecoder(const std::string& tile, const std::string& bmp, const StopCheck& stop = {},
               int* exitStatus = nullptr);

// `<program folder>/picturereader/picturereader INPUT PREFIX`: a JPEG or PNG file read into the files
// protocol.h names.
int runPictureReader(const std::string& input, const std::string& prefix, const StopCheck& stop = {},
                     int* exitStatus = nullptr);

// Runs any executable with the given arguments (argv[0] is the executable's path) the same way; the
// runners above are this with their fixed argument vectors. With output, the tool's standard output is
// collected there.
int runTool(const std::string& executable, const std::vector<std::string>& arguments,
            const StopCheck& stop = {}, int* exitStatus = nullptr, ToolOutput* output = nullptr);
