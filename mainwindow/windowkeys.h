// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QKeySequence>
#include <QList>

// The main window's shortcuts: the keys bound, and the keys its tool-tips show. They are the same in every
// language.
namespace windowkeys {

inline QList<QKeySequence> addFiles()
{
    return {QKeySequence(Qt::CTRL | Qt::Key_O)};
}
inline QList<QKeySequence> convert()
{
    return {QKeySequence(Qt::CTRL | Qt::Key_S)};
}
inline QList<QKeySequence> removeRows()
{
    return {QKeySequence(Qt::Key_Delete)};
}
inline QList<QKeySequence> selectAllRows()
{
    return {QKeySequence(Qt::CTRL | Qt::Key_A)};
}
inline QList<QKeySequence> listMenu()
{
    return {QKeySequence(Qt::Key_Menu), QKeySequence(Qt::SHIFT | Qt::Key_F10)};
}
inline QList<QKeySequence> mainMenu()
{
    return {QKeySequence(Qt::ALT | Qt::Key_F), QKeySequence(Qt::Key_F10)};
}
inline QList<QKeySequence> stop()
{
    return {QKeySequence(Qt::Key_Escape)};
}
inline QList<QKeySequence> close()
{
    return {QKeySequence(Qt::CTRL | Qt::Key_Q)};
}

} // namespace windowkeys
