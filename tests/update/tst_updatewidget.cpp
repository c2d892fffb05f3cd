// SPDX-License-Identifier: GPL-3.0-or-later
#include <functional>
#include <memory>
#include <utility>

#include <QDate>
#include <QDesktopServices>
#include <QFile>
#include <QLabel>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QQueue>
#include <QSettings>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

#include "core/settings.h"
#include "core/weblinks.h"
#include "mainwindow/heicmainwidget.h"
#include "tests/support/memory.h"
#include "tests/support/testmain.h"
#include "tests/support/urlcatcher.h"
#include "update/updatewidget.h"
#include "update/versioncompare.h"
#include "widgets/scalefactor.h"

namespace {

const QString kLatestText = "The current version is the latest version";
const QString kNewerText = "A new version is available for Vornetta";
const QString kUnableText = "Unable to check for updates. Please try again later.";
const QString kQuery = "?id=vornetta&Lang=EN&Platform=Win";

QString today()
{
    return QDate::currentDate().toString("MM-dd-yyyy");
}

// What the server does with one request.
struct Answer
{
    enum Kind { Respond, NeverAnswer, CloseConnection };

    Answer() = default;
    Answer(Kind kind, int status, QByteArray body, int delayMs = 0, QByteArray headers = {}, qint64 fill = 0,
           bool hold = false)
        : kind(kind)
        , status(status)
        , body(std::move(body))
        , delayMs(delayMs)
        , headers(std::move(headers))
        , fill(fill)
        , hold(hold)
    {}

    Kind kind = Respond;
    int status = 200;
    QByteArray body;
    int delayMs = 0;
    // Header lines of its own, each ending in "\r\n"; a Content-Length among them replaces the true one.
    QByteArray headers;
    // After the body, this many more bytes, made as they are sent; -1 sends them until the client leaves.
    qint64 fill = 0;
    // The connection stays open once everything is sent.
    bool hold = false;
};

// A gzip body of about size bytes that inflates to about 30 times as much, under the ratio at which Qt's
// network access stops inflating on its own: "9.9.9" and then zeros, as one fixed-Huffman deflate block
// of matches 258 long at distance 1, each followed by seven literal zeros. Size 0 gives "9.9.9" and one
// zero in 26 bytes.
QByteArray gzipBody(qsizetype size)
{
    QByteArray out = QByteArray::fromHex("1f8b0800000000000003");
    quint32 bits = 0;
    int count = 0;
    const auto put = [&](quint32 value, int width) {
        bits |= value << count;
        for (count += width; count >= 8; count -= 8, bits >>= 8)
            out.append(char(bits & 0xff));
    };
    // Huffman codes go most significant bit first.
    const auto code = [&](quint32 value, int width) {
        for (int i = width - 1; i >= 0; --i)
            put((value >> i) & 1, 1);
    };
    put(1, 1); // the last block
    put(1, 2); // fixed codes
    for (const char literal : {'9', '.', '9', '.', '9', '\0'})
        code(0x30 + quint8(literal), 8);
    quint32 inflated = 6;
    while (out.size() < size - 9) {
        code(0xc5, 8); // length 258
        code(0, 5);    // distance 1
        for (int i = 0; i < 7; ++i)
            code(0x30, 8);
        inflated += 258 + 7;
    }
    code(0, 7); // end of block
    if (count > 0)
        put(0, 8 - count);

    // The trailer: CRC-32 and length of what it inflates to, so that nothing but its size gives it away.
    quint32 table[256];
    for (quint32 i = 0; i < 256; ++i) {
        quint32 c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xedb88320 ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    quint32 crc = 0xffffffff;
    for (quint32 i = 0; i < inflated; ++i)
        crc = table[(crc ^ quint8(i < 5 ? "9.9.9"[i] : 0)) & 0xff] ^ (crc >> 8);
    for (const quint32 value : {crc ^ 0xffffffff, inflated}) {
        for (int i = 0; i < 4; ++i)
            out.append(char((value >> (8 * i)) & 0xff));
    }
    return out;
}

} // namespace

Q_DECLARE_METATYPE(Answer)

// A small HTTP server on 127.0.0.1 that answers each request with the next queued answer (or the
// default one) and records the request targets.
class TestHttpServer final : public QObject
{
    Q_OBJECT

public:
    explicit TestHttpServer(const QHostAddress& address = QHostAddress::LocalHost)
    {
        connect(&server, &QTcpServer::newConnection, this, &TestHttpServer::accept);
        listening = server.listen(address, 0);
    }

