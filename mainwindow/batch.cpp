// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/batch.h"

#include "core/rawpaths.h"

bool Batch::add(const QString& path)
{
    const QString identity = fileIdentity(path);
    for (const Row& row : rows) {
        if (row.identity == identity && (row.state == State::Waiting || row.state == State::Converting))
            return false;
    }
    rows.append(Row{path, identity, State::Waiting, QString()});
    return true;
}

void Batch::remove(int index)
{
    rows.removeAt(index);
}

void Batch::clear()
{
    rows.clear();
}

void Batch::restart()
{
    for (Row& row : rows) {
        row.state = State::Waiting;
        row.reason.clear();
    }
}

int Batch::nextWaiting() const
{
    for (int index = 0; index < size(); ++index) {
        if (rows[index].state == State::Waiting)
            return index;
    }
    return -1;
}

int Batch::converting() const
{
    for (int index = 0; index < size(); ++index) {
        if (rows[index].state == State::Converting)
            return index;
    }
    return -1;
}

void Batch::start(int index)
{
    rows[index].state = State::Converting;
    rows[index].reason.clear();
}

void Batch::finish(int index, bool succeeded, const QString& reason)
{
    rows[index].state = succeeded ? State::Succeeded : State::Failed;
    rows[index].reason = succeeded ? QString() : reason;
}

void Batch::stop(int index)
{
    rows[index].state = State::Waiting;
    rows[index].reason.clear();
}

int Batch::position() const
{
    return succeededCount() + failedCount() + 1;
}

Batch::Outcome Batch::outcome() const
{
    if (failedCount() == 0)
        return Outcome::AllConverted;
    return succeededCount() == 0 ? Outcome::NoneConverted : Outcome::SomeFailed;
}

int Batch::count(State state) const
{
    int n = 0;
    for (const Row& row : rows)
        n += row.state == state ? 1 : 0;
    return n;
}
