// SPDX-License-Identifier: GPL-3.0-or-later
#include <QCoreApplication>
#include <QEnterEvent>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QTimer>

#include "tests/support/testmain.h"
#include "widgets/mymessageboxwidget.h"
#include "widgets/mypushbutton.h"
#include "widgets/mytempbutton1.h"
#include "widgets/scalefactor.h"

namespace {

const QString kQuestion = "Do you want open the output folder? ";

template <typename T>
T* child(const MyMessageBoxWidget& box, const char* name)
{
    T* widget = box.findChild<T*>(name);
    if (!widget)
        qFatal("message dialog has no child %s", name);
    return widget;
}

QColor windowColour(const QWidget* widget)
{
    return widget->palette().brush(QPalette::Window).color();
}

void enter(QWidget* widget)
{
    QEnterEvent event(QPointF(3, 3), QPointF(3, 3), widget->mapToGlobal(QPointF(3, 3)));
    QCoreApplication::sendEvent(widget, &event);
}

// What a cell of the compiled-in sprite sheet looks like stretched to size.
QImage spriteCell(const QRect& cell, const QSize& size)
{
    return QPixmap(":/images/minclose.png")
        .copy(cell)
        .scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .toImage();
}

QImage windowTexture(const QWidget* widget)
{
    return widget->palette().brush(QPalette::Window).texture().toImage();
}

} // namespace

