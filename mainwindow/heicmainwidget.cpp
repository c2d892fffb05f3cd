// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/heicmainwidget.h"

#include <QAction>
#include <QActionGroup>
#include <QBitmap>
#include <QBrush>
#include <QColor>
#include <QComboBox>
#include <QCoreApplication>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QMovie>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QScreen>
#include <QScrollBar>
#include <QTreeWidget>
#include <QVariant>

#include "core/settings.h"
#include "engine/covertthread.h"
#include "engine/files/workfolder.h"
#include "engine/picture/outputformat.h"
#include "mainwindow/listcolumns.h"
#include "update/updatewidget.h"
#include "update/versioncompare.h"
#include "widgets/filelistwidget.h"
#include "widgets/itemcolourdelegate.h"
#include "widgets/mypushbutton.h"
#include "widgets/mytempbutton2.h"
#include "widgets/nofocusframedelegate.h"
#include "widgets/scalefactor.h"

HEICMainWidget* mainWidget = nullptr;

namespace {

// Gives a widget a flat background: the brush as its palette's window brush in every colour group.
void fillBackground(QWidget* widget, const QBrush& brush)
{
    QPalette palette = widget->palette();
    palette.setBrush(QPalette::Window, brush);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

// The three looks of the tool strip's text buttons, all in the same green family.
QString textButtonStyle(const char* colour)
{
    return QString("QLabel{border: 1px solid %1; font-size:").arg(colour) + scaledText(12) +
           QString("px;color:%1;font-weight:700; background-color:#ffffff;}").arg(colour);
}

// The two menus share one style sheet; they differ in the item background and the runs of
// blanks between the rules.
QString menuStyle(const QString& itemColours, const QString& gap)
{
    return "QMenu::item{min-width:" + scaledText(112) + "px;height:" + scaledText(30) + itemColours +
           scaledText(12) + "px;padding-left: 8px;padding-right: 2px;}" + gap +
           "QMenu::item:selected{border-color:#e5e5e5;background:#b6f2b8;} " + gap +
           "QMenu::separator{height: 1px;background-color:#e5e5e5;margin-left: 5px;margin-right: 5px;}" + gap;
}

// A point of the title strip measured from its right edge: the subtraction happens in floating
// point, so 850 - 37.5 gives 812.
int fromRightEdge(int width, double designOffset)
{
    return static_cast<int>(width - designOffset * static_cast<double>(scaleFactor));
}

} // namespace

HEICMainWidget::HEICMainWidget(QWidget* parent)
    : QWidget(parent)
{
    mainWidget = this;
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowMaximizeButtonHint);

    // The factor starts at 1.0, so this is the smaller of the two DPI ratios, clamped. Where Qt scales
    // high-DPI screens itself, the logical DPI reads 96 and the window keeps the same size on screen. The
    // window cannot be resized, so the factor is lowered where the screen's free area needs it, whatever
    // the DPI or Qt's own scaling (QT_SCALE_FACTOR) make of it; the window opens in that area's middle.
    const QRect available = screen() ? screen()->availableGeometry() : QRect();
    scaleFactor = scaleFactorToFit(scaleFactorFromDpi(logicalDpiX() * static_cast<double>(scaleFactor),
                                                      logicalDpiY() * static_cast<double>(scaleFactor)),
                                   QSize(680, 520), available.size());
    resize(static_cast<int>(680.0f * scaleFactor), static_cast<int>(520.0f * scaleFactor));
    if (!available.isEmpty())
        move(available.x() + (available.width() - width()) / 2,
             available.y() + (available.height() - height()) / 2);

    saveFormat = outputFormatName(OutputFormat::Jpg);
    language = "EN";

