#pragma once

#include <QString>
#include <QWidget>

class UpdateWidget;

// The program's main window.
class HEICMainWidget final : public QWidget
{
    Q_OBJECT

public:
    explicit HEICMainWidget(QWidget* parent = nullptr);

    QString language;
    QString savePath;
    UpdateWidget* updateWidget = nullptr;

    // Centres a top-level dialog over this window.
    void centerOnMainWindow(QWidget* w);

    // Presents the update dialog; with withCheck a check starts first.
    void showUpdateDialog(bool withCheck);

private slots:
    void openButton_slots();
};

// The one main window, set first thing by its constructor and never cleared.
extern HEICMainWidget* mainWidget;