    bool listening = false;
    QString host() const
    {
        return "http://" + server.serverAddress().toString() + ":" + QString::number(server.serverPort());
    }

    Answer defaultAnswer;
    QQueue<Answer> queued;
    QStringList targets;
    // Runs when a request arrives, before it is answered.
    std::function<void()> onRequest;

private:
    QTcpServer server;

    void accept()
    {
        while (QTcpSocket* socket = server.nextPendingConnection()) {
            auto buffer = std::make_shared<QByteArray>();
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
                buffer->append(socket->readAll());
                if (!buffer->contains("\r\n\r\n"))
                    return;
                const QList<QByteArray> requestLine = buffer->left(buffer->indexOf("\r\n")).split(' ');
                buffer->clear();
                targets.append(requestLine.value(1));
                if (onRequest)
                    onRequest();
                answer(socket, queued.isEmpty() ? defaultAnswer : queued.dequeue());
            });
        }
    }

    static constexpr qint64 kPiece = 64 * 1024;

    static void answer(QTcpSocket* socket, const Answer& answer)
    {
        if (answer.kind == Answer::NeverAnswer)
            return;
        if (answer.kind == Answer::CloseConnection) {
            socket->abort();
            return;
        }
        QByteArray head = "HTTP/1.1 " + QByteArray::number(answer.status) +
                          " Status\r\nContent-Type: text/plain\r\n" + answer.headers;
        if (answer.fill >= 0 && !answer.headers.contains("Content-Length"))
            head += "Content-Length: " + QByteArray::number(answer.body.size() + answer.fill) + "\r\n";
        head += "Connection: close\r\n\r\n";

        // The fill goes out in pieces as the socket drains, so even an endless reply costs this side
        // no memory to speak of.
        auto left = std::make_shared<qint64>(answer.fill);
        const auto pump = [socket, left, hold = answer.hold] {
            while (*left != 0 && socket->state() == QAbstractSocket::ConnectedState &&
                   socket->bytesToWrite() < 4 * kPiece) {
                const qint64 size = *left < 0 ? kPiece : qMin(*left, kPiece);
                if (socket->write(QByteArray(size, 'x')) != size)
                    return;
                if (*left > 0)
                    *left -= size;
            }
            if (*left == 0 && !hold)
                socket->disconnectFromHost();
        };
        QTimer::singleShot(answer.delayMs, socket, [socket, response = head + answer.body, pump] {
            socket->write(response);
            pump();
            connect(socket, &QTcpSocket::bytesWritten, socket, pump);
        });
    }
};

class UpdateWidgetTest final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestHttpServer> server;
    // Another host, one a hostile reply may send the check on to; it claims a newer version.
    std::unique_ptr<TestHttpServer> elsewhere;
    std::unique_ptr<HEICMainWidget> window;
    vornetta::test::UrlCatcher catcher;

    // The main window's update dialog, the one the automatic check and the menu use.
    static UpdateWidget* dialog()
    {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* update = qobject_cast<UpdateWidget*>(w))
                return update;
        }
        return nullptr;
    }
    static QLabel* child(const char* name) { return dialog()->findChild<QLabel*>(name); }
    static bool requestOutstanding() { return !dialog()->findChildren<QNetworkAccessManager*>().isEmpty(); }

    // A manual check in a dialog shown without a modal loop, so the test can watch it.
    static void startManualCheck()
    {
        UpdateWidget* update = dialog();
        update->layoutWidgets();
        update->refreshContent();
        update->startCheck(false);
        update->show();
    }

    // Whatever the main window leaves behind of its dialog.
    static void deleteDialogs()
    {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (qobject_cast<UpdateWidget*>(w))
                delete w;
        }
    }

    static bool checkDone() { return !requestOutstanding() && !child("loadingLabel")->isVisible(); }

    // Visible message text and which buttons show, as one line, for compact comparisons.
    static QString shownResult()
    {
        QString result = child("messageLabel")->isVisible() ? child("messageLabel")->text() : "(no message)";
        if (child("updateButton")->isVisible())
            result += " [" + child("updateButton")->text() + "]";
        if (child("remindButton")->isVisible())
            result += " [" + child("remindButton")->text() + "]";
        return result;
    }

