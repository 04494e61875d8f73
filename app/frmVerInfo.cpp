#include "app/frmVerInfo.h"

#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>

namespace {

// The version picture: a dusk sky with the fine pink threads of a silk-tree
// flower, drawn here rather than shipped as a file.
QPixmap versionPicture(const QSize& size)
{
    QPixmap pixmap(size);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor(0x2b, 0x3a, 0x67));
    sky.setColorAt(1, QColor(0xe8, 0xa8, 0x7c));
    painter.fillRect(pixmap.rect(), sky);
    const QPointF centre(size.width() * 0.8, size.height() * 0.7);
    for (int i = 0; i < 36; ++i) {
        const double angle = -150 + i * 3.3;
        QLineF thread(centre, centre + QPointF(45, 0));
        thread.setAngle(-angle);
        painter.setPen(QPen(QColor(0xff, 0x9a, 0xc0, 200), 1.2));
        painter.drawLine(thread);
    }
    return pixmap;
}

}  // namespace

frmVerInfo::frmVerInfo() : platform::Form(QStringLiteral("frmVerInfo"))
{
    setCaption(QStringLiteral("バージョン情報"));
    auto* client = new QWidget(this);
    setCentralWidget(client);
    client->setFixedSize(360, 180);
    imgPicture = new QLabel(client);
    imgPicture->setVisible(false);
    lblCaption = new QLabel(client);
    lblCaption->setGeometry(24, 24, 300, 36);
    lblCaption->setStyleSheet(QStringLiteral("color: white; font-size: 20pt; font-weight: bold;"));
    lblVerNo = new QLabel(client);
    lblVerNo->setGeometry(24, 66, 300, 24);
    lblVerNo->setStyleSheet(QStringLiteral("color: white; font-size: 11pt;"));
    Label1 = new QLabel(QStringLiteral("地図・図面の計測ソフト"), client);
    Label1->setGeometry(24, 130, 220, 24);
    Label1->setStyleSheet(QStringLiteral("color: white;"));
    setWindowFlag(Qt::WindowMinMaxButtonsHint, false);
}

void frmVerInfo::Form_Load()
{
    imgPicture->setVisible(true);
    Form_Resize();
    imgPicture->lower();
}

void frmVerInfo::Form_Resize()
{
    // The picture always covers the whole inner area.
    if (QWidget* client = centralWidget()) {
        imgPicture->setGeometry(client->rect());
        imgPicture->setPixmap(versionPicture(client->size()));
    }
}
