// SPDX-License-Identifier: GPL-3.0-or-later
#include "update/updatewidget.h"

#include <utility>

#include <QDate>
#include <QLabel>
#include <QMovie>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPixmap>
#include <QUrl>
#include <QVariant>

#include "core/settings.h"
#include "core/weblinks.h"
#include "gui/webpages.h"
#include "mainwindow/heicmainwidget.h"
#include "update/versioncompare.h"
#include "widgets/mypushbutton.h"
#include "widgets/mytempbutton1.h"
#include "widgets/scalefactor.h"

namespace {

constexpr char kLastCheckKey[] = "LastCheckUpdateTime";
constexpr char kDateFormat[] = "MM-dd-yyyy";
constexpr int kFirstCheckDelayMs = 1800;
constexpr int kRequestDelayMs = 500;

QString labelStyle(const char* colour)
{
    return "QLabel{font-size:" + scaledText(16) + "px;color:" + colour + ";}";
}

// True while the reply can still be what the check asks for: status 200, a body that is not compressed,
// and no more than UpdateWidget::kMaxReplyBytes of it announced or arrived.
bool isPlainShortReply(const QNetworkReply& reply)
{
    if (reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() != 200)
        return false;
    const QByteArray encoding = reply.rawHeader("Content-Encoding").trimmed().toLower();
    if (!encoding.isEmpty() && encoding != "identity")
        return false;
    const QVariant length = reply.header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() > UpdateWidget::kMaxReplyBytes)
        return false;
    return reply.bytesAvailable() <= UpdateWidget::kMaxReplyBytes;
}

} // namespace

UpdateWidget::UpdateWidget(QWidget* parent)
    : QDialog(parent)
{
    setWindowFlags(Qt::FramelessWindowHint);
    resize(scaled(480), scaled(240));

    backgroundWidget = new QWidget(this);
    closeButton = new MyPushButton(this);
    messageLabel = new QLabel(this);
    loadingLabel = new QLabel(this);
    loadingMovie = std::make_unique<QMovie>(":/images/small_loadimg2.gif");
    loadingLabel->setMovie(loadingMovie.get());
    updateButton = new MyTempButton1(this);
    remindButton = new MyTempButton1(this);
    closeButton->setObjectName("closeButton");
    messageLabel->setObjectName("messageLabel");
    loadingLabel->setObjectName("loadingLabel");
    updateButton->setObjectName("updateButton");
    remindButton->setObjectName("remindButton");

    // To screen readers a dialog named after the program, its message read as its description.
    setAccessibleName("Vornetta");
    closeButton->setAccessibleName(tr("Close"));
    loadingLabel->setAccessibleName(tr("Checking for updates"));
    // Tab goes from the answers to the close button.
    setTabOrder(remindButton, closeButton);

    connect(closeButton, &MyPushButton::clicked, this, &UpdateWidget::closeButton_slots);
    connect(updateButton, &MyTempButton1::clicked, this, &UpdateWidget::updateButton_slots);
    connect(remindButton, &MyTempButton1::clicked, this, &UpdateWidget::remindButton_slots);

    latestVersion = "1.0.0";

    requestTimer.setSingleShot(true);
    requestTimer.setInterval(kRequestDelayMs);
    connect(&requestTimer, &QTimer::timeout, this, &UpdateWidget::updateCheck_slots);
    timeLimitTimer.setSingleShot(true);
    connect(&timeLimitTimer, &QTimer::timeout, this, [this] { giveUp(); });

    QTimer::singleShot(kFirstCheckDelayMs, this, &UpdateWidget::fristCheckVer_slots);
}

UpdateWidget::~UpdateWidget() = default;

void UpdateWidget::layoutWidgets()
{
    const int w = width();
    const int h = height();

    backgroundWidget->setGeometry(0, 0, w, h);
    backgroundWidget->setStyleSheet(
        "QWidget{border-bottom: 1px solid #a7a7a7; border-right:1px solid #a7a7a7;border-left:1px solid "
        "#a7a7a7;border-top:4px solid #6f6f6f; background-color:#ffffff;}");

    closeButton->setButtonGeometry(w - scaled(30), scaled(10), scaled(20), scaled(20));
    messageLabel->setGeometry(0, scaled(60), w, scaled(40));
    loadingLabel->setGeometry((w - scaled(20)) / 2, scaled(100), scaled(20), scaled(20));
    loadingMovie->setScaledSize(loadingLabel->size());
    updateButton->setGeometry(w / 2 - scaled(5) - scaled(160), scaled(180), scaled(160), scaled(35));
    remindButton->setGeometry(updateButton->x() + updateButton->width() + scaled(10), updateButton->y(),
                              scaled(160), scaled(35));

    closeButton->setStateRects(QRect(55, 0, 26, 26), QRect(55, 28, 26, 26), QRect(55, 0, 26, 26),
                               QRect(55, 0, 26, 26));
    closeButton->setSprite(QPixmap(":/images/minclose.png"));
    closeButton->setDisplayMode(3);
}