    createWidgets();
    connect(covertThread.get(), &QThread::finished, this, &HEICMainWidget::covertThread_Finished);
    connect(listWidget, &QTreeWidget::itemPressed, this, &HEICMainWidget::listWidgetPressed_slots);
    connect(closeButton, &MyPushButton::clicked, this, &HEICMainWidget::closeButton_slots);
    connect(minButton, &MyPushButton::clicked, this, &HEICMainWidget::minButton_slots);
    connect(menuButton, &MyPushButton::clicked, this, &HEICMainWidget::menuButton_slots);
    connect(addMediaButton, &MyTempButton2::clicked, this, &HEICMainWidget::addMediaButton_slots);
    connect(toJpgButton, &MyTempButton2::clicked, this, &HEICMainWidget::toJpgButton_slots);
    connect(stopButton, &MyTempButton2::clicked, this, &HEICMainWidget::stopButton_slots);
    // A logout or a termination signal ends the event loop without closing the window first.
    connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this,
            &HEICMainWidget::leaveNothingBehind);
    // The list under the loading panel still scrolls with the wheel.
    loadingWidget->installEventFilter(this);

    setUpListWidget();
    setUpComboBox();
    createMenus();
    savePath = readFolderSetting("SaveVideoPath");
    loadingWidget->hide();

    placeWidgets();
    paintWidgets();
    setTexts();

    setAcceptDrops(true);
    listWidget->clear();
    refreshListState();
    fliterComboBox_slots();
    roundCorners();
    setUpKeyboard();
}

HEICMainWidget::~HEICMainWidget()
{
    // A conversion that outlasted closing's wait holds the work folder until the worker has ended.
    covertThread.reset();
    removeSharedWorkFolder();
}

void HEICMainWidget::createWidgets()
{
    frameWidget = new QWidget(this);
    titleWidget = new QWidget(this);
    iconLabel = new QLabel(titleWidget);
    titleLabel = new QLabel(titleWidget);
    versionLabel = new QLabel(titleWidget);
    closeButton = new MyPushButton(titleWidget);
    minButton = new MyPushButton(titleWidget);
    menuButton = new MyPushButton(titleWidget);
    toolWidget = new QWidget(this);
    addMediaButton = new MyTempButton2(toolWidget);
    formatLabel = new QLabel(toolWidget);
    fliterComboBox = new QComboBox(toolWidget);
    toJpgButton = new MyTempButton2(toolWidget);
    listWidget = new FileListWidget(this);
    dropLabel = new QLabel(this);
    loadingWidget = new QWidget(this);
    loadingLabel = new QLabel(loadingWidget);
    loadingMovie = std::make_unique<QMovie>(":/images/small_loadimg2.gif", QByteArray());
    loadingLabel->setMovie(loadingMovie.get());
    progressLabel = new QLabel(loadingWidget);
    stopButton = new MyTempButton2(loadingWidget);
    updateWidget = std::make_unique<UpdateWidget>(nullptr);
    updateWidget->hide();
    covertThread = std::make_unique<CovertThread>();

    // Names for finding the parts from outside (tests, style inspection); they change nothing.
    const QList<std::pair<QObject*, const char*>> named = {
        {frameWidget, "frameWidget"},   {titleWidget, "titleWidget"},
        {iconLabel, "iconLabel"},       {titleLabel, "titleLabel"},
        {versionLabel, "versionLabel"}, {closeButton, "closeButton"},
        {minButton, "minButton"},       {menuButton, "menuButton"},
        {toolWidget, "toolWidget"},     {addMediaButton, "addMediaButton"},
        {formatLabel, "formatLabel"},   {fliterComboBox, "fliterComboBox"},
        {toJpgButton, "toJpgButton"},   {listWidget, "listWidget"},
        {dropLabel, "dropLabel"},       {loadingWidget, "loadingWidget"},
        {loadingLabel, "loadingLabel"}, {progressLabel, "progressLabel"},
        {stopButton, "stopButton"},
    };
    for (const auto& [object, name] : named)
        object->setObjectName(name);
}