private slots:
    void initTestCase()
    {
        // An http_proxy of the machine must not turn the local server into a remote one.
        QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
        QDesktopServices::setUrlHandler("http", &catcher, "open");
        QDesktopServices::setUrlHandler("https", &catcher, "open");
        elsewhere = std::make_unique<TestHttpServer>(QHostAddress("127.0.0.2"));
        QVERIFY(elsewhere->listening);
        elsewhere->defaultAnswer.body = "9.9.9";
    }

    void cleanupTestCase()
    {
        QDesktopServices::unsetUrlHandler("http");
        QDesktopServices::unsetUrlHandler("https");
        elsewhere.reset();
    }

    void init()
    {
        QSettings(kOrganisationName, kApplicationName).clear();
        // The automatic check has already run today unless a test says otherwise.
        writeSetting("LastCheckUpdateTime", today());
        catcher.urls.clear();
        server = std::make_unique<TestHttpServer>();
        QVERIFY(server->listening);
        overrideUpdateHost(server->host());
        scaleFactor = 1.0f;
    }

    void cleanup()
    {
        window.reset();
        deleteDialogs();
        server.reset();
        overrideUpdateHost(QString());
        scaleFactor = 1.0f;
    }

    void automaticCheck_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("presented");

        QTest::newRow("same version") << 200 << QByteArray(kCurrentVersion) + "\n" << QString();
        QTest::newRow("fewer parts but newer")
            << 200 << QByteArray("3.0") << kNewerText + " [Update Now] [Remind me Later]";
        QTest::newRow("server error with a version body") << 500 << QByteArray("3.0") << QString();
    }

    void automaticCheck()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(QString, presented);

        QSettings(kOrganisationName, kApplicationName).remove("LastCheckUpdateTime");
        server->defaultAnswer = {Answer::Respond, status, body, 0};
        QStringList dateAtRequest;
        server->onRequest = [&] { dateAtRequest.append(readSetting("LastCheckUpdateTime")); };

        // The dialog, if it opens, runs modally inside the check; answer it as a user would.
        QString seen;
        QTimer watcher;
        connect(&watcher, &QTimer::timeout, this, [&] {
            if (seen.isEmpty() && dialog()->isVisible()) {
                seen = shownResult();
                QTest::mouseClick(child("remindButton"), Qt::LeftButton);
            }
        });
        watcher.start(20);

        window = std::make_unique<HEICMainWidget>();
        QVERIFY(dialog());
        QVERIFY(!dialog()->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!server->targets.isEmpty(), 10000);
        QCOMPARE(server->targets.first(), "/download/checkupates.php" + kQuery);
        QCOMPARE(dateAtRequest.first(), today());
        QTRY_VERIFY_WITH_TIMEOUT(!requestOutstanding(), 10000);
        QTest::qWait(100);
        QCOMPARE(seen, presented);
        QVERIFY(!dialog()->isVisible());
        QCOMPARE(readSetting("LastCheckUpdateTime"), today());
    }

    void secondStartSameDayAsksNothing()
    {
        QSettings(kOrganisationName, kApplicationName).remove("LastCheckUpdateTime");
        server->defaultAnswer = {Answer::CloseConnection, 0, QByteArray(), 0};
        window = std::make_unique<HEICMainWidget>();
        QTRY_VERIFY_WITH_TIMEOUT(!server->targets.isEmpty(), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!requestOutstanding(), 10000);

        // The first check failed, silently, and still counts for the day.
        QVERIFY(!dialog()->isVisible());
        window.reset();
        deleteDialogs();
        server->targets.clear();
        window = std::make_unique<HEICMainWidget>();
        QTest::qWait(2600);
        QCOMPARE(server->targets.size(), 0);
        QCOMPARE(readSetting("LastCheckUpdateTime"), today());
    }

    void manualCheckShowsResult_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("closeConnection");
        QTest::addColumn<QString>("shown");

        const QString newer = kNewerText + " [Update Now] [Remind me Later]";
        QTest::newRow("newer") << 200 << QByteArray("2.0.1") << false << newer;
        QTest::newRow("same") << 200 << QByteArray(kCurrentVersion) << false << kLatestText;
        QTest::newRow("empty body") << 200 << QByteArray() << false << kLatestText;
        QTest::newRow("1 KiB body") << 200 << "2.0.1" + QByteArray(1019, ' ') << false << newer;
        QTest::newRow("a byte over 1 KiB") << 200 << "2.0.1" + QByteArray(1020, ' ') << false << kUnableText;
        QTest::newRow("not found") << 404 << QByteArray("3.0") << false << kUnableText;
        QTest::newRow("no content") << 204 << QByteArray() << false << kUnableText;
        QTest::newRow("connection closed") << 200 << QByteArray() << true << kUnableText;
    }

    void manualCheckShowsResult()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(bool, closeConnection);
        QFETCH(QString, shown);

        server->defaultAnswer = {closeConnection ? Answer::CloseConnection : Answer::Respond, status, body,
                                 0};
        window = std::make_unique<HEICMainWidget>();
        startManualCheck();
        QVERIFY(child("loadingLabel")->isVisible());
        QCOMPARE(shownResult(), "(no message)");
        QVERIFY(child("closeButton")->isVisible());

        QTRY_VERIFY_WITH_TIMEOUT(checkDone(), 10000);
        QCOMPARE(shownResult(), shown);
        QVERIFY(dialog()->isVisible());
    }

    void unreachableServerIsAFailure()
    {
        const QString host = server->host();
        server.reset();
        overrideUpdateHost(host);
        window = std::make_unique<HEICMainWidget>();
        startManualCheck();
        QTRY_VERIFY_WITH_TIMEOUT(checkDone(), 10000);
        QCOMPARE(shownResult(), kUnableText);
    }

    void silentServerRunsOutOfTime()
    {
        server->defaultAnswer.kind = Answer::NeverAnswer;
        window = std::make_unique<HEICMainWidget>();
        dialog()->setCheckTimeLimit(2000);
        startManualCheck();
        QTRY_COMPARE_WITH_TIMEOUT(server->targets.size(), 1, 10000);
        QTest::qWait(700);
        QVERIFY(child("loadingLabel")->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(checkDone(), 10000);
        QCOMPARE(shownResult(), kUnableText);
    }

    void hostileReplyIsAFailedCheck_data()
    {
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<bool>("autoMode");

        const QByteArray redirect =
            "Location: " + elsewhere->host().toLatin1() + "/download/checkupates.php\r\n";
        const QList<QPair<const char*, Answer>> replies = {
            {"endless body", {Answer::Respond, 200, "9.9.9", 0, {}, -1}},
            {"50 MB body", {Answer::Respond, 200, "9.9.9", 0, {}, 50 << 20}},
            {"gzip bomb", {Answer::Respond, 200, gzipBody(2 << 20), 0, "Content-Encoding: gzip\r\n"}},
            {"short gzip body", {Answer::Respond, 200, gzipBody(0), 0, "Content-Encoding: gzip\r\n"}},
            {"redirect to another host", {Answer::Respond, 302, {}, 0, redirect}},
            {"Content-Length of 1 GB",
             {Answer::Respond, 200, "9.9.9", 0, "Content-Length: 1000000000\r\n", 0, true}},
        };
        for (const bool autoMode : {false, true}) {
            for (const auto& [name, answer] : replies)
                QTest::addRow("%s, %s", autoMode ? "automatic" : "manual", name) << answer << autoMode;
        }
    }

    // Anyone on the path can answer the check: whatever they send must end it quickly, as a failure
    // (silent in the automatic check), without the window's memory growing with the reply.
    void hostileReplyIsAFailedCheck()
    {
        QFETCH(Answer, answer);
        QFETCH(bool, autoMode);

        server->defaultAnswer = answer;
        elsewhere->targets.clear();
        window = std::make_unique<HEICMainWidget>();
        QString presented;
        QTimer watcher;
        connect(&watcher, &QTimer::timeout, this, [&] {
            if (autoMode && presented.isEmpty() && dialog()->isVisible()) {
                presented = shownResult();
                QTest::mouseClick(child("remindButton"), Qt::LeftButton);
            }
        });
        watcher.start(20);

        const vornetta::test::MemoryGrowth growth;
        if (autoMode)
            dialog()->startCheck(true);
        else
            startManualCheck();
        QTRY_COMPARE_WITH_TIMEOUT(server->targets.size(), 1, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(checkDone(), 30000);
        const qint64 growthKib = growth.kib();

        QCOMPARE(child("messageLabel")->text(), kUnableText);
        QCOMPARE(presented, QString());
        QCOMPARE(dialog()->isVisible(), !autoMode);
        QCOMPARE(elsewhere->targets.size(), 0);
        QVERIFY2(growthKib >= 0 && growthKib < 20 * 1024,
                 qPrintable(QString::number(growthKib) + " KiB more"));
    }

    void newerCheckWinsOverOlderReply()
    {
        window = std::make_unique<HEICMainWidget>();
        server->queued.enqueue({Answer::Respond, 200, "3.0", 1500});
        server->queued.enqueue({Answer::Respond, 200, kCurrentVersion, 0});
        startManualCheck();
        QTRY_COMPARE_WITH_TIMEOUT(server->targets.size(), 1, 10000);
        dialog()->startCheck(false);
        QTRY_VERIFY_WITH_TIMEOUT(checkDone(), 10000);
        QCOMPARE(server->targets.size(), 2);
        QCOMPARE(shownResult(), kLatestText);
        // Past the moment the first answer was due: it changes nothing.
        QTest::qWait(1500);
        QCOMPARE(shownResult(), kLatestText);

        // A check after a newer version was found starts from "no newer version" until its answer.
        server->queued.enqueue({Answer::Respond, 200, "2.1", 0});
        dialog()->startCheck(false);
        QTRY_VERIFY_WITH_TIMEOUT(checkDone(), 10000);
        QCOMPARE(shownResult(), kNewerText + " [Update Now] [Remind me Later]");
        dialog()->startCheck(false);
        QCOMPARE(shownResult(), "(no message)");
        QTRY_VERIFY_WITH_TIMEOUT(checkDone(), 10000);
        QCOMPARE(shownResult(), kLatestText);
    }

    void modalManualCheck()
    {
        server->defaultAnswer = {Answer::Respond, 200, "2.5.0", 300};
        window = std::make_unique<HEICMainWidget>();
        window->move(100, 80);

        // The user waits for the answer, clicks "Update Now", then closes the dialog.
        QStringList seen;
        bool closed = false;
        QTimer user;
        connect(&user, &QTimer::timeout, this, [&] {
            if (!dialog()->isVisible())
                return;
            if (seen.isEmpty() || seen.last() != shownResult())
                seen.append(shownResult());
            if (!child("updateButton")->isVisible())
                return;
            if (catcher.urls.isEmpty()) {
                QTest::mouseClick(child("updateButton"), Qt::LeftButton);
            } else {
                closed = true;
                QTest::mouseClick(child("closeButton"), Qt::LeftButton);
            }
        });
        user.start(20);
        window->showUpdateDialog(true);
        user.stop();

        QCOMPARE(seen.first(), "(no message)");
        QCOMPARE(seen.last(), kNewerText + " [Update Now] [Remind me Later]");
        QCOMPARE(catcher.urls, QList<QUrl>{QUrl(homePageBase() + kQuery)});
        QVERIFY(closed);
        QVERIFY(!dialog()->isVisible());
        const QPoint offset = dialog()->geometry().center() - window->geometry().center();
        QVERIFY2(qAbs(offset.x()) <= 1 && qAbs(offset.y()) <= 1, "the dialog is centred over the window");
    }

    void closeAndRemindStoreNothing_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("remind") << "remindButton";
        QTest::newRow("close") << "closeButton";
        QTest::newRow("escape") << QString();
    }

    void closeAndRemindStoreNothing()
    {
        QFETCH(QString, button);
        server->defaultAnswer.body = "2.0.1";
        window = std::make_unique<HEICMainWidget>();
        startManualCheck();
        QTRY_VERIFY_WITH_TIMEOUT(checkDone(), 10000);
        QVERIFY(child("remindButton")->isVisible());
        QSettings settings(kOrganisationName, kApplicationName);
        const QStringList keysBefore = settings.allKeys();

        if (button.isEmpty())
            QTest::keyClick(dialog(), Qt::Key_Escape);
        else
            QTest::mouseClick(child(button.toLatin1().constData()), Qt::LeftButton);
        QVERIFY(!dialog()->isVisible());
        settings.sync();
        QCOMPARE(settings.allKeys(), keysBefore);
        QCOMPARE(readSetting("LastCheckUpdateTime"), today());
        QVERIFY(catcher.urls.isEmpty());
    }

    void automaticCheckLeavesAnOpenCheckAlone()
    {
        QSettings(kOrganisationName, kApplicationName).remove("LastCheckUpdateTime");
        server->defaultAnswer.body = "2.0.1";
        window = std::make_unique<HEICMainWidget>();
        startManualCheck();
        QTest::qWait(2600);
        QCOMPARE(server->targets.size(), 1);
        QCOMPARE(readSetting("LastCheckUpdateTime"), today());
        QCOMPARE(shownResult(), kNewerText + " [Update Now] [Remind me Later]");
    }

    void geometry_data()
    {
        QTest::addColumn<float>("scale");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QRect>("close");
        QTest::addColumn<QRect>("message");
        QTest::addColumn<QRect>("spinner");
        QTest::addColumn<QRect>("update");
        QTest::addColumn<QRect>("remind");
        QTest::addColumn<int>("fontSize");

        QTest::newRow("1.0") << 1.0f << QSize(480, 240) << QRect(450, 10, 20, 20) << QRect(0, 60, 480, 40)
                             << QRect(230, 100, 20, 20) << QRect(75, 180, 160, 35) << QRect(245, 180, 160, 35)
                             << 16;
        QTest::newRow("1.5") << 1.5f << QSize(720, 360) << QRect(675, 15, 30, 30) << QRect(0, 90, 720, 60)
                             << QRect(345, 150, 30, 30) << QRect(113, 270, 240, 52)
                             << QRect(368, 270, 240, 52) << 24;
    }

    void geometry()
    {
        QFETCH(float, scale);
        QFETCH(QSize, size);
        QFETCH(QRect, close);
        QFETCH(QRect, message);
        QFETCH(QRect, spinner);
        QFETCH(QRect, update);
        QFETCH(QRect, remind);
        QFETCH(int, fontSize);

        scaleFactor = scale;
        UpdateWidget widget;
        widget.layoutWidgets();
        widget.refreshContent();
        const auto at = [&](const char* name) { return widget.findChild<QLabel*>(name); };
        QCOMPARE(widget.size(), size);
        QCOMPARE(at("closeButton")->geometry(), close);
        QCOMPARE(at("messageLabel")->geometry(), message);
        QCOMPARE(at("loadingLabel")->geometry(), spinner);
        QCOMPARE(at("updateButton")->geometry(), update);
        QCOMPARE(at("remindButton")->geometry(), remind);
        const QString font = "font-size:" + QString::number(fontSize) + "px;";
        for (const char* name : {"messageLabel", "updateButton", "remindButton"})
            QVERIFY2(at(name)->styleSheet().contains(font), name);
        QVERIFY(!at("closeButton")->palette().brush(QPalette::Window).texture().isNull());
        QCOMPARE(at("updateButton")->palette().color(QPalette::Window), QColor("#3db456"));
        QCOMPARE(at("remindButton")->palette().color(QPalette::Window), QColor("#576671"));
        // Laying out again on the same dialog changes nothing.
        widget.layoutWidgets();
        QCOMPARE(at("remindButton")->geometry(), remind);
    }
};

VORNETTA_TEST_MAIN(UpdateWidgetTest)
#include "tst_updatewidget.moc"
