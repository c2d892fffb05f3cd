// SPDX-License-Identifier: GPL-3.0-or-later
#include <memory>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QXmlStreamReader>

#include "gui/translations.h"
#include "mainwindow/failurereasons.h"
#include "mainwindow/heicmainwidget.h"
#include "mainwindow/listcolumns.h"
#include "tests/mainwindow/windowdriver.h"
#include "tests/support/testenvironment.h"
#include "tests/support/testmain.h"
#include "update/updatewidget.h"
#include "widgets/mymessageboxwidget.h"
#include "widgets/scalefactor.h"

using namespace vornetta::test;

namespace {

const QStringList kLanguages = {"de", "fr", "es", "it", "pt_BR", "ja", "zh_CN", "ko"};

QString translationsFolder()
{
    return programFolder() + "/translations";
}

// Each one-line label of parent (captions, buttons, headings) whose text is wider than the room inside it,
// as "objectName: text".
QStringList overflowingLabels(const QWidget* parent)
{
    QStringList overflowing;
    for (QLabel* label : parent->findChildren<QLabel*>()) {
        if (label->text().isEmpty() || label->wordWrap() || !label->isVisibleTo(parent))
            continue;
        label->ensurePolished();
        const int room = label->contentsRect().width() - 2 * label->margin() - qMax(0, label->indent());
        if (label->fontMetrics().horizontalAdvance(label->text()) > room)
            overflowing.append(label->objectName() + ": " + label->text());
    }
    return overflowing;
}

} // namespace