void HEICMainWidget::setUpListWidget()
{
    // The 15 px width and 80 px handle stay unscaled.
    const QString tabs(8, '\t');
    listWidget->verticalScrollBar()->setStyleSheet(
        tabs + "QScrollBar:vertical {border: 0px;background: white;width: 15px;margin: 0px 0 0px 0}" + tabs +
        "QScrollBar::handle:vertical {background: #d1cfcf; min-height: 80px;}" + tabs +
        "QScrollBar::add-line:vertical {border: 0px ;height: 0px;subcontrol-position: "
        "bottom;subcontrol-origin: "
        "margin;}" +
        tabs +
        "QScrollBar::sub-line:vertical {border: 0px ;height: 0px;subcontrol-position: top;subcontrol-origin: "
        "margin;}" +
        tabs +
        "QScrollBar::up-arrow:vertical, QScrollBar::down-arrow:vertical {border: 0px ;width: 0px;height: "
        "0px;}" +
        tabs + "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical {background: none;}");
    listWidget->setStyleSheet(
        "QTreeWidget{color: #333333;font-size:" + scaledText(13) +
        "px;border: 1px solid #b5b5b5;} QTreeWidget::item{color: #333333;border: 1px solid "
        "#b5b5b5;border-left:none;border-top:none;border-right:none;height:" +
        scaledText(35) +
        "px;} QTreeView::item:selected{background:#b6f2b8;border: 1px solid "
        "#b5b5b5;border-left:none;border-top:none;border-right:none;}");
    listWidget->setColumnCount(kColumnCount);
    listWidget->setRootIsDecorated(false);
    listWidget->setFrameShape(QFrame::NoFrame);
    listWidget->horizontalScrollBar()->hide();
    listWidget->header()->hide();
    listWidget->setAutoScroll(true);
    // Shift and Ctrl pick several rows, for the Delete key.
    listWidget->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // A failed row's state keeps its red under the style sheet's text colour.
    listWidget->setItemDelegateForColumn(kStateColumn, new ItemColourDelegate(listWidget));
}

void HEICMainWidget::setUpComboBox()
{
    fliterComboBox->setStyleSheet(
        "QComboBox{border: 1px solid #9b9ea1;border-radius: 3px;padding: 1px 2px 1px 2px;min-width: " +
        scaledText(30) + "px;color:#333333;font-size:" + scaledText(9) +
        "px;background-color: #f3f3f3;}"
        "QComboBox::drop-down{subcontrol-origin: padding; subcontrol-position: top right;width: "
        "20px;border-left-width: 0px;border-left-color: #61707c;border-left-style: "
        "solid;border-top-right-radius: 3px;border-bottom-right-radius: 3px;}"
        "QComboBox::down-arrow {image: url(:/images/arrowDown.png);}"
        "QComboBox QAbstractItemView{border: 1px solid #9b9ea1; color:#333333; "
        "selection-background-color: #7add81;background-color: #fafbfe;}");
    // The transparent 2 x 30 item icon keeps the popup rows 30 px high at every scale.
    fliterComboBox->setIconSize(QSize(2, 30));
    fliterComboBox->setEditable(false);
    fliterComboBox->setItemDelegate(new NoFocusFrameDelegate(this));
}

void HEICMainWidget::createMenus()
{
    mainMenu = new QMenu(this);
    helpAction = new QAction(this);
    supportAction = new QAction(this);
    homepageAction = new QAction(this);
    checkUpgradeAction = new QAction(this);
    mainMenu->addAction(helpAction);
    mainMenu->addAction(supportAction);
    mainMenu->addAction(homepageAction);
    mainMenu->addAction(checkUpgradeAction);
    connect(helpAction, &QAction::triggered, this, &HEICMainWidget::slots_helpAction);
    connect(supportAction, &QAction::triggered, this, &HEICMainWidget::slots_supportAction);
    connect(homepageAction, &QAction::triggered, this, &HEICMainWidget::slots_homepageAction);
    connect(checkUpgradeAction, &QAction::triggered, this, &HEICMainWidget::slots_checkUpgradeAction);
    connect(fliterComboBox, &QComboBox::currentIndexChanged, this, &HEICMainWidget::fliterComboBox_slots);

    // JPG quality, one choice of three; each action carries its quality.
    mainMenu->addSeparator();
    qualityMenu = mainMenu->addMenu(QString());
    qualityGroup = new QActionGroup(this);
    const int stored = readJpgQuality();
    for (QAction** action : {&standardQualityAction, &highQualityAction, &bestQualityAction}) {
        *action = new QAction(this);
        (*action)->setCheckable(true);
        qualityGroup->addAction(*action);
        qualityMenu->addAction(*action);
    }
    standardQualityAction->setData(75);
    highQualityAction->setData(90);
    bestQualityAction->setData(95);
    // Nothing stored: the writer's own default, which is 75.
    for (QAction* action : qualityGroup->actions())
        action->setChecked(action->data().toInt() == (stored < 0 ? 75 : stored));
    connect(qualityGroup, &QActionGroup::triggered, this, &HEICMainWidget::slots_qualityAction);

    listMenu = new QMenu(this);
    removeAllAction = new QAction(this);
    listMenu->addAction(removeAllAction);
    connect(removeAllAction, &QAction::triggered, this, &HEICMainWidget::slots_removeAllAction);
}

