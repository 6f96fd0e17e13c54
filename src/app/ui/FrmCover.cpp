#include "app/ui/FrmCover.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>

TfrmCover::TfrmCover(const QString& executableFolder, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint), imgCover(new QLabel(this)),
      tmr1(new QTimer(this))
{
    setAttribute(Qt::WA_DeleteOnClose, false);
    imgCover->setScaledContents(true);
    tmr1->setInterval(TimerInterval);
    connect(tmr1, &QTimer::timeout, this, &TfrmCover::tmr1Timer);
    FormCreate(executableFolder);
}

void TfrmCover::FormCreate(const QString& executableFolder)
{
    imgCover->setPixmap(DesignPicture());
    // The second picture wins when both exist; a damaged one is passed over.
    for (const char* name : {"skin/ipodvideocover.jpg", "skin/videocover.jpg"}) {
        const QString path =
            QFileInfo(executableFolder + QLatin1Char('/') + QLatin1String(name)).absoluteFilePath();
        QPixmap picture;
        if (QFileInfo::exists(path) && picture.load(path) && !picture.isNull())
            imgCover->setPixmap(picture);
    }
    tmr1->start();
}

void TfrmCover::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    FormShow();
}

void TfrmCover::FormShow()
{
    const QSize size = imgCover->pixmap().size();
    setFixedSize(size);
    imgCover->setGeometry(0, 0, size.width(), size.height());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TfrmCover::tmr1Timer()
{
    if (mainWindow_ && mainWindow_->isVisible()) {
        tmr1->stop();
        close();
    }
}

QPixmap TfrmCover::DesignPicture()
{
    QPixmap picture(DesignWidth, DesignHeight);
    QPainter painter(&picture);
    QLinearGradient sky(0, 0, 0, DesignHeight);
    sky.setColorAt(0, QColor(70, 110, 190));
    sky.setColorAt(1, QColor(20, 40, 90));
    painter.fillRect(picture.rect(), sky);
    painter.setPen(QColor(122, 160, 218));
    painter.drawRect(picture.rect().adjusted(0, 0, -1, -1));
    painter.setPen(Qt::white);
    QFont title = painter.font();
    title.setPixelSize(26);
    title.setBold(true);
    painter.setFont(title);
    painter.drawText(QRect(0, 70, DesignWidth, 40), Qt::AlignCenter, QStringLiteral("Quenvo iPod Clarvix"));
    QFont line = painter.font();
    line.setPixelSize(13);
    line.setBold(false);
    painter.setFont(line);
    painter.drawText(QRect(0, 115, DesignWidth, 24), Qt::AlignCenter,
                     QStringLiteral("Video and audio converter"));
    return picture;
}
