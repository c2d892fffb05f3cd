// SPDX-License-Identifier: GPL-3.0-or-later
#include <QImage>
#include <QListView>
#include <QPainter>
#include <QProxyStyle>
#include <QStandardItemModel>
#include <QStyleFactory>
#include <QStyleOptionViewItem>

#include "tests/support/testmain.h"
#include "widgets/nofocusframedelegate.h"

namespace {

// Fusion, counting the focus frames it is asked to draw.
class FocusCountingStyle final : public QProxyStyle
{
public:
    FocusCountingStyle()
        : QProxyStyle(QStyleFactory::create("Fusion"))
    {}
    mutable int focusFrames = 0;

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override
    {
        if (element == PE_FrameFocusRect)
            ++focusFrames;
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
};

} // namespace

class DelegateTest final : public QObject
{
    Q_OBJECT

private:
    FocusCountingStyle* style = nullptr; // owned by view
    QListView view;
    QStandardItemModel model;

    QStyleOptionViewItem optionFor(QStyle::State state)
    {
        QStyleOptionViewItem option;
        option.initFrom(&view);
        option.widget = &view;
        option.rect = QRect(0, 0, 120, 30);
        option.state = state | QStyle::State_Enabled | QStyle::State_Active;
        return option;
    }

    QImage paintWith(const QStyledItemDelegate& delegate, const QStyleOptionViewItem& option)
    {
        QImage image(120, 30, QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        delegate.paint(&painter, option, model.index(0, 0));
        return image;
    }

private slots:
    void initTestCase()
    {
        style = new FocusCountingStyle;
        view.setStyle(style);
        style->setParent(&view);
        model.appendRow(new QStandardItem("JPG"));
        view.setModel(&model);
    }

    void selectedFocusedItemHasNoFocusFrame()
    {
        NoFocusFrameDelegate delegate(nullptr);
        QStyledItemDelegate standard;
        const QStyle::State selected = QStyle::State_Selected;
        const QStyle::State focused = QStyle::State_HasFocus | QStyle::State_KeyboardFocusChange;

        // The standard delegate draws a visible focus frame here, so the comparison below means something.
        style->focusFrames = 0;
        const QImage standardFocused = paintWith(standard, optionFor(selected | focused));
        QCOMPARE(style->focusFrames, 1);
        const QImage standardSelected = paintWith(standard, optionFor(selected));
        QVERIFY(standardFocused != standardSelected);

        style->focusFrames = 0;
        const QStyleOptionViewItem option = optionFor(selected | focused);
        const QImage ours = paintWith(delegate, option);
        QCOMPARE(style->focusFrames, 0);
        QCOMPARE(ours, standardSelected);
        QVERIFY(option.state.testFlag(QStyle::State_HasFocus));
    }

    void itemWithoutFocusPaintsAsStandard_data()
    {
        QTest::addColumn<int>("state");
        QTest::newRow("plain") << int(QStyle::State_None);
        QTest::newRow("selected") << int(QStyle::State_Selected);
        QTest::newRow("under the pointer") << int(QStyle::State_MouseOver);
    }
    void itemWithoutFocusPaintsAsStandard()
    {
        QFETCH(int, state);
        NoFocusFrameDelegate delegate(nullptr);
        QStyledItemDelegate standard;
        const QStyleOptionViewItem option = optionFor(QStyle::State(state));
        QCOMPARE(paintWith(delegate, option), paintWith(standard, option));
    }
};

VORNETTA_TEST_MAIN(DelegateTest)
#include "tst_delegate.moc"
