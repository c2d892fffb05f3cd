// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include <QDialog>
#include <QString>
#include <QTimer>

class QLabel;
class QMovie;
class QNetworkReply;
class MyPushButton;
class MyTempButton1;

// The update dialog: the daily and on-demand check for a newer version. There is one for the life of
// the program; the main window owns it and presents it.
class UpdateWidget final : public QDialog
{
    Q_OBJECT

public:
    explicit UpdateWidget(QWidget* parent = nullptr);
    ~UpdateWidget() override;

    // A check that has no answer after this long counts as failed.
    static constexpr int kCheckTimeLimitMs = 15000;
    // The longest answer read. A version number is a few bytes; a longer body is not one, and reading
    // it would let whoever answers fill the program's memory.
    static constexpr qint64 kMaxReplyBytes = 1024;

    // Places and styles the children for the dialog's current size.
    void layoutWidgets();
    // Message, buttons and their looks from the result of the last check.
    void refreshContent();
    // Begins a check: spinner on, result hidden, the request half a second later. A check that is
    // still waiting for its answer is abandoned, so only the newest check ever shows a result.
    void startCheck(bool autoMode);

    // Shortens the time limit, so a test need not wait 15 seconds.
    void setCheckTimeLimit(int milliseconds) { checkTimeLimitMs = milliseconds; }

private slots:
    void closeButton_slots();
    void updateButton_slots();
    void remindButton_slots();
    void fristCheckVer_slots();
    void downhtmlfinished_slots(QNetworkReply* finishedReply);
    void updateCheck_slots();

private:
    void sendRequest(const QString& url);
    void refuseUnlessPlainShortReply(QNetworkReply* watched);
    void abandonRequest();
    void giveUp();
    void stopSpinner();

    QWidget* backgroundWidget = nullptr;
    MyPushButton* closeButton = nullptr;
    QLabel* messageLabel = nullptr;
    QLabel* loadingLabel = nullptr;
    std::unique_ptr<QMovie> loadingMovie;
    MyTempButton1* updateButton = nullptr;
    MyTempButton1* remindButton = nullptr;

    QString latestVersion;
    bool hasNewVersion = false;
    bool autoCheck = false;
    // True when the last check had no usable answer: no network, a status other than 200 (a redirect among
    // them), a compressed or over-long body, no answer in time.
    bool checkFailed = false;
    // The reply of the check in progress; null when none is outstanding.
    QNetworkReply* reply = nullptr;

    QTimer requestTimer;
    QTimer timeLimitTimer;
    int checkTimeLimitMs = kCheckTimeLimitMs;
};
