#pragma once

#include <QString>

// Why the file at path cannot be converted before anything is run on it: "cannot read the file" when
// it is gone or may not be read, "not a file" for a folder, a pipe or a device (which would leave the
// splitter waiting). Empty when it is a readable regular file.
QString sourceFileProblem(const QString& path);
