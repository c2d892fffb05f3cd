// SPDX-License-Identifier: GPL-3.0-or-later
#include <memory>

#include <QCoreApplication>
#include <QEnterEvent>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QSignalSpy>
#include <QWidget>

#include "tests/support/testmain.h"
#include "widgets/mypushbutton.h"
#include "widgets/mytempbutton1.h"
#include "widgets/mytempbutton2.h"

namespace {

// A sprite sheet of the program's size with four cells that do not touch, each split into two colours
// left and right, so a picture cut from the wrong cell or tiled instead of stretched is seen.
const QRect kNormalCell(5, 0, 26, 26);
const QRect kHoverCell(5, 28, 26, 26);
const QRect kPressedCell(56, 0, 26, 26);
const QRect kFourthCell(56, 28, 26, 26);

struct CellColours
{
    QColor left;
    QColor right;
};
const CellColours kNormal{Qt::red, Qt::yellow};
const CellColours kHover{Qt::blue, Qt::cyan};
const CellColours kPressed{Qt::green, Qt::magenta};
const CellColours kFourth{Qt::white, Qt::black};

QPixmap testSprite()
{
    QPixmap sprite(82, 60);
    sprite.fill(Qt::darkGray);
    QPainter painter(&sprite);
    const auto drawCell = [&](const QRect& cell, const CellColours& colours) {
        painter.fillRect(cell.x(), cell.y(), 13, 26, colours.left);
        painter.fillRect(cell.x() + 13, cell.y(), 13, 26, colours.right);
    };
    drawCell(kNormalCell, kNormal);
    drawCell(kHoverCell, kHover);
    drawCell(kPressedCell, kPressed);
    drawCell(kFourthCell, kFourth);
    return sprite;
}

void setUpButton(MyPushButton& button)
{
    button.setStateRects(kNormalCell, kHoverCell, kPressedCell, kFourthCell);
    button.setSprite(testSprite());
    button.setDisplayMode(3);
}

// True when the button, as painted, shows the cell's two colours at its left and right edges over its
// whole size.
bool shows(QWidget& button, const CellColours& cell)
{
    const QImage image = button.grab().toImage();
    if (image.size() != button.size())
        return false;
    const int y = image.height() / 2;
    return QColor(image.pixel(2, y)) == cell.left && QColor(image.pixel(image.width() - 3, y)) == cell.right;
}

QColor windowColour(const QWidget& widget)
{
    return widget.palette().brush(QPalette::Window).color();
}

void enter(QWidget& widget)
{
    QEnterEvent event(QPointF(3, 3), QPointF(3, 3), widget.mapToGlobal(QPointF(3, 3)));
    QCoreApplication::sendEvent(&widget, &event);
}

void leave(QWidget& widget)
{
    QEvent event(QEvent::Leave);
    QCoreApplication::sendEvent(&widget, &event);
}

// A parent that counts the mouse presses and releases its children pass on.
class PressRecorder final : public QWidget
{
public:
    int presses = 0;
    int releases = 0;

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        ++presses;
        event->accept();
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        ++releases;
        event->accept();
    }
};

} // namespace

class ButtonsTest final : public QObject
{
    Q_OBJECT

private slots:
    void pushButtonShowsOneCellPerState_data()
    {
        QTest::addColumn<bool>("placedFirst");
        QTest::newRow("placed before the sprite") << true;
        QTest::newRow("placed after the sprite") << false;
    }
    void pushButtonShowsOneCellPerState()
    {
        QFETCH(bool, placedFirst);
        QWidget parent;
        MyPushButton button(&parent);
        QSignalSpy entered(&button, &MyPushButton::enterButton);
        QSignalSpy left(&button, &MyPushButton::leaveButton);
        if (placedFirst)
            button.setButtonGeometry(10, 0, 32, 32);
        setUpButton(button);
        if (!placedFirst)
            button.setButtonGeometry(10, 0, 32, 32);
        QCOMPARE(button.geometry(), QRect(10, 0, 32, 32));
        QVERIFY(shows(button, kNormal));

        enter(button);
        QVERIFY(shows(button, kHover));
        QCOMPARE(entered.count(), 1);

        QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(shows(button, kPressed));
        // The release ends in the normal look even with the pointer still over the button.
        QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(shows(button, kNormal));

        enter(button);
        leave(button);
        QVERIFY(shows(button, kNormal));
        QCOMPARE(left.count(), 1);
    }

