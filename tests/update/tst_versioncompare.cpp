// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/testmain.h"
#include "update/versioncompare.h"

class VersionCompareTest final : public QObject
{
    Q_OBJECT

private slots:
    void compare_data()
    {
        QTest::addColumn<QString>("candidate");
        QTest::addColumn<QString>("current");
        QTest::addColumn<int>("expected");

        QTest::newRow("same version") << "2.0.0"
                                      << "2.0.0" << 0;
        QTest::newRow("trailing newline") << "2.0.0\n"
                                          << "2.0.0" << 0;
        QTest::newRow("surrounding blanks") << " \t2.0.1\r\n"
                                            << "2.0.0" << 1;
        QTest::newRow("patch") << "2.0.1"
                               << "2.0.0" << 1;
        QTest::newRow("four parts") << "2.1.2.0"
                                    << "2.0.0" << 1;
        QTest::newRow("fewer parts, newer") << "3.0"
                                            << "2.0.0" << 1;
        QTest::newRow("one part, newer") << "3"
                                         << "2.0.0" << 1;
        QTest::newRow("missing parts count 0") << "2"
                                               << "2.0.0" << 0;
        QTest::newRow("extra zero part") << "2.0.0.0"
                                         << "2.0.0" << 0;
        QTest::newRow("two-digit part") << "2.0.10"
                                        << "2.0.9" << 1;
        QTest::newRow("two-digit part against minor") << "2.0.10"
                                                      << "2.1.0" << -1;
        QTest::newRow("older") << "1.9.9"
                               << "2.0.0" << -1;
        QTest::newRow("major wins over minor") << "10.0.0"
                                               << "9.99.99" << 1;
        QTest::newRow("leading zeros") << "02.00.001"
                                       << "2.0.1" << 0;
        QTest::newRow("empty body") << ""
                                    << "2.0.0" << -1;
        QTest::newRow("only blanks") << " \n"
                                     << "2.0.0" << -1;
        QTest::newRow("error page") << "<html><body>404 Not Found 3.0</body></html>"
                                    << "2.0.0" << -1;
        QTest::newRow("letters in a part") << "2.0.1beta"
                                           << "2.0.0" << 0;
        QTest::newRow("negative part") << "2.-1.0"
                                       << "2.0.0" << 0;
        QTest::newRow("empty parts") << "2..1"
                                     << "2.0.0" << 1;
        QTest::newRow("past 32 bits") << "4294967298.0.0"
                                      << "2.0.0" << 1;
        QTest::newRow("past 64 bits") << "2.99999999999999999999999"
                                      << "2.99999999999999999999998" << 1;
    }

    void compare()
    {
        QFETCH(QString, candidate);
        QFETCH(QString, current);
        QFETCH(int, expected);

        QCOMPARE(compareVersions(candidate, current), expected);
        QCOMPARE(compareVersions(current, candidate), -expected);
        QCOMPARE(isNewerVersion(candidate, current), expected > 0);
    }
};

VORNETTA_TEST_MAIN(VersionCompareTest)
#include "tst_versioncompare.moc"