class MessageBoxTest final : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { scaleFactor = 1.0f; }

    // Whatever the answer, the dialog ends through close(), so exec() reports Rejected and only
    // okPressed tells the answer.
    void answers_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<Qt::MouseButton>("mouseButton");
        QTest::addColumn<bool>("before");
        QTest::addColumn<bool>("expected");
        QTest::newRow("OK") << "firstButton" << Qt::LeftButton << false << true;
        QTest::newRow("OK, right button") << "firstButton" << Qt::RightButton << false << true;
        QTest::newRow("NO") << "secondButton" << Qt::LeftButton << true << false;
        QTest::newRow("close button") << "closeButton" << Qt::LeftButton << true << false;
        QTest::newRow("Escape") << "" << Qt::NoButton << false << false;
    }
    void answers()
    {
        QFETCH(QString, control);
        QFETCH(Qt::MouseButton, mouseButton);
        QFETCH(bool, before);
        QFETCH(bool, expected);
        MyMessageBoxWidget box(nullptr);
        QVERIFY(!box.okPressed);
        QVERIFY(box.isWindow());
        box.setMessage(kQuestion, 2, 0);
        box.okPressed = before;

        QTimer::singleShot(0, &box, [&] {
            QVERIFY(box.isVisible());
            if (control.isEmpty())
                QTest::keyClick(&box, Qt::Key_Escape);
            else
                QTest::mouseClick(box.findChild<QWidget*>(control), mouseButton);
        });
        // A dialog that ignored the click would otherwise hang the test.
        QTimer::singleShot(5000, &box, [&] { box.done(42); });
        QCOMPARE(box.exec(), int(QDialog::Rejected));
        QCOMPARE(box.okPressed, expected);
        QVERIFY(box.isHidden());
    }

    // Frameless in both cases; given a parent it still opens as a window of its own over it.
    void isAFramelessWindow()
    {
        const Qt::WindowFlags frameless = Qt::FramelessWindowHint | Qt::WindowSystemMenuHint |
                                          Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint;
        MyMessageBoxWidget alone(nullptr);
        QCOMPARE(alone.windowFlags() & frameless, frameless);
        QVERIFY(alone.isWindow());

        QWidget owner;
        owner.resize(680, 520);
        owner.show();
        MyMessageBoxWidget box(&owner);
        box.setMessage(kQuestion, 2, 0);
        QCOMPARE(box.windowFlags() & frameless, frameless);
        QVERIFY(box.isWindow());
        QTimer::singleShot(0, &box, [&] {
            QVERIFY(box.isModal());
            QTest::mouseClick(box.findChild<QWidget*>("firstButton"), Qt::LeftButton);
        });
        QTimer::singleShot(5000, &box, [&] { box.done(42); });
        QCOMPARE(box.exec(), int(QDialog::Rejected));
        QVERIFY(box.okPressed);
    }

    void buttonCountAndLabels_data()
    {
        QTest::addColumn<int>("buttonCount");
        QTest::addColumn<int>("buttonLabels");
        QTest::addColumn<QString>("first");  // empty when hidden
        QTest::addColumn<QString>("second"); // empty when hidden
        QTest::addColumn<int>("firstX");
        QTest::newRow("none") << 0 << 0 << ""
                              << "" << 0;
        QTest::newRow("one") << 1 << 0 << "OK"
                             << "" << 360;
        QTest::newRow("two") << 2 << 0 << "OK"
                             << "NO" << 220;
        QTest::newRow("any other count") << 7 << 0 << "OK"
                                         << "NO" << 220;
        QTest::newRow("negative count") << -1 << 0 << "OK"
                                        << "NO" << 220;
        QTest::newRow("Yes NO") << 2 << 1 << "Yes"
                                << "NO" << 220;
        QTest::newRow("OK Cancel") << 2 << 2 << "OK"
                                   << "Cancel" << 220;
        QTest::newRow("Yes Cancel") << 2 << 3 << "Yes"
                                    << "Cancel" << 220;
        QTest::newRow("Download Cancel") << 2 << 4 << "Download"
                                         << "Cancel" << 220;
        QTest::newRow("unknown labels") << 2 << 5 << "OK"
                                        << "NO" << 220;
        QTest::newRow("negative labels") << 2 << -3 << "OK"
                                         << "NO" << 220;
    }
    void buttonCountAndLabels()
    {
        QFETCH(int, buttonCount);
        QFETCH(int, buttonLabels);
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(int, firstX);
        MyMessageBoxWidget box(nullptr);
        box.setMessage(kQuestion, buttonCount, buttonLabels);
        box.show();
        auto* firstButton = child<MyTempButton1>(box, "firstButton");
        auto* secondButton = child<MyTempButton1>(box, "secondButton");
        QCOMPARE(firstButton->isVisible(), !first.isEmpty());
        QCOMPARE(secondButton->isVisible(), !second.isEmpty());
        if (!first.isEmpty()) {
            QCOMPARE(firstButton->text(), first);
            QCOMPARE(firstButton->geometry(), QRect(firstX, 180, 120, 32));
        }
        if (!second.isEmpty()) {
            QCOMPARE(secondButton->text(), second);
            QCOMPARE(secondButton->geometry(), QRect(360, 180, 120, 32));
        }
        QVERIFY(child<MyPushButton>(box, "closeButton")->isVisible());
    }

    void layoutFollowsScale_data()
    {
        QTest::addColumn<float>("scale");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QRect>("label");
        QTest::addColumn<QRect>("close");
        QTest::addColumn<QRect>("first");
        QTest::addColumn<QRect>("second");
        QTest::addColumn<int>("messagePx");
        QTest::addColumn<int>("buttonPx");
        QTest::newRow("1.0") << 1.0f << QSize(500, 240) << QRect(40, 45, 420, 120) << QRect(470, 0, 26, 26)
                             << QRect(220, 180, 120, 32) << QRect(360, 180, 120, 32) << 12 << 16;
        QTest::newRow("1.25") << 1.25f << QSize(625, 300) << QRect(50, 56, 525, 150) << QRect(588, 0, 32, 32)
                              << QRect(275, 225, 150, 40) << QRect(450, 225, 150, 40) << 15 << 20;
        QTest::newRow("1.5") << 1.5f << QSize(750, 360) << QRect(60, 67, 630, 180) << QRect(705, 0, 39, 39)
                             << QRect(330, 270, 180, 48) << QRect(540, 270, 180, 48) << 18 << 24;
    }
    void layoutFollowsScale()
    {
        QFETCH(float, scale);
        QFETCH(QSize, size);
        QFETCH(QRect, label);
        QFETCH(QRect, close);
        QFETCH(QRect, first);
        QFETCH(QRect, second);
        QFETCH(int, messagePx);
        QFETCH(int, buttonPx);
        scaleFactor = scale;
        MyMessageBoxWidget box(nullptr);
        box.setMessage(kQuestion, 2, 0);
        box.show();

        QCOMPARE(box.size(), size);
        QCOMPARE(box.minimumSize(), size);
        QCOMPARE(box.maximumSize(), size);
        QCOMPARE(child<QWidget>(box, "backgroundWidget")->geometry(), QRect(QPoint(0, 0), size));

        auto* message = child<QLabel>(box, "messageLabel");
        QCOMPARE(message->geometry(), label);
        QCOMPARE(message->text(), kQuestion);
        QCOMPARE(message->alignment(), Qt::AlignLeft | Qt::AlignVCenter);
        QVERIFY(message->wordWrap());
        QCOMPARE(message->font().pixelSize(), messagePx);

        auto* closeButton = child<MyPushButton>(box, "closeButton");
        QCOMPARE(closeButton->geometry(), close);
        QCOMPARE(windowTexture(closeButton), spriteCell(QRect(55, 0, 26, 26), close.size()));
        enter(closeButton);
        QCOMPARE(windowTexture(closeButton), spriteCell(QRect(55, 28, 26, 26), close.size()));

        for (auto [name, rect] : {std::pair{"firstButton", first}, std::pair{"secondButton", second}}) {
            auto* button = child<MyTempButton1>(box, name);
            QCOMPARE(button->geometry(), rect);
            QCOMPARE(button->alignment(), Qt::AlignCenter);
            QCOMPARE(button->font().pixelSize(), buttonPx);
            QCOMPARE(button->palette().color(QPalette::WindowText), QColor("#FFFFFF"));
        }
        QCOMPARE(windowColour(child<QWidget>(box, "firstButton")), QColor("#3db456"));
        QCOMPARE(windowColour(child<QWidget>(box, "secondButton")), QColor("#576671"));
    }

    // The dialog as drawn: frame, dark top bar, white panel, green and slate buttons that lighten
    // under the pointer.
    void drawsFrameAndButtons()
    {
        MyMessageBoxWidget box(nullptr);
        box.setMessage(kQuestion, 2, 0);
        box.show();
        QImage image = box.grab().toImage();
        QCOMPARE(image.size(), QSize(500, 240));
        for (int y = 0; y < 4; ++y)
            QCOMPARE(image.pixelColor(250, y), QColor("#6f6f6f"));
        QCOMPARE(image.pixelColor(250, 4), QColor(Qt::white));
        QCOMPARE(image.pixelColor(0, 120), QColor("#a7a7a7"));
        QCOMPARE(image.pixelColor(499, 120), QColor("#a7a7a7"));
        QCOMPARE(image.pixelColor(250, 239), QColor("#a7a7a7"));
        QCOMPARE(image.pixelColor(1, 120), QColor(Qt::white));
        QCOMPARE(image.pixelColor(250, 30), QColor(Qt::white));
        QCOMPARE(image.pixelColor(222, 182), QColor("#3db456"));
        QCOMPARE(image.pixelColor(362, 182), QColor("#576671"));
        // The question is drawn in the label's dark text colour somewhere on its line.
        bool textDrawn = false;
        for (int x = 40; x < 460 && !textDrawn; ++x)
            for (int y = 90; y < 120 && !textDrawn; ++y)
                textDrawn = image.pixelColor(x, y).lightness() < 128;
        QVERIFY(textDrawn);

        enter(box.findChild<QWidget*>("firstButton"));
        enter(box.findChild<QWidget*>("secondButton"));
        image = box.grab().toImage();
        QCOMPARE(image.pixelColor(222, 182), QColor("#48bd60"));
        QCOMPARE(image.pixelColor(362, 182), QColor("#68757f"));
    }

    void draggingMovesWithoutResizing_data()
    {
        QTest::addColumn<Qt::MouseButton>("mouseButton");
        QTest::newRow("left") << Qt::LeftButton;
        QTest::newRow("right") << Qt::RightButton;
    }
    void draggingMovesWithoutResizing()
    {
        QFETCH(Qt::MouseButton, mouseButton);
        MyMessageBoxWidget box(nullptr);
        box.setMessage(kQuestion, 2, 0);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        box.move(100, 80);
        QCOMPARE(box.pos(), QPoint(100, 80));

        // Pressed on the message text: the label passes the press on to the dialog.
        auto* message = child<QLabel>(box, "messageLabel");
        QTest::mousePress(message, mouseButton, {}, QPoint(5, 5));
        QTest::mouseMove(message, QPoint(45, 25));
        QCOMPARE(box.pos(), QPoint(140, 100));
        QTest::mouseMove(message, QPoint(-5, 5));
        QCOMPARE(box.pos(), QPoint(130, 100));
        QCOMPARE(box.size(), QSize(500, 240));
        QTest::mouseRelease(message, mouseButton, {}, QPoint(-5, 5));

        // After the release the pointer moves alone.
        QMouseEvent move(QEvent::MouseMove, QPointF(300, 200), box.mapToGlobal(QPointF(300, 200)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&box, &move);
        QCOMPARE(box.pos(), QPoint(130, 100));
        QCOMPARE(box.size(), QSize(500, 240));
        QVERIFY(box.isVisible());
    }
};

VORNETTA_TEST_MAIN(MessageBoxTest)
#include "tst_messagebox.moc"