void HEICMainWidget::placeWidgets()
{
    const int w = width();
    const int h = height();
    frameWidget->setGeometry(0, 0, w, h);
    titleWidget->setGeometry(0, 0, w, scaled(30));
    const int titleWidth = titleWidget->width();
    const int titleHeight = titleWidget->height();
    iconLabel->setGeometry(scaled(10), scaled(5), scaled(20), scaled(20));
    titleLabel->setGeometry(scaled(40), 1, scaled(400), scaled(28));
    closeButton->setButtonGeometry(fromRightEdge(titleWidth, 30), 0, scaled(26), scaled(26));
    minButton->setButtonGeometry(fromRightEdge(titleWidth, 60), 0, scaled(26), scaled(26));
    menuButton->setButtonGeometry(fromRightEdge(titleWidth, 90), 0, scaled(26), scaled(26));
    versionLabel->setGeometry(fromRightEdge(titleWidth, 200), scaled(8), scaled(90), scaled(20));

    toolWidget->setGeometry(1, titleHeight, w - 2, scaled(45));
    addMediaButton->setGeometry(scaled(10), scaled(5), scaled(130), scaled(35));
    formatLabel->setGeometry(scaled(370), scaled(8), scaled(60), scaled(30));
    fliterComboBox->setGeometry(formatLabel->x() + formatLabel->width() + 5, scaled(11), scaled(60),
                                scaled(24));
    // Measured from the window's width although the strip is 2 px narrower and starts at x = 1.
    toJpgButton->setGeometry(w - scaled(145), scaled(5), scaled(130), scaled(35));

    const int listTop = toolWidget->y() + toolWidget->height();
    listWidget->setGeometry(1, listTop, w - 2, h - 1 - listTop);
    dropLabel->setGeometry(1, listWidget->y(), listWidget->width(), listWidget->height());
    loadingWidget->setGeometry(0, titleHeight, w, h - titleHeight);
    loadingLabel->setGeometry((loadingWidget->width() - scaled(20)) / 2,
                              (loadingWidget->height() - scaled(20)) / 2, scaled(20), scaled(20));

    // The source path and the done flag ride along unseen; only the path and the state show.
    listWidget->setColumnWidth(kPathColumn, listWidget->width() - scaled(100));
    listWidget->setColumnWidth(kSourceColumn, 0);
    listWidget->setColumnWidth(kDoneColumn, 0);
    listWidget->setColumnWidth(kStateColumn, scaled(100));
    listWidget->setColumnHidden(kSourceColumn, true);
    listWidget->setColumnHidden(kDoneColumn, true);
    listWidget->setColumnHidden(kStateColumn, false);
    loadingMovie->setScaledSize(loadingLabel->size());
    // Under the animation: what converts, and the way to stop it.
    progressLabel->setGeometry((loadingWidget->width() - scaled(440)) / 2, loadingLabel->y() + scaled(30),
                               scaled(440), scaled(26));
    stopButton->setGeometry((loadingWidget->width() - scaled(100)) / 2, progressLabel->y() + scaled(36),
                            scaled(100), scaled(32));
}

