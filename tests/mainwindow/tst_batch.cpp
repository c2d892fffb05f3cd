// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDir>
#include <QFile>
#include <QTest>

#include "mainwindow/batch.h"
#include "tests/support/files.h"
#include "tests/support/testmain.h"

// The window's queue without the window: which files join, what a stop leaves, how a batch is counted.
class BatchTest final : public QObject
{
    Q_OBJECT

private slots:
    // Steps: "add NAME" (relative to the working folder), "start", "ok", "fail", "stop", "restart".
    // States: a letter a row, W(aiting), C(onverting), S(ucceeded), F(ailed).
    void queueFollowsTheSteps_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("states");
        QTest::addColumn<int>("position");
        QTest::addColumn<Batch::Outcome>("outcome");
        const auto all = Batch::Outcome::AllConverted;
        QTest::newRow("one file however named")
            << QStringList{"add a.heic", "add ./a.heic", "add link.heic"} << "W" << 1 << all;
        QTest::newRow("converting, not again")
            << QStringList{"add a.heic", "start", "add a.heic"} << "C" << 1 << all;
        QTest::newRow("converted, joins again")
            << QStringList{"add a.heic", "start", "ok", "add a.heic"} << "SW" << 2 << all;
        QTest::newRow("added mid-batch, counted")
            << QStringList{"add a.heic", "add b.heic", "start", "fail", "start", "add c.heic", "ok"} << "FSW"
            << 3 << Batch::Outcome::SomeFailed;
        QTest::newRow("stop: it and the rest wait")
            << QStringList{"add a.heic", "add b.heic", "add c.heic", "start", "ok", "start", "stop"} << "SWW"
            << 2 << all;
        QTest::newRow("none converted")
            << QStringList{"add a.heic", "add b.heic", "start", "fail", "start", "fail"} << "FF" << 3
            << Batch::Outcome::NoneConverted;
        QTest::newRow("a new batch starts over")
            << QStringList{"add a.heic", "add b.heic", "start", "fail", "start", "ok", "restart", "start"}
            << "CW" << 1 << all;
    }
    void queueFollowsTheSteps()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, states);
        QFETCH(int, position);
        QFETCH(Batch::Outcome, outcome);
        const QString folder = QDir::tempPath() + "/queue";
        QVERIFY(vornetta::test::writeFile(folder + "/a.heic"));
        QFile::link(folder + "/a.heic", folder + "/link.heic");
        QVERIFY(QDir::setCurrent(folder));

        Batch batch;
        for (const QString& step : steps) {
            if (step.startsWith("add "))
                batch.add(step.mid(4));
            else if (step == "start")
                batch.start(batch.nextWaiting());
            else if (step == "ok" || step == "fail")
                batch.finish(batch.converting(), step == "ok", "why");
            else if (step == "stop")
                batch.stop(batch.converting());
            else
                batch.restart();
        }
        QString seen;
        for (int row = 0; row < batch.size(); ++row)
            seen += QString("WCSF").at(int(batch.row(row).state));
        QCOMPARE(seen, states);
        QCOMPARE(batch.position(), position);
        QCOMPARE(batch.outcome(), outcome);
        QCOMPARE(batch.row(0).reason, QString(states.startsWith('F') ? "why" : ""));
    }
};

VORNETTA_TEST_MAIN(BatchTest)
#include "tst_batch.moc"
