// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include <QByteArray>
#include <QKeySequence>
#include <QList>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include "mainwindow/batch.h"
#include "mainwindow/fileintake.h"
#include "widgets/windowdrag.h"

class QAction;
class QActionGroup;
class QCloseEvent;
class QComboBox;
class QDragEnterEvent;
class QDropEvent;
class QLabel;
class QMenu;
class QMouseEvent;
class QMovie;
class QShortcut;
class QTreeWidget;
class QTreeWidgetItem;

class CovertThread;
class MyMessageBoxWidget;
class MyPushButton;
class MyTempButton2;
class UpdateWidget;

// The program's main window: a frameless panel with its own title strip, a tool strip (add button,
// format choice, convert button) and the file list, which is also the conversion queue. Its
// construction and look are in heicmainwidget.cpp, what it does in heicmainwidgetactions.cpp and
// heicmainwidgetbatch.cpp, how the keyboard and screen readers reach it in heicmainwidgetkeyboard.cpp.
class HEICMainWidget final : public QWidget
{
    Q_OBJECT

public:
    explicit HEICMainWidget(QWidget* parent = nullptr);
    ~HEICMainWidget() override;

    // Centres a top-level dialog over this window.
    void centerOnMainWindow(QWidget* w);

    // Presents the update dialog modally; with withCheck a manual check starts first.
    void showUpdateDialog(bool withCheck);

    // Appends the paths that name an existing file or folder with the suffix "heic" (any case) as
    // waiting rows, then refreshes the convert button and the drop hint. What was left out is told.
    void addHeicFiles(QStringList paths);

    // Appends files named on the command line or handed over by a later start (takeNamedPaths), as
    // waiting rows, and tells what was left out.
    void addNamedFiles(const QList<QByteArray>& paths);

    // Enables the convert button and hides the drop hint when the list has rows, and the reverse.
    void refreshListState();

    // The first row from the top still to be converted, or -1.
    int findNextWaitingRow();

    // Hands the next waiting row to the worker, or ends the batch with the question about the folder.
    void startNextFile();

    QString language;
    QString savePath;
    QString saveFormat;

    // The window's parts, by the names the rest of the program and the tests use. All but the
    // menus' owners below are children of the window.
    QWidget* frameWidget = nullptr;
    QWidget* titleWidget = nullptr;
    QLabel* iconLabel = nullptr;
    QLabel* titleLabel = nullptr;
    QLabel* versionLabel = nullptr;
    MyPushButton* closeButton = nullptr;
    MyPushButton* minButton = nullptr;
    MyPushButton* menuButton = nullptr;
    QWidget* toolWidget = nullptr;
    MyTempButton2* addMediaButton = nullptr;
    QLabel* formatLabel = nullptr;
    QComboBox* fliterComboBox = nullptr;
    MyTempButton2* toJpgButton = nullptr;
    QTreeWidget* listWidget = nullptr;
    QLabel* dropLabel = nullptr;
    QWidget* loadingWidget = nullptr;
    QLabel* loadingLabel = nullptr;
    QLabel* progressLabel = nullptr;
    MyTempButton2* stopButton = nullptr;
    std::unique_ptr<QMovie> loadingMovie;
    std::unique_ptr<UpdateWidget> updateWidget;
    std::unique_ptr<CovertThread> covertThread;
    QMenu* mainMenu = nullptr;
    QAction* helpAction = nullptr;
    QAction* supportAction = nullptr;
    QAction* homepageAction = nullptr;
    QAction* checkUpgradeAction = nullptr;
    QMenu* qualityMenu = nullptr;
    QActionGroup* qualityGroup = nullptr;
    QAction* standardQualityAction = nullptr;
    QAction* highQualityAction = nullptr;
    QAction* bestQualityAction = nullptr;
    QMenu* listMenu = nullptr;
    QAction* removeAllAction = nullptr;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Tab and Shift+Tab go round the window in the order its parts are read, not the order they were made.
    bool focusNextPrevChild(bool next) override;

private slots:
    void closeButton_slots();
    void minButton_slots();
    void menuButton_slots();
    void addMediaButton_slots();
    void openButton_slots();
    void toJpgButton_slots();
    void covertThread_Finished();
    void listWidgetPressed_slots(QTreeWidgetItem* item, int col);
    void fliterComboBox_slots();
    void slots_helpAction();
    void slots_supportAction();
    void slots_homepageAction();
    void slots_checkUpgradeAction();
    void slots_removeAllAction();
    void stopButton_slots();
    void slots_qualityAction(QAction* action);

private:
    void createWidgets();
    void setUpListWidget();
    void setUpComboBox();
    void createMenus();
    void placeWidgets();
    void paintWidgets();
    void setTexts();
    void roundCorners();
    // The Tab order, the shortcuts and their tool-tips, and the names screen readers read.
    void setUpKeyboard();
    // The shortcuts' keys shown after name, as a tool-tip says them.
    QString withKeys(const QString& name, const QList<QKeySequence>& keys) const;

    // Shows or hides the loading panel. While it covers the window, only what a mouse still reaches there
    // takes the keyboard: Stop (Escape), the title strip's buttons, and closing (Ctrl+Q).
    void showLoadingPanel(bool shown);
    // Delete: the selected rows leave the list.
    void removeSelectedRows();
    // The Menu key or Shift+F10: the list's menu at its current row, where a right press would open it.
    void openListMenuFromKeyboard();

    // Rows for the files taken, each shown as its batch row; then the left-out files are told.
    void addIntake(const FileIntake& intake);
    void showRow(int row);
    void showProgress();
    void tellLeftOut(const QList<LeftOut>& leftOut);
    // The batch's last row is done: the question about the output folder, told what came of the batch.
    void endBatch();
    // Shows the message dialog with text and buttonCount buttons (MyMessageBoxWidget::setMessage) over this
    // window, waits for it, and takes the keyboard back; true when its OK or Yes was pressed.
    bool askOverWindow(const QString& text, int buttonCount);
    // Closing, a termination signal or a logout: the conversion is stopped and awaited, and the work
    // folder goes, so no tool and no decoded photo outlives the window.
    void leaveNothingBehind();

    Batch batch;
    QPointer<MyMessageBoxWidget> leftOutDialog;
    // The shortcuts that work while no conversion runs, and Stop's, which works only while one does.
    QList<QShortcut*> idleShortcuts;
    QShortcut* stopShortcut = nullptr;
    WindowDrag windowDrag{*this};
    // Set once the window is closing: a conversion that ends then starts no further file.
    bool closing = false;
    // Set from a stop until the stopped conversion has ended.
    bool stopping = false;
};

// The one main window, set first thing by its constructor and never cleared.
extern HEICMainWidget* mainWidget;