class TranslationsTest final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { silenceDailyUpdateCheck(); }
    void cleanup()
    {
        installTranslations(translationsFolder(), {"en"});
        scaleFactor = 1.0f;
    }

    // The system's languages, most wanted first, and the translation the window takes: the first language
    // Vornetta speaks, English before it keeping the window's own texts.
    void theFirstLanguageSpokenWins_data()
    {
        QTest::addColumn<QStringList>("languages");
        QTest::addColumn<QString>("taken");
        QTest::addColumn<QString>("waiting");
        QTest::newRow("German") << QStringList{"de-DE", "de"} << "de"
                                << "wartet";
        QTest::newRow("Brazilian Portuguese") << QStringList{"pt-BR"} << "pt_BR"
                                              << "aguardando";
        QTest::newRow("Portuguese of Portugal") << QStringList{"pt-PT", "pt"} << "pt_BR"
                                                << "aguardando";
        QTest::newRow("Simplified Chinese") << QStringList{"zh-Hans-CN"} << "zh_CN"
                                            << "等待中";
        QTest::newRow("Dutch, then Japanese") << QStringList{"nl-NL", "ja-JP"} << "ja"
                                              << "待機中";
        QTest::newRow("English, then French") << QStringList{"en-GB", "fr-FR"} << ""
                                              << "waiting";
        QTest::newRow("C locale") << QStringList{"C"} << ""
                                  << "waiting";
        QTest::newRow("none") << QStringList() << ""
                              << "waiting";
    }
    void theFirstLanguageSpokenWins()
    {
        QFETCH(QStringList, languages);
        QFETCH(QString, taken);
        QFETCH(QString, waiting);
        QCOMPARE(installTranslations(translationsFolder(), languages), taken);
        QCOMPARE(QCoreApplication::translate("HEICMainWidget", "waiting"), waiting);
        // A reason with words of the engine's in it keeps them as they are.
        const QString english = "picture kind not supported: av01 in grid";
        const QString kind = translatedFailureReason(english);
        QVERIFY2(kind.endsWith("av01 in grid") && (kind == english) == taken.isEmpty(), qPrintable(kind));
    }

    // Each translation covers every text of the window's sources as they are now (lupdate finds nothing
    // unfinished), leaves none empty and keeps every placeholder of its source.
    void everyTextIsTranslatedWithItsPlaceholders()
    {
        QTemporaryDir updated;
        QProcess lupdate;
        lupdate.start(sourceFolder() + "/tools/update-translations", {"--into", updated.path()});
        QVERIFY(lupdate.waitForFinished(60000));
        QVERIFY2(lupdate.exitStatus() == QProcess::NormalExit && lupdate.exitCode() == 0,
                 lupdate.readAllStandardError().constData());
        const QRegularExpression placeholder("%\\d+");
        for (const QString& language : kLanguages) {
            QFile ts(updated.path() + "/vornetta_" + language + ".ts");
            QVERIFY2(ts.open(QIODevice::ReadOnly), qPrintable(ts.fileName()));
            QXmlStreamReader xml(&ts);
            QString source;
            QStringList faults;
            int count = 0;
            while (!xml.atEnd()) {
                if (xml.readNext() != QXmlStreamReader::StartElement)
                    continue;
                if (xml.name() == u"source") {
                    source = xml.readElementText();
                } else if (xml.name() == u"translation") {
                    const QString type = xml.attributes().value("type").toString();
                    const QString translation = xml.readElementText();
                    ++count;
                    QStringList wanted, kept;
                    for (const auto& m : placeholder.globalMatch(source))
                        wanted.append(m.captured());
                    for (const auto& m : placeholder.globalMatch(translation))
                        kept.append(m.captured());
                    wanted.sort();
                    kept.sort();
                    if (!type.isEmpty() || translation.isEmpty() || wanted != kept)
                        faults.append(language + ": " + source + " -> " + translation + " " + type);
                }
            }
            QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
            QVERIFY(count > 50);
            QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
        }
    }

    // Every translated text fits where it shows, at the scales a screen of 96 and 120 DPI gives: the
    // window's captions, buttons, column headings, row states and the progress line's count, the message
    // dialog's buttons for each set of answers, and the update dialog.
    void everyTranslationFits_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<float>("scale");
        for (const QString& language : kLanguages) {
            QTest::addRow("%s 1.0", qPrintable(language)) << language << 1.0f;
            QTest::addRow("%s 1.25", qPrintable(language)) << language << 1.25f;
        }
    }
    void everyTranslationFits()
    {
        QFETCH(QString, language);
        QFETCH(float, scale);
        QCOMPARE(installTranslations(translationsFolder(), {language}), language);
        scaleFactor = scale;
        HEICMainWidget window(nullptr);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(scaleFactor, scale);
        QStringList overflowing = overflowingLabels(&window);

        const QTreeWidget* list = window.listWidget;
        for (int column : {int(kPathColumn), int(kStateColumn)}) {
            const QString heading = list->headerItem()->text(column);
            if (list->fontMetrics().horizontalAdvance(heading) + 8 > list->header()->sectionSize(column))
                overflowing.append("heading: " + heading);
        }
        for (const char* state : {"waiting", "converting", "success", "failed: %1"}) {
            const QString text = QCoreApplication::translate("HEICMainWidget", state).remove("%1");
            if (list->fontMetrics().horizontalAdvance(text) + 8 > list->header()->sectionSize(kStateColumn))
                overflowing.append("state: " + text);
        }
        window.progressLabel->ensurePolished();
        const QString count =
            QCoreApplication::translate("HEICMainWidget", "Converting %1 of %2: ").arg(9999).arg(9999);
        if (window.progressLabel->fontMetrics().horizontalAdvance(count + "IMG_0001.heic") >
            window.progressLabel->contentsRect().width())
            overflowing.append("progress: " + count);

        for (int labels = 0; labels <= 4; ++labels) {
            MyMessageBoxWidget dialog(&window);
            dialog.setMessage("?", 2, labels);
            dialog.show();
            overflowing += overflowingLabels(&dialog);
        }
        UpdateWidget update(&window);
        update.show();
        overflowing += overflowingLabels(&update);
        QVERIFY2(overflowing.isEmpty(), qPrintable(overflowing.join('\n')));
    }
};

VORNETTA_TEST_MAIN_ON_SCREEN(TranslationsTest, QRect(0, 0, 1920, 1080))
#include "tst_translations.moc"
