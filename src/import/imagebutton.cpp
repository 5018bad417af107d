#include "import/imagebutton.h"

#include <QMouseEvent>
#include <QVBoxLayout>

PrivateImgBtnLbl::PrivateImgBtnLbl(QWidget* parent) : QLabel(parent) {}

void PrivateImgBtnLbl::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
    QLabel::mousePressEvent(event);
}

void PrivateImgBtnLbl::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    setFrameStyle(QFrame::NoFrame | QFrame::Sunken);
    Q_EMIT clicked();
}

ImageButton::ImageButton(const QPixmap& picture, const QString& caption, int margin, QWidget* parent)
    : QWidget(parent), m_picture(new PrivateImgBtnLbl(this)), m_margin(margin)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(margin, margin, margin, margin);
    layout->setSpacing(0);
    m_picture->setPixmap(picture);
    m_picture->setScaledContents(true);
    layout->addWidget(m_picture, 0, Qt::AlignHCenter);
    if (!caption.isEmpty()) {
        m_caption = new QLabel(caption, this);
        m_caption->setAlignment(Qt::AlignCenter);
        layout->addWidget(m_caption);
    }
    connect(m_picture, &PrivateImgBtnLbl::clicked, this, &ImageButton::clicked);
}

void ImageButton::setImageSize(int w, int h)
{
    m_picture->setFixedSize(w, h);
    const int captionHeight = m_caption ? m_caption->sizeHint().height() : 0;
    setFixedSize(w + 2 * m_margin, h + 2 * m_margin + captionHeight);
}
