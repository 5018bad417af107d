#include "base/fdprogressdialog.h"

#include "base/dirbrowserpictures.h"

#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <limits>

FDProgressAnimation::FDProgressAnimation(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("qt_progressanimation"));
    setFixedSize(300, 50);
    m_timer = new QTimer(this);
    connect(m_timer, &QTimer::timeout, this, &FDProgressAnimation::next);
}

void FDProgressAnimation::next()
{
    m_frame = m_frame == 10 ? 0 : m_frame + 1;
    update();
}

QPoint FDProgressAnimation::flyingFilePosition(int frame, int w, int h, int folderWidth, int fileHeight)
{
    const int x = folderWidth + 10 + ((w - 2 * folderWidth - 20) / 9) * frame;
    return QPoint(x, (h - fileHeight) / 2 - fileHeight);
}

void FDProgressAnimation::paintEvent(QPaintEvent*)
{
    const DirBrowserPictures& p = dirBrowserPictures();
    QPainter g(this);
    const int w = width(), h = height();
    auto centred = [&](int x, const QPixmap& pm) { g.drawPixmap(x, (h - pm.height()) / 2, pm); };
    const QPixmap& folder = p.openFolder;
    if (m_frame == 0) {
        centred(5, p.startCopy);
        centred(w - 5 - folder.width(), folder);
    } else if (m_frame == 10) {
        centred(5, folder);
        centred(w - 5 - p.endCopy.width(), p.endCopy);
    } else {
        centred(5, folder);
        centred(w - 5 - folder.width(), folder);
        g.drawPixmap(flyingFilePosition(m_frame, w, h, folder.width(), p.file.height()), p.file);
    }
}

FDProgressDialog::FDProgressDialog(QWidget* parent, const QString& sourceLabel, qint64 totalBytes)
    : QDialog(parent)
{
    setModal(true);
    setWindowTitle(tr("Copy or Move a File"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(5, 5, 5, 5);
    layout->setSpacing(5);

    m_animation = new FDProgressAnimation(this);
    layout->addWidget(m_animation);

    while ((totalBytes >> m_shift) > std::numeric_limits<int>::max())
        ++m_shift;
    auto makeBar = [&](const char* name) {
        auto* bar = new QProgressBar(this);
        bar->setObjectName(QString::fromLatin1(name));
        bar->setRange(0, toBarUnits(totalBytes));
        bar->reset();
        bar->setValue(0);
        return bar;
    };
    m_readLabel = new QLabel(tr("Read: %1").arg(sourceLabel), this);
    m_readLabel->setObjectName(QStringLiteral("qt_read_lbl"));
    layout->addWidget(m_readLabel);
    m_readBar = makeBar("qt_readbar");
    layout->addWidget(m_readBar);
    m_writeLabel = new QLabel(tr("Write: %1").arg(QString()), this);
    m_writeLabel->setObjectName(QStringLiteral("qt_write_lbl"));
    layout->addWidget(m_writeLabel);
    m_writeBar = makeBar("qt_writebar");
    layout->addWidget(m_writeBar);

    m_cancel = new QPushButton(tr("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("qt_cancel_btn"));
    m_cancel->setFixedSize(m_cancel->sizeHint());
    connect(m_cancel, &QPushButton::clicked, this, &FDProgressDialog::cancelled);
    layout->addWidget(m_cancel);

    m_animation->timer()->start(150);
}

FDProgressDialog::~FDProgressDialog() = default;

int FDProgressDialog::toBarUnits(qint64 bytes) const { return static_cast<int>(bytes >> m_shift); }

void FDProgressDialog::setReadProgress(qint64 done) { m_readBar->setValue(toBarUnits(done)); }

void FDProgressDialog::setWriteProgress(qint64 done) { m_writeBar->setValue(toBarUnits(done)); }

void FDProgressDialog::setWriteLabel(const QString& label) { m_writeLabel->setText(tr("Write: %1").arg(label)); }
