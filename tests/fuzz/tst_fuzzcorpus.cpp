// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstddef>
#include <cstdint>

#include <QDirIterator>
#include <QFile>

#include "tests/support/testmain.h"

// Every committed input of one fuzz target, seeds and past findings alike, run through the target's own
// checks in the ordinary build, so that a finding once fixed stays fixed. The target aborts on a broken
// check, which fails this test. Built once per target with VORNETTA_FUZZ_CORPUS naming its folder.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

class FuzzCorpusTest final : public QObject
{
    Q_OBJECT

private slots:
    void everyCommittedInputPasses()
    {
        QDirIterator inputs(QStringLiteral(VORNETTA_FUZZ_CORPUS), QDir::Files);
        int count = 0;
        while (inputs.hasNext()) {
            QFile file(inputs.next());
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = file.readAll();
            QCOMPARE(LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                            std::size_t(bytes.size())),
                     0);
            ++count;
        }
        QVERIFY(count > 0);
    }
};

VORNETTA_TEST_MAIN(FuzzCorpusTest)
#include "tst_fuzzcorpus.moc"