void HEICMainWidget::paintWidgets()
{
    fillBackground(this, QColor(255, 255, 255));
    fillBackground(loadingWidget, QColor(206, 206, 206, 100));
    fillBackground(dropLabel, QColor(206, 206, 206, 100));
    fillBackground(titleWidget, QColor(111, 111, 111));
    fillBackground(toolWidget, QColor(243, 243, 243));
    fillBackground(iconLabel,
                   QPixmap(":/images/program.png")
                       .scaled(iconLabel->size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    setWindowIcon(QIcon(":/images/program.png"));
    frameWidget->setStyleSheet("QWidget{border: 1px solid #4e4e4e; border-radius: 3px;}");

    // Sprite cells are in sprite pixels; each button stretches its cell to its own size.
    const QPixmap sprite(":/images/minclose.png");
    const std::pair<MyPushButton*, int> buttons[] = {{menuButton, 5}, {minButton, 30}, {closeButton, 55}};
    for (const auto& [button, cellX] : buttons) {
        button->setStateRects(QRect(cellX, 0, 26, 26), QRect(cellX, 28, 26, 26), QRect(cellX, 0, 26, 26),
                              QRect(cellX, 0, 26, 26));
        button->setSprite(sprite);
        button->setDisplayMode(3);
    }
}

void HEICMainWidget::setTexts()
{
    setWindowTitle("Vornetta");
    titleLabel->setText("Vornetta");
    titleLabel->setStyleSheet("QLabel { color: #FFFFFF;font-size:" + scaledText(12) + "px; }");
    versionLabel->setAlignment(Qt::AlignRight);
    versionLabel->setText(tr("Ver: %1").arg(kCurrentVersion));
    versionLabel->setStyleSheet("QLabel { color: #b7b7b7;font-size:" + scaledText(10) + "px; }");
    dropLabel->setStyleSheet("QLabel { color: #b7b7b7;font-size:" + scaledText(16) + "px; }");
    dropLabel->setText(tr("Drop HEIC files to here"));
    dropLabel->setAlignment(Qt::AlignCenter);

    for (MyTempButton2* button : {addMediaButton, toJpgButton, stopButton}) {
        button->normalStyle = textButtonStyle("#3db557");
        button->hoverStyle = textButtonStyle("#45ea69");
        button->disabledStyle = textButtonStyle("#95b79d");
        button->setAlignment(Qt::AlignCenter);
        button->setButtonEnabled(true);
    }
    addMediaButton->setText(tr("Add HEIC"));
    toJpgButton->setText(tr("Save to %1").arg(saveFormat.toUpper()));
    stopButton->setText(tr("Stop"));
    // A plate of the tool strip's colour keeps the line readable over the rows under the panel.
    progressLabel->setStyleSheet(
        "QLabel { color: #333333;font-size:" + scaledText(13) +
        "px;background-color: #f3f3f3;border: 1px solid #b5b5b5;border-radius: 3px; }");
    progressLabel->setAlignment(Qt::AlignCenter);

    formatLabel->setText(tr("Format:"));
    formatLabel->setStyleSheet("QLabel { color: #434343;font-size:" + scaledText(12) + "px; }");
    formatLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    // Adding the first item makes it current, which already refreshes the format.
    fliterComboBox->clear();
    const QIcon itemIcon(":/images/arrowtest.png");
    fliterComboBox->addItem(itemIcon, tr("JPG"), QVariant());
    fliterComboBox->addItem(itemIcon, tr("PNG"), QVariant());
    fliterComboBox->addItem(itemIcon, tr("BMP"), QVariant());

    mainMenu->setStyleSheet(
        menuStyle("px;background-color: #edf4fb;color:#333333;font-size: ", QString(7, '\t') + "   "));
    helpAction->setText(tr("Help"));
    supportAction->setText(tr("Support"));
    homepageAction->setText(tr("Homepage"));
    checkUpgradeAction->setText(tr("Check for Updates"));
    qualityMenu->setTitle(tr("JPG quality"));
    standardQualityAction->setText(tr("Standard (75)"));
    highQualityAction->setText(tr("High (90)"));
    bestQualityAction->setText(tr("Best (95)"));
    mainMenu->hide();

    listMenu->setStyleSheet(
        menuStyle("px;background-color: #ffffff;color:#333333;font-size: ", QString(9, '\t') + "  "));
    removeAllAction->setText(tr("Remove All"));
    listMenu->hide();

    // The column headers do not show; screen readers name the list's columns by them.
    listWidget->setHeaderLabels({tr("File"), QString(), QString(), tr("Status")});
}

void HEICMainWidget::roundCorners()
{
    // The 3 px radius stays the same at every scale.
    QBitmap bitmap(size());
    bitmap.fill(Qt::white);
    QPainter painter(&bitmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QBrush(Qt::black, Qt::SolidPattern));
    painter.drawRoundedRect(bitmap.rect(), 3.0, 3.0, Qt::AbsoluteSize);
    painter.end();
    setMask(bitmap);
}
