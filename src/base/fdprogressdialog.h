#pragma once
// The copy-and-move progress dialog of the directory browser: a file flying
// from one folder to another, a read bar, a write bar and Cancel.
#include <QDialog>
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

class FDProgressAnimation : public QWidget {
    Q_OBJECT

public:
    explicit FDProgressAnimation(QWidget* parent);

    int frame() const { return m_frame; }
    QTimer* timer() const { return m_timer; }
    // Where the moving file is drawn in a frame from 1 to 9 for a widget of
    // width w and height h with pictures folderWidth wide and fileHeight high.
    static QPoint flyingFilePosition(int frame, int w, int h, int folderWidth, int fileHeight);

public Q_SLOTS:
    void next();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_frame = 0;
    QTimer* m_timer;
};

class FDProgressDialog : public QDialog {
    Q_OBJECT

public:
    FDProgressDialog(QWidget* parent, const QString& sourceLabel, qint64 totalBytes);
    ~FDProgressDialog() override;

    void setReadProgress(qint64 done);
    void setWriteProgress(qint64 done);
    void setWriteLabel(const QString& label);

    QProgressBar* readBar() const { return m_readBar; }
    QProgressBar* writeBar() const { return m_writeBar; }
    QLabel* writeLabel() const { return m_writeLabel; }
    QLabel* readLabel() const { return m_readLabel; }
    FDProgressAnimation* animation() const { return m_animation; }
    QPushButton* cancelButton() const { return m_cancel; }

Q_SIGNALS:
    void cancelled();

private:
    // The bars count in units small enough for an int: 64-bit byte counts
    // above 2^31 are scaled down.
    int toBarUnits(qint64 bytes) const;

    QProgressBar* m_readBar;
    QProgressBar* m_writeBar;
    QLabel* m_readLabel;
    QLabel* m_writeLabel;
    FDProgressAnimation* m_animation;
    QPushButton* m_cancel;
    int m_shift = 0;
};