void UpdateWidget::refreshContent()
{
    if (hasNewVersion) {
        updateButton->show();
        remindButton->show();
        messageLabel->setText(tr("A new version is available for %1").arg("Vornetta"));
    } else {
        updateButton->hide();
        remindButton->hide();
        messageLabel->setText(checkFailed ? tr("Unable to check for updates. Please try again later.")
                                          : tr("The current version is the latest version"));
    }
    messageLabel->show();
    messageLabel->setStyleSheet(labelStyle("#333333"));
    messageLabel->setAlignment(Qt::AlignCenter);

    updateButton->setColours("#3db456", "#48bd60", "#45af5b");
    updateButton->setStyleSheet(labelStyle("#FFFFFF"));
    updateButton->setAlignment(Qt::AlignCenter);
    updateButton->setText(tr("Update Now"));

    remindButton->setColours("#576671", "#68757f", "#566169");
    remindButton->setStyleSheet(labelStyle("#FFFFFF"));
    remindButton->setAlignment(Qt::AlignCenter);
    remindButton->setText(tr("Remind me Later"));

    setAccessibleDescription(messageLabel->text());
    // The focus starts on the answer Return gives: Update Now when there is one, else closing.
    (hasNewVersion ? static_cast<QWidget*>(updateButton) : closeButton)->setFocus(Qt::OtherFocusReason);
}

void UpdateWidget::startCheck(bool autoMode)
{
    // An older request still on its way must not overwrite this check's result.
    abandonRequest();
    autoCheck = autoMode;
    hasNewVersion = false;
    checkFailed = false;
    refreshContent();
    loadingLabel->show();
    loadingMovie->start();
    messageLabel->hide();
    updateButton->hide();
    remindButton->hide();
    setAccessibleDescription(loadingLabel->accessibleName());
    requestTimer.start();
}

void UpdateWidget::closeButton_slots()
{
    hide();
}

void UpdateWidget::updateButton_slots()
{
    openWebPage(homePageBase());
}

void UpdateWidget::remindButton_slots()
{
    hide();
}

void UpdateWidget::fristCheckVer_slots()
{
    const QString lastCheck = readSetting(kLastCheckKey);
    const QString today = QDate::currentDate().toString(kDateFormat);
    if (!lastCheck.isEmpty() && lastCheck == today)
        return;
    // Recorded before asking, so a check that fails still counts for the day.
    writeSetting(kLastCheckKey, today);
    // The user is already looking at a check of their own; its answer covers today.
    if (isVisible())
        return;
    startCheck(true);
}

void UpdateWidget::updateCheck_slots()
{
    sendRequest(buildWebUrl(updateCheckBase()));
}

void UpdateWidget::sendRequest(const QString& url)
{
    abandonRequest();
    // One manager per request, released together with its reply once that has been handled.
    auto* manager = new QNetworkAccessManager(this);
    connect(manager, &QNetworkAccessManager::finished, this, &UpdateWidget::downhtmlfinished_slots);
    // Whoever answers is not trusted: no redirect is followed, and asking for the body as it is keeps
    // Qt from inflating a compressed one. HTTP/1.1 only, where the read buffer below holds.
    QNetworkRequest request{QUrl(url)};
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    request.setRawHeader("Accept-Encoding", "identity");
    reply = manager->get(request);
    // The reply buffers no more than one byte past the limit, the byte that shows the body is too long.
    reply->setReadBufferSize(kMaxReplyBytes + 1);
    connect(reply, &QNetworkReply::metaDataChanged, this,
            [this, watched = reply] { refuseUnlessPlainShortReply(watched); });
    connect(reply, &QNetworkReply::readyRead, this,
            [this, watched = reply] { refuseUnlessPlainShortReply(watched); });
    timeLimitTimer.start(checkTimeLimitMs);
}

void UpdateWidget::refuseUnlessPlainShortReply(QNetworkReply* watched)
{
    // Aborting finishes the reply at once; the handler then sees it fail, and reads nothing more.
    if (watched == reply && !isPlainShortReply(*watched))
        watched->abort();
}

void UpdateWidget::downhtmlfinished_slots(QNetworkReply* finishedReply)
{
    finishedReply->deleteLater();
    finishedReply->manager()->deleteLater();
    // An abandoned request (a newer check replaced it, or it ran out of time) changes nothing.
    if (finishedReply != reply)
        return;
    reply = nullptr;
    timeLimitTimer.stop();

    stopSpinner();
    if (finishedReply->error() != QNetworkReply::NoError || !isPlainShortReply(*finishedReply)) {
        checkFailed = true;
        refreshContent();
        return;
    }

    latestVersion = QString::fromUtf8(finishedReply->readAll());
    hasNewVersion = isNewerVersion(latestVersion, kCurrentVersion);
    refreshContent();
    if (autoCheck && hasNewVersion)
        mainWidget->showUpdateDialog(false);
}

void UpdateWidget::abandonRequest()
{
    requestTimer.stop();
    timeLimitTimer.stop();
    // Cleared first: the abort delivers the reply's finished signal, and the handler must see it as stale.
    if (QNetworkReply* old = std::exchange(reply, nullptr))
        old->abort();
}

void UpdateWidget::giveUp()
{
    abandonRequest();
    stopSpinner();
    checkFailed = true;
    hasNewVersion = false;
    refreshContent();
}

void UpdateWidget::stopSpinner()
{
    loadingLabel->hide();
    loadingMovie->stop();
}
