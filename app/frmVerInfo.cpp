#include "app/frmVerInfo.h"

#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QStringList>

#include <algorithm>

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

// Places a label at (left, top), as wide as the window allows and high
// enough for `lines` lines of its own font, the text from its top: the
// version's text ends with a line break, which must not push its first
// line out of sight.
void placeLabel(QLabel* label, int left, int top, int lines)
{
    label->ensurePolished();  // the style sheet's font
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Latin and Japanese letters: the Japanese ones may come from a taller font.
    QStringList sample;
    for (int i = 0; i < lines; ++i)
        sample << QStringLiteral("Ver 0.0.0 ねむのきⅡ地図・図面");
    const int width = label->parentWidget()->width() - 2 * left;
    const QRect needed = QFontMetrics(label->font())
                             .boundingRect(QRect(0, 0, width, 1000), Qt::AlignLeft | Qt::AlignTop,
                                           sample.join(QLatin1Char('\n')));
    label->setGeometry(left, top, width, needed.height() + 2);
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
    lblCaption->setStyleSheet(QStringLiteral("color: white; font-size: 20pt; font-weight: bold;"));
    placeLabel(lblCaption, 24, 24, 1);
    lblVerNo = new QLabel(client);
    lblVerNo->setStyleSheet(QStringLiteral("color: white; font-size: 11pt;"));
    placeLabel(lblVerNo, 24, lblCaption->geometry().bottom() + 6, 2);
    Label1 = new QLabel(QStringLiteral("地図・図面の計測ソフト"), client);
    Label1->setStyleSheet(QStringLiteral("color: white;"));
    placeLabel(Label1, 24, std::max(130, lblVerNo->geometry().bottom() + 6), 1);
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