    void pushButtonClicksOnReleaseOutside()
    {
        QWidget parent;
        MyPushButton button(&parent);
        setUpButton(button);
        button.setButtonGeometry(0, 0, 32, 32);
        QStringList signalsSeen;
        connect(&button, &MyPushButton::Pressclicked, this, [&] { signalsSeen << "Pressclicked"; });
        connect(&button, &MyPushButton::clicked, this, [&] { signalsSeen << "clicked"; });

        enter(button);
        QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(16, 16));
        leave(button);
        QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(-40, 50));
        QCOMPARE(signalsSeen, (QStringList{"Pressclicked", "clicked"}));
        QVERIFY(shows(button, kNormal));
    }

    void pushButtonRescalesOnNewGeometry()
    {
        QWidget parent;
        MyPushButton button(&parent);
        button.setButtonGeometry(0, 0, 26, 26);
        setUpButton(button);
        QVERIFY(shows(button, kNormal));
        button.setButtonGeometry(4, 4, 60, 20);
        QVERIFY(shows(button, kNormal));
        button.setButtonGeometry(0, 0, 39, 39);
        QVERIFY(shows(button, kNormal));
    }

    void pushButtonWithoutSpriteStaysGrey()
    {
        QWidget parent;
        MyPushButton button(&parent);
        QCOMPARE(windowColour(button), QColor(174, 174, 174));
        QVERIFY(button.autoFillBackground());
        button.setStateRects(kNormalCell, kHoverCell, kPressedCell, kFourthCell);
        button.setButtonGeometry(0, 0, 26, 26);
        QCOMPARE(windowColour(button), QColor(Qt::gray));
        enter(button);
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(windowColour(button), QColor(Qt::gray));
        QCOMPARE(button.grab().toImage().pixelColor(13, 13), QColor(Qt::gray));
    }

    // Every mouse button clicks, and the press and release still reach the parent (the frameless
    // windows drag on them).
    void anyMouseButtonClicksAndReachesParent_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<Qt::MouseButton>("mouseButton");
        const char* names[] = {"MyPushButton", "MyTempButton1", "MyTempButton2"};
        for (int kind = 0; kind < 3; ++kind) {
            QTest::addRow("%s left", names[kind]) << kind << Qt::LeftButton;
            QTest::addRow("%s right", names[kind]) << kind << Qt::RightButton;
            QTest::addRow("%s middle", names[kind]) << kind << Qt::MiddleButton;
        }
    }
    void anyMouseButtonClicksAndReachesParent()
    {
        QFETCH(int, kind);
        QFETCH(Qt::MouseButton, mouseButton);
        PressRecorder parent;
        parent.resize(200, 100);
        QLabel* button = nullptr;
        std::unique_ptr<QSignalSpy> clicks;
        if (kind == 0) {
            auto* b = new MyPushButton(&parent);
            setUpButton(*b);
            clicks = std::make_unique<QSignalSpy>(b, &MyPushButton::clicked);
            button = b;
        } else if (kind == 1) {
            auto* b = new MyTempButton1(&parent);
            b->setColours("#3db456", "#48bd60", "#45af5b");
            clicks = std::make_unique<QSignalSpy>(b, &MyTempButton1::clicked);
            button = b;
        } else {
            auto* b = new MyTempButton2(&parent);
            b->setButtonEnabled(true);
            clicks = std::make_unique<QSignalSpy>(b, &MyTempButton2::clicked);
            button = b;
        }
        button->setGeometry(20, 20, 60, 30);
        QTest::mouseClick(button, mouseButton, {}, QPoint(10, 10));
        QCOMPARE(clicks->count(), 1);
        QCOMPARE(parent.presses, 1);
        QCOMPARE(parent.releases, 1);
    }

    void tempButton1ColoursOnlyAfterSetColours()
    {
        QWidget parent;
        MyTempButton1 button(&parent);
        const QColor initial = windowColour(button);
        enter(button);
        QCOMPARE(windowColour(button), initial);
        leave(button);
        QCOMPARE(windowColour(button), initial);

        button.setColours("#3db456", "#48bd60", "#45af5b");
        QCOMPARE(windowColour(button), QColor("#3db456"));
        QVERIFY(button.autoFillBackground());
        enter(button);
        QCOMPARE(windowColour(button), QColor("#48bd60"));
        QSignalSpy clicks(&button, &MyTempButton1::clicked);
        QTest::mousePress(&button, Qt::LeftButton);
        QCOMPARE(windowColour(button), QColor("#48bd60"));
        QCOMPARE(clicks.count(), 0);
        QTest::mouseRelease(&button, Qt::LeftButton);
        QCOMPARE(clicks.count(), 1);
        leave(button);
        QCOMPARE(windowColour(button), QColor("#3db456"));
        // The third colour is never shown.
        enter(button);
        leave(button);
        QCOMPARE(windowColour(button), QColor("#3db456"));
    }

    void tempButton2StylesFollowPointerAndState()
    {
        QWidget parent;
        MyTempButton2 button(&parent);
        QCOMPARE(button.frameShape(), QFrame::Box);
        button.normalStyle = "QLabel{color:#3db557;}";
        button.hoverStyle = "QLabel{color:#45ea69;}";
        button.disabledStyle = "QLabel{color:#95b79d;}";
        // Before the first setButtonEnabled the hover look does not follow the pointer.
        enter(button);
        QCOMPARE(button.styleSheet(), QString());
        leave(button);

        button.setButtonEnabled(true);
        QCOMPARE(button.styleSheet(), button.normalStyle);
        enter(button);
        QCOMPARE(button.styleSheet(), button.hoverStyle);
        button.setButtonEnabled(false);
        QVERIFY(!button.isEnabled());
        QCOMPARE(button.styleSheet(), button.disabledStyle);
        leave(button);
        QCOMPARE(button.styleSheet(), button.disabledStyle);
        enter(button);
        QCOMPARE(button.styleSheet(), button.disabledStyle);

        QSignalSpy clicks(&button, &MyTempButton2::clicked);
        QTest::mouseClick(&button, Qt::LeftButton);
        QTest::mouseClick(&button, Qt::RightButton);
        QCOMPARE(clicks.count(), 0);

        // Enabling under the pointer shows the normal look until the next enter.
        button.setButtonEnabled(true);
        QVERIFY(button.isEnabled());
        QCOMPARE(button.styleSheet(), button.normalStyle);
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(clicks.count(), 1);
        leave(button);
        QCOMPARE(button.styleSheet(), button.normalStyle);
        enter(button);
        QCOMPARE(button.styleSheet(), button.hoverStyle);
    }

    void tempButton2WithoutDisabledStyleKeepsItsStyleSheet()
    {
        QWidget parent;
        MyTempButton2 button(&parent);
        button.normalStyle = "QLabel{color:#3db557;}";
        button.setStyleSheet("QLabel{color:#123456;}");
        button.setButtonEnabled(false);
        QVERIFY(!button.isEnabled());
        QCOMPARE(button.styleSheet(), QString("QLabel{color:#123456;}"));
        button.setButtonEnabled(true);
        QVERIFY(button.isEnabled());
        QCOMPARE(button.styleSheet(), QString("QLabel{color:#123456;}"));
    }
};

VORNETTA_TEST_MAIN(ButtonsTest)
#include "tst_buttons.moc"
