// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

// The window's queue: one row per file, in the list's order, each waiting, converting, converted or
// failed, and what a batch came to. The list shows it row for row; nothing here knows of widgets.
class Batch final
{
public:
    enum class State { Waiting, Converting, Succeeded, Failed };
    // How a batch ended, once no row waits: every file converted, some failed, or none converted.
    enum class Outcome { AllConverted, SomeFailed, NoneConverted };

    struct Row
    {
        QString path;
        QString identity; // the canonical path: the same file however it was named
        State state = State::Waiting;
        QString reason; // why it failed; empty otherwise
    };

    // Appends path as a waiting row, unless the same file waits or converts already. Whether it was added.
    bool add(const QString& path);
    void remove(int index);
    void clear();

    int size() const { return static_cast<int>(rows.size()); }
    const Row& row(int index) const { return rows.at(index); }

    // A new batch: every row waits again, converted ones too.
    void restart();
    // The first waiting row from the top, or -1.
    int nextWaiting() const;
    // The converting row, or -1.
    int converting() const;

    void start(int index);
    void finish(int index, bool succeeded, const QString& reason);
    // The converting row was stopped: it waits again, like every row after it.
    void stop(int index);

    // Where the converting row stands in the batch, from 1: the rows done before it and itself. The
    // batch is every row of the list, rows added while it runs included.
    int position() const;
    int failedCount() const { return count(State::Failed); }
    int succeededCount() const { return count(State::Succeeded); }
    Outcome outcome() const;

private:
    int count(State state) const;

    QList<Row> rows;
};
